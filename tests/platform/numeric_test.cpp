#include "platform/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kv {
namespace {

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(-3.5), -4);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
}

TEST(RoundHalfEven, SaturatesInsteadOfOverflowing) {
  EXPECT_EQ(RoundHalfEven(1e300), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(RoundHalfEven(-1e300), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
  EXPECT_EQ(RoundHalfEven32(1e12), std::numeric_limits<int32_t>::max());
}

TEST(StrToIntLenient, ReadsTheLeadingSignAndDigits) {
  EXPECT_EQ(StrToIntLenient("50"), 50);
  EXPECT_EQ(StrToIntLenient("-30"), -30);
  EXPECT_EQ(StrToIntLenient("12abc"), 12);
  EXPECT_EQ(StrToIntLenient("-7x"), -7);
  EXPECT_EQ(StrToIntLenient(""), 0);
  EXPECT_EQ(StrToIntLenient("abc"), 0);
  EXPECT_EQ(StrToIntLenient(" 5"), 0);  // no leading blanks
  EXPECT_EQ(StrToIntLenient("2147483647"), 2147483647);
}

TEST(StrToIntLenient, RejectsPrefixesThatAreNoInteger) {
  EXPECT_THROW(StrToIntLenient("-"), EConvertError);
  EXPECT_THROW(StrToIntLenient("-x"), EConvertError);
  EXPECT_THROW(StrToIntLenient("99999999999"), EConvertError);
  try {
    StrToIntLenient("12345678901abc");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'12345678901' is not a valid integer value");
  }
}

}  // namespace
}  // namespace kv
