// Words -> normalised text: dictionary, numbers, digits and symbols, spelling.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>

#include "synth/frontend/dictionary.h"
#include "synth/frontend/numbers.h"
#include "synth/frontend/replace_all.h"
#include "synth/frontend/speak_step.h"
#include "synth/frontend/spelling.h"
#include "tests/frontend/frontend_test_util.h"

namespace kv::test {
namespace {

using frontend::NormaliseWord;

// The word as SpeakStep normalises it with the built-in rows (and optional user rows); the
// word is the last of its text unless `more` follows.
std::string Norm(std::string_view word, bool last = false, std::vector<std::string> user = {}) {
  static const std::vector<std::string> built_in = BuiltInDictionaryRows();
  for (auto& row : user) row = cp1250::LowerCase(Cp(row));
  return U8(NormaliseWord(Cp(word), user, built_in, [last] { return last; }));
}

TEST(ReplaceAll, LeavesTextAloneForDegenerateRows) {
  using frontend::ReplaceAll;
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceAll("abc", "b", "b"), "abc");
  EXPECT_EQ(ReplaceAll("fialka", "ia", "xiay"), "fialka");  // "to" holds "from"
  EXPECT_EQ(ReplaceAll("Abc", "a", "x"), "Abc");            // case-sensitive
}

TEST(ReplaceAll, ReplacesOccurrencesFormedByTheReplacement) {
  using frontend::ReplaceAll;
  EXPECT_EQ(ReplaceAll("abb", "ab", "a"), "a");
  EXPECT_EQ(ReplaceAll("aaab", "ab", "b"), "b");
  EXPECT_EQ(ReplaceAll("xx", "x", "ks"), "ksks");
  EXPECT_EQ(ReplaceAll("abc", "abc", ""), "");
}

// The replacement as defined: search from the start again after every replacement.
// Gives up (empty result) on rows that keep rewriting.
std::optional<std::string> NaiveReplaceAll(std::string text, const std::string& from,
                                           const std::string& to) {
  if (from.empty() || from == to || to.find(from) != std::string::npos) return text;
  for (int n = 0; n < 2000; ++n) {
    size_t at = text.find(from);
    if (at == std::string::npos) return text;
    text.replace(at, from.size(), to);
  }
  return std::nullopt;
}

TEST(ReplaceAll, AgreesWithSearchingFromTheStartEachTime) {
  std::mt19937 gen(3);
  auto word = [&](size_t max) {
    std::string s(gen() % (max + 1), 'a');
    for (char& c : s) c = "abc"[gen() % 3];
    return s;
  };
  for (int i = 0; i < 5000; ++i) {
    std::string text = word(12), from = word(3), to = word(4);
    std::optional<std::string> naive = NaiveReplaceAll(text, from, to);
    if (!naive) continue;
    EXPECT_EQ(frontend::ReplaceAll(text, from, to), *naive) << text << " " << from << " " << to;
  }
}

TEST(ReplaceAll, GrowthIsBounded) {
  std::string grown = frontend::ReplaceAll(std::string(1000, 'a'), "a", std::string(5000, 'b'));
  EXPECT_LE(grown.size(), frontend::kReplaceAllLimit + 5000);
}

TEST(BuiltInRows, AreTheTableInOrderLowerCased) {
  std::vector<std::string> rows = BuiltInDictionaryRows();
  ASSERT_EQ(rows.size(), 122u);
  EXPECT_EQ(U8(rows.front()), "chip=čip");
  EXPECT_EQ(U8(rows.back()), "mě=mně");
  // One row of our own follows row 3, so rows 4 to 31 sit at their own number (0-based).
  EXPECT_EQ(U8(rows[13]), "kč=ká čé");  // row 13
  EXPECT_EQ(rows[13], rows[22]);        // rows 13 and 22 act alike
  EXPECT_EQ(U8(rows[14]), "tv =týví");  // row 14
  EXPECT_EQ(U8(rows[31]), "enterprise=entrprajs");
  EXPECT_EQ(U8(rows[33]), "client=klient");  // row 32, after the second row of our own
  for (const auto& row : rows) EXPECT_EQ(row, cp1250::LowerCase(row));
}

TEST(Dictionary, MatchesSubstringsAndTrailingSpaces) {
  EXPECT_EQ(Norm("chip "), "čip ");
  EXPECT_EQ(Norm("chips "), "čips ");
  EXPECT_EQ(Norm("cs "), "cé es");
  EXPECT_EQ(Norm("csa "), "csa ");
  EXPECT_EQ(Norm("tv "), "týví");         // row "TV " acts lower-cased
  EXPECT_EQ(Norm("fialka "), "fyalka ");  // row 48 acts before "ia=ija" could
  EXPECT_EQ(Norm("vědět "), "vjedět ");
  EXPECT_EQ(Norm("atd. "), "a tak dále. ");
  EXPECT_EQ(Norm("např. "), "například ");
  EXPECT_EQ(Norm("\nchip "), "čip ");  // leading line breaks go before matching
}

TEST(Dictionary, UserRowsComeFirst) {
  EXPECT_EQ(Norm("taxi ", false, {"x=y"}), "tayi ");
  EXPECT_EQ(Norm("babca ", false, {"abc="}), "ba ");
  EXPECT_EQ(Norm("ahoj ", false, {"=x", "noequals", "a=b=c"}), "b=choj ");
}

class DictionaryFile : public ::testing::Test {
 protected:
  std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("kv-dict-" + std::to_string(::getpid()));
  void Write(std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
  }
  void TearDown() override { std::filesystem::remove(path); }
};

TEST_F(DictionaryFile, SplitsLinesAtAnyBreakAndLowerCases) {
  Write(Cp("ABC=XYZ\r\nČR=b\rc=d\ne=f"));
  std::vector<std::string> rows;
  ASSERT_TRUE(LoadDictionaryFile(path, rows));
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], "abc=xyz");
  EXPECT_EQ(U8(rows[1]), "čr=b");
  EXPECT_EQ(rows[3], "e=f");
}

