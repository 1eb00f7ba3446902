// A private speech-dispatcher in a temporary folder (its own socket, configuration and log
// folder) with sd_kvtts as its module, spoken to with spd-say and the Python client. The module
// writes its audio through the capture backend into one WAVE file. Skipped without
// speech-dispatcher.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "platform/sound.h"
#include "tests/support/test_prefix.h"

extern char** environ;

namespace kv::speechd {
namespace {

namespace fs = std::filesystem;

std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

std::string Quote(const std::string& text) {
  std::string q = "'";
  for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

struct Event {
  double t;
  std::string kind, mark;
};

std::vector<Event> Events(const std::string& output) {
  std::vector<Event> events;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    Event e;
    if (fields >> e.t >> e.kind) {
      fields >> e.mark;
      events.push_back(e);
    }
  }
  return events;
}

class SpeechDispatcherTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (Shell("command -v speech-dispatcher && command -v spd-say").find("spd-say") ==
        std::string::npos)
      return;
    if (std::system(REGSVR_PATH " " KV_TTSE_PATH " >/dev/null") != 0) return;
    dir_ = test::Prefix() / "speechd";
    for (const char* sub : {"conf/modules", "run", "log", "home/.local/share"})
      fs::create_directories(dir_ / sub);
    fs::permissions(dir_ / "run", fs::perms::owner_all);
    std::ofstream(dir_ / "home/.libao") << "default_driver=null\n";
    std::ofstream(dir_ / "conf/speechd.conf")
        << "LogLevel 4\nLogDir \"" << (dir_ / "log").string() << "\"\n"
        << "AudioOutputMethod \"libao\"\nDefaultVolume 100\n"
        << "AddModule \"kvtts\" \"" << SD_KVTTS_PATH << "\" \"kvtts.conf\"\n"
        << "DefaultModule \"kvtts\"\nLanguageDefaultModule \"cs\" \"kvtts\"\n";
    setenv("KVTTS_SOUND", ("capture:" + Capture().string()).c_str(), 1);
    // Every text gets the same intonation draws, so voices compared by pitch differ by their
    // pitch alone and not by the jitter of one utterance against another.
    setenv("KVTTS_SEED", "1", 1);
    setenv("HOME", (dir_ / "home").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (dir_ / "run").c_str(), 1);
    const std::string socket = (dir_ / "run/speechd.sock").string();
    setenv("SPEECHD_ADDRESS", ("unix_socket:" + socket).c_str(), 1);
    const std::string conf = (dir_ / "conf").string();
    const char* argv[] = {"speech-dispatcher", "-s", "-t",           "0",    "-C",
                          conf.c_str(),        "-S", socket.c_str(), nullptr};
    if (posix_spawnp(&server_, "speech-dispatcher", nullptr, nullptr, const_cast<char**>(argv),
                     environ) != 0)
      return;
    // Wait for the socket (the server loads the module before it listens).
    for (int i = 0; i < 200 && !fs::exists(socket); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  static void TearDownTestSuite() {
    if (server_ > 0) {
      // A server wedged by its module does not end on SIGTERM.
      kill(server_, SIGTERM);
      for (int i = 0; i < 100 && waitpid(server_, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      if (kill(server_, SIGKILL) == 0) waitpid(server_, nullptr, 0);
    }
  }
  void SetUp() override {
    if (server_ <= 0) GTEST_SKIP() << "speech-dispatcher is not installed";
    ASSERT_TRUE(fs::exists(dir_ / "run/speechd.sock")) << Log();
  }

  static fs::path Capture() { return dir_ / "captured.wav"; }
  static std::string Log() {
    std::ifstream in(dir_ / "log/kvtts.log");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // The samples captured so far.
  static std::vector<int16_t> Samples() {
    std::ifstream in(Capture(), std::ios::binary);
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    platform::WaveView view;
    if (!platform::ParseWave(file, view)) return {};
    std::vector<int16_t> samples(view.data.size() / 2);
    std::memcpy(samples.data(), view.data.data(), samples.size() * 2);
    return samples;
  }
  // The samples that one command added.
  static std::vector<int16_t> Added(const std::string& command, std::string* output = nullptr) {
    const size_t before = Samples().size();
    const std::string out = Shell(command);
    if (output != nullptr) *output = out;
    std::vector<int16_t> all = Samples();
    return std::vector<int16_t>(all.begin() + std::min(before, all.size()), all.end());
  }
  static double Seconds(const std::vector<int16_t>& samples) { return samples.size() / 22050.0; }
  static double Rms(const std::vector<int16_t>& samples) {
    double sum = 0;
    for (int16_t s : samples) sum += double(s) * s;
    return samples.empty() ? 0 : std::sqrt(sum / samples.size());
  }
  // Zero crossings per second of the voiced part: a rough measure of pitch.
  static double Crossings(const std::vector<int16_t>& samples) {
    int crossings = 0;
    size_t loud = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
      if (std::abs(samples[i]) < 300) continue;
      ++loud;
      crossings += (samples[i] < 0) != (samples[i - 1] < 0);
    }
    return loud == 0 ? 0 : crossings * 22050.0 / loud;
  }
  static std::string Client(const std::string& args) {
    return "/usr/bin/python3 " SPEECHD_CLIENT " " + args;
  }

  static inline fs::path dir_;
  static inline pid_t server_ = 0;
};

TEST_F(SpeechDispatcherTest, SpeaksCzechThroughSpdSay) {
  const auto audio = Added("spd-say -w -o kvtts -l cs 'Dobrý den, jak se máte?'");
  EXPECT_GT(Seconds(audio), 1.0) << Log();
  EXPECT_GT(Rms(audio), 500.0) << "the audio is not silence";
}

TEST_F(SpeechDispatcherTest, ListsTheThreeVoicesAndSpeaksWithEach) {
  const std::string list = Shell("spd-say -o kvtts -L");
  for (const char* line : {"DAVLa cs FEMALE1", "DAVLuska cs CHILD_FEMALE", "DAVL cs MALE1"}) {
    std::istringstream in(line);
    std::string name, lang, variant;
    in >> name >> lang >> variant;
    EXPECT_NE(list.find(name), std::string::npos) << list;
  }
  std::vector<std::vector<int16_t>> audio;
  for (const char* voice : {"-y DAVLa", "-y DAVLuska", "-y DAVL", "-t male1"})
    audio.push_back(Added(std::string("spd-say -w -o kvtts -l cs ") + voice + " 'Ahoj'"));
  EXPECT_NE(audio[0], audio[1]);
  EXPECT_NE(audio[0], audio[2]);
  EXPECT_NE(audio[1], audio[2]);
  // The voices differ by pitch: DAVL is the lowest, DAVLuska the highest; MALE1 is DAVL.
  const double a = Crossings(audio[0]), luska = Crossings(audio[1]), davl = Crossings(audio[2]);
  EXPECT_LT(davl, a) << luska << " " << a << " " << davl;
  EXPECT_GT(luska, a);
  EXPECT_NEAR(Crossings(audio[3]), davl, (a - davl) / 3);
}

TEST_F(SpeechDispatcherTest, RateChangesTheLength) {
  const std::string text = " 'Rychlost řeči se dá měnit.'";
  const double fast = Seconds(Added("spd-say -w -o kvtts -l cs -r 60" + text));
  const double slow = Seconds(Added("spd-say -w -o kvtts -l cs -r -60" + text));
  EXPECT_GT(fast, 0.2);
  EXPECT_GT(slow, 2 * fast);
}

TEST_F(SpeechDispatcherTest, IndexMarksComeInOrderAfterTheirAudio) {
  const double first = Seconds(Added("spd-say -w -o kvtts -l cs 'Dobrý den.'"));
  std::string out;
  Added(Client("marks " + Quote("<speak>Dobrý den.<mark name=\"jedna\"/> Jak se máte?<mark "
                                "name=\"dva\"/> Dobře.</speak>")),
        &out);
  std::vector<Event> e;  // the marks and the end (BEGIN may come before the client listens)
  for (const Event& event : Events(out))
    if (event.kind != "begin") e.push_back(event);
  ASSERT_EQ(e.size(), 3u) << out << Log();
  EXPECT_EQ(e[0].mark, "jedna");
  EXPECT_EQ(e[1].mark, "dva");
  EXPECT_EQ(e[2].kind, "end");
  // Not before the audio before the mark has been heard (times count from sending the
  // message; the lower bound only: a busy machine makes it later, never earlier).
  EXPECT_GE(e[0].t, first - 0.06) << out;
  EXPECT_GE(e[1].t, e[0].t);
}

TEST_F(SpeechDispatcherTest, StopCutsALongTextShort) {
  std::string text;
  for (int i = 0; i < 20; ++i) text += "Toto je dlouhý text, který nikdo nedoposlouchá. ";
  std::string out;
  const auto audio = Added(Client("stop 0.5 " + Quote(text)), &out);
  const std::vector<Event> e = Events(out);
  ASSERT_FALSE(e.empty()) << out;
  EXPECT_EQ(e.back().kind, "cancel") << out;
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_LT(Seconds(Samples()) - Seconds(audio), 1e9);  // the file is still readable
  EXPECT_LT(Seconds(audio), 2.5) << "a minute of text stopped after half a second";
  // The module is ready for the next message.
  EXPECT_GT(Seconds(Added("spd-say -w -o kvtts -l cs 'Ještě jednou.'")), 0.5);
}

TEST_F(SpeechDispatcherTest, HostileMarkNamesLeaveTheServerAnswering) {
  std::string out;
  Added(Client("marks " + Quote("<speak>Jedna.<mark name=\"a&#10;700 X&#10;702 END\"/> Dva.<mark "
                                "name=\"b&#13;&#10;703 STOP\"/> Tři.</speak>")),
        &out);
  std::vector<Event> e;
  for (const Event& event : Events(out))
    if (event.kind != "begin") e.push_back(event);
  ASSERT_EQ(e.size(), 3u) << out << Log();
  EXPECT_EQ(e[0].mark, "a") << "the mark is still recognisable";
  EXPECT_EQ(e[2].kind, "end");
  EXPECT_GT(Seconds(Added("timeout 20 spd-say -w -o kvtts -l cs 'Ještě jednou.'")), 0.5)
      << "the server still speaks";
}

TEST_F(SpeechDispatcherTest, LongMessagesAreSpokenAndReadingSettingsHeard) {
  // Past the old limit of 256 KiB once the server has put its marks in (the server itself
  // takes seconds to prepare a message this long).
  std::string text;
  while (text.size() < 300000) text += "Toto je věta číslo jedna. ";
  const fs::path file = dir_ / "long.txt";
  std::ofstream(file) << text;
  std::string out;
  const auto audio = Added(Client("begun 0.5 @" + file.string()), &out);
  const std::vector<Event> e = Events(out);
  ASSERT_GE(e.size(), 2u) << out << Log();
  EXPECT_EQ(e.front().kind, "begin") << out;
  EXPECT_EQ(e.back().kind, "cancel") << out;
  EXPECT_GT(Seconds(audio), 0.3);
  // Punctuation and capital letters as the client set them.
  const double none = Seconds(Added("spd-say -w -o kvtts -l cs -m none 'Ano? Ne!'"));
  EXPECT_GT(Seconds(Added("spd-say -w -o kvtts -l cs -m all 'Ano? Ne!'")), none + 0.5);
  const double small = Seconds(Added(Client("char A none")));
  EXPECT_GT(Seconds(Added(Client("char A spell"))), small + 0.2);
}

}  // namespace
}  // namespace kv::speechd
