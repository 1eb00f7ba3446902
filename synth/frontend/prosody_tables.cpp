#include "synth/frontend/prosody_tables.h"

namespace kv::frontend {

// clang-format off
//                                               -12 -11 -10  -9  -8  -7  -6  -5  -4  -3   -2  -1  0
const std::array<int16_t, 25> kToneShiftTable  = {  3,  2,  3,  3,  5,  7,  7, 12,  0,  0, -35,  0, 0,
//                                                 1   2    3   4   5    6   7    8   9  10  11  12
                                                   0,  0, -34,  0,  0, -16,  0, -17, -9, -7, -5, -4};
//                                               -12 -11 -10  -9  -8  -7  -6  -5  -4  -3  -2  -1  0
const std::array<int16_t, 25> kToneShiftTable2 = {  2,  4,  3,  4,  3,  3,  4,  4,  4,  5,  6, 14, 0,
//                                                 1    2   3   4   5   6   7   8   9  10  11  12
                                                 -20, -10, -7, -5, -4, -4, -3, -3, -3, -3, -3, -3};

const PitchLevels kPitchLevels = {
    .statement_base = 19, .statement_span = 7,     // 19..25
    .question_base = -26, .question_span = 7,      // -26..-20
    .remap_from_a = 22, .remap_to_a = -60,
    .remap_from_b = 23, .remap_to_b = -45,
    .plain = -60,
    .phrase_base = -45, .phrase_span = 16,         // -45..-30: between plain and question
    .second_vowel_question = 25,
    .second_vowel_statement_step = 5,
    .second_vowel_jitter = 7,
    .walk_floor = 18,
};

const std::string_view kWordEnd = " !,.?~";

namespace {

// Pause before the unit, by the previous letter (ms).
const UnitRule<int> kPause[] = {
    {",",   {},                        200},
    {".",   {},                        460},
    {"aá",  {.prev_in = " ~"},         100},
    {"aá",  {.prev_in = "i"},           60},
    {"c",   {.prev_in = "a"},           20},
    {"c",   {.prev_in = "k"},          100},
    {"c",   {},                         10},
    {"č",   {.prev_in = " "},            0},
    {"č",   {.prev_in = "a"},           20},
    {"č",   {.prev_in = "k"},          100},
    {"č",   {.prev_in = "u"},           70},
    {"č",   {},                         10},
    {"d",   {.prev_in = "k"},           50},
    {"f",   {.prev_in = " "},            0},
    {"f",   {.prev_in = "l"},           80},
    {"f",   {},                         20},
    {"h",   {.prev_in = " aeáéě"},      40},
    {"i",   {.prev_in = "ř"},           35},
    {"j",   {.prev_in = "u"},           20},
    {"k",   {.prev_in = " "},            0},
    {"k",   {.prev_in = "ou"},          70},
    {"k",   {.prev_in = "dhnrst"},     100},
    {"k",   {.prev_in = "v"},           50},
    {"k",   {},                         40},
    {"l",   {.prev_in = "s"},           10},
    {"l",   {.prev_in = "diutů"},       20},
    {"l",   {.prev_in = "h"},           40},
    {"m",   {.prev_in = " í"},           0},
    {"m",   {.prev_in = "j"},           30},
    {"m",   {},                         40},
    {"n",   {.prev_in = " aeiáě"},       0},
    {"n",   {.prev_in = "rt"},          55},
    {"n",   {.prev_in = "é"},           20},
    {"n",   {},                         30},
    {"o",   {.prev_in = "kn"},          15},
    {"p",   {.prev_in = " "},            0},
    {"p",   {},                         70},
    {"r",   {.prev_in = " o"},           0},
    {"r",   {.prev_in = "b"},           35},
    {"r",   {.prev_in = "p"},           20},
    {"r",   {.prev_in = "k"},           50},
    {"r",   {},                         50},
    {"ř",   {.prev_in = " i"},           0},
    {"ř",   {.prev_in = "p"},           40},
    {"ř",   {.prev_in = "t"},           20},
    {"ř",   {},                         50},
    {"sz",  {.prev_in = "i"},            5},
    {"sz",  {},                         20},
    {"tť",  {.prev_in = " "},            0},
    {"tť",  {.prev_in = "f"},           40},
    {"tť",  {.prev_in = "jsš"},         80},
    {"tť",  {.prev_in = "t"},           20},
    {"tť",  {},                         50},
    {"uůú", {.prev_in = " k~"},          0},
    {"uůú", {.next_in = "š"},           40},
    {"v",   {.prev_in = " "},            0},
    {"v",   {.prev_in = "aiouáéíóůú"},  40},
    {"v",   {},                         20},
};

// Duration of the unit (ms), before speed and jitter.
const UnitRule<int> kDuration[] = {
    {" _",     {}, 40},
    {"adeosš", {}, 170},
    {"f",      {}, 110},
    {"hv",     {}, 125},
    {"i",      {}, 150},
    {"j",      {}, 160},
    {"l",      {}, 100},
    {"m",      {}, 180},
    {"n",      {}, 350},
    {"r",      {}, 140},
    {"u",      {}, 130},
    {"w",      {}, 85},
    {"z",      {}, 80},
    {"á",      {}, 360},
    {"é",      {}, 375},
    {"íó",     {}, 290},
    {"ď",      {}, 70},
    {"ř",      {}, 100},
    {"ůú",     {}, 340},
};

// Gain (amplitude factor) of the unit.
const UnitRule<double> kGain[] = {
    {"a",   {.prev_in = "ds"},          0.4},
    {"a",   {},                         0.55},
    {"á",   {.prev_in = "dsz"},         0.35},
    {"á",   {},                         0.45},
    {"b",   {},                         0.75},
    {"c",   {},                         0.3},
    {"č",   {},                         0.215},
    {"d",   {},                         1.0},
    {"ď",   {.first = 1},               0.55},
    {"ď",   {},                         0.77},
    {"eéě", {},                         0.65},
    {"f",   {},                         1.75},
    {"g",   {},                         0.5},
    {"h",   {},                         0.122},
    {"ií",  {.prev_in = "ř"},           0.4},
    {"ií",  {.prev_in = "dhknt"},       0.5},
    {"ií",  {},                         0.55},
    {"j",   {},                         0.55},
    {"k",   {.unit_is = "kk"},          0.25},
    {"k",   {},                         1.0},
    {"l",   {.next_in = "u"},           0.15},
    {"l",   {.prev_in = "i"},           0.14},
    {"l",   {},                         0.2},
    {"m",   {},                         0.35},
    {"n",   {},                         0.75},
    {"ň",   {},                         0.45},
    {"oó",  {},                         0.45},
    {"p",   {},                         0.5},
    {"r",   {},                         0.4},
    {"ř",   {},                         0.3},
    {"s",   {},                         0.27},
    {"š",   {},                         0.35},
    {"t",   {.next_in = "lř"},          0.7},
    {"t",   {},                         0.65},
    {"u",   {.prev_in = "~"},           0.6},
    {"u",   {},                         0.5},
    {"ůú",  {.prev_in = "n"},           0.25},
    {"ůú",  {},                         0.35},
    {"v",   {},                         0.27},
    {"w",   {},                         0.3},
    {"z",   {},                         1.15},
    {"ž",   {},                         0.5},
};

// Segments of the recorded unit skipped at its start.
const UnitRule<int> kFirstSegment[] = {
    {"aá",  {.prev_in = "jnt"},                              5},
    {"e",   {.prev_in = "l"},                                5},
    {"é",   {.prev_in = "km"},                               2},
    {"h",   {.next_in = "i"},                               12},
    {"ií",  {.prev_in = "dl"},                               5},
    {"m",   {.prev_not_in = " !,.?u~", .next_not_in = " !,.?"}, 5},
    {"n",   {},                                             10},
    {"ň",   {.prev_in = "ě"},                                5},
    {"o",   {.prev_in = "cdkp"},                             3},
    {"uůú", {.prev_in = "dkln"},                             6},
};

// Segments of the recorded unit dropped at its end.
const UnitRule<int> kDroppedSegment[] = {
    {"é",   {.next_in = "n"},                 6},
    {"l",   {.word_end = 1},                  7},
    {"m",   {.next_in = " !,.?ou~óůú"},      16},
    {"m",   {.prev_not_in = " !,.?~"},        5},
    {"n",   {.next_in = " !,.?ou~ů"},         8},
    {"ď",   {.word_end = 0},                  3},
};
// clang-format on

}  // namespace

const std::span<const UnitRule<int>> kPauseRules = kPause;
const std::span<const UnitRule<int>> kDurationRules = kDuration;
const int kDefaultDuration = 150;
const std::span<const UnitRule<double>> kGainRules = kGain;
const double kDefaultGain = 1.0;
const std::span<const UnitRule<int>> kFirstSegmentRules = kFirstSegment;
const std::span<const UnitRule<int>> kDroppedSegmentRules = kDroppedSegment;

const std::string_view kFirstEntryGainExceptLetters = "joó";
const std::string_view kWordEndGainKeepUnits = "lt";
const std::string_view kWordEndGainHalfUnits = "u";

}  // namespace kv::frontend
