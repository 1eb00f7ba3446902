#include "synth/frontend/letter_names.h"

namespace kv::frontend {

// clang-format off
const std::array<std::pair<std::string_view, std::string_view>, 32> kLetterNames = {{
    {"a", "á"},  {"á", "á"},  {"b", "bé"}, {"c", "cé"}, {"d", "dé"}, {"e", "é"},
    {"f", "ef"}, {"g", "gé"}, {"h", "há"}, {"i", "í"},  {"j", "jé"}, {"k", "ká"},
    {"l", "el"}, {"m", "em"}, {"n", "en"}, {"o", "ó"},  {"p", "pé"}, {"q", "kvé"},
    {"r", "er"}, {"s", "es"}, {"t", "té"}, {"v", "vé"}, {"w", "dvojité vé"},
    {"x", "iks"}, {"y", "ypsilon"}, {"z", "zet"}, {"š", "eš"}, {"ž", "žet"},
    {"č", "čé"}, {"ď", "ďé"}, {"ň", "eň"}, {"ř", "eř"},
}};
// clang-format on
const std::string_view kDigraphName = "chá";
const std::string_view kVowels = "aáeéěiíyýuúůoó";
const std::string_view kPitchVowels = "aeiouyáéíóůúý";

// " !,.?~" are the word-end neighbours.
// clang-format off
const std::array<SubstitutionRow, 16> kSubstitutions = {{
    {"b", "sš",                 false, "p"},
    {"d", "dkt",                false, "t"},
    {"d", "iěí",                false, "ď"},
    {"k", " !,.?~",             true,  "kk"},
    {"l", " !,.?ikou~íóůú",     false, "lu"},
    {"n", "iěí",                false, "ň"},
    {"p", " !,.?~",             false, "pk"},
    {"q", "",                   false, "k"},
    {"t", "iěí",                false, "ť"},
    {"v", " !,.?_ks~š",         false, "f"},
    {"y", "",                   false, "i"},
    {"z", "p",                  false, "s"},
    {"ž", "k",                  false, "š"},
    {"ö", "",                   false, "é"},
    {"ü", "",                   false, "i"},
    {"ý", "",                   false, "í"},
}};
// clang-format on

}  // namespace kv::frontend
