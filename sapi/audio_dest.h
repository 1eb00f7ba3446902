// Audio destinations of our SAPI runtime: the objects an engine writes PCM and bookmarks into
// (IAudio, IAudioDest) and that report back through the engine's IAudioDestNotifySink.
//
// AudioDestination holds what every destination shares: the wave format (settable once, while
// uninitialised), the cache (all-or-nothing DataSet), the bookmarks at their byte positions,
// the claim and play state, and the notifications. Notifications never come from inside a call
// of the engine: they are posted to the message loop of the thread that created the object, so
// they arrive on that thread when its loop runs. Derived classes decide how cached bytes are
// played (a file, a sound device, a record for tests) and when.
//
// Reference counting is real here (these objects are the runtime's, not the engine's): the
// object deletes itself when its count reaches 0. Creators hold the first reference.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/message_loop.h"
#include "sapi/sapi4.h"

namespace kv::sapi {

inline constexpr HRESULT AUDERR_INVALIDPARAM = com::E_INVALIDARG;
inline constexpr HRESULT AUDERR_WAVEFORMATNOTSUPPORTED = com::MakeResult(0x80040202);

// The engine's format: 16-bit mono PCM at 22 050 samples per second.
WAVEFORMATEX PcmFormat(uint32_t samplesPerSec, uint16_t bits, uint16_t channels);

class AudioDestination : public IAudio, public IAudioDest {
 public:
  // capacityBytes: size of the cache; 0 takes two seconds of the format set later.
  // minNotifyIntervalMs: least time between two FreeSpace notifications (0: no limit).
  explicit AudioDestination(size_t capacityBytes = 0, int64_t minNotifyIntervalMs = 0);
  AudioDestination(const AudioDestination&) = delete;
  AudioDestination& operator=(const AudioDestination&) = delete;

  // IUnknown: IID_IUnknown and IID_IAudio give the IAudio face, IID_IAudioDest the other one.
  HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override;
  ULONG KV_STDCALL AddRef() override;
  ULONG KV_STDCALL Release() override;

  // IAudio.
  HRESULT KV_STDCALL Flush() override;
  HRESULT KV_STDCALL LevelGet(DWORD* level) override;
  HRESULT KV_STDCALL LevelSet(DWORD level) override;
  HRESULT KV_STDCALL PassNotify(void* notifyInterface, IID notifyIid) override;
  HRESULT KV_STDCALL PosnGet(QWORD* position) override;
  HRESULT KV_STDCALL Claim() override;
  HRESULT KV_STDCALL UnClaim() override;
  HRESULT KV_STDCALL Start() override;
  HRESULT KV_STDCALL Stop() override;
  HRESULT KV_STDCALL TotalGet(QWORD* total) override;
  HRESULT KV_STDCALL ToFileTime(QWORD* position, FILETIME* fileTime) override;
  // The copy is allocated with std::malloc; the caller frees it with std::free.
  HRESULT KV_STDCALL WaveFormatGet(SDATA* format) override;
  HRESULT KV_STDCALL WaveFormatSet(SDATA format) override;

  // IAudioDest.
  HRESULT KV_STDCALL FreeSpace(DWORD* bytes, BOOL* eof) override;
  HRESULT KV_STDCALL DataSet(void* buffer, DWORD size) override;
  HRESULT KV_STDCALL BookMark(DWORD markId) override;

  // State, for hosts and tests.
  bool HasFormat() const { return format_.has_value(); }
  const WAVEFORMATEX* Format() const { return format_ ? &*format_ : nullptr; }
  bool Claimed() const { return claimed_; }
  bool Playing() const { return playing_; }
  size_t Capacity() const { return capacity_; }
  size_t Queued() const { return queued_; }
  uint64_t Total() const { return total_; }
  uint64_t Played() const { return played_; }
  size_t PendingMarks() const { return marks_.size(); }
  ULONG References() const { return refs_; }
  IAudioDestNotifySink* Sink() const { return sink_; }

 protected:
  virtual ~AudioDestination();

  // Receives played bytes, in order.
  virtual void Consume(std::span<const uint8_t> bytes) = 0;
  // Called (posted, never inside the engine's call) after DataSet, BookMark and Start, so that
  // a destination that plays at once can do so. Nothing by default.
  virtual void OnWork() {}
  // Called when the format has been accepted.
  virtual void OnFormat(const WAVEFORMATEX&) {}
  // Called by Flush after the cache was emptied.
  virtual void OnFlush() {}

  // Moves up to maxBytes from the cache to Consume (only while playing) and returns how many.
  // The caller returns the marks now due, then schedules the FreeSpace notification.
  size_t PlayCached(size_t maxBytes);
  // Reports every bookmark at or before the byte position, in order (posted).
  void ReturnMarksUpTo(uint64_t position);
  // Schedules a FreeSpace notification as the notification rules allow.
  void ScheduleFreeSpace();
  // Posts a call to OnWork unless one is already waiting.
  void ScheduleWork();
  platform::MessageLoop& Loop() { return loop_; }

 private:
  struct Mark {
    uint64_t position;
    DWORD id;
  };
  void Notify(std::function<void(IAudioDestNotifySink*)> call);
  void SendFreeSpace();

  platform::MessageLoop& loop_;
  std::shared_ptr<bool> alive_;
  ULONG refs_ = 1;
  size_t requestedCapacity_;
  size_t capacity_ = 0;
  int64_t minNotifyInterval_;
  std::optional<WAVEFORMATEX> format_;
  IAudioDestNotifySink* sink_ = nullptr;
  bool claimed_ = false;
  bool playing_ = false;
  bool stopWhenDrained_ = false;
  DWORD level_ = 0xFFFFFFFF;
  // The cache: queued_ bytes from head_, wrapping. Allocated while it holds data, so that an
  // idle destination costs little.
  std::unique_ptr<uint8_t[]> ring_;
  size_t head_ = 0;
  size_t queued_ = 0;
  uint64_t total_ = 0;
  uint64_t played_ = 0;
  std::deque<Mark> marks_;
  bool workPosted_ = false;
  bool freeSpacePending_ = false;
  bool toldEmpty_ = false;
  int64_t lastFreeSpaceMs_ = INT64_MIN / 2;
  std::unique_ptr<platform::WindowTimer> notifyTimer_;
};

}  // namespace kv::sapi
