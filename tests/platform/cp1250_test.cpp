#include "platform/cp1250.h"

#include <gtest/gtest.h>

namespace kv::cp1250 {
namespace {

TEST(Cp1250, RoundTripsEveryByteThroughUtf8AndUtf16) {
  std::string all;
  for (int c = 1; c < 256; ++c) all.push_back(char(c));
  EXPECT_EQ(FromUtf8(ToUtf8(all)).value(), all);
  EXPECT_EQ(FromUtf16(ToUtf16(all)), all);
}

TEST(Cp1250, ConvertsCzechLetters) {
  const std::string utf8 = "Příliš žluťoučký kůň úpěl ďábelské ódy";
  const std::optional<std::string> text = FromUtf8(utf8);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->size(), 38u);   // one byte per letter
  EXPECT_EQ((*text)[1], '\xF8');  // ř
  EXPECT_EQ(ToUtf8(*text), utf8);
}

TEST(Cp1250, RejectsInvalidUtf8OnlyWhenStrict) {
  EXPECT_FALSE(FromUtf8("ab\xC3"));        // truncated sequence
  EXPECT_FALSE(FromUtf8("\xC0\xAF"));      // overlong
  EXPECT_FALSE(FromUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_EQ(FromUtf8Lenient("a\xFFz"), "a?z");
  EXPECT_EQ(FromUtf8("日本").value(), "??");  // outside the code page
}

TEST(Cp1250, LowerCasesEveryAccentedCapital) {
  EXPECT_EQ(ToUtf8(LowerCase(FromUtf8("ŠŤŽŹŚŁĄŞŻĽÁČĎÉĚÍŇÓŘŮÚÝ ABC ×").value())),
            "šťžźśłąşżľáčďéěíňóřůúý abc ×");
  EXPECT_EQ(ToUtf8(UpperCase(FromUtf8("čřž").value())), "ČŘŽ");
  EXPECT_TRUE(SameText(FromUtf8("ŘEŘICHA").value(), FromUtf8("řeřicha").value()));
  EXPECT_FALSE(SameText("abc", "abd"));
}

TEST(Cp1250, Utf16SurrogatePairsBecomeOneQuestionMark) {
  std::u16string s = u"a";
  s += char16_t(0xD83D);
  s += char16_t(0xDE00);
  s += u"b";
  EXPECT_EQ(FromUtf16(s), "a?b");
  EXPECT_EQ(FromUtf16(std::u16string(1, char16_t(0xDC00))), "?");
}

}  // namespace
}  // namespace kv::cp1250
