// Number words. Every word ends in one space so that compound numbers are built by plain
// concatenation ("dva " + "cet " + "jedna "); the million stem takes its ending instead.
#include "synth/frontend/number_words.h"

namespace kv::frontend {

// clang-format off
const std::array<std::string_view, 10> kUnitWords = {
    "", "jedna ", "dva ", "tři ", "čtyři ", "pjet ", "šest ", "sedm ", "osm ", "devjet ",
};
const std::string_view kOneMasculine = "jeden ";

const std::array<std::pair<std::string_view, std::string_view>, 10> kTeenWords = {{
    {"de ", "set "},      // 10
    {"jede ", "náct "},   // 11
    {"dva ", "náct "},    // 12
    {"tři ", "náct "},    // 13
    {"čtr ", "náct "},    // 14
    {"pat ", "náct "},    // 15
    {"šest ", "náct "},   // 16
    {"sedm ", "náct "},   // 17
    {"osm ", "náct "},    // 18
    {"devate ", "náct "}, // 19
}};

const std::array<std::pair<std::string_view, std::string_view>, 10> kTensWords = {{
    {"", ""},               // 0x: unit word only
    {"", ""},               // 1x: teen words
    {"dva ", "cet "},       // 20..29
    {"tři ", "cet "},       // 30..39
    {"čtyři ", "cet "},     // 40..49
    {"pa ", "desát "},      // 50..59
    {"še ", "desát "},      // 60..69
    {"sedm ", "desát "},    // 70..79
    {"osm ", "desát "},     // 80..89
    {"deva ", "desát "},    // 90..99
}};

const std::array<std::string_view, 10> kHundredsWords = {
    "",                 // 0 or blank
    "sto ",             // 1
    "dvjesťe ",         // 2
    "tři sta ",         // 3
    "čtyři sta ",       // 4
    "pjet set ",        // 5
    "šest set ",        // 6
    "sedm set ",        // 7
    "osm set ",         // 8
    "devjet set ",      // 9
};

const std::string_view kThousand = "tisíc ";
const std::string_view kThousandFew = "tisíce ";
const std::string_view kMillionStem = "milión";
const std::string_view kMillionOne = " ";
const std::string_view kMillionFew = "y ";
const std::string_view kMillionMany = "ů ";
const std::string_view kMinus = "mínus ";
const std::string_view kZero = "nula";
const std::string_view kPoint = " celích ";

const std::string_view kBillionOne = "jedna miliarda ";
const std::string_view kBillionFew = "miliardy ";
const std::string_view kBillionMany = "miliard ";
const std::array<std::string_view, 10> kDigitNames = {
    "nula ", "jedna ", "dvje ", "tři ", "čtyři ", "pjet ", "šest ", "sedum ", "osum ", "devjet ",
};

const std::array<std::pair<std::string_view, std::string_view>, 16> kDigitSymbolPass = {{
    {"1", " jedna"},
    {"2", " dvje"},
    {"3", " tři"},
    {"4", " čtyři"},
    {"5", " pjet"},
    {"6", " šest"},
    {"7", " sedm"},
    {"8", " osum"},
    {"9", " devjet"},
    {"0", " nula"},
    {":", " "},
    {"\"", " "},
    {"&", " and "},
    {"pě", "pje"},
    {"/", " lomeno"},
    {"+", " plus"},
}};
// clang-format on

}  // namespace kv::frontend
