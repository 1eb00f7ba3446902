// kvtts from the outside: the --trace format that tests and diagnosis rely on, exit codes, and
// speaking through the registered engine.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/test_prefix.h"

namespace {

struct Result {
  int code;
  std::string out;
};

Result Kvtts(const std::string& args, const std::string& input = "") {
  std::string cmd = "KVTTS_SEED=5 " KVTTS_PATH " " + args;
  if (!input.empty()) cmd = "printf '" + input + "' | " + cmd;
  FILE* p = ::popen((cmd + " 2>/dev/null").c_str(), "r");
  std::string out;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  int status = ::pclose(p);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

TEST(Kvtts, TraceIsOneJsonLinePerWordSlot) {
  Result r = Kvtts("--trace 'Čau, \\mrk=4\\lidi!'");
  ASSERT_EQ(r.code, 0);
  size_t nl = r.out.find('\n');
  ASSERT_NE(nl, std::string::npos);
  std::string first = r.out.substr(0, nl), second = r.out.substr(nl + 1);
  EXPECT_EQ(first.rfind("{\"word\":\"čau, \",\"text\":\"čau, \",\"pitch_level\":", 0), 0u);
  EXPECT_NE(first.find(",\"entries\":[{\"letter\":\"č\",\"grapheme\":\"č\",\"unit\":\"č\","
                       "\"prev\":\"č\",\"next\":\"a\",\"first\":\"č\",\"last\":\" \",\"pause\":0,"
                       "\"duration\":"),
            std::string::npos);
  for (const char* key :
       {"\"gain\":", "\"loudness\":63750,", "\"span\":1,", "\"tone\":0,", "\"speed\":100,",
        "\"target_pitch\":", "\"pitch_shift\":0,", "\"final_pitch\":0,",
        "\"first_segment\":", "\"dropped_segments\":", "\"marks_before\":[]", "\"marks_after\":[]"})
    EXPECT_NE(first.find(key), std::string::npos) << key;
  EXPECT_EQ(second.rfind("{\"word\":\"lidi!\"", 0), 0u);
  EXPECT_NE(second.find("\"marks_before\":[4]"), std::string::npos);
  EXPECT_EQ(r.out.back(), '\n');
  EXPECT_EQ(Kvtts("--trace 'Čau, \\mrk=4\\lidi!'").out, r.out);  // KVTTS_SEED: reproducible
}

TEST(Kvtts, ExitCodes) {
  EXPECT_EQ(Kvtts("--help").code, 0);
  EXPECT_EQ(Kvtts("--bogus x").code, 2);
  EXPECT_EQ(Kvtts("-v Nobody --stdout x").code, 2);
  EXPECT_EQ(Kvtts("--stdout", "\\377\\376").code, 3);  // not UTF-8
  EXPECT_EQ(Kvtts("-f /nonexistent/file --stdout").code, 1);
  EXPECT_EQ(Kvtts("--local --rate 100 --stdout x").code, 2);
  EXPECT_EQ(Kvtts("-o a.wav --play x").code, 2);
  Result wav = Kvtts("--local --stdout -v DAVL", "ahoj");
  EXPECT_EQ(wav.code, 0);
  EXPECT_EQ(wav.out.substr(0, 4), "RIFF");
  EXPECT_EQ(wav.out.substr(8, 8), "WAVEfmt ");
}

TEST(Kvtts, SpeaksThroughTheRegisteredEngine) {
  kv::test::ResetPrefix();
  EXPECT_EQ(Kvtts("--list-voices").code, 4);  // nothing registered yet
  EXPECT_EQ(Kvtts("--stdout ahoj").code, 4);
  ASSERT_EQ(std::system(REGSVR_PATH " " KV_TTSE_PATH " >/dev/null"), 0);
  const Result voices = Kvtts("--list-voices");
  EXPECT_EQ(voices.code, 0);
  for (const char* voice : {"DAVLa", "DAVLuska", "DAVL"})
    EXPECT_NE(voices.out.find(voice), std::string::npos) << voice;

  EXPECT_EQ(Kvtts("'Dobrý den'").code, 0);  // no output named: aloud
  const Result wav = Kvtts("--stdout -v DAVLuska 'Dobrý den'");
  EXPECT_EQ(wav.code, 0);
  EXPECT_EQ(wav.out.substr(0, 4), "RIFF");
  EXPECT_GT(wav.out.size(), 44u + 22050u);  // more than half a second of speech

  const Result events = Kvtts("-o /dev/null --events 'Dobrý \\mrk=7\\den'");
  EXPECT_EQ(events.code, 0);
  const size_t started = events.out.find("\"event\":\"TextDataStarted\"");
  const size_t mark = events.out.find("\"event\":\"BookMark\",\"mark\":7");
  const size_t stop = events.out.find("\"event\":\"AudioStop\"");
  ASSERT_NE(started, std::string::npos);
  ASSERT_NE(mark, std::string::npos);
  ASSERT_NE(stop, std::string::npos);
  EXPECT_LT(started, mark);
  EXPECT_LT(mark, stop);
  EXPECT_NE(events.out.find("\"event\":\"WordPosition\",\"position\":6"), std::string::npos);
}

}  // namespace
