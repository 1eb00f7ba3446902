// Sound output: the stand-in for the multimedia call that plays a wave held in memory.
//
// Two operations serve the synthesizer: start a wave asynchronously, stopping whatever plays;
// and the no-stop probe, which plays the given wave only when nothing is playing and fails
// otherwise. Backends: a real sound card, a silent one that takes each wave's duration on the
// calling thread's loop clock, and a capture one that records every wave started.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace kv::platform {

inline constexpr uint32_t SND_ASYNC = 0x1;
inline constexpr uint32_t SND_MEMORY = 0x4;
inline constexpr uint32_t SND_NOSTOP = 0x10;

class SoundBackend {
 public:
  virtual ~SoundBackend() = default;
  // Starts the RIFF/WAVE image (header included), stopping the current sound.
  virtual bool Start(std::span<const uint8_t> wave) = 0;
  virtual bool IsPlaying() = 0;
  virtual void Stop() = 0;
  virtual std::string Name() const = 0;
};

// The silent backend: nothing is heard, each wave lasts its duration on the loop clock of the
// thread that started it.
std::unique_ptr<SoundBackend> MakeSilentBackend();

// The process's backend. Chosen on first use (see sound.cpp) unless one was installed.
SoundBackend& CurrentSoundBackend();
// Installs a backend (tests, programs that capture); returns the previous one.
std::unique_ptr<SoundBackend> SetSoundBackend(std::unique_ptr<SoundBackend> backend);

// sndPlaySound: flags SND_ASYNC | SND_MEMORY, optionally SND_NOSTOP. Returns false when the
// wave could not be started (with SND_NOSTOP: because something is still playing).
bool SndPlaySound(std::span<const uint8_t> wave, uint32_t flags);

// Duration in milliseconds of a RIFF/WAVE image (0 for a malformed one).
int64_t WaveDurationMs(std::span<const uint8_t> wave);

}  // namespace kv::platform
