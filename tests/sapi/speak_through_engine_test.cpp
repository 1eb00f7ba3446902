// Speaking through the registered engine as kvtts does, on the manual clock.
#include "sapi/speak_through_engine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/message_loop.h"
#include "sapi/memory_dest.h"
#include "tests/support/test_prefix.h"

namespace kv::sapi {
namespace {

HRESULT CallExport(const char* name) {
  std::shared_ptr<com::InprocServer> server;
  EXPECT_EQ(com::InprocServer::FromFile(KV_TTSE_PATH, &server), com::S_OK);
  if (!server) return com::E_FAIL;
  auto function = reinterpret_cast<com::DllRegisterServerFn>(server->Symbol(name));
  return function != nullptr ? function() : com::E_FAIL;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The value of a numeric field of a JSON line, or -1.
long Field(const std::string& line, const std::string& name) {
  const size_t at = line.find("\"" + name + "\":");
  return at == std::string::npos ? -1 : std::stol(line.substr(at + name.size() + 3));
}

class SpeakThroughEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ResetPrefix();
    platform::MessageLoop::Current().SetClock(clock);
    ASSERT_EQ(CallExport("DllRegisterServer"), com::S_OK);
  }
  void TearDown() override {
    CallExport("DllUnregisterServer");
    platform::MessageLoop::Current().SetClock(nullptr);
  }
  std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>(0);
};

TEST_F(SpeakThroughEngineTest, SpeaksIntoAWaveFileAndPrintsEveryNotification) {
  SpeakOptions options;
  options.text = "Dobrý den";
  options.wavFile = test::Prefix() / "dobry.wav";
  std::ostringstream events, err;
  options.events = &events;
  ASSERT_EQ(SpeakThroughEngine(options, err), kSpoken) << err.str();
  EXPECT_EQ(err.str(), "");
  std::ifstream in(options.wavFile, std::ios::binary);
  std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(file.size(), 44u + 22050u) << "at least half a second of speech";
  const uint32_t dataSize = file[40] | file[41] << 8 | file[42] << 16 | uint32_t(file[43]) << 24;
  EXPECT_EQ(dataSize, file.size() - 44);

  const std::vector<std::string> lines = Lines(events.str());
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines.front(), "{\"t\":0,\"event\":\"TextDataStarted\"}");
  EXPECT_EQ(lines[1], "{\"t\":0,\"event\":\"AudioStart\"}");
  EXPECT_NE(lines[lines.size() - 2].find("\"event\":\"TextDataDone\""), std::string::npos);
  EXPECT_NE(lines.back().find("\"event\":\"AudioStop\""), std::string::npos);
  // Word positions in playback order, each before the visuals of its word.
  std::vector<long> positions;
  long lastTime = 0;
  int visuals = 0;
  for (const std::string& line : lines) {
    const long t = Field(line, "t");
    EXPECT_GE(t, lastTime) << line;
    lastTime = t;
    if (line.find("\"WordPosition\"") != std::string::npos)
      positions.push_back(Field(line, "position"));
    if (line.find("\"Visual\"") != std::string::npos) {
      ++visuals;
      EXPECT_NE(line.find("\"mouth\":{\"height\":"), std::string::npos) << line;
    }
  }
  ASSERT_GE(positions.size(), 3u) << "two words and the end";
  EXPECT_EQ(positions.front(), 0);
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  EXPECT_GT(visuals, 4);
}

TEST_F(SpeakThroughEngineTest, ChoosesTheVoiceByNameAndAppliesTheRate) {
  auto bytes = [&](const std::string& voice, std::optional<uint32_t> rate) {
    MemoryDestination* dest = new MemoryDestination(0, true);
    SpeakOptions options;
    options.text = "ahoj";
    options.voice = voice;
    options.rate = rate;
    options.destination = dest;
    std::ostringstream err;
    EXPECT_EQ(SpeakThroughEngine(options, err), 0) << err.str();
    const size_t n = dest->Accepted().size();
    EXPECT_EQ(dest->References(), 4u) << "the engine keeps its references, the host let go";
    dest->Release();
    return n;
  };
  EXPECT_GT(bytes("davluska", std::nullopt), 0u);
  EXPECT_GT(bytes("DAVL", 100), 0u);

  SpeakOptions options;
  options.text = "ahoj";
  options.voice = "Nobody";
  std::ostringstream err;
  EXPECT_EQ(SpeakThroughEngine(options, err), kNoSuchVoice);
  EXPECT_NE(err.str().find("DAVLuska"), std::string::npos) << "the voices are listed";
}

