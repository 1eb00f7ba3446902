#include "engine/mode_table.h"

#include "sapi/sapi4.h"

namespace kv::engine {

using namespace kv::sapi;

const ModeCommon kModeCommon = {
    "KORVEN",
    "KORVEN Speech Synthesis Engine",
    0x0405,  // Czech
    TTSFEATURE_ANYWORD | TTSFEATURE_VOLUME | TTSFEATURE_SINGLEINSTANCE | TTSFEATURE_THREADSAFE |
        TTSFEATURE_IPATEXTDATA | TTSFEATURE_TRANSPLANTED | TTSFEATURE_SAPI4,
    TTSI_ITTSATTRIBUTES | TTSI_ITTSCENTRAL | TTSI_ITTSDIALOGS,
    0,
};

const std::array<ModeEntry, kModeCount> kModeTable = {{
    {{0x3FF7410C, 0xA888, 0x4A67, {0xBA, 0xFC, 0x55, 0xFA, 0xF3, 0xC5, 0x42, 0x4D}},
     "DAVLa",
     "DAVLa computer female voice",
     GENDER_FEMALE,
     TTSAGE_ADULT},
    {{0x3FF7410D, 0xA888, 0x4A67, {0xBA, 0xFC, 0x55, 0xFA, 0xF3, 0xC5, 0x42, 0x4D}},
     "DAVLuska",
     "DAVLuska computer child voice",
     GENDER_NEUTRAL,
     TTSAGE_CHILD},
    {{0x3FF7410E, 0xA888, 0x4A67, {0xBA, 0xFC, 0x55, 0xFA, 0xF3, 0xC5, 0x42, 0x4D}},
     "DAVL",
     "DAVL computer male voice",
     GENDER_MALE,
     TTSAGE_ADULT},
}};

}  // namespace kv::engine
