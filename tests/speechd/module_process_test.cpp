// sd_kvtts as the server runs it: lines on a pipe, read by the module's reader thread while it
// speaks. Malformed input gets error replies; the end of input ends the program.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <random>
#include <string>

#include "apps/sd_kvtts/module_protocol.h"
#include "tests/support/test_prefix.h"

extern char** environ;

namespace {

// The module runs in this program's fresh prefix, with the engine registered there.
class ModuleProcessTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_FALSE(kv::test::Prefix().empty());
    ASSERT_EQ(std::system(REGSVR_PATH " " KV_TTSE_PATH " >/dev/null"), 0);
  }
};

struct Outcome {
  std::string out;
  int status = -1;
};

// Starts the module, writes the input (then closes it), and reads every reply until the
// module ends; a module that has not ended 20 s after its input is killed (status -1).
Outcome RunModule(const std::string& input) {
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, in[1]);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  char* argv[] = {const_cast<char*>(SD_KVTTS_PATH), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, SD_KVTTS_PATH, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  Outcome run;
  if (spawned != 0) return run;
  size_t written = 0;
  bool inputOpen = true, outputOpen = true;
  while (outputOpen) {
    pollfd fds[2] = {{out[0], POLLIN, 0}, {inputOpen ? in[1] : -1, POLLOUT, 0}};
    if (poll(fds, 2, 20000) <= 0) break;
    if (fds[0].revents != 0) {
      char buffer[65536];
      const ssize_t n = read(out[0], buffer, sizeof buffer);
      if (n <= 0)
        outputOpen = false;
      else
        run.out.append(buffer, size_t(n));
    }
    if (inputOpen && fds[1].revents != 0) {
      const ssize_t n = write(in[1], input.data() + written, input.size() - written);
      if (n > 0) written += size_t(n);
      if (n < 0 || written == input.size()) {
        close(in[1]);
        inputOpen = false;
      }
    }
  }
  if (inputOpen) close(in[1]);
  close(out[0]);
  if (outputOpen) kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  run.status = outputOpen ? -1 : status;
  return run;
}

TEST_F(ModuleProcessTest, JunkAndHugeMessagesGetErrorsAndTheEndOfInputEndsTheModule) {
  std::mt19937 random(14);
  std::string junk;
  for (int i = 0; i < 20000; ++i) junk += char(random() % 256);
  const std::string tooLong(kv::speechd::kMaxMessageBytes + 1, 'a');  // one line
  const Outcome run = RunModule("INIT\n" + junk + "\nSPEAK\n" + tooLong + "\n.\nSPEAK\nAhoj.\n.\n" +
                                "SPEAK\nbez tečky na konci\n");
  EXPECT_EQ(run.status, 0) << "ended by the end of its input, neither crashed nor hung";
  EXPECT_NE(run.out.find("300 ERR UNKNOWN COMMAND\n"), std::string::npos);
  EXPECT_NE(run.out.find("202 OK RECEIVING MESSAGE\n200 OK SPEAKING\n701 BEGIN\n703 STOP\n"),
            std::string::npos)
      << "a message past the limit is ended at once";
  EXPECT_NE(run.out.find("200 OK SPEAKING\n701 BEGIN\n"), std::string::npos)
      << "the module goes on after the errors";
}

TEST_F(ModuleProcessTest, StopIsReadWhileTheModuleSpeaks) {
  std::string text;
  for (int i = 0; i < 50; ++i) text += "Dlouhý text, který se nedočte. ";
  const Outcome run = RunModule("INIT\nSET\nrate=0\n.\nSPEAK\n" + text + "\n.\nSTOP\nQUIT\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("701 BEGIN\n703 STOP\n210 OK QUIT\n"), std::string::npos) << run.out;
}

}  // namespace
