// kvtts's audio files: every format reads back as the speech of the WAV file, a name we cannot
// write is refused before any work, WAV never wraps its sizes, and the progress line shows on a
// terminal only.
#include <gtest/gtest.h>
#include <pty.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/test_prefix.h"

namespace {

namespace fs = std::filesystem;

const std::string kText = "'Dobrý den, jak se máte? Vlak jede v 8:15.'";

fs::path Out(const std::string& name) {
  return kv::test::Prefix() / name;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs kvtts with the arguments (and environment assignments before them); standard output
// goes to `out`, stderr to err.txt in the prefix. Returns the exit code.
int Kvtts(const std::string& args, const std::string& env = "", const std::string& out = "") {
  const std::string cmd = "KVTTS_SEED=5 " + env + " " KVTTS_PATH " " + args + " >" +
                          (out.empty() ? "/dev/null" : Out(out).string()) + " 2>" +
                          Out("err.txt").string();
  const int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Audio {
  int rate = 0, channels = 0;
  std::vector<short> samples;
};

Audio ReadAudio(const fs::path& path) {
  Audio audio;
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) return audio;
  audio.rate = info.samplerate;
  audio.channels = info.channels;
  short buffer[4096];
  for (sf_count_t n; (n = sf_read_short(file, buffer, 4096)) > 0;)
    audio.samples.insert(audio.samples.end(), buffer, buffer + n);
  sf_close(file);
  return audio;
}

class KvttsOutput : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    kv::test::ResetPrefix();
    ASSERT_EQ(std::system(REGSVR_PATH " " KV_TTSE_PATH " >/dev/null"), 0);
  }
};

