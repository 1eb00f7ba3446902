// Number helpers shared by settings, tags and synthesis.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kv {

// Raised when a value that should hold an integer does not.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Nearest integer, ties to the even neighbour. Values beyond the 64-bit range (and NaN)
// saturate instead of invoking undefined behaviour.
int64_t RoundHalfEven(double x);
// The same, saturated to the 32-bit range.
int32_t RoundHalfEven32(double x);

// The one lenient string-to-integer reading of settings and tag values: a valid decimal
// integer gives its value; otherwise the longest prefix of an optional '-' and the digits
// after it counts ("12abc" -> 12); text that begins with neither gives 0. A prefix that is
// still no valid 32-bit integer (a lone "-", too many digits) raises EConvertError with
// "'<text>' is not a valid integer value".
int32_t StrToIntLenient(std::string_view text);

// Saturating conversion used where the system stores a double into a 32-bit field.
int32_t ClampToInt32(int64_t v);

}  // namespace kv
