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
int64_t RoundHalfEvenSlow(double x);
// Inline because synthesis rounds every sample: adding and removing 1.5 * 2^52 leaves the
// nearest integer (ties to even) for every |x| below 2^51, under the default rounding mode.
inline int64_t RoundHalfEven(double x) {
  constexpr double kMagic = 6755399441055744.0;
  if (x > -2251799813685248.0 && x < 2251799813685248.0) {
    const double shifted = x + kMagic;  // IEEE arithmetic: never folded back to x
    return static_cast<int64_t>(shifted - kMagic);
  }
  return RoundHalfEvenSlow(x);
}
// Saturating conversion used where the system stores a 64-bit value into a 32-bit field.
inline int32_t ClampToInt32(int64_t v) {
  return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

// The same, saturated to the 32-bit range.
inline int32_t RoundHalfEven32(double x) {
  return ClampToInt32(RoundHalfEven(x));
}

// The one lenient string-to-integer reading of settings and tag values: a valid decimal
// integer gives its value; otherwise the longest prefix of an optional '-' and the digits
// after it counts ("12abc" -> 12); text that begins with neither gives 0. A prefix that is
// still no valid 32-bit integer (a lone "-", too many digits) raises EConvertError with
// "'<text>' is not a valid integer value".
int32_t StrToIntLenient(std::string_view text);

}  // namespace kv
