#include "apps/sd_kvtts/module_protocol.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "apps/sd_kvtts/protocol_line.h"
#include "apps/sd_kvtts/speech_rate.h"
#include "apps/sd_kvtts/voices.h"
#include "platform/cp1250.h"
#include "platform/sound.h"

namespace kv::speechd {

namespace {

std::string_view TrimCommand(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
    line.remove_suffix(1);
  return line;
}

bool ReadLevel(std::string_view value, int* out) {
  int v = 0;
  const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), v);
  if (ec != std::errc() || end != value.data() + value.size()) return false;
  *out = std::clamp(v, -100, 100);
  return true;
}

// Spelled capitals in Icon mode: their names at the highest tone, then back to the message's.
void RaiseCapitals(std::string& text, long tone) {
  if (text.find(kRaiseMark) == std::string::npos) return;
  std::string out;
  for (char c : text) {
    if (c == kRaiseMark)
      out += "\\ton=12\\";
    else if (c == kLowerMark)
      out += "\\ton=" + std::to_string(tone) + "\\";
    else
      out += c;
  }
  text = std::move(out);
}

}  // namespace

int MessageSettings::Voice() const {
  if (int v = VoiceByName(synthesisVoice)) return v;
  if (int v = VoiceBySymbol(symbolicVoice)) return v;
  return 1;
}

long MessageSettings::Tone() const {
  return std::lround(pitch * 12.0 / 100.0);
}

uint32_t MessageSettings::Speed() const {
  return EngineSpeed(rate, int(Tone()));
}

std::string MessageSettings::ProsodyTags() const {
  // Pitch as the tone tag (-12..12 steps). Volume as the loudness tag in proportion, as other
  // modules have it: 0 is the voice's normal loudness (63750) and -100 silence (loudness 1: 0
  // would mean the voice's own loudness); above 0 it grows to 1.9 times at 100, as loud as
  // the voices go without overflowing their samples (their peaks reach about 17000 at normal
  // loudness). Both stay set in the synthesizer, so every message states them.
  const double gain = volume <= 0 ? (volume + 100) / 100.0 : 1.0 + 0.9 * volume / 100.0;
  const long loudness = std::max(1L, std::lround(63750.0 * gain));
  return "\\ton=" + std::to_string(Tone()) + "\\\\vol=" + std::to_string(loudness) + "\\";
}

ModuleProtocol::ModuleProtocol(MessageSpeaker& speaker, std::function<void(std::string_view)> write)
    : speaker_(speaker), write_(std::move(write)) {}

void ModuleProtocol::Feed(std::string_view line, bool truncated) {
  if (block_ == Block::None) {
    Command(truncated ? std::string_view() : TrimCommand(line));
    return;
  }
  if (TrimCommand(line) == "." && !truncated) {
    EndBlock();
    return;
  }
  if (!line.empty() && line[0] == '.') line.remove_prefix(1);  // the server doubled it
  bytes_ += line.size() + 1;
  if (truncated || bytes_ > kMaxMessageBytes) tooLong_ = true;
  if (!tooLong_) lines_.emplace_back(line);
}

void ModuleProtocol::Command(std::string_view c) {
  lines_.clear();
  bytes_ = 0;
  tooLong_ = false;
  if (c == "INIT") {
    std::string problem;
    loaded_ = speaker_.Load(&problem);
    Reply(loaded_ ? "299-KORVEN TTS: voices DAVLa, DAVLuska, DAVL\n299 OK LOADED SUCCESSFULLY\n"
                  : "399-" + OneLine(problem) + "\n399 ERR CANT INIT MODULE\n");
  } else if (c == "SPEAK" || c == "CHAR" || c == "KEY" || c == "SOUND_ICON") {
    block_ = c == "SPEAK"  ? Block::Speak
             : c == "CHAR" ? Block::Char
             : c == "KEY"  ? Block::Key
                           : Block::SoundIcon;
    Reply("202 OK RECEIVING MESSAGE\n");
  } else if (c == "STOP") {
    speaker_.Stop();
  } else if (c == "PAUSE") {
    speaker_.Pause();
  } else if (c == "SET") {
    block_ = Block::Set;
    Reply("203 OK RECEIVING SETTINGS\n");
  } else if (c == "AUDIO") {
    block_ = Block::Audio;
    Reply("207 OK RECEIVING AUDIO SETTINGS\n");
  } else if (c == "LOGLEVEL") {
    block_ = Block::LogLevel;
    Reply("207 OK RECEIVING LOGLEVEL SETTINGS\n");
  } else if (c == "LIST VOICES") {
    std::string list;
    for (const ListedVoice& v : kListedVoices)
      list += "200-" + std::string(v.name) + "\tcs\t" + std::string(v.symbolic) + "\n";
    Reply(list + "200 OK VOICE LIST SENT\n");
  } else if (c.starts_with("DEBUG ON")) {
    Reply("200 OK DEBUGGING ON\n");
  } else if (c == "DEBUG OFF") {
    Reply("200 OK DEBUGGING OFF\n");
  } else if (c == "QUIT") {
    finished_ = true;
    Reply("210 OK QUIT\n");
  } else {
    Reply("300 ERR UNKNOWN COMMAND\n");
  }
}

