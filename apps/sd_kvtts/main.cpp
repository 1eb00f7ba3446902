// sd_kvtts: the speech-dispatcher output module of KORVEN TTS. The server starts it once per
// session and talks to it on standard input and output; it speaks through the registered
// engine, the way any SAPI host does, and plays the audio itself.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <string_view>

#include "apps/sd_kvtts/line_reader.h"
#include "apps/sd_kvtts/module_protocol.h"
#include "apps/sd_kvtts/speaker.h"
#include "platform/message_loop.h"

namespace {

constexpr const char* kHelp =
    "Usage: sd_kvtts [CONFIG]\n"
    "The speech-dispatcher output module of KORVEN TTS: speaks Czech with the voices DAVLa\n"
    "(female), DAVLuska (child) and DAVL (male) through the registered engine.\n"
    "\n"
    "speech-dispatcher starts it and speaks its module protocol on standard input and\n"
    "output; CONFIG is the module configuration file it passes (not read: the module needs\n"
    "no settings). A prefix with no engine registered gets the installed engine registered\n"
    "on first use.\n"
    "\n"
    "Options:\n"
    "  -h, --help       show this help\n"
    "  --version        show the version\n"
    "\n"
    "Environment: KVTTS_PREFIX names the prefix (registry and Windows folder; default\n"
    "~/.local/share/kvtts). KVTTS_SOUND=auto|alsa|alsa:DEVICE|silent|capture:FILE chooses\n"
    "the sound output.\n";

void WriteAll(std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = write(STDOUT_FILENO, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the server is gone; the end of input follows
    text.remove_prefix(size_t(n));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
    std::cout << kHelp;
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::cout << "sd_kvtts " KV_VERSION "\n";
    return 0;
  }
  std::signal(SIGPIPE, SIG_IGN);

  using namespace kv::speechd;
  kv::platform::MessageLoop& loop = kv::platform::MessageLoop::Current();
  Speaker speaker(WriteAll);
  ModuleProtocol protocol(speaker, WriteAll);
  bool handling = false, ended = false;
  LineReader* reader = nullptr;
  // Takes every line read so far. A call made while lines are being handled (the speaker runs
  // the loop's pending work before it starts a message) leaves them to the running one.
  auto handle = [&] {
    if (handling) return;
    handling = true;
    while (auto line = reader->Pop()) {
      if (line->end) {
        ended = true;
        break;
      }
      protocol.Feed(line->text, line->truncated);
      if (protocol.Finished()) break;
    }
    handling = false;
  };
  LineReader lines(STDIN_FILENO, kMaxMessageBytes + 1, [&] { loop.Post(handle); });
  reader = &lines;
  loop.RunUntil([&] { return protocol.Finished() || ended; });
  return 0;
}
