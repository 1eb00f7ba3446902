// sd_kvtts_latency: how fast the speech-dispatcher module answers, in two ways (no part of the
// tests). Register the engine first (regsvr build/lib/kv_ttse.so).
//
//   sd_kvtts_latency [ROUNDS]
//
// In process: from the line "." that ends a SPEAK of a short sentence to the first wave handed
// to the sound output, and from STOP to the sound output being stopped.
// Through the pipes of a real sd_kvtts (next to this program, KVTTS_SOUND=silent): from writing
// STOP while the module speaks to reading its "703 STOP", the round trip the server sees.
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "apps/sd_kvtts/module_protocol.h"
#include "platform/message_loop.h"
#include "platform/sound.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kSentence = "Dobrý den, jak se máte?";

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

void Print(const char* what, std::vector<double> v) {
  std::sort(v.begin(), v.end());
  if (v.empty()) return;
  std::printf("%-44s median %7.2f ms   p95 %7.2f ms   max %7.2f ms   (%zu rounds)\n", what,
              v[v.size() / 2], v[v.size() * 95 / 100], v.back(), v.size());
}

// Silent output that notes when the first wave was started and when it was stopped.
class Stamping final : public kv::platform::SoundBackend {
 public:
  bool Start(std::span<const uint8_t> wave) override {
    if (!firstStart) firstStart = Clock::now();
    return inner_->Start(wave);
  }
  bool IsPlaying() override { return inner_->IsPlaying(); }
  void Stop() override {
    stopped = Clock::now();
    inner_->Stop();
  }
  std::string Name() const override { return "stamping"; }
  std::optional<Clock::time_point> firstStart, stopped;

 private:
  std::unique_ptr<kv::platform::SoundBackend> inner_ = kv::platform::MakeSilentBackend();
};

void InProcess(int rounds) {
  auto owned = std::make_unique<Stamping>();
  Stamping* sound = owned.get();
  kv::platform::SetSoundBackend(std::move(owned));
  auto& loop = kv::platform::MessageLoop::Current();
  std::string out;
  kv::speechd::Speaker speaker([&](std::string_view s) { out += s; });
  kv::speechd::ModuleProtocol protocol(speaker, [&](std::string_view s) { out += s; });
  protocol.Feed("INIT");
  if (!out.starts_with("299")) {
    std::fprintf(stderr, "%s", out.c_str());
    std::exit(1);
  }
  std::vector<double> first, stop;
  for (int i = 0; i < rounds; ++i) {
    sound->firstStart.reset();
    for (const char* line : {"SET", "rate=0", ".", "SPEAK", kSentence}) protocol.Feed(line);
    const auto sent = Clock::now();
    protocol.Feed(".");
    loop.RunUntil([&] { return sound->firstStart.has_value(); }, 2000);
    if (sound->firstStart) first.push_back(Ms(*sound->firstStart - sent));
    loop.RunUntil([] { return false; }, 300);
    sound->stopped.reset();
    const auto told = Clock::now();
    protocol.Feed("STOP");
    if (sound->stopped) stop.push_back(Ms(*sound->stopped - told));
  }
  Print("in process: SPEAK to first audio", first);
  Print("in process: STOP to the sound stopped", stop);
}

// Reads from fd until a line equal to `wanted` has come; false on end of input or after 5 s.
bool ReadUntil(int fd, std::string& buffer, const std::string& wanted) {
  for (;;) {
    size_t at;
    while ((at = buffer.find('\n')) != std::string::npos) {
      const std::string line = buffer.substr(0, at);
      buffer.erase(0, at + 1);
      if (line == wanted) return true;
    }
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 5000) <= 0) return false;
    char chunk[4096];
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n <= 0) return false;
    buffer.append(chunk, size_t(n));
  }
}

void ThroughPipes(int rounds, const std::filesystem::path& module) {
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  setenv("KVTTS_SOUND", "silent", 1);
  const std::string path = module.string();
  char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ) != 0) {
    std::fprintf(stderr, "cannot start %s\n", path.c_str());
    return;
  }
  close(in[0]);
  close(out[1]);
  auto send = [&](const std::string& s) { return write(in[1], s.data(), s.size()) > 0; };
  std::string buffer;
  send("INIT\n");
  std::vector<double> begin, stop;
  if (ReadUntil(out[0], buffer, "299 OK LOADED SUCCESSFULLY")) {
    for (int i = 0; i < rounds; ++i) {
      send(std::string("SET\nrate=0\n.\nSPEAK\n") + kSentence + "\n");
      const auto sent = Clock::now();
      send(".\n");
      if (!ReadUntil(out[0], buffer, "701 BEGIN")) break;
      begin.push_back(Ms(Clock::now() - sent));
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      const auto told = Clock::now();
      send("STOP\n");
      if (!ReadUntil(out[0], buffer, "703 STOP")) break;
      stop.push_back(Ms(Clock::now() - told));
    }
  }
  send("QUIT\n");
  close(in[1]);
  waitpid(pid, nullptr, 0);
  close(out[0]);
  Print("sd_kvtts on pipes: SPEAK to 701 BEGIN", begin);
  Print("sd_kvtts on pipes: STOP to 703 STOP", stop);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  InProcess(rounds);
  ThroughPipes(rounds, std::filesystem::canonical("/proc/self/exe").parent_path() / "sd_kvtts");
  return 0;
}
