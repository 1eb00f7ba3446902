// The ALSA backend. The device is driven by one player thread of this backend (the only
// thread of the system besides the callers' own, as the multimedia system keeps its own);
// callers hand it waves and ask whether it still plays. The device is opened by Start when it
// is not held already, so a device held by another program makes Start fail at once (the
// caller retries later) instead of blocking; it is closed again after a short idle time so
// that other programs can have it.
#include "platform/sound.h"

#ifdef KV_HAVE_ALSA

#include <alsa/asoundlib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace kv::platform {
namespace {

using namespace std::chrono_literals;
constexpr auto kCloseWhenIdle = 400ms;
constexpr auto kPoll = 5ms;
constexpr unsigned kLatencyUs = 100000;

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

// Opens the device without waiting for it; null when it cannot be had now (`error` tells why:
// -EBUSY while another program holds it).
snd_pcm_t* OpenDevice(const std::string& device, int* error = nullptr) {
  static std::once_flag quiet;
  std::call_once(quiet, [] { snd_lib_error_set_handler(QuietAlsa); });
  snd_pcm_t* pcm = nullptr;
  const int rc = snd_pcm_open(&pcm, device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
  if (error) *error = rc < 0 ? rc : 0;
  return rc < 0 ? nullptr : pcm;
}

class AlsaBackend : public SoundBackend {
 public:
  AlsaBackend(std::string device, snd_pcm_t* pcm) : device_(std::move(device)), pcm_(pcm) {
    idleSince_ = std::chrono::steady_clock::now();
    thread_ = std::thread([this] { Run(); });
  }

  ~AlsaBackend() override {
    {
      std::lock_guard lock(mutex_);
      quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
    if (pcm_) snd_pcm_close(pcm_);
  }

  bool Start(std::span<const uint8_t> wave) override {
    WaveView view;
    if (!ParseWave(wave, view)) return false;
    std::lock_guard lock(mutex_);
    if (!pcm_) {
      pcm_ = OpenDevice(device_);
      if (!pcm_) return false;  // busy (another program) or gone
      ++opened_;
    }
    next_.assign(wave.begin(), wave.end());
    haveNext_ = true;
    stop_ = false;
    playing_ = true;
    wake_.notify_all();
    return true;
  }

  bool IsPlaying() override {
    std::lock_guard lock(mutex_);
    return playing_;
  }

  void Stop() override {
    std::lock_guard lock(mutex_);
    haveNext_ = false;
    stop_ = true;
    playing_ = false;
    wake_.notify_all();
  }

  std::string Name() const override { return "alsa:" + device_; }

 private:
  struct Format {
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint16_t bits = 0;
    bool operator==(const Format&) const = default;
  };
  enum class State { Idle, Writing, Draining };

  // The player thread. pcm_ is opened only by Start while it is null and closed only here
  // under the lock, so the thread may use it unlocked while it is set.
  void Run() {
    std::unique_lock lock(mutex_);
    std::vector<uint8_t> wave;
    WaveView view;
    size_t written = 0;  // frames
    State state = State::Idle;
    while (!quit_) {
      if (state == State::Idle && !haveNext_ && !stop_) {
        if (pcm_ && std::chrono::steady_clock::now() - idleSince_ >= kCloseWhenIdle) {
          snd_pcm_close(pcm_);
          pcm_ = nullptr;
        }
        wake_.wait_for(lock, pcm_ ? kPoll * 10 : 1000ms);
        continue;
      }
      if (stop_) {
        stop_ = false;
        if (state != State::Idle && pcm_) {
          lock.unlock();
          snd_pcm_drop(pcm_);
          lock.lock();
        }
        state = State::Idle;
        idleSince_ = std::chrono::steady_clock::now();
        continue;
      }
      if (haveNext_) {
        haveNext_ = false;
        wave.swap(next_);
        ParseWave(wave, view);
        written = 0;
        snd_pcm_t* pcm = pcm_;
        const uint64_t opened = opened_;
        lock.unlock();
        const bool ok = Prepare(pcm, opened, view);
        lock.lock();
        if (!ok) {
          state = State::Idle;
          if (!haveNext_) playing_ = false;
          idleSince_ = std::chrono::steady_clock::now();
          continue;
        }
        state = State::Writing;
      }
      snd_pcm_t* pcm = pcm_;
      if (state == State::Writing) {
        const size_t frameBytes = size_t(view.channels) * (view.bitsPerSample / 8);
        const size_t frames = view.data.size() / frameBytes;
        lock.unlock();
        bool full = false;
        while (written < frames && !full) {
          snd_pcm_sframes_t n =
              snd_pcm_writei(pcm, view.data.data() + written * frameBytes, frames - written);
          if (n == -EAGAIN) {
            full = true;
          } else if (n < 0) {
            if (snd_pcm_recover(pcm, int(n), 1) < 0) written = frames;  // give the wave up
          } else {
            written += size_t(n);
          }
        }
        if (written >= frames) snd_pcm_drain(pcm);  // non-blocking: starts draining
        lock.lock();
        if (written >= frames) state = State::Draining;
        if (!haveNext_ && !stop_ && !quit_) wake_.wait_for(lock, kPoll);
        continue;
      }
      // Draining: the wave has been handed over; wait until the device has played it out.
      const snd_pcm_state_t s = snd_pcm_state(pcm);
      if (s != SND_PCM_STATE_DRAINING && s != SND_PCM_STATE_RUNNING) {
        state = State::Idle;
        if (!haveNext_) playing_ = false;
        idleSince_ = std::chrono::steady_clock::now();
        continue;
      }
      wake_.wait_for(lock, kPoll);
    }
  }

  // Stops what plays and sets the device up for the wave's format.
  bool Prepare(snd_pcm_t* pcm, uint64_t opened, const WaveView& view) {
    snd_pcm_drop(pcm);
    const Format format{view.channels, view.sampleRate, view.bitsPerSample};
    if (opened != configuredOpen_ || !(format == configured_)) {
      const snd_pcm_format_t f =
          view.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
      if (snd_pcm_set_params(pcm, f, SND_PCM_ACCESS_RW_INTERLEAVED, view.channels, view.sampleRate,
                             1, kLatencyUs) < 0)
        return false;
      configured_ = format;
      configuredOpen_ = opened;
    }
    return snd_pcm_prepare(pcm) >= 0;
  }

  const std::string device_;
  std::mutex mutex_;
  std::condition_variable wake_;
  snd_pcm_t* pcm_;
  uint64_t opened_ = 1;  // counts the openings of the device
  Format configured_;    // the player thread's: format set up on opening configuredOpen_
  uint64_t configuredOpen_ = 0;
  std::vector<uint8_t> next_;
  bool haveNext_ = false;
  bool stop_ = false;
  bool playing_ = false;
  bool quit_ = false;
  std::chrono::steady_clock::time_point idleSince_;
  std::thread thread_;
};

}  // namespace

bool AlsaBuiltIn() {
  return true;
}

std::unique_ptr<SoundBackend> MakeAlsaBackend(const std::string& device) {
  int error = 0;
  snd_pcm_t* pcm = OpenDevice(device, &error);
  // A device that another program holds right now is there all the same: Start opens it once
  // it is free.
  if (!pcm && error != -EBUSY) return nullptr;
  return std::make_unique<AlsaBackend>(device, pcm);
}

}  // namespace kv::platform

#else  // built without ALSA

namespace kv::platform {

bool AlsaBuiltIn() {
  return false;
}
std::unique_ptr<SoundBackend> MakeAlsaBackend(const std::string&) {
  return nullptr;
}

}  // namespace kv::platform

#endif