void ModuleProtocol::EndBlock() {
  const Block block = block_;
  block_ = Block::None;
  switch (block) {
    case Block::Set:
      ApplySettings();
      break;
    case Block::Audio:
      AcceptAudio();
      break;
    case Block::LogLevel:
      Reply("203 OK LOGLEVEL SET\n");
      break;
    default:
      SpeakMessage(block);
  }
  lines_.clear();
}

void ModuleProtocol::ApplySettings() {
  MessageSettings s = settings_;
  bool syntax = !tooLong_, values = true;
  for (const std::string& line : lines_) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) {
      syntax = false;
      continue;
    }
    const std::string_view key = std::string_view(line).substr(0, eq);
    const std::string_view value = TrimCommand(std::string_view(line).substr(eq + 1));
    const bool unset = value == "NULL";
    if (key == "rate")
      values &= ReadLevel(value, &s.rate);
    else if (key == "pitch")
      values &= ReadLevel(value, &s.pitch);
    else if (key == "volume")
      values &= ReadLevel(value, &s.volume);
    else if (key == "spelling_mode")
      s.spelling = value == "on";
    else if (key == "punctuation_mode")
      s.punctuation = PunctuationFromName(value);
    else if (key == "cap_let_recogn")
      s.capitals = CapitalsFromName(value);
    else if (key == "voice")
      s.symbolicVoice = unset ? "" : std::string(value);
    else if (key == "synthesis_voice")
      s.synthesisVoice = unset ? "" : std::string(value);
    // Other keys (language, pitch range) need nothing: the engine speaks Czech only. When the
    // server puts punctuation into words itself, it sends punctuation_mode=none.
  }
  if (!syntax) return Reply("302 ERROR BAD SYNTAX\n");
  if (!values) return Reply("303 ERROR INVALID PARAMETER OR VALUE\n");
  settings_ = s;
  Reply("203 OK SETTINGS RECEIVED\n");
}

void ModuleProtocol::AcceptAudio() {
  std::string method, alsaDevice;
  for (const std::string& line : lines_) {
    if (line.starts_with("audio_output_method=")) method = line.substr(20);
    if (line.starts_with("audio_alsa_device=")) alsaDevice = line.substr(18);
  }
  // The module plays its audio itself, through the system's sound output: only that way do
  // bookmarks come back when their audio is heard and does STOP cut the sound at once.
  if (method == "server") return Reply("300-KORVEN TTS plays its audio itself\n300 MODULE ERROR\n");
  const char* chosen = std::getenv("KVTTS_SOUND");
  if ((chosen == nullptr || *chosen == '\0') && method.starts_with("alsa") && !alsaDevice.empty() &&
      alsaDevice != "default") {
    std::string notes;
    platform::SetSoundBackend(platform::MakeSoundBackend("alsa:" + alsaDevice, &notes));
  }
  Reply("203 OK AUDIO INITIALIZED\n");
}

void ModuleProtocol::SpeakMessage(Block kind) {
  if (tooLong_)
    return EndUnspoken("the message is longer than " + std::to_string(kMaxMessageBytes) + " bytes");
  if (kind != Block::Speak && lines_.size() > 1) return Reply("305 DATA MORE THAN ONE LINE\n");
  if (speaker_.Speaking())
    return Reply("301-a message is still being spoken\n301 ERROR CANT SPEAK\n");
  std::string body;
  for (size_t i = 0; i < lines_.size(); ++i) body += (i > 0 ? "\n" : "") + lines_[i];
  Utterance u;
  u.voice = settings_.Voice();
  u.speed = settings_.Speed();
  if (kind == Block::Speak)
    u.text = FromSsml(body, {settings_.spelling, settings_.punctuation, settings_.capitals});
  else if (kind == Block::Char)
    u.text.text = CharacterText(body, settings_.capitals);
  else if (kind == Block::Key)
    u.text.text = KeyText(body);
  RaiseCapitals(u.text.text, settings_.Tone());
  u.text.text.insert(0, settings_.ProsodyTags());  // a sound icon says nothing
  std::string problem;
  if (!speaker_.Speak(u, &problem)) return EndUnspoken(problem);
  Reply("200 OK SPEAKING\n701 BEGIN\n");
}

void ModuleProtocol::EndUnspoken(const std::string& reason) {
  std::fprintf(stderr, "sd_kvtts: message not spoken: %s\n", OneLine(reason).c_str());
  Reply("200 OK SPEAKING\n701 BEGIN\n703 STOP\n");
}

}  // namespace kv::speechd
