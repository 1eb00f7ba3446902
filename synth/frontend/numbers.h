// Numbers and symbols: a numeric word read as a quantity, then the remaining digits and a
// few symbols one by one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kv::frontend {

// The decimal separator of the locale: Czech.
inline constexpr char kLocaleDecimalSeparator = ',';

// Czech words for a value, every word followed by a space. The value is rounded to two
// decimals; the decimals are read as one two-digit number after " celích ". 0 gives "".
// Below a thousand million the millions, thousands and units groups are read; up to a
// million million a group of "miliarda/miliardy/miliard" comes first; beyond that the
// integer part is read digit by digit.
std::string NumberToWords(double value);

// Reads a whole text as a floating-point number: optional leading blanks, optional sign,
// digits with an optional period and digits (a period with no digits after it is accepted),
// an optional exponent (E or e, optional sign, digits). Nothing else may follow. Values that
// do not fit a double are no numbers.
std::optional<double> ReadFloat(std::string_view text);

// Currency: a word part ending in " kč" and one more character loses those three last
// characters (its "," becoming "."), and " Kč" goes in front of the suffix.
void ApplyCurrency(std::string& word_part, std::string& suffix);

// A word part that reads as a number becomes its words (the trimmed number is replaced and
// the surrounding blanks stay; on the second reading, spaces removed and "," read as ".",
// the whole word part becomes the words). A blank result becomes "0".
void ApplyNumber(std::string& word_part);

// Every remaining digit and the symbols of the pass, in the pass's order.
void ApplyDigitsAndSymbols(std::string& word_part);

}  // namespace kv::frontend
