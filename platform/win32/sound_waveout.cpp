// The device backend over the multimedia system's waveOut: each wave is handed to the wave
// mapper as one buffer; starting another one resets the device first. With no device at all
// the backend is not made, and the sound falls back to silent as on any machine without one.
// (The names are the other face's: KVTTS_SOUND=alsa chooses this device here.)
#include <vector>

// Ours before the multimedia header, whose SND_ macros would take our constants' names.
// clang-format off
#include "platform/win32/windows_api.h"
#include "platform/sound.h"
#include <mmsystem.h>
// clang-format on

namespace kv::platform {
namespace {

class WaveOutBackend : public SoundBackend {
 public:
  ~WaveOutBackend() override { Close(); }

  bool Start(std::span<const uint8_t> wave) override {
    WaveView view;
    if (!ParseWave(wave, view)) return false;
    Close();  // stops what plays
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = view.channels;
    format.nSamplesPerSec = view.sampleRate;
    format.wBitsPerSample = view.bitsPerSample;
    format.nBlockAlign = WORD(view.channels * view.bitsPerSample / 8);
    format.nAvgBytesPerSec = view.sampleRate * format.nBlockAlign;
    if (::waveOutOpen(&device_, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
      device_ = nullptr;
      return false;
    }
    pcm_.assign(view.data.begin(), view.data.end());
    header_ = WAVEHDR{};
    header_.lpData = reinterpret_cast<LPSTR>(pcm_.data());
    header_.dwBufferLength = DWORD(pcm_.size());
    if (::waveOutPrepareHeader(device_, &header_, sizeof header_) != MMSYSERR_NOERROR ||
        ::waveOutWrite(device_, &header_, sizeof header_) != MMSYSERR_NOERROR) {
      Close();
      return false;
    }
    return true;
  }

  bool IsPlaying() override { return device_ != nullptr && !(header_.dwFlags & WHDR_DONE); }

  void Stop() override { Close(); }

  std::string Name() const override { return "waveout"; }

 private:
  void Close() {
    if (device_ == nullptr) return;
    ::waveOutReset(device_);
    if (header_.dwFlags & WHDR_PREPARED)
      ::waveOutUnprepareHeader(device_, &header_, sizeof header_);
    ::waveOutClose(device_);
    device_ = nullptr;
  }

  HWAVEOUT device_ = nullptr;
  WAVEHDR header_{};
  std::vector<uint8_t> pcm_;
};

}  // namespace

bool AlsaBuiltIn() {
  return true;
}

std::unique_ptr<SoundBackend> MakeAlsaBackend(const std::string&) {
  if (::waveOutGetNumDevs() == 0) return nullptr;
  return std::make_unique<WaveOutBackend>();
}

}  // namespace kv::platform
