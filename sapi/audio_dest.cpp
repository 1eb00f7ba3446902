#include "sapi/audio_dest.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kv::sapi {

using com::E_NOINTERFACE;
using com::E_POINTER;
using com::S_OK;

WAVEFORMATEX PcmFormat(uint32_t samplesPerSec, uint16_t bits, uint16_t channels) {
  WAVEFORMATEX f{};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = channels;
  f.nSamplesPerSec = samplesPerSec;
  f.nBlockAlign = static_cast<WORD>(channels * bits / 8);
  f.nAvgBytesPerSec = samplesPerSec * f.nBlockAlign;
  f.wBitsPerSample = bits;
  f.cbSize = 0;
  return f;
}

AudioDestination::AudioDestination(size_t capacityBytes, int64_t minNotifyIntervalMs)
    : loop_(platform::MessageLoop::Current()),
      alive_(std::make_shared<bool>(true)),
      requestedCapacity_(capacityBytes),
      minNotifyInterval_(minNotifyIntervalMs) {
  notifyTimer_ = std::make_unique<platform::WindowTimer>(1, [this] {
    notifyTimer_->SetEnabled(false);
    SendFreeSpace();
  });
}

AudioDestination::~AudioDestination() {
  *alive_ = false;
  // Releasing the object returns every outstanding bookmark as flushed.
  if (sink_ != nullptr) {
    std::deque<Mark> marks;
    marks.swap(marks_);
    for (const Mark& m : marks) sink_->BookMark(m.id, 1);
    sink_->Release();
    sink_ = nullptr;
  }
}

