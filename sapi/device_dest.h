// The device destination: plays in real time through the process's sound output. It holds
// about two seconds of audio, hands it to the sound output in half-second waves, returns each
// bookmark once the audio before it has been heard (by the loop clock), and tells the engine
// about free space at most 16 times a second.
#pragma once

#include <cstdint>
#include <vector>

#include "sapi/audio_dest.h"

namespace kv::platform {
class SoundBackend;
class WindowTimer;
}  // namespace kv::platform

namespace kv::sapi {

class DeviceDestination final : public AudioDestination {
 public:
  // The process's sound output unless another is given (it must outlive the object). The
  // caller holds the first reference.
  explicit DeviceDestination(platform::SoundBackend* backend = nullptr);

  HRESULT KV_STDCALL Flush() override;
  HRESULT KV_STDCALL Stop() override;

  // Byte position of what has been heard so far.
  uint64_t Heard() const { return heard_; }
  // Whether audio is still on its way to the listener (cached or playing).
  bool Busy() const { return Queued() > 0 || waveBytes_ > 0; }

  static constexpr uint32_t kTickMs = 10;
  static constexpr uint32_t kWaveMs = 500;

 private:
  ~DeviceDestination() override;
  void Consume(std::span<const uint8_t> bytes) override;
  void OnWork() override;
  void Tick();
  platform::SoundBackend& Backend();

  platform::SoundBackend* backend_;
  std::unique_ptr<platform::WindowTimer> timer_;
  std::vector<uint8_t> wave_;  // header and PCM of the wave being handed over
  uint64_t waveStart_ = 0;     // byte position of its first sample
  uint64_t waveBytes_ = 0;     // PCM bytes of the wave playing (0: none)
  int64_t waveStartMs_ = 0;
  bool waveStarted_ = false;
  uint64_t heard_ = 0;
};

}  // namespace kv::sapi
