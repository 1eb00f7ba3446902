// speech-dispatcher's output module protocol, one line at a time: commands, their data blocks
// (ended by a line holding "."), the replies, and the messages handed to the speaker.
//
// Lines come without their line feed. Anything malformed gets an error reply and leaves the
// module ready for the next command. A message the module cannot speak (a body past
// kMaxMessageBytes, text the engine refuses) is still answered as spoken and ended at once
// with "703 STOP": the server drops a refused message without telling its client, which would
// then wait for its end forever.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "apps/sd_kvtts/speaker.h"

namespace kv::speechd {

// Far more than a screen reader sends at once (a say-all comes a sentence or a paragraph at a
// time), and little enough that a message and its engine text stay a few tens of MiB.
inline constexpr size_t kMaxMessageBytes = 8 << 20;

// The settings the server sends before every message (the last value of each key counts).
struct MessageSettings {
  int rate = 0, pitch = 0, volume = 0;  // -100..100; 0 is the voice as it is
  bool spelling = false;
  Punctuation punctuation = Punctuation::None;
  Capitals capitals = Capitals::None;
  std::string symbolicVoice;   // lower case; empty: none
  std::string synthesisVoice;  // empty: none
  // The voice they select: a synthesis voice of ours first, then the symbolic voice, else DAVLa.
  int Voice() const;
  // The engine's tone for the pitch, its speed attribute for the rate (the tone's effect on
  // the length made good), and the inline tags for pitch and volume.
  long Tone() const;
  uint32_t Speed() const;
  std::string ProsodyTags() const;
};

class ModuleProtocol {
 public:
  ModuleProtocol(MessageSpeaker& speaker, std::function<void(std::string_view)> write);

  // One line as read (a trailing carriage return is ignored in commands). `truncated`: the
  // line was longer than the reader keeps.
  void Feed(std::string_view line, bool truncated = false);
  // After QUIT: the program ends.
  bool Finished() const { return finished_; }
  const MessageSettings& Settings() const { return settings_; }

 private:
  enum class Block { None, Set, Audio, LogLevel, Speak, Char, Key, SoundIcon };
  void Command(std::string_view command);
  void EndBlock();
  void ApplySettings();
  void AcceptAudio();
  void SpeakMessage(Block kind);
  void EndUnspoken(const std::string& reason);
  void Reply(std::string_view lines) { write_(lines); }

  MessageSpeaker& speaker_;
  std::function<void(std::string_view)> write_;
  MessageSettings settings_;
  bool loaded_ = false;
  bool finished_ = false;
  Block block_ = Block::None;
  std::vector<std::string> lines_;  // of the data block
  size_t bytes_ = 0;
  bool tooLong_ = false;
};

}  // namespace kv::speechd
