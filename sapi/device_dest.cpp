#include "sapi/device_dest.h"

#include <algorithm>
#include <cstring>

#include "platform/message_loop.h"
#include "platform/sound.h"
#include "platform/wave_header.h"

namespace kv::sapi {

namespace {

// Writes the 44-byte RIFF/WAVE header for PCM of the format over the start of the wave.
void WriteHeader(std::vector<uint8_t>& wave, const WAVEFORMATEX& f, uint32_t bytes) {
  const auto header =
      platform::MakeWaveHeader(bytes, {f.wFormatTag, f.nChannels, f.nSamplesPerSec,
                                       f.nAvgBytesPerSec, f.nBlockAlign, f.wBitsPerSample});
  if (wave.size() < header.size()) wave.resize(header.size());
  std::copy(header.begin(), header.end(), wave.begin());
}

}  // namespace

DeviceDestination::DeviceDestination(platform::SoundBackend* backend)
    : AudioDestination(0, 1000 / 16), backend_(backend) {
  timer_ = std::make_unique<platform::WindowTimer>(kTickMs, [this] { Tick(); });
}

DeviceDestination::~DeviceDestination() {
  if (waveBytes_ > 0 && waveStarted_) Backend().Stop();
}

platform::SoundBackend& DeviceDestination::Backend() {
  return backend_ != nullptr ? *backend_ : platform::CurrentSoundBackend();
}

void DeviceDestination::OnWork() {
  if (!timer_->Enabled()) timer_->SetEnabled(true);
  Tick();
}

void DeviceDestination::Consume(std::span<const uint8_t> bytes) {
  wave_.insert(wave_.end(), bytes.begin(), bytes.end());
}

void DeviceDestination::Tick() {
  const WAVEFORMATEX* f = Format();
  if (f == nullptr) return;
  const int64_t now = Loop().Now();
  // What has been heard of the wave playing.
  if (waveBytes_ > 0 && waveStarted_) {
    uint64_t done = waveBytes_;
    if (Backend().IsPlaying()) {
      const uint64_t elapsed = static_cast<uint64_t>(std::max<int64_t>(0, now - waveStartMs_));
      done = std::min<uint64_t>(
          waveBytes_, elapsed * f->nAvgBytesPerSec / 1000 / f->nBlockAlign * f->nBlockAlign);
    }
    heard_ = waveStart_ + done;
    if (done == waveBytes_) {
      waveBytes_ = 0;
      waveStarted_ = false;
    }
  }
  // The next wave, once the previous one has ended.
  size_t moved = 0;
  if (waveBytes_ == 0 && Playing() && Queued() > 0) {
    const size_t most =
        size_t(f->nAvgBytesPerSec) * kWaveMs / 1000 / f->nBlockAlign * f->nBlockAlign;
    waveStart_ = Played();
    wave_.clear();
    WriteHeader(wave_, *f, 0);
    moved = PlayCached(std::min(Queued(), most));
    WriteHeader(wave_, *f, static_cast<uint32_t>(moved));
    waveBytes_ = moved;
    waveStarted_ = false;
  }
  if (waveBytes_ > 0 && !waveStarted_ && Playing()) {
    // A device held by another program is tried again at the next tick.
    if (Backend().Start(wave_)) {
      waveStarted_ = true;
      waveStartMs_ = now;
      wave_.clear();
    }
  }
  if (waveBytes_ == 0) heard_ = std::max(heard_, Played());
  ReturnMarksUpTo(heard_);
  if (moved > 0) ScheduleFreeSpace();
  const bool more = waveBytes_ > 0 || (Playing() && Queued() > 0);
  if (!more && timer_->Enabled()) timer_->SetEnabled(false);
}

HRESULT DeviceDestination::Flush() {
  if (waveBytes_ > 0 && waveStarted_) Backend().Stop();
  waveBytes_ = 0;
  waveStarted_ = false;
  wave_.clear();
  const HRESULT hr = AudioDestination::Flush();
  heard_ = Played();
  return hr;
}

HRESULT DeviceDestination::Stop() {
  // The wave being heard plays to its end; the cache waits for the next Start.
  return AudioDestination::Stop();
}

}  // namespace kv::sapi
