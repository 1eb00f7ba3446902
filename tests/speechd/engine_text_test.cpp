// SSML and key names into the engine's text: marks become our bookmark tags, nothing else can.
#include "apps/sd_kvtts/engine_text.h"

#include <gtest/gtest.h>

#include "platform/cp1250.h"

namespace kv::speechd {
namespace {

std::string Utf8(const std::string& cp1250) {
  return cp1250::ToUtf8(cp1250);
}

TEST(EngineTextTest, MarksBecomeBookmarksInFrontOfTheNextWord) {
  const EngineText t = FromSsml(
      "<speak>Dobrý den.<mark name=\"__spd_0\"/> Jak <mark name='a&amp;b'/><mark "
      "name=\"x>y\"/>se máte?<mark name=\"konec\"/></speak>");
  const std::string a = std::to_string(MarkNumber(0)), b = std::to_string(MarkNumber(1));
  const std::string c = std::to_string(MarkNumber(2)), d = std::to_string(MarkNumber(3));
  EXPECT_EQ(Utf8(t.text), " Dobrý den. \\mrk=" + a + "\\Jak \\mrk=" + b + "\\\\mrk=" + c +
                              "\\se máte?\\mrk=" + d + "\\");
  EXPECT_EQ(t.marks, (std::vector<std::string>{"__spd_0", "a&b", "x>y", "konec"}));
  // The numbers stay clear of the engine's own marks, however many a message has.
  for (size_t i : {size_t(0), size_t(17999), size_t(18000), size_t(1000000)}) {
    EXPECT_TRUE(IsMarkNumber(MarkNumber(i)));
    EXPECT_GT(MarkNumber(i), 11111u);
    EXPECT_LT(MarkNumber(i), 30000u);
  }
}

TEST(EngineTextTest, OtherMarkupIsDroppedAndEntitiesDecoded) {
  EXPECT_EQ(Utf8(FromSsml("<?xml version=\"1.0\"?><speak><!-- a > b --><emphasis level=\"x>\">"
                          "P&#345;&#x00ED;li&scaron; &lt;b&gt; &amp; &quot;x&quot;</emphasis>"
                          "<break time=\"300ms\"/>konec<unknown a='1'>!</unknown></speak>")
                     .text),
            " Příli&scaron; <b> & \"x\" konec! ");
  EXPECT_EQ(Utf8(FromSsml("a < b").text), "a < b") << "a '<' that opens nothing is text";
  EXPECT_EQ(Utf8(FromSsml("&#0;&#99999999;&#xZZ;&").text), " &#99999999;&#xZZ;&");
}

TEST(EngineTextTest, UserTextCannotCarryTags) {
  for (const char* text : {"a \\mrk=5\\ b", "\\vol=0\\ticho", "{spd=200}rychle", "&#92;mrk=1&#92;x",
                           "konec {kOnEc}", "\\"}) {
    const std::string out = FromSsml(text).text;
    EXPECT_EQ(out.find_first_of("\\{}"), std::string::npos) << text << " -> " << Utf8(out);
  }
  EXPECT_EQ(Utf8(FromSsml("a\\b").text), "a zpětné lomítko b");
}

TEST(EngineTextTest, SpellingCharactersAndKeysUseLetterNames) {
  EXPECT_EQ(Utf8(FromSsml("<speak>krk ř</speak>", {.spell = true}).text), " ká er ká  eř  ");
  EXPECT_EQ(Utf8(CharacterText("ž")), "žet ");
  EXPECT_EQ(Utf8(CharacterText("space")), "mezera");
  EXPECT_EQ(Utf8(CharacterText("\\")), " zpětné lomítko  ");
  EXPECT_EQ(Utf8(KeyText("shift_a")), "shift á ");
  EXPECT_EQ(Utf8(KeyText("kp-enter")), "kp enter");
  // A key name's control characters are spaces: \x01 and \x02 would raise the pitch.
  EXPECT_EQ(Utf8(KeyText("f\x01\x02x")), "f  x");
  EXPECT_EQ(KeyText("shift_\\_{").find_first_of("\\{}"), std::string::npos);
}

TEST(EngineTextTest, PunctuationModesNameMoreAndMore) {
  const char* text = "Cena (bez DPH): 5 % z 3,5 = -2; ano?";
  auto say = [&](Punctuation mode) { return Utf8(FromSsml(text, {.punctuation = mode}).text); };
  EXPECT_EQ(say(Punctuation::None), text);
  EXPECT_EQ(say(Punctuation::Some), "Cena (bez DPH): 5  procento  z 3,5  rovná se  -2; ano?");
  EXPECT_EQ(say(Punctuation::Most),
            "Cena  levá závorka bez DPH pravá závorka  dvojtečka  5  procento  z 3,5  rovná se  "
            "-2 středník  ano?")
      << "a decimal comma and a minus sign belong to their numbers";
  EXPECT_EQ(say(Punctuation::All),
            "Cena  levá závorka bez DPH pravá závorka  dvojtečka  5  procento  z 3,5  rovná se  "
            "-2 středník  ano otazník? ")
      << "a sentence mark stays after its name";
  EXPECT_EQ(Utf8(CharacterText("?")), " otazník?  ") << "a character is named in any mode";
}

TEST(EngineTextTest, CapitalsSubstitutionsAndSpelledElements) {
  EXPECT_EQ(Utf8(CharacterText("Ž", Capitals::Spell)), "velké žet ");
  EXPECT_EQ(Utf8(CharacterText("Ž", Capitals::Icon)), "\x01žet\x02 ");
  EXPECT_EQ(Utf8(CharacterText("ž", Capitals::Icon)), "žet ");
  EXPECT_EQ(Utf8(FromSsml("Ab", {.spell = true, .capitals = Capitals::Spell}).text), "velké á bé ");
  EXPECT_EQ(Utf8(FromSsml("x\x01y").text), "x y") << "user text cannot raise the pitch";
  EXPECT_EQ(Utf8(FromSsml("<speak>Firma <sub alias=\"Korven a spol.\">K&amp;S<mark "
                          "name=\"m\"/></sub> a <sub alias='X'/>.</speak>")
                     .text),
            " Firma  Korven a spol.  \\mrk=" + std::to_string(MarkNumber(0)) + "\\a  X . ")
      << "the alias replaces the content, and the mark inside it still comes";
  EXPECT_EQ(Utf8(FromSsml("<say-as interpret-as=\"characters\">ČR</say-as> a "
                          "<say-as interpret-as=\"date\">ČR</say-as>")
                     .text),
            "čé er  a ČR");
}
}  // namespace
}  // namespace kv::speechd
