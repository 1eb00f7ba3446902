// Bad input never crashes, never overruns a word slot, and long input stays linear.
#include <gtest/gtest.h>

#include <random>

#include "tests/frontend/frontend_test_util.h"

namespace kv::test {
namespace {

// Speaks a Windows-1250 text to its end; every slot stays within its 120 entries.
size_t SpeakBytes(FrontEnd& fe, std::string_view bytes, size_t cap = 10'000'000) {
  fe.t.PendingText = bytes;
  fe.t.NewUtterance = true;
  size_t words = 0;
  while (!fe.Ended() && words < cap) {
    const TSayWord& w = fe.Step();
    EXPECT_GE(w.CharacterCount, 0);
    EXPECT_LE(w.CharacterCount, kMaxEntries);
    ++words;
  }
  EXPECT_TRUE(fe.Ended());
  return words;
}

TEST(Robustness, NulBytesAndControlCharacters) {
  FrontEnd fe;
  static const char kBytes[] = "a\0b \0\0 c\x01\x7f d\x7f";
  SpeakBytes(fe, std::string(kBytes, sizeof kBytes - 1));
  SpeakBytes(fe, std::string(1000, '\0'));
}

TEST(Robustness, HundredThousandTagsInARow) {
  FrontEnd fe;
  std::string tags;
  for (int i = 0; i < 100000; ++i) tags += "\\mrk=1\\";
  SpeakBytes(fe, tags + "ahoj");
  std::string spaced;
  for (int i = 0; i < 100000; ++i) spaced += "\\spd=100\\ ";
  SpeakBytes(fe, spaced);
  std::string braces;
  for (int i = 0; i < 100000; ++i) braces += "{ton=1}";
  SpeakBytes(fe, braces);
}

TEST(Robustness, UnterminatedTags) {
  FrontEnd fe;
  for (std::string_view t : {"\\", "\\spd=50", "{ton=5", "a\\", "\\\\\\", "{", "ab{cd", "\\=5\\x",
                             "{kOnEc", "{kOnEc}{kOnEc}", "\\mrk=-\\a", "\\mrk=99999999999\\a"})
    SpeakBytes(fe, t);
}

TEST(Robustness, HugeAndLongNumbers) {
  FrontEnd fe;
  for (std::string_view t : {"1e300", "-1e308", "1e999", "12345678901234567890", "0,000001",
                             "99999999999999999999999999999999999999 kč", "1.5e-300", "-0",
                             "1000000000", "999999999,999"})
    SpeakBytes(fe, t);
}

TEST(Robustness, LongDictionaryRowsAndGrowingRows) {
  FrontEnd fe;
  fe.t.UserDictionary = {"a=" + std::string(300, 'b'), "b=aa", std::string(300, 'x') + "=y"};
  size_t words = SpeakBytes(fe, std::string(120, 'a') + " " + std::string(300, 'x'));
  EXPECT_GT(words, 3u);
}

TEST(Robustness, RandomBytes) {
  std::mt19937 gen(7);
  FrontEnd fe;
  for (int round = 0; round < 200; ++round) {
    std::string bytes(size_t(gen() % 600), '\0');
    for (char& c : bytes) {
      // Mostly the characters the front-end reacts to.
      static const char kAlphabet[] = "\\{}= ._-,?!:&/+\"0123456789eEakchdt\x7f\r\n\xE8\xF8";
      c = gen() % 4 ? kAlphabet[gen() % (sizeof kAlphabet - 1)] : char(gen());
    }
    SpeakBytes(fe, bytes);
  }
}

TEST(Robustness, LongTextIsSpokenInLinearTime) {
  // 600 000 characters: a word loop that copied the rest of the text would not finish.
  std::string text;
  while (text.size() < 600'000) text += "Slovo 12 a \\mrk=3\\dalsi, ";
  FrontEnd fe;
  size_t words = SpeakBytes(fe, text);
  EXPECT_GT(words, 90'000u);
  std::string word(600'000, 'x');
  EXPECT_GT(SpeakBytes(fe, word), 5'000u);
}

}  // namespace
}  // namespace kv::test
