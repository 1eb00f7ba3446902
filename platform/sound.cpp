#include "platform/sound.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>

#include "platform/message_loop.h"
#include "platform/wave_header.h"

namespace kv::platform {
namespace {

uint16_t U16(const uint8_t* p) {
  return uint16_t(p[0] | p[1] << 8);
}
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

// A 44-byte header for the capture file.
void WriteHeader(std::ostream& out, uint32_t dataBytes) {
  const auto h = MakeWaveHeader(dataBytes);
  out.write(reinterpret_cast<const char*>(h.data()), std::streamsize(h.size()));
}

std::mutex g_mutex;  // guards the choice of the process's backend
std::unique_ptr<SoundBackend> g_backend;

}  // namespace

std::unique_ptr<SoundBackend> MakeSilentBackend() {
  return std::make_unique<SilentBackend>();
}

bool ParseWave(std::span<const uint8_t> wave, WaveView& view) {
  if (wave.size() < 44 || std::memcmp(wave.data(), "RIFF", 4) != 0 ||
      std::memcmp(wave.data() + 8, "WAVE", 4) != 0)
    return false;
  const uint8_t* p = wave.data();
  view.channels = U16(p + 22);
  view.sampleRate = U32(p + 24);
  view.bitsPerSample = U16(p + 34);
  const uint64_t declared = U32(p + 40);
  view.data = wave.subspan(44, std::min<uint64_t>(declared, wave.size() - 44));
  return view.channels > 0 && view.sampleRate > 0 &&
         (view.bitsPerSample == 8 || view.bitsPerSample == 16);
}

int64_t WaveDurationMs(std::span<const uint8_t> wave) {
  if (wave.size() < 44 || std::memcmp(wave.data(), "RIFF", 4) != 0) return 0;
  const uint32_t bytesPerSecond = U32(wave.data() + 28);
  const uint64_t dataBytes = std::min<uint64_t>(U32(wave.data() + 40), wave.size() - 44);
  if (bytesPerSecond == 0) return 0;
  return int64_t(dataBytes * 1000 / bytesPerSecond);
}

CaptureBackend::CaptureBackend(std::string file) : file_(std::move(file)) {
  if (!file_.empty()) {
    std::ofstream out(file_, std::ios::binary | std::ios::trunc);
    WriteHeader(out, 0);
  }
}

bool CaptureBackend::Start(std::span<const uint8_t> wave) {
  if (busy_) return false;
  if (IsPlaying()) ++interrupted_;
  const int64_t now = MessageLoop::Current().Now();
  records_.push_back({std::vector<uint8_t>(wave.begin(), wave.end()), now});
  end_ = now + WaveDurationMs(wave);
  if (!file_.empty()) AppendToFile(wave);
  return true;
}

bool CaptureBackend::IsPlaying() {
  return MessageLoop::Current().Now() < end_;
}

void CaptureBackend::Stop() {
  ++stops_;
  end_ = 0;
}

void CaptureBackend::AppendToFile(std::span<const uint8_t> wave) {
  WaveView view;
  if (!ParseWave(wave, view) || view.data.empty()) return;
  pcm_.insert(pcm_.end(), view.data.begin(), view.data.end());
  std::ofstream out(file_, std::ios::binary | std::ios::trunc);
  WriteHeader(out, uint32_t(pcm_.size()));
  out.write(reinterpret_cast<const char*>(pcm_.data()), std::streamsize(pcm_.size()));
}

std::unique_ptr<SoundBackend> MakeSoundBackend(std::string_view choice, std::string* notes) {
  auto note = [&](const std::string& text) {
    if (notes) *notes = text;
  };
  if (choice == "silent") return MakeSilentBackend();
  if (choice == "capture") return std::make_unique<CaptureBackend>();
  if (choice.starts_with("capture:"))
    return std::make_unique<CaptureBackend>(std::string(choice.substr(8)));
  if (choice == "alsa" || choice.starts_with("alsa:")) {
    const std::string device = choice == "alsa" ? "default" : std::string(choice.substr(5));
    if (auto alsa = MakeAlsaBackend(device)) return alsa;
    note(AlsaBuiltIn() ? "kvtts: sound device \"" + device + "\" cannot be opened; playing silently"
                       : "kvtts: built without ALSA; playing silently");
    return MakeSilentBackend();
  }
  if (!choice.empty() && choice != "auto")
    note("kvtts: unknown KVTTS_SOUND \"" + std::string(choice) + "\" (alsa, silent, capture:FILE)");
  if (auto alsa = MakeAlsaBackend("default")) return alsa;
  if (notes && notes->empty()) note("kvtts: no sound device; playing silently");
  return MakeSilentBackend();
}

SoundBackend& CurrentSoundBackend() {
  std::lock_guard lock(g_mutex);
  if (!g_backend) {
    const char* choice = std::getenv("KVTTS_SOUND");
    std::string notes;
    g_backend = MakeSoundBackend(choice ? choice : "", &notes);
    if (!notes.empty()) std::cerr << notes << std::endl;  // once: the choice is kept
  }
  return *g_backend;
}

std::unique_ptr<SoundBackend> SetSoundBackend(std::unique_ptr<SoundBackend> backend) {
  std::lock_guard lock(g_mutex);
  std::swap(g_backend, backend);
  return backend;
}

bool SndPlaySound(std::span<const uint8_t> wave, uint32_t flags) {
  SoundBackend& backend = CurrentSoundBackend();
  if ((flags & SND_NOSTOP) && backend.IsPlaying()) return false;
  return backend.Start(wave);
}

}  // namespace kv::platform
