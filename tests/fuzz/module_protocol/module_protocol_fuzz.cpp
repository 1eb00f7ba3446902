// libFuzzer target: bytes as what speech-dispatcher (or any program on the desktop) writes to
// the module, one protocol line per line feed, through the module's protocol with a speaker
// that only checks what it is given. Every command gets a reply that ends in a final numbered
// line (STOP and PAUSE only act), the module writes nothing but numbered protocol lines, and
// the engine text it makes carries no tag but its own.
#include <string>
#include <string_view>

#include "apps/sd_kvtts/module_protocol.h"
#include "tests/fuzz/fuzz_check.h"

using kv::fuzz::Require;
using namespace kv::speechd;

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Lines "NNN-text" and a last "NNN text", nothing else. Returns whether the last was final.
bool CheckProtocol(std::string_view out) {
  Require(out.empty() || out.back() == '\n', "the module writes whole lines");
  bool final = false;
  while (!out.empty()) {
    const size_t end = out.find('\n');
    const std::string_view line = out.substr(0, end);
    Require(line.size() >= 4 && IsDigit(line[0]) && IsDigit(line[1]) && IsDigit(line[2]) &&
                (line[3] == ' ' || line[3] == '-'),
            "every line the module writes is a numbered protocol line");
    for (char c : line) Require(static_cast<unsigned char>(c) >= 32 || c == '\t', "one line");
    final = line[3] == ' ';
    out.remove_prefix(end + 1);
  }
  return final;
}

// The only tags in the engine text are the module's: \ton=N\, \vol=N\, \mrk=N\, one bookmark
// per mark; no brace at all.
void CheckEngineText(const EngineText& text) {
  const std::string& t = text.text;
  Require(t.find_first_of("{}") == std::string::npos, "no brace reaches the engine");
  Require(t.find_first_of("\x01\x02") == std::string::npos, "no pitch mark is left");
  size_t marks = 0;
  for (size_t i = t.find('\\'); i != std::string::npos; i = t.find('\\', i)) {
    const std::string_view name = std::string_view(t).substr(i + 1, 4);
    Require(name == "ton=" || name == "vol=" || name == "mrk=", "a tag of the module's own");
    size_t j = i + 5;
    if (name == "ton=" && j < t.size() && t[j] == '-') ++j;
    const size_t digits = j;
    uint64_t value = 0;
    while (j < t.size() && IsDigit(t[j]) && j - digits < 10) value = value * 10 + (t[j++] - '0');
    Require(j > digits && j < t.size() && t[j] == '\\', "a tag with a number, closed");
    if (name == "mrk=") {
      Require(IsMarkNumber(uint32_t(value)), "bookmarks of marks in their range");
      ++marks;
    }
    i = j + 1;
  }
  Require(marks == text.marks.size(), "one bookmark per mark");
}

class CheckingSpeaker final : public MessageSpeaker {
 public:
  explicit CheckingSpeaker(std::string& out) : out_(out) {}
  bool Load(std::string*) override { return true; }
  bool Speak(const Utterance& u, std::string* problem) override {
    Require(!speaking_, "one message at a time");
    Require(u.voice >= 1 && u.voice <= 3, "a voice of ours");
    Require(u.speed >= 10 && u.speed <= 250, "a speed the engine takes");
    CheckEngineText(u.text);
    if (u.text.text.size() % 7 == 0) {  // now and then the engine refuses one
      *problem = "refused\nwith a line feed";
      return false;
    }
    speaking_ = true;
    return true;
  }
  void Stop() override {
    if (speaking_) out_ += "703 STOP\n";
    speaking_ = false;
  }
  void Pause() override {
    if (speaking_) out_ += "704 PAUSE\n";
    speaking_ = false;
  }
  bool Speaking() const override { return speaking_; }
  // The message plays to its end.
  void End() {
    if (speaking_) out_ += "702 END\n";
    speaking_ = false;
  }

 private:
  std::string& out_;
  bool speaking_ = false;
};

std::string_view Trimmed(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
    line.remove_suffix(1);
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string out;
  CheckingSpeaker speaker(out);
  ModuleProtocol protocol(speaker, [&](std::string_view lines) { out += lines; });
  std::string_view input = kv::fuzz::Bytes(data, size);
  bool inBlock = false;
  while (!input.empty() && !protocol.Finished()) {
    const size_t end = input.find('\n');
    const std::string_view line = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    const std::string_view command = Trimmed(line);
    // A message still playing hears STOP, PAUSE and the next SPEAK; otherwise it has ended.
    if (inBlock || !(command == "STOP" || command == "PAUSE" || command == "SPEAK")) speaker.End();
    CheckProtocol(out);
    out.clear();
    protocol.Feed(line);
    const bool final = CheckProtocol(out);
    if (!inBlock && command != "STOP" && command != "PAUSE")
      Require(final, "every command gets its numbered reply");
    if (inBlock) Require(out.empty() || command == ".", "data lines get no reply");
    if (!out.empty())
      inBlock = out.find("RECEIVING") != std::string::npos;
    else if (inBlock && command == ".")
      inBlock = false;
  }
  return 0;
}
