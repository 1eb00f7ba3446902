// The memory destination: an audio destination for tests. It records every call of the engine
// in order (format, notify sink, claims, starts, data with its size, bookmarks) and every byte
// it accepted, and plays only when told to (Play) or, with auto-play, as soon as it has data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sapi/audio_dest.h"

namespace kv::sapi {

class MemoryDestination final : public AudioDestination {
 public:
  enum class Call { WaveFormatSet, PassNotify, Claim, UnClaim, Start, Stop, Flush, Data, Mark };
  struct Record {
    Call call;
    uint32_t value;  // Data: its size in bytes; Mark: the mark number; otherwise 0
    bool operator==(const Record&) const = default;
  };

  // capacityBytes 0: two seconds of the format the engine sets. The creator holds the first
  // reference.
  explicit MemoryDestination(size_t capacityBytes = 0, bool autoPlay = false)
      : AudioDestination(capacityBytes), autoPlay_(autoPlay) {}

  HRESULT KV_STDCALL PassNotify(void* notifyInterface, IID notifyIid) override;
  HRESULT KV_STDCALL Flush() override;
  HRESULT KV_STDCALL Claim() override;
  HRESULT KV_STDCALL UnClaim() override;
  HRESULT KV_STDCALL Start() override;
  HRESULT KV_STDCALL Stop() override;
  HRESULT KV_STDCALL WaveFormatSet(SDATA format) override;
  HRESULT KV_STDCALL DataSet(void* buffer, DWORD size) override;
  HRESULT KV_STDCALL BookMark(DWORD markId) override;

  const std::vector<Record>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  // Forgets the calls and the bytes recorded so far, for a host that speaks without end.
  void ClearRecords() {
    calls_.clear();
    accepted_.clear();
    playedBytes_.clear();
  }
  // Every byte DataSet accepted, and every byte played so far.
  const std::vector<uint8_t>& Accepted() const { return accepted_; }
  const std::vector<uint8_t>& PlayedBytes() const { return playedBytes_; }

  // Plays up to `bytes` of the cache (only while started) and returns the bookmarks whose audio
  // has now been played; the notifications arrive when the thread's loop runs.
  size_t Play(size_t bytes);
  size_t PlayAll() { return Play(SIZE_MAX); }
  void SetAutoPlay(bool on);

 private:
  ~MemoryDestination() override = default;
  void Consume(std::span<const uint8_t> bytes) override;
  void OnWork() override;

  bool autoPlay_;
  std::vector<Record> calls_;
  std::vector<uint8_t> accepted_;
  std::vector<uint8_t> playedBytes_;
};

// Readable name of a recorded call ("Claim", "Data 1234", "Mark 30000").
std::string ToString(const MemoryDestination::Record& record);

}  // namespace kv::sapi
