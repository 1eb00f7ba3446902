// Sound output: the stand-in for the multimedia call that plays a wave held in memory.
//
// Two operations serve the synthesizer: start a wave asynchronously, stopping whatever plays;
// and the no-stop probe, which plays the given wave only when nothing is playing and fails
// otherwise. Backends: a real sound card (ALSA, with its own thread inside this layer), a
// silent one that takes each wave's duration on the calling thread's loop clock, and a
// capture one that records every wave started.
//
// The process's backend is chosen on first use by the environment variable KVTTS_SOUND:
//   alsa            the default ALSA device ("alsa:NAME" for another device)
//   silent          nothing is heard
//   capture:FILE    silent, and every wave started is appended to the WAVE file FILE
//   auto (or unset) ALSA when a device can be opened, otherwise silent (said once on stderr)
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv::platform {

inline constexpr uint32_t SND_ASYNC = 0x1;
inline constexpr uint32_t SND_MEMORY = 0x4;
inline constexpr uint32_t SND_NOSTOP = 0x10;

class SoundBackend {
 public:
  virtual ~SoundBackend() = default;
  // Starts the RIFF/WAVE image (header included), stopping the current sound. Returns false
  // when the sound could not be started, for instance while another program holds the device.
  virtual bool Start(std::span<const uint8_t> wave) = 0;
  virtual bool IsPlaying() = 0;
  virtual void Stop() = 0;
  virtual std::string Name() const = 0;
};

// The silent backend: nothing is heard, each wave lasts its duration on the loop clock of the
// thread that started it.
std::unique_ptr<SoundBackend> MakeSilentBackend();

// The capture backend: silent timing, and a record of every wave started.
class CaptureBackend : public SoundBackend {
 public:
  struct Record {
    std::vector<uint8_t> wave;  // the whole image as it was handed over
    int64_t startMs = 0;        // loop clock when it started
  };

  // With a file name, the PCM of every wave started (as its header declares it) is also
  // appended to that WAVE file, which is rewritten complete after each wave.
  explicit CaptureBackend(std::string file = {});

  bool Start(std::span<const uint8_t> wave) override;
  bool IsPlaying() override;
  void Stop() override;
  std::string Name() const override { return "capture"; }

  const std::vector<Record>& Records() const { return records_; }
  void Clear() { records_.clear(); }
  // Number of Stop calls and of waves that were cut short by the next start.
  int Stops() const { return stops_; }
  int Interrupted() const { return interrupted_; }
  // While set, every Start fails (the device is held by another program).
  void SetBusy(bool busy) { busy_ = busy; }

 private:
  void AppendToFile(std::span<const uint8_t> wave);

  std::string file_;
  std::vector<uint8_t> pcm_;  // everything written to the file so far
  std::vector<Record> records_;
  int64_t end_ = 0;
  int stops_ = 0;
  int interrupted_ = 0;
  bool busy_ = false;
};

// The ALSA backend on the named device ("default" for the default one); null when there is no
// such device or ALSA was not built in. A device that another program holds is accepted: its
// Start fails until the device is free.
std::unique_ptr<SoundBackend> MakeAlsaBackend(const std::string& device = "default");
bool AlsaBuiltIn();

// The backend that KVTTS_SOUND (given here as `choice`) asks for; an unusable choice falls
// back to silent, saying so on `notes` (one line).
std::unique_ptr<SoundBackend> MakeSoundBackend(std::string_view choice, std::string* notes);

// The process's backend. Chosen on first use from KVTTS_SOUND unless one was installed.
SoundBackend& CurrentSoundBackend();
// Installs a backend (tests, programs that capture); returns the previous one.
std::unique_ptr<SoundBackend> SetSoundBackend(std::unique_ptr<SoundBackend> backend);

// sndPlaySound: flags SND_ASYNC | SND_MEMORY, optionally SND_NOSTOP. Returns false when the
// wave could not be started (with SND_NOSTOP: because something is still playing).
bool SndPlaySound(std::span<const uint8_t> wave, uint32_t flags);

// Duration in milliseconds of a RIFF/WAVE image (0 for a malformed one).
int64_t WaveDurationMs(std::span<const uint8_t> wave);

// The format and PCM of a RIFF/WAVE image with the 44-byte header the system writes; the data
// is what the header declares, cut to the bytes present. False for a malformed image.
struct WaveView {
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint16_t bitsPerSample = 0;
  std::span<const uint8_t> data;
};
bool ParseWave(std::span<const uint8_t> wave, WaveView& view);

}  // namespace kv::platform
