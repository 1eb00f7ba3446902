// The engine modes the voice prefixes "}1".."}3" choose (voices DAVLa, DAVLuska, DAVL).
#pragma once

#include <array>
#include <string_view>

namespace kv::agent {

inline constexpr std::array<std::string_view, 3> kVoiceModes = {
    "{3FF7410C-A888-4A67-BAFC-55FAF3C5424D}",
    "{3FF7410D-A888-4A67-BAFC-55FAF3C5424D}",
    "{3FF7410E-A888-4A67-BAFC-55FAF3C5424D}",
};
inline constexpr std::string_view kDefaultVoiceMode = kVoiceModes[0];

}  // namespace kv::agent
