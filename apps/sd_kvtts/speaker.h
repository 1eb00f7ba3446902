// The module's voice: engine instances of our SAPI runtime, one per voice, each bound to its own
// device destination (the process's sound output), created on first use and kept for the
// session, as engine instances live as long as the engine library.
//
// One message at a time. Events are written as the engine reports them at playback time:
// every bookmark as "700 INDEX MARK" (marks the engine lost with an empty word come out, in
// order, before the next one it reports), the end as "702 END". Stop cuts the audio at once
// and reports "703 STOP"; after Pause the message goes on to the next mark whose name starts
// "__spd_", reports it, stops there and reports "704 PAUSE".
//
// Everything runs on the thread that created the object, driven by its message loop.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "apps/sd_kvtts/engine_text.h"
#include "sapi/tts_enumerator.h"

namespace kv::sapi {
class DeviceDestination;
}

namespace kv::speechd {

struct Utterance {
  EngineText text;
  int voice = 1;         // 1 DAVLa, 2 DAVLuska, 3 DAVL
  uint32_t speed = 151;  // the engine's speed attribute (10..250; 151 normal)
};

// What the protocol asks of whatever speaks its messages.
class MessageSpeaker {
 public:
  virtual ~MessageSpeaker() = default;
  // Makes the voices ready. False, with the reason, when none can be had.
  virtual bool Load(std::string* problem) = 0;
  // Starts speaking. False, with the reason, when the message is refused.
  virtual bool Speak(const Utterance& utterance, std::string* problem) = 0;
  virtual void Stop() = 0;
  virtual void Pause() = 0;
  virtual bool Speaking() const = 0;
};

class Speaker final : public MessageSpeaker {
 public:
  // `write` takes complete protocol lines (with their line feeds).
  explicit Speaker(std::function<void(std::string_view)> write);
  ~Speaker() override;
  Speaker(const Speaker&) = delete;
  Speaker& operator=(const Speaker&) = delete;

  // Loads the registered engines, registering the installed one into a prefix that has none.
  // False, with the reason, when no voice of ours can be had.
  bool Load(std::string* problem) override;

  // Starts speaking. False, with the reason, when the engine refuses.
  bool Speak(const Utterance& utterance, std::string* problem) override;
  void Stop() override;
  void Pause() override;
  bool Speaking() const override { return active_ != nullptr; }

 private:
  struct Instance;
  friend struct Instance;
  Instance* Take(int voice, std::string* problem);
  void OnBookMark(Instance* from, uint32_t number);
  void OnEnd(Instance* from);
  void ReportMark(const std::string& name);
  void Finish(const char* event, bool cut);

  std::function<void(std::string_view)> write_;
  std::unique_ptr<sapi::TtsEnumerator> enumerator_;
  std::array<std::unique_ptr<Instance>, 3> instances_;
  Instance* active_ = nullptr;
  // The marks of the message not reported yet: bookmark number and name, in order.
  std::deque<std::pair<uint32_t, std::string>> marks_;
  bool pauseRequested_ = false;
};

}  // namespace kv::speechd
