// Text -> entries: taking words, tags, one entry per letter, unit substitution.
#include <gtest/gtest.h>

#include "synth/frontend/tags.h"
#include "tests/frontend/frontend_test_util.h"

namespace kv::test {
namespace {

using Strings = std::vector<std::string>;

TEST(TakingWords, OneWordEndsTheText) {
  FrontEnd fe;
  fe.Feed("ahoj");
  const TSayWord& w = fe.Step();
  EXPECT_EQ(Letters(w), "ahoj");
  EXPECT_EQ(fe.t.PendingText, kEndMarker);
  EXPECT_TRUE(fe.t.NewText);
  EXPECT_TRUE(fe.t.WordReady);
  EXPECT_EQ(fe.t.CurrentWord, "ahoj");
}

TEST(TakingWords, TheSeparatingSpaceIsTheLastEntry) {
  FrontEnd fe;
  fe.Feed("Ahoj Svete");
  const TSayWord& w = fe.Step();
  EXPECT_EQ(Letters(w), "ahoj ");
  EXPECT_EQ(w.Text, "ahoj ");
  EXPECT_EQ(fe.t.PendingText, "svete");  // lower-cased with the text
  EXPECT_FALSE(fe.t.NewText);
  EXPECT_EQ(w.CharacterIndex, 0);
  EXPECT_EQ(w.WordGain, 63750.0);
  EXPECT_EQ(Letters(fe.Step()), "svete");
  EXPECT_TRUE(fe.Ended());
}

TEST(TakingWords, SpacesOnlyGiveAnEmptyWord) {
  FrontEnd fe;
  fe.Feed("    ");
  const TSayWord& w = fe.Step();
  EXPECT_EQ(w.CharacterCount, 0);
  EXPECT_EQ(fe.t.PendingText, kEndMarker);
}

TEST(TakingWords, EmptyPendingTextOnlyMarksReady) {
  FrontEnd fe;
  fe.t.PendingText = "";
  fe.t.WordReady = false;
  fe.t.SpeakStep();
  EXPECT_TRUE(fe.t.WordReady);
}

TEST(TakingWords, TheEndMarkerAloneIsHarmless) {
  FrontEnd fe;
  fe.t.PendingText = std::string(kEndMarker);
  fe.t.SpeakStep();
  const TSayWord& w = fe.t.Words[fe.t.CurrentSlot];
  EXPECT_EQ(w.CharacterCount, 1);
  EXPECT_TRUE(w.Characters[1].Letter.Empty());
  EXPECT_EQ(fe.t.CurrentWord, "{konec}");
  EXPECT_EQ(fe.t.PendingText, kEndMarker);
}

TEST(TakingWords, LongWordsAreCutAt120AndTheirTailFollows) {
  FrontEnd fe;
  std::vector<TSayWord> words = fe.SpeakAll(std::string(130, 'a') + " konec");
  ASSERT_EQ(words.size(), 3u);
  EXPECT_EQ(words[0].CharacterCount, 120);
  EXPECT_EQ(Letters(words[1]), "aaaaaaaaaa ");
  EXPECT_EQ(Letters(words[2]), "konec");

  // The tail of a cut last word is spoken before the text ends.
  words = fe.SpeakAll(std::string(130, 'e'));
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(Letters(words[1]), "eeeeeeeeee");
}

TEST(TakingWords, NormalisedTextBeyond120EntriesIsCarriedOver) {
  // 40 digits become 40 times " jedna": 241 characters of working text.
  FrontEnd fe;
  std::vector<TSayWord> words = fe.SpeakAll("a" + std::string(40, '1') + " konec");
  std::string expected = "a";
  for (int i = 0; i < 40; ++i) expected += " jedna";
  expected += " ";
  ASSERT_EQ(words.size(), 4u);
  EXPECT_EQ(words[0].CharacterCount, 120);
  EXPECT_EQ(words[1].CharacterCount, 120);
  EXPECT_EQ(Letters(words[0]) + Letters(words[1]) + Letters(words[2]), expected);
  EXPECT_EQ(Letters(words[3]), "konec");
}

TEST(Entries, DigraphTakesOneEntry) {
  FrontEnd fe;
  fe.Feed("chata");
  const TSayWord& w = fe.Step();
  ASSERT_EQ(w.CharacterCount, 4);
  EXPECT_EQ(w.Characters[1].Grapheme, "ch");
  EXPECT_EQ(w.Characters[1].Letter, "c");
  EXPECT_EQ(w.Characters[1].Span, 2);
  // The neighbour of the digraph is read one further on, past the a.
  EXPECT_EQ(w.Characters[1].NextLetter, "t");
  EXPECT_EQ(w.Characters[2].PrevLetter, "h");
  EXPECT_EQ(Units(w), (Strings{"ch", "a", "t", "a"}));
}

TEST(Entries, NeighbourLetters) {
  FrontEnd fe;
  fe.Feed("les je");
  const TSayWord& w = fe.Step();
  ASSERT_EQ(w.CharacterCount, 4);
  const TCharacter& first = w.Characters[1];
  EXPECT_EQ(first.PrevLetter, "l");  // the first entry's own letter
  EXPECT_EQ(first.FirstLetter, "l");
  EXPECT_EQ(first.LastLetter, " ");
  EXPECT_EQ(w.Characters[4].NextLetter, "~");
  EXPECT_EQ(w.Characters[4].Letter, " ");
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(w.Characters[k].Speed, 100);
    EXPECT_EQ(w.Characters[k].Loudness, 63750);
    EXPECT_EQ(w.Characters[k].Tone, 0);
  }
}

TEST(Substitution, UnitsFollowTheirNeighbours) {
  FrontEnd fe;
  auto units = [&](std::string_view text) { return Units(fe.SpeakAll(text).at(0)); };
  EXPECT_EQ(units("tik"), (Strings{"ť", "i", "kk"}));
  EXPECT_EQ(units("lev"), (Strings{"l", "e", "f"}));
  EXPECT_EQ(units("les"), (Strings{"l", "e", "s"}));
  EXPECT_EQ(units("kolo"), (Strings{"k", "o", "lu", "o"}));
  EXPECT_EQ(units("k domu"), (Strings{"k", " "}));  // first entry: no word-final k
  EXPECT_EQ(units("hrob"), (Strings{"h", "r", "o", "b"}));
  EXPECT_EQ(units("obsah"), (Strings{"o", "p", "s", "a", "h"}));
  EXPECT_EQ(units("dědek"), (Strings{"ď", "ě", "d", "e", "kk"}));
  EXPECT_EQ(units("děti"), (Strings{"ď", "ě", "ť", "i"}));
  EXPECT_EQ(units("nic"), (Strings{"ň", "i", "c"}));
  EXPECT_EQ(units("lup"), (Strings{"lu", "u", "pk"}));
  EXPECT_EQ(units("qý"), (Strings{"k", "í"}));
  EXPECT_EQ(units("zpěv"), (Strings{"s", "p", "j", "e", "f"}));
  EXPECT_EQ(units("žke"), (Strings{"š", "k", "e"}));
  EXPECT_EQ(units("mýty"), (Strings{"m", "í", "t", "i"}));
  EXPECT_EQ(units("öü"), (Strings{"é", "i"}));
}

TEST(Tags, SpeedTagAloneGoesOnToTheNextWord) {
  FrontEnd fe;
  fe.Feed("\\spd=50\\ ahoj");
  const TSayWord& w = fe.Step();
  EXPECT_EQ(fe.t.CurrentSpeed, 206);
  EXPECT_EQ(Letters(w), "ahoj");
  for (int k = 1; k <= w.CharacterCount; ++k) EXPECT_EQ(w.Characters[k].Speed, 206);
}

TEST(Tags, NamesAndValuesAreCaseInsensitive) {
  FrontEnd fe;
  fe.Feed("\\VOL=30000\\ahoj");
  const TSayWord& w = fe.Step();
  EXPECT_EQ(Letters(w), "ahoj");
  EXPECT_EQ(fe.t.CurrentVolume, 30000);
  for (int k = 1; k <= w.CharacterCount; ++k) EXPECT_EQ(w.Characters[k].Loudness, 30000);
  EXPECT_EQ(fe.t.CurrentWord, "ahoj");
}

TEST(Tags, BookmarksGoBeforeTheFirstEntryOrAfterALaterOne) {
  FrontEnd fe;
  fe.Feed("\\mrk=7\\ahoj");
  const TSayWord& w = fe.Step();
  EXPECT_EQ(w.Characters[1].MarksBefore[1], 7);
  EXPECT_EQ(fe.t.CurrentBookmark, 7);

  fe.Feed("ah\\mrk=7\\oj");
  const TSayWord& w2 = fe.Step();
  EXPECT_EQ(Letters(w2), "ahoj");
  EXPECT_EQ(w2.Characters[3].MarksAfter[1], 7);
  EXPECT_EQ(w2.Characters[3].MarksBefore[1], 0);
  EXPECT_EQ(fe.t.CurrentWord, "ahoj");

  fe.Feed("\\mrk=0\\ahoj");
  EXPECT_EQ(fe.Step().Characters[1].MarksBefore[1], 0);
}

TEST(Tags, AtMostTenMarksPerEntry) {
  FrontEnd fe;
  std::string text;
  for (int i = 1; i <= 12; ++i) text += "{mrk=" + std::to_string(i) + "}";
  fe.Feed(text + "ahoj");
  const TSayWord& w = fe.Step();
  // Brace tags pass the digit pass first: their values are words by then and read as 0.
  EXPECT_EQ(Letters(w), "ahoj");
}

TEST(Tags, BackslashTagsBeyondTenMarksAreDropped) {
  TCharacter e;
  int32_t tone = 0, speed = 100, volume = 63750, bookmark = -222;
  for (int m = 1; m <= 12; ++m) {
    std::string tag = "\\mrk=" + std::to_string(m) + "\\";
    long i = 1;
    frontend::ApplyTag(e, true, {tone, speed, volume, bookmark}, tag, i);
    EXPECT_EQ(i, long(tag.size()) + 1);
  }
  for (int s = 1; s <= 10; ++s) EXPECT_EQ(e.MarksBefore[s], s);
  EXPECT_EQ(bookmark, 12);
}

TEST(Tags, ValuesOutOfRangeAreConsumedWithoutEffect) {
  FrontEnd fe;
  fe.Feed("\\ton=5\\a\\ton=13\\h\\spd=0\\o\\spd=257\\j\\vol=-1\\x\\ton=-\\y");
  const TSayWord& w = fe.Step();
  EXPECT_EQ(fe.t.CurrentTone, 5);
  EXPECT_EQ(fe.t.CurrentSpeed, 100);
  EXPECT_EQ(fe.t.CurrentVolume, 63750);
  EXPECT_EQ(fe.t.CurrentWord, "ahojxy");
  for (int k = 1; k <= w.CharacterCount; ++k) {
    EXPECT_NE(w.Characters[k].Letter, "\\");
    EXPECT_EQ(w.Characters[k].Tone, 5);
  }
  // Text without leading digits reads as 0.
  fe.Feed("\\ton=abc\\ahoj");
  fe.Step();
  EXPECT_EQ(fe.t.CurrentTone, 0);
}

TEST(Tags, InertTagsAreConsumed) {
  FrontEnd fe;
  fe.Feed("\\rst\\\\pit=200\\\\ctx=a\\\\chr=b\\\\foo\\ahoj");
  EXPECT_EQ(Letters(fe.Step()), "ahoj");
}

TEST(Tags, ALoneBackslashIsSpoken) {
  FrontEnd fe;
  fe.Feed("ab\\cd");
  EXPECT_EQ(Letters(fe.Step()), "ab\\cd");
}

TEST(Tags, ParseTag) {
  using frontend::ParseTag;
  auto p = ParseTag("SPD=50\\rest", '\\');
  EXPECT_EQ(p.name, "spd");
  EXPECT_EQ(p.value, "50");
  p = ParseTag("rst}x", '{');
  EXPECT_EQ(p.name, "rst");
  EXPECT_EQ(p.value, "");
  EXPECT_EQ(ParseTag("=5\\", '\\').name, "");
  EXPECT_EQ(ParseTag("unterminated", '\\').name, "");
  EXPECT_EQ(ParseTag(std::string(300, 'a') + "\\", '\\').name, "");  // beyond reach
  EXPECT_EQ(frontend::StripTags("ah\\mrk=7\\oj \\x"), "ahoj ");
}

}  // namespace
}  // namespace kv::test