TEST_F(SpeakThroughEngineTest, SaysWhatIsMissing) {
  SpeakOptions options;
  options.text = "ahoj";
  options.wavFile = test::Prefix() / "missing" / "dir" / "x.wav";
  std::ostringstream err;
  EXPECT_EQ(SpeakThroughEngine(options, err), kOutputFailed);
  EXPECT_NE(err.str().find("x.wav"), std::string::npos);

  ASSERT_EQ(CallExport("DllUnregisterServer"), com::S_OK);
  std::ostringstream err2;
  EXPECT_EQ(SpeakThroughEngine(options, err2), kEngineFailed);
  EXPECT_NE(err2.str().find("regsvr"), std::string::npos);
}

// The host waits for the end of the text it sent, and tells the text's own bookmarks from the
// engine's word positions past 9 999 characters, which the engine numbers as bookmarks.
TEST_F(SpeakThroughEngineTest, WaitsForTheEndOfTheTextAndTellsItsOwnMarksFromWordPositions) {
  ::setenv("KVTTS_SEED", "5", 1);  // the same intonation for texts that differ only by tags
  auto speak = [&](const std::string& text, std::string* events) {
    MemoryDestination* dest = new MemoryDestination(0, true);
    SpeakOptions options;
    options.text = text;
    options.destination = dest;
    std::ostringstream printed, err;
    options.events = &printed;
    EXPECT_EQ(SpeakThroughEngine(options, err), kSpoken) << err.str();
    const size_t bytes = dest->Accepted().size();
    dest->Release();
    *events = printed.str();
    return bytes;
  };
  std::string events, plainEvents;
  // 11111 is the engine's end-of-text mark: the user's own brings an AudioStop of its own.
  const size_t marked = speak("Jedna dva \\mrk=11111\\tři čtyři pět šest.", &events);
  EXPECT_EQ(marked, speak("Jedna dva tři čtyři pět šest.", &plainEvents));
  size_t stops = 0;
  for (size_t at = 0; (at = events.find("\"AudioStop\"", at)) != std::string::npos; ++at) ++stops;
  EXPECT_EQ(stops, 2u);

  std::string text;
  for (int i = 0; i < 430; ++i) text += "Dobrý den, jak se máte? ";  // 10 320 characters
  text += "\\mrk=45000\\konec \\mrk=7\\teď.";
  speak(text, &events);
  std::vector<std::string> bookmarks;
  long lastPosition = -1;
  for (const std::string& line : Lines(events)) {
    if (line.find("\"BookMark\"") != std::string::npos) bookmarks.push_back(line);
    if (line.find("\"WordPosition\"") == std::string::npos) continue;
    const long position = Field(line, "position");
    EXPECT_GE(position, lastPosition);
    lastPosition = position;
    if (position >= 10000) {
      EXPECT_EQ(Field(line, "mark"), position + 30000) << line;
    }
  }
  EXPECT_GT(lastPosition, 10000);
  ASSERT_EQ(bookmarks.size(), 2u) << "only the text's own";
  EXPECT_NE(bookmarks[0].find("\"mark\":45000"), std::string::npos);
  EXPECT_NE(bookmarks[1].find("\"mark\":7"), std::string::npos);
  ::unsetenv("KVTTS_SEED");
}

TEST(EventJson, FormatsOneLinePerNotification) {
  EXPECT_EQ(EventJson("BookMark", 12, "\"mark\":5"),
            "{\"t\":12,\"event\":\"BookMark\",\"mark\":5}");
  EXPECT_EQ(EventJson("AudioStop", 0), "{\"t\":0,\"event\":\"AudioStop\"}");
  EXPECT_EQ(EventJson("a\"b", 1), "{\"t\":1,\"event\":\"a\\\"b\"}");
}

}  // namespace
}  // namespace kv::sapi