TEST_F(KvttsOutput, EveryFormatReadsBackAsTheSpeechOfTheWavFile) {
  ASSERT_EQ(Kvtts("-o " + Out("a.wav").string() + " " + kText), 0);
  const Audio wav = ReadAudio(Out("a.wav"));
  ASSERT_EQ(wav.rate, 22050);
  ASSERT_EQ(wav.channels, 1);
  ASSERT_GT(wav.samples.size(), 22050u);
  const size_t n = wav.samples.size();
  struct Case {
    std::string args, file;  // the file in the prefix: -o's, or standard output's
    int rate;
    size_t least, most;  // samples, allowing for the codec's padding
  } cases[] = {
      {"-o " + Out("a.FLAC").string(), "a.FLAC", 22050, n, n},
      {"-o " + Out("a.ogg").string(), "a.ogg", 22050, n, n},
      {"--stdout --format ogg", "s.ogg", 22050, n, n},
      {"--format flac --stdout", "s.flac", 22050, n, n},
      // Opus takes 24 000 samples a second: the speech is resampled on the way.
      {"-o " + Out("a.opus").string(), "a.opus", 24000, n * 24000 / 22050, n * 24000 / 22050 + 1},
      {"-o " + Out("a.mp3").string(), "a.mp3", 22050, n, n + 2 * 1152},
      {"--local -o " + Out("l.flac").string(), "l.flac", 22050, 1, SIZE_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const bool toStdout = c.args.find("--stdout") != std::string::npos;
    ASSERT_EQ(Kvtts(c.args + " " + kText, "", toStdout ? c.file : ""), 0)
        << ReadFile(Out("err.txt"));
    const Audio audio = ReadAudio(Out(c.file));
    EXPECT_EQ(audio.rate, c.rate);
    EXPECT_EQ(audio.channels, 1);
    EXPECT_GE(audio.samples.size(), c.least);
    EXPECT_LE(audio.samples.size(), c.most);
  }
  // Lossless is lossless, on both paths.
  EXPECT_EQ(ReadAudio(Out("a.FLAC")).samples, wav.samples);
  EXPECT_EQ(ReadAudio(Out("s.flac")).samples, wav.samples);
  ASSERT_EQ(Kvtts("--local -o " + Out("l.wav").string() + " " + kText), 0);
  EXPECT_EQ(ReadAudio(Out("l.flac")).samples, ReadAudio(Out("l.wav")).samples);
}

TEST_F(KvttsOutput, RefusesWhatItCannotWriteBeforeAnyWork) {
  EXPECT_EQ(Kvtts("-o " + Out("book.txt").string() + " ahoj"), 2);
  EXPECT_FALSE(fs::exists(Out("book.txt")));
  EXPECT_NE(ReadFile(Out("err.txt")).find("book.txt"), std::string::npos);
  EXPECT_EQ(Kvtts("--format aiff -o " + Out("x.wav").string() + " ahoj"), 2);
  EXPECT_FALSE(fs::exists(Out("x.wav")));
  EXPECT_EQ(Kvtts("--format opus --play ahoj"), 2);
  EXPECT_EQ(Kvtts("--local --format mp3 -o " + Out("y").string() + " ahoj"), 0);
  EXPECT_EQ(ReadAudio(Out("y")).rate, 22050) << "--format names the format of any file";
}

TEST_F(KvttsOutput, WavNeverWrapsItsSizes) {
  ASSERT_EQ(Kvtts("-o " + Out("plain.wav").string() + " " + kText), 0);
  const std::string plain = ReadFile(Out("plain.wav"));
  ASSERT_EQ(plain.substr(0, 4), "RIFF");
  const std::vector<short> speech = ReadAudio(Out("plain.wav")).samples;
  const size_t bytes = speech.size() * 2;

  // A text that might pass the limit gets room for RF64: it becomes RF64 past the limit, and
  // stays RIFF (with a JUNK chunk) below it.
  for (bool past : {true, false}) {
    const std::string limit = std::to_string(past ? bytes - 2 : bytes + 2);
    ASSERT_EQ(Kvtts("-o " + Out("r.wav").string() + " " + kText, "KVTTS_WAV_LIMIT=" + limit), 0);
    const std::string file = ReadFile(Out("r.wav"));
    EXPECT_EQ(file.substr(0, 4), past ? "RF64" : "RIFF");
    EXPECT_EQ(file.substr(12, 4), past ? "ds64" : "JUNK");
    EXPECT_EQ(ReadAudio(Out("r.wav")).samples, speech);
  }

  // A text too short to expect it that still passes the limit stops there, whole and said.
  const std::string number = "1234567890123";  // 13 characters, seconds of speech
  const std::string limit = std::to_string(13 * 16384 + 2);
  for (const char* path : {"", "--local"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(Kvtts(std::string(path) + " -o " + Out("cut.wav").string() + " " + number,
                    "KVTTS_WAV_LIMIT=" + limit),
              1);
    EXPECT_NE(ReadFile(Out("err.txt")).find("WAV file holds at most"), std::string::npos);
    EXPECT_EQ(ReadAudio(Out("cut.wav")).samples.size(), (13 * 16384 + 2) / 2);
  }

  // A stream says "as long as it goes", whatever the limit.
  ASSERT_EQ(Kvtts("--stdout " + kText, "KVTTS_WAV_LIMIT=1000", "s.wav"), 0);
  const std::string stream = ReadFile(Out("s.wav"));
  EXPECT_EQ(stream.substr(4, 4), "\xFF\xFF\xFF\xFF");
  EXPECT_EQ(stream.size(), 44 + bytes);
}

// Runs kvtts on a pseudo-terminal; returns what it wrote there.
std::string OnTerminal(const std::string& args) {
  int terminal = -1;
  const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
  if (pid == 0) {
    ::setenv("KVTTS_PROGRESS_AFTER_MS", "0", 1);
    ::execl("/bin/sh", "sh", "-c", (KVTTS_PATH " " + args).c_str(), nullptr);
    ::_exit(127);
  }
  std::string seen;
  char buffer[4096];
  for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;) seen.append(buffer, n);
  ::close(terminal);
  ::waitpid(pid, nullptr, 0);
  return seen;
}

TEST_F(KvttsOutput, ShowsProgressOnATerminalOnly) {
  const std::string shown = OnTerminal("-o " + Out("p.opus").string() + " " + kText);
  EXPECT_NE(shown.find("\r"), std::string::npos) << shown;
  EXPECT_NE(shown.find("% of the text, 0:0"), std::string::npos) << shown;
  EXPECT_NE(shown.find("x real time, "), std::string::npos) << shown;
  EXPECT_NE(shown.find("\r100% of the text, 0:04 of audio, "), std::string::npos) << shown;
  EXPECT_NE(shown.find(" done in 0:0"), std::string::npos) << shown;

  EXPECT_EQ(OnTerminal("--quiet -o " + Out("q.opus").string() + " " + kText), "");
  EXPECT_NE(OnTerminal("--local -o " + Out("q.opus").string() + " " + kText).find("\r100%"),
            std::string::npos);
  ASSERT_EQ(Kvtts("-o " + Out("f.opus").string() + " " + kText, "KVTTS_PROGRESS_AFTER_MS=0"), 0);
  EXPECT_EQ(ReadFile(Out("err.txt")), "") << "stderr is no terminal";
  ASSERT_EQ(
      Kvtts("--progress -o " + Out("f.opus").string() + " " + kText, "KVTTS_PROGRESS_AFTER_MS=0"),
      0);
  EXPECT_NE(ReadFile(Out("err.txt")).find("100% of the text"), std::string::npos);
}

// Starts kvtts with the arguments in the background (stderr to err.txt); returns its process.
pid_t Start(const std::string& args) {
  const std::string cmd = "exec " KVTTS_PATH " " + args + " 2>" + Out("err.txt").string();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execl("/bin/sh", "sh", "-c", cmd.c_str(), nullptr);
    ::_exit(127);
  }
  return pid;
}

