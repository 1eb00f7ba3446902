// SpeakStep's state across words and texts: new text, appended text, dictionary reload.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/frontend/frontend_test_util.h"

namespace kv::test {
namespace {

namespace fs = std::filesystem;

TEST(SpeakStep, AppendedTextIsLowerCasedToo) {
  FrontEnd fe;
  fe.Feed("A B");
  EXPECT_EQ(Letters(fe.Step()), "a ");
  fe.t.PendingText += Cp(" ČAU");
  EXPECT_EQ(Letters(fe.Step()), "b ");
  EXPECT_EQ(Letters(fe.Step()), "čau");
  EXPECT_TRUE(fe.Ended());
}

TEST(SpeakStep, RunningValuesCarryAcrossTexts) {
  FrontEnd fe;
  fe.SpeakAll("\\ton=4\\\\vol=100\\\\spd=200\\ahoj");
  const TSayWord w = fe.SpeakAll("dobry den").at(1);
  EXPECT_EQ(w.Characters[1].Tone, 4);
  EXPECT_EQ(w.Characters[1].Loudness, 100);
  EXPECT_EQ(w.Characters[1].Speed, 56);
}

TEST(SpeakStep, PendingTextReadsLikeAString) {
  FrontEnd fe;
  fe.Feed("jedna dva tri");
  fe.Step();
  EXPECT_EQ(fe.t.PendingText.Str(), "dva tri");
  std::string_view view = fe.t.PendingText;
  EXPECT_EQ(view, "dva tri");
  fe.t.PendingText = std::string(kEndMarker);
  EXPECT_TRUE(fe.Ended());
}

class DictionaryReload : public ::testing::Test {
 protected:
  fs::path path = fs::temp_directory_path() / ("kv-reload-" + std::to_string(::getpid()) + ".dct");
  FrontEnd fe;
  void SetUp() override {
    fe.t.DictionaryPath = path.string();
    fe.t.DictionaryAge = -1;
  }
  void TearDown() override { fs::remove(path); }
  // Writes the file with a new modification time.
  void Write(std::string_view rows) {
    static int tick = 0;
    std::ofstream(path, std::ios::binary) << rows;
    fs::last_write_time(path, fs::file_time_type::clock::now() + std::chrono::seconds(++tick));
  }
  std::string Say(std::string_view text) {
    std::string all;
    for (const TSayWord& w : fe.SpeakAll(text)) all += Letters(w);
    return all;
  }
};

TEST_F(DictionaryReload, ReloadsWhenTheFileAgeChanges) {
  Write("AHOJ=nazdar\r\n");
  EXPECT_EQ(Say("ahoj"), "nazdar");
  Write("ahoj=cau\n");
  EXPECT_EQ(Say("ahoj"), "cau");
}

TEST_F(DictionaryReload, AVanishedFileKeepsTheRowsLoadedLast) {
  Write("ahoj=nazdar\n");
  EXPECT_EQ(Say("ahoj"), "nazdar");
  fs::remove(path);
  EXPECT_EQ(Say("ahoj"), "nazdar");
  Write("ahoj=cau\n");
  EXPECT_EQ(Say("ahoj"), "cau");
}

TEST_F(DictionaryReload, ChangesApplyFromTheNextTextOrAppendedText) {
  Write("ahoj=nazdar\n");
  fe.Feed("ahoj ahoj ahoj");
  EXPECT_EQ(Letters(fe.Step()), "nazdar ");
  Write("ahoj=cau\n");
  EXPECT_EQ(Letters(fe.Step()), "nazdar ");  // same text: not looked at
  fe.t.PendingText += " ahoj";
  EXPECT_EQ(Letters(fe.Step()), "cau ");
}

}  // namespace
}  // namespace kv::test