TEST_F(DictionaryFile, MissingFileLeavesRowsAlone) {
  std::vector<std::string> rows = {"keep=me"};
  EXPECT_FALSE(LoadDictionaryFile(path / "missing", rows));
  EXPECT_EQ(rows, std::vector<std::string>{"keep=me"});
}

TEST_F(DictionaryFile, BinaryAndLongRowsAreHarmless) {
  std::string bytes = "ab=" + std::string(300, 'q') + "\n";
  for (int i = 0; i < 4096; ++i) bytes += char(i * 37 % 256);
  Write(bytes);
  std::vector<std::string> rows;
  ASSERT_TRUE(LoadDictionaryFile(path, rows));
  std::string w = "xaby ";
  frontend::ApplyDictionary(w, rows);
  // The pronunciation is cut to 255 characters.
  EXPECT_NE(w.find(std::string(255, 'q')), std::string::npos);
  EXPECT_EQ(w.find(std::string(256, 'q')), std::string::npos);
}

TEST(NumberToWords, WorkedResults) {
  auto n = [](double v) { return U8(frontend::NumberToWords(v)); };
  EXPECT_EQ(n(0), "");
  EXPECT_EQ(n(1), "jedna ");
  EXPECT_EQ(n(21), "dva cet jedna ");
  EXPECT_EQ(n(100), "sto ");
  EXPECT_EQ(n(1234), "jeden tisíc dvjesťe tři cet čtyři ");
  EXPECT_EQ(n(2000), "dva tisíce ");
  EXPECT_EQ(n(22000), "dva cet dva tisíc ");
  EXPECT_EQ(n(1000000), "jeden milión ");
  EXPECT_EQ(n(3000000), "tři milióny ");
  EXPECT_EQ(n(100000000), "sto miliónů ");
  EXPECT_EQ(n(2.5), "dva  celích pa desát ");
  EXPECT_EQ(n(0.5), "nula celích pa desát ");
  EXPECT_EQ(n(-5), "mínus pjet ");
  EXPECT_EQ(n(-0.0), "");
}

TEST(NumberToWords, GroupsAndDecimals) {
  auto n = [](double v) { return U8(frontend::NumberToWords(v)); };
  EXPECT_EQ(n(2.001), "dva ");
  EXPECT_EQ(n(0.05), "nula celích pjet ");
  EXPECT_EQ(n(1001), "jeden tisíc jedna ");
  EXPECT_EQ(n(5000), "pjet tisíc ");
  EXPECT_EQ(n(4000), "čtyři tisíce ");
  EXPECT_EQ(n(104000), "sto čtyři tisíc ");
  EXPECT_EQ(n(15), "pat náct ");
  EXPECT_EQ(n(999), "devjet set deva desát devjet ");
  EXPECT_EQ(n(21000000), "dva cet jeden miliónů ");
  EXPECT_EQ(n(815), "osm set pat náct ");
}

TEST(NumberToWords, LargeMagnitudes) {
  auto n = [](double v) { return U8(frontend::NumberToWords(v)); };
  EXPECT_EQ(n(1e9), "jedna miliarda ");
  EXPECT_EQ(n(2.5e9), "dva miliardy pjet set miliónů ");
  EXPECT_EQ(n(12e9), "dva náct miliard ");
  EXPECT_EQ(n(1e12).substr(0, 17), "jedna nula nula n");
  EXPECT_EQ(n(12345678901234567890.0).rfind("jedna dvje tři čtyři pjet šest", 0), 0u);
  std::string huge = n(1e300);
  EXPECT_EQ(huge.substr(0, 6), "jedna ");
  EXPECT_GT(huge.size(), 1000u);
  EXPECT_FALSE(n(-1.7976931348623157e308).empty());
}

