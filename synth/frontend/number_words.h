// Czech number words as the voice units spell them, and the digit and symbol substitutions.
// UTF-8 text; numbers.cpp converts it to Windows-1250 once.
#pragma once

#include <array>
#include <string_view>
#include <utility>

namespace kv::frontend {

// Unit words by digit (0 has none). One is "jedna " in the units group and kOneMasculine in
// the thousands and millions groups.
extern const std::array<std::string_view, 10> kUnitWords;
extern const std::string_view kOneMasculine;
// 10..19: the two words of each value.
extern const std::array<std::pair<std::string_view, std::string_view>, 10> kTeenWords;
// 20..99: the words of the tens digit (index 2..9), followed by the unit word.
extern const std::array<std::pair<std::string_view, std::string_view>, 10> kTensWords;
// Hundreds digit of a group (index 0..9).
extern const std::array<std::string_view, 10> kHundredsWords;

extern const std::string_view kThousand;     // after 1, 5.. and for every other group value
extern const std::string_view kThousandFew;  // a group of 2, 3 or 4 with no hundreds or tens
extern const std::string_view kMillionStem;  // followed by one of the three endings below
extern const std::string_view kMillionOne;   // ending after one
extern const std::string_view kMillionFew;   // after 2 to 4
extern const std::string_view kMillionMany;  // otherwise
extern const std::string_view kMinus;
extern const std::string_view kZero;   // integer part of 0.5
extern const std::string_view kPoint;  // between the integer part and the decimals

// Magnitudes from a thousand million: the thousand-millions group is read with these words;
// numbers of a million million and more are read digit by digit with kDigitNames.
extern const std::string_view kBillionOne;   // "jedna miliarda "
extern const std::string_view kBillionFew;   // after 2 to 4
extern const std::string_view kBillionMany;  // otherwise
extern const std::array<std::string_view, 10> kDigitNames;

// The digit and symbol pass, applied in this order, every occurrence.
extern const std::array<std::pair<std::string_view, std::string_view>, 16> kDigitSymbolPass;

}  // namespace kv::frontend
