#include "platform/sound.h"

#include <cstring>
#include <mutex>

#include "platform/message_loop.h"

namespace kv::platform {
namespace {

uint32_t U32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

class SilentBackend : public SoundBackend {
 public:
  bool Start(std::span<const uint8_t> wave) override {
    end_ = MessageLoop::Current().Now() + WaveDurationMs(wave);
    return true;
  }
  bool IsPlaying() override { return MessageLoop::Current().Now() < end_; }
  void Stop() override { end_ = 0; }
  std::string Name() const override { return "silent"; }

 private:
  int64_t end_ = 0;
};

std::mutex g_mutex;
std::unique_ptr<SoundBackend> g_backend;

}  // namespace

std::unique_ptr<SoundBackend> MakeSilentBackend() {
  return std::make_unique<SilentBackend>();
}

SoundBackend& CurrentSoundBackend() {
  std::lock_guard lock(g_mutex);
  if (!g_backend) g_backend = MakeSilentBackend();
  return *g_backend;
}

std::unique_ptr<SoundBackend> SetSoundBackend(std::unique_ptr<SoundBackend> backend) {
  std::lock_guard lock(g_mutex);
  std::swap(g_backend, backend);
  return backend;
}

int64_t WaveDurationMs(std::span<const uint8_t> wave) {
  if (wave.size() < 44 || std::memcmp(wave.data(), "RIFF", 4) != 0) return 0;
  const uint32_t bytesPerSecond = U32(wave.data() + 28);
  const uint64_t dataBytes = std::min<uint64_t>(U32(wave.data() + 40), wave.size() - 44);
  if (bytesPerSecond == 0) return 0;
  return int64_t(dataBytes * 1000 / bytesPerSecond);
}

bool SndPlaySound(std::span<const uint8_t> wave, uint32_t flags) {
  SoundBackend& backend = CurrentSoundBackend();
  if ((flags & SND_NOSTOP) && backend.IsPlaying()) return false;
  return backend.Start(wave);
}

}  // namespace kv::platform
