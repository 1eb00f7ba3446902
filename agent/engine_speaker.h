// A character's voice: speaks through our SAPI runtime in the engine mode asked for, into the
// sound device, without waiting. The engine's notifications come back on the message loop:
// the start of each word, the mouth's opening, and the end of the speech.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace kv::agent {

class EngineSpeaker {
 public:
  struct Events {
    std::function<void(size_t position)> word;  // the word begun, counted from the text's start
    std::function<void(int opening)> mouth;     // 0 (closed) .. 255
    std::function<void()> done;                 // audio stopped (also after Stop)
  };

  EngineSpeaker();
  ~EngineSpeaker();
  EngineSpeaker(const EngineSpeaker&) = delete;
  EngineSpeaker& operator=(const EngineSpeaker&) = delete;

  // Whether a registered engine offers the mode (GUID in braces).
  bool HasMode(const std::string& modeId);
  // Starts speaking the Windows-1250 text (line breaks end words, as spaces do); false (and no
  // events) when the mode cannot speak.
  bool Start(const std::string& text, const std::string& modeId, Events events);
  // Cuts the speech short; `done` follows.
  void Stop();

 private:
  struct Session;
  std::unique_ptr<Session> session_;
};

}  // namespace kv::agent
