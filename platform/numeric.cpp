#include "platform/numeric.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kv {

int64_t RoundHalfEvenSlow(double x) {
  if (std::isnan(x)) return 0;
  // Largest doubles that still convert safely into int64.
  if (x >= 9.2233720368547748e18) return std::numeric_limits<int64_t>::max();
  if (x <= -9.2233720368547758e18) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(std::nearbyint(x));  // the default rounding mode is to-even
}

int32_t StrToIntLenient(std::string_view text) {
  size_t n = 0;
  if (n < text.size() && text[n] == '-') ++n;
  const size_t digitsStart = n;
  while (n < text.size() && text[n] >= '0' && text[n] <= '9') ++n;
  if (n == 0) return 0;  // begins with neither '-' nor a digit (or is empty)
  int32_t value = 0;
  const std::string_view prefix = text.substr(0, n);
  auto [ptr, ec] = std::from_chars(prefix.data(), prefix.data() + prefix.size(), value);
  if (n == digitsStart || ec != std::errc() || ptr != prefix.data() + prefix.size())
    throw EConvertError("'" + std::string(prefix) + "' is not a valid integer value");
  return value;
}

}  // namespace kv