TEST(ReadFloat, AcceptsTheNumberSyntaxOnly) {
  using frontend::ReadFloat;
  EXPECT_EQ(ReadFloat("12."), 12.0);
  EXPECT_EQ(ReadFloat("2e3"), 2000.0);
  EXPECT_EQ(ReadFloat("-5"), -5.0);
  EXPECT_EQ(ReadFloat("+1.5E-1"), 0.15);
  EXPECT_EQ(ReadFloat(".5"), 0.5);
  EXPECT_FALSE(ReadFloat("1e"));
  EXPECT_FALSE(ReadFloat("e5"));
  EXPECT_FALSE(ReadFloat("1.2.3"));
  EXPECT_FALSE(ReadFloat("3,5"));
  EXPECT_FALSE(ReadFloat("1e999"));
  EXPECT_FALSE(ReadFloat("inf"));
  EXPECT_FALSE(ReadFloat("0x10"));
  EXPECT_FALSE(ReadFloat(""));
}

TEST(NumbersInWords, ReadAsQuantities) {
  EXPECT_EQ(Norm("12. "), "dva náct  ");  // the period goes into the number
  EXPECT_EQ(Norm("2e3", true), "dva tisíce ");
  EXPECT_EQ(Norm("-5 "), "mínus pjet  ");
  EXPECT_EQ(Norm("3,5 "), "tři  celích pa desát ");  // the locale's decimal comma
  EXPECT_EQ(Norm("0 "), " nula");
  EXPECT_EQ(Norm("1e300 ").substr(0, 11), "jedna nula ");
}

TEST(NumbersInWords, DigitsAndSymbolsOneByOne) {
  EXPECT_EQ(Norm("a1 "), "a jedna ");
  EXPECT_EQ(Norm("10a "), " jedna nulaa ");
  EXPECT_EQ(Norm("1/2 "), " jedna lomeno dvje ");
  EXPECT_EQ(Norm("8:15 "), " osum  jedna pjet ");
  EXPECT_EQ(Norm("r&d "), "r and d ");
  EXPECT_EQ(Norm("pět "), "pjet ");
  EXPECT_EQ(Norm("c++ "), "c plus plus ");
  EXPECT_EQ(Norm("\"ahoj\" "), " ahoj  ");
  EXPECT_EQ(Norm("_ahoj "), "ahoj ");
}

TEST(Currency, MovesTheCurrencyBehindTheNumber) {
  std::string part = Cp("12,50 kč "), suffix = "\\x\\";
  frontend::ApplyCurrency(part, suffix);
  EXPECT_EQ(part, "12.50 ");
  EXPECT_EQ(U8(suffix), " Kč\\x\\");
  std::string short_part = "kč ", s2;
  frontend::ApplyCurrency(short_part, s2);
  EXPECT_EQ(s2, "");
}

TEST(Spelling, LetterNames) {
  using frontend::LetterName;
  EXPECT_EQ(U8(LetterName("b")), "bé");
  EXPECT_EQ(U8(LetterName("W")), "dvojité vé");
  EXPECT_EQ(U8(LetterName(Cp("ř"))), "eř");
  EXPECT_EQ(U8(LetterName(Cp("á"))), "á");
  EXPECT_EQ(U8(LetterName("u")), "u");
  EXPECT_EQ(U8(LetterName(" ")), " ");
  EXPECT_EQ(U8(LetterName("ch")), "chá");
  EXPECT_EQ(LetterName(""), "");
}

TEST(Spelling, OneLetterWords) {
  EXPECT_EQ(Norm("a ", false), "a ");
  EXPECT_EQ(Norm("a", true), "á_");
  EXPECT_EQ(Norm("j ", false), "jé_");
  EXPECT_EQ(Norm("u", true), "u_");
  EXPECT_EQ(Norm("k ", false), "k ");
}

TEST(Spelling, AbbreviationsAndWordsWithoutVowels) {
  EXPECT_EQ(Norm("a) "), "á._");
  EXPECT_EQ(Norm("b. "), "bé._");
  EXPECT_EQ(Norm("krk "), "káerká ");
  EXPECT_EQ(Norm("ok "), "óká ");
  EXPECT_EQ(Norm("bmw "), "béemdvojité vé ");
  EXPECT_EQ(Norm("vlk", true), "véelká");
  EXPECT_EQ(Norm("ahoj "), "ahoj ");
}

TEST(Spelling, NextText) {
  using frontend::NextText;
  using frontend::NextTextIsEmpty;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"  ahoj svete ", "ahoj svete"},
      {"\\spd=5\\ ahoj", "ahoj"},
      {"\\a\\\\b\\x\\c\\", "x"},
      {"{kOnEc}", ""},
      {"  {kOnEc}  ", ""},
      {"{kOnEc}x", "{kOnEc}x"},
      {"", ""},
      {"   ", ""},
      {"\\unterminated", "unterminated"},
      {"\\a\\ \\b\\ c", ""},
  };
  for (const auto& [rest, next] : cases) {
    EXPECT_EQ(NextText(rest), next) << rest;
    EXPECT_EQ(NextTextIsEmpty(rest), next.empty()) << rest;
  }
}

}  // namespace
}  // namespace kv::test