// The temporary file beside `name` in the prefix once it holds a megabyte; empty if none came.
fs::path GrownTemporary(const std::string& name) {
  const std::string stem = "." + fs::path(name).stem().string() + ".part-";
  for (int wait = 0; wait < 3000; ++wait) {
    for (const fs::directory_entry& entry : fs::directory_iterator(kv::test::Prefix())) {
      if (entry.path().filename().string().rfind(stem, 0) == 0 &&
          fs::file_size(entry.path()) > 1000000)
        return entry.path();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return {};
}

// Stops a render of the long text into `name` with the signal once it is under way; returns
// the exit code (-1 for a death by the signal) and the temporary file.
std::pair<int, fs::path> Interrupt(const std::string& args, const std::string& name, int signal) {
  const pid_t pid = Start(args + " -f " + Out("long.txt").string() + " -o " + Out(name).string());
  const fs::path temporary = GrownTemporary(name);
  ::kill(pid, signal);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, temporary};
}

// The bytes of audio a WAV file's header says it holds.
size_t HeaderAudioBytes(const fs::path& path) {
  return ReadAudio(path).samples.size() * 2;
}

TEST_F(KvttsOutput, AnInterruptedRenderKeepsTheOldBookAndTheAudioSoFar) {
  {
    std::ofstream text(Out("long.txt"));
    for (int i = 0; i < 2500; ++i) text << "Dobrý den, jak se máte? ";
  }
  ASSERT_EQ(Kvtts("-o " + Out("book.wav").string() + " ahoj"), 0);
  const std::string old = ReadFile(Out("book.wav"));

  // Ctrl-C: the old book stays; the new audio so far is a valid file under the temporary name.
  auto [code, temporary] = Interrupt("", "book.wav", SIGINT);
  ASSERT_FALSE(temporary.empty());
  EXPECT_EQ(code, 130);
  EXPECT_EQ(ReadFile(Out("book.wav")), old);
  EXPECT_EQ(HeaderAudioBytes(temporary) + 44, fs::file_size(temporary));
  const std::string said = ReadFile(Out("err.txt"));
  EXPECT_EQ(said.rfind("Interrupted at ", 0), 0u) << said;
  EXPECT_NE(said.find(temporary.filename().string()), std::string::npos) << said;
  EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line";
  fs::remove(temporary);

  // SIGTERM with no old file: the file holds what was written, and no temporary file stays.
  std::tie(code, temporary) = Interrupt("--local", "new.wav", SIGTERM);
  EXPECT_EQ(code, 143);
  EXPECT_FALSE(fs::exists(temporary));
  EXPECT_EQ(HeaderAudioBytes(Out("new.wav")) + 44, fs::file_size(Out("new.wav")));

  // Even a killed render leaves a header that covers all but the last second or so: the
  // header is patched once a second has been written, so a kill just before a patch leaves
  // that second, the unit that completed it (a sentence pause is long) and a stdio buffer.
  std::tie(code, temporary) = Interrupt("", "killed.wav", SIGKILL);
  EXPECT_EQ(code, -1);
  EXPECT_FALSE(fs::exists(Out("killed.wav")));
  EXPECT_GE(HeaderAudioBytes(temporary) + 44 + 2 * 2 * 22050 + 8192, fs::file_size(temporary));
  EXPECT_GT(HeaderAudioBytes(temporary), 0u);
  fs::remove(temporary);
}

TEST_F(KvttsOutput, OddInputIsAMessageOrReadLeniently) {
  // A folder as input is an input error, not a crash.
  EXPECT_EQ(Kvtts("-f " + kv::test::Prefix().string() + " -o " + Out("x.wav").string()), 1);
  EXPECT_NE(ReadFile(Out("err.txt")).find("Is a directory"), std::string::npos);
  EXPECT_EQ(Kvtts("-o " + Out("x.wav").string() + " < " + kv::test::Prefix().string()), 1);

  auto text = [](const std::string& bytes) {
    std::ofstream(Out("in.txt"), std::ios::binary) << bytes;
    return "-f " + Out("in.txt").string();
  };
  auto trace = [&](const std::string& bytes) {
    Kvtts("--trace " + text(bytes), "", "trace.txt");
    return ReadFile(Out("trace.txt"));
  };
  // A byte-order mark is skipped; what the voice cannot say is left out, with one warning.
  const std::string plain = trace("ahoj  svete");
  ASSERT_NE(plain, "");
  EXPECT_EQ(trace("\xEF\xBB\xBF"
                  "ahoj  svete"),
            plain);
  EXPECT_EQ(trace("ahoj \xF0\x9F\x98\x80 svete"), plain);
  EXPECT_EQ(ReadFile(Out("err.txt")),
            "kvtts: warning: left out 1 character(s) the voice cannot say, the first at byte 5 "
            "(U+1F600)\n");
  // Invalid UTF-8 says where.
  EXPECT_EQ(Kvtts("-o " + Out("x.wav").string() + " " + text("ab\xFF")), 3);
  EXPECT_NE(ReadFile(Out("err.txt")).find("(byte 2)"), std::string::npos);
  // Blank text says there is nothing to speak, and "-o -" is standard output.
  EXPECT_EQ(Kvtts("-o - '  '", "", "blank.wav"), 0);
  EXPECT_EQ(ReadFile(Out("err.txt")), "kvtts: nothing to speak\n");
  EXPECT_EQ(ReadFile(Out("blank.wav")).substr(0, 4), "RIFF");
  EXPECT_FALSE(fs::exists("-"));
}

}  // namespace