HRESULT AudioDestination::QueryInterface(const IID& iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid == com::IID_IUnknown || iid == IID_IAudio) {
    *object = static_cast<IAudio*>(this);
  } else if (iid == IID_IAudioDest) {
    *object = static_cast<IAudioDest*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG AudioDestination::AddRef() {
  return ++refs_;
}

ULONG AudioDestination::Release() {
  if (refs_ == 0) return 0;  // a stray Release must not destroy twice
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

// IAudio.

HRESULT AudioDestination::Flush() {
  if (!format_) return AUDERR_NEEDWAVEFORMAT;
  // The dropped bytes count as passed: marks written from now on are due with the next data.
  head_ = 0;
  queued_ = 0;
  ring_.reset();
  played_ = total_;
  OnFlush();
  // Pending bookmarks come back at once, marked as flushed.
  std::deque<Mark> marks;
  marks.swap(marks_);
  if (sink_ != nullptr) {
    IAudioDestNotifySink* sink = sink_;
    sink->AddRef();
    for (const Mark& m : marks) sink->BookMark(m.id, 1);
    sink->Release();
  }
  if (stopWhenDrained_) {
    stopWhenDrained_ = false;
    claimed_ = playing_ = false;
    Notify([](IAudioDestNotifySink* s) { s->AudioStop(IANSRSN_NODATA); });
  }
  ScheduleFreeSpace();
  return S_OK;
}

HRESULT AudioDestination::LevelGet(DWORD* level) {
  if (level == nullptr) return E_POINTER;
  if (!format_) return AUDERR_NEEDWAVEFORMAT;
  *level = level_;
  return S_OK;
}

HRESULT AudioDestination::LevelSet(DWORD level) {
  if (!format_) return AUDERR_NEEDWAVEFORMAT;
  level_ = level;
  return S_OK;
}

HRESULT AudioDestination::PassNotify(void* notifyInterface, IID notifyIid) {
  if (notifyInterface != nullptr && !(notifyIid == IID_IAudioDestNotifySink))
    return AUDERR_INVALIDNOTIFYSINK;
  auto* sink = static_cast<IAudioDestNotifySink*>(notifyInterface);
  if (sink != nullptr) sink->AddRef();
  if (sink_ != nullptr) sink_->Release();
  sink_ = sink;
  return S_OK;
}

HRESULT AudioDestination::PosnGet(QWORD* position) {
  if (position == nullptr) return E_POINTER;
  *position = played_;
  return S_OK;
}

HRESULT AudioDestination::Claim() {
  if (!format_) return AUDERR_NEEDWAVEFORMAT;
  if (claimed_ && !stopWhenDrained_) return AUDERR_ALREADYCLAIMED;
  const bool wasDraining = stopWhenDrained_;
  stopWhenDrained_ = false;
  claimed_ = true;
  if (!wasDraining) Notify([](IAudioDestNotifySink* s) { s->AudioStart(); });
  return S_OK;
}

HRESULT AudioDestination::UnClaim() {
  if (!claimed_ || stopWhenDrained_) return AUDERR_NOTCLAIMED;
  if (playing_ && queued_ > 0) {
    stopWhenDrained_ = true;  // closes once the last queued byte has played
    return S_OK;
  }
  claimed_ = playing_ = false;
  Notify([](IAudioDestNotifySink* s) { s->AudioStop(IANSRSN_NODATA); });
  return S_OK;
}

HRESULT AudioDestination::Start() {
  if (!format_) return AUDERR_NEEDWAVEFORMAT;
  if (!claimed_) return AUDERR_NOTCLAIMED;
  if (playing_) return AUDERR_ALREADYSTARTED;
  playing_ = true;
  ScheduleWork();
  return S_OK;
}

HRESULT AudioDestination::Stop() {
  if (!format_) return AUDERR_NEEDWAVEFORMAT;
  playing_ = false;  // nothing is lost: the cache plays on at the next Start
  return S_OK;
}

HRESULT AudioDestination::TotalGet(QWORD* total) {
  if (total == nullptr) return E_POINTER;
  *total = total_;
  return S_OK;
}

HRESULT AudioDestination::ToFileTime(QWORD* position, FILETIME* fileTime) {
  if (position == nullptr || fileTime == nullptr) return E_POINTER;
  if (!format_) return AUDERR_NEEDWAVEFORMAT;
  // Time of the position from the start of the stream, in 100-nanosecond units.
  const uint64_t units = *position * 10'000'000ULL / std::max<DWORD>(1, format_->nAvgBytesPerSec);
  fileTime->dwLowDateTime = static_cast<DWORD>(units);
  fileTime->dwHighDateTime = static_cast<DWORD>(units >> 32);
  return S_OK;
}

HRESULT AudioDestination::WaveFormatGet(SDATA* format) {
  if (format == nullptr) return E_POINTER;
  format->pData = nullptr;
  format->dwSize = 0;
  if (!format_) return AUDERR_NEEDWAVEFORMAT;
  void* copy = std::malloc(sizeof(WAVEFORMATEX));
  if (copy == nullptr) return com::E_OUTOFMEMORY;
  std::memcpy(copy, &*format_, sizeof(WAVEFORMATEX));
  format->pData = copy;
  format->dwSize = sizeof(WAVEFORMATEX);
  return S_OK;
}

HRESULT AudioDestination::WaveFormatSet(SDATA format) {
  if (format.pData == nullptr || format.dwSize < 16) return AUDERR_INVALIDPARAM;
  if (format_) return AUDERR_WAVEDEVICEBUSY;  // only while uninitialised
  WAVEFORMATEX f{};
  std::memcpy(&f, format.pData, std::min<size_t>(format.dwSize, sizeof f));
  if (format.dwSize < sizeof f) f.cbSize = 0;
  const bool pcm = f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
                   (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= 1000 &&
                   f.nSamplesPerSec <= 192000 &&
                   f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8 &&
                   f.nAvgBytesPerSec == f.nSamplesPerSec * f.nBlockAlign;
  if (!pcm) return AUDERR_WAVEFORMATNOTSUPPORTED;
  format_ = f;
  capacity_ = requestedCapacity_ != 0
                  ? requestedCapacity_
                  : size_t(f.nAvgBytesPerSec) * 2 / f.nBlockAlign * f.nBlockAlign;
  ring_.reset();
  head_ = queued_ = 0;
  OnFormat(f);
  return S_OK;
}

// IAudioDest.

HRESULT AudioDestination::FreeSpace(DWORD* bytes, BOOL* eof) {
  if (bytes == nullptr) return AUDERR_INVALIDPARAM;
  if (!format_) return AUDERR_NEEDWAVEFORMAT;
  *bytes = static_cast<DWORD>(capacity_ - queued_);
  if (eof != nullptr) *eof = 0;
  return S_OK;
}

HRESULT AudioDestination::DataSet(void* buffer, DWORD size) {
  if (buffer == nullptr) return AUDERR_INVALIDPARAM;
  if (!format_) return AUDERR_NEEDWAVEFORMAT;
  if (!claimed_ || stopWhenDrained_) return AUDERR_NOTCLAIMED;
  if (size > capacity_ - queued_) return AUDERR_NOTENOUGHDATA;  // all or nothing
  if (size == 0) return S_OK;
  if (!ring_) ring_ = std::make_unique_for_overwrite<uint8_t[]>(capacity_);
  const auto* src = static_cast<const uint8_t*>(buffer);
  size_t tail = (head_ + queued_) % capacity_;
  size_t left = size;
  while (left > 0) {
    const size_t n = std::min(left, capacity_ - tail);
    std::memcpy(ring_.get() + tail, src, n);
    src += n;
    left -= n;
    tail = (tail + n) % capacity_;
  }
  queued_ += size;
  total_ += size;
  toldEmpty_ = false;
  if (playing_) ScheduleWork();
  return S_OK;
}

HRESULT AudioDestination::BookMark(DWORD markId) {
  if (!format_) return AUDERR_NEEDWAVEFORMAT;
  marks_.push_back({total_, markId});
  ScheduleWork();
  return S_OK;
}

// Playing and notifying.

size_t AudioDestination::PlayCached(size_t maxBytes) {
  if (!playing_ || queued_ == 0) return 0;
  size_t left = std::min(maxBytes, queued_);
  const size_t moved = left;
  while (left > 0) {
    const size_t n = std::min(left, capacity_ - head_);
    // Consume may call back into the object (never into the cache), so advance first.
    const uint8_t* from = ring_.get() + head_;
    head_ = (head_ + n) % capacity_;
    queued_ -= n;
    played_ += n;
    left -= n;
    Consume({from, n});
  }
  if (queued_ == 0) {
    ring_.reset();
    head_ = 0;
  }
  if (queued_ == 0 && stopWhenDrained_) {
    stopWhenDrained_ = false;
    claimed_ = playing_ = false;
    Notify([](IAudioDestNotifySink* s) { s->AudioStop(IANSRSN_NODATA); });
  }
  return moved;
}

void AudioDestination::ReturnMarksUpTo(uint64_t position) {
  std::vector<DWORD> due;
  while (!marks_.empty() && marks_.front().position <= position) {
    due.push_back(marks_.front().id);
    marks_.pop_front();
  }
  if (due.empty()) return;
  Notify([due = std::move(due)](IAudioDestNotifySink* s) {
    for (DWORD id : due) s->BookMark(id, 0);
  });
}

void AudioDestination::ScheduleFreeSpace() {
  if (sink_ == nullptr || freeSpacePending_ || !format_) return;
  if (queued_ == 0 && toldEmpty_) return;  // said once until the next DataSet
  freeSpacePending_ = true;
  const int64_t wait = lastFreeSpaceMs_ + minNotifyInterval_ - loop_.Now();
  if (wait <= 0) {
    std::weak_ptr<bool> alive = alive_;
    loop_.Post([this, alive] {
      if (alive.lock()) SendFreeSpace();
    });
  } else {
    notifyTimer_->SetInterval(static_cast<uint32_t>(wait));
    notifyTimer_->SetEnabled(true);
  }
}

void AudioDestination::SendFreeSpace() {
  freeSpacePending_ = false;
  if (sink_ == nullptr || !format_) return;
  if (queued_ == 0) {
    if (toldEmpty_) return;
    toldEmpty_ = true;
  }
  lastFreeSpaceMs_ = loop_.Now();
  IAudioDestNotifySink* sink = sink_;
  sink->AddRef();
  sink->FreeSpace(static_cast<DWORD>(capacity_ - queued_), 0);
  sink->Release();
}

void AudioDestination::ScheduleWork() {
  if (workPosted_) return;
  workPosted_ = true;
  std::weak_ptr<bool> alive = alive_;
  loop_.Post([this, alive] {
    if (!alive.lock()) return;
    workPosted_ = false;
    OnWork();
  });
}

void AudioDestination::Notify(std::function<void(IAudioDestNotifySink*)> call) {
  std::weak_ptr<bool> alive = alive_;
  loop_.Post([this, alive, call = std::move(call)] {
    if (!alive.lock() || sink_ == nullptr) return;
    IAudioDestNotifySink* sink = sink_;
    sink->AddRef();
    call(sink);
    sink->Release();
  });
}

}  // namespace kv::sapi
