#include "sapi/memory_dest.h"

namespace kv::sapi {

HRESULT MemoryDestination::PassNotify(void* notifyInterface, IID notifyIid) {
  calls_.push_back({Call::PassNotify, 0});
  return AudioDestination::PassNotify(notifyInterface, notifyIid);
}
HRESULT MemoryDestination::Flush() {
  calls_.push_back({Call::Flush, 0});
  return AudioDestination::Flush();
}
HRESULT MemoryDestination::Claim() {
  calls_.push_back({Call::Claim, 0});
  return AudioDestination::Claim();
}
HRESULT MemoryDestination::UnClaim() {
  calls_.push_back({Call::UnClaim, 0});
  return AudioDestination::UnClaim();
}
HRESULT MemoryDestination::Start() {
  calls_.push_back({Call::Start, 0});
  return AudioDestination::Start();
}
HRESULT MemoryDestination::Stop() {
  calls_.push_back({Call::Stop, 0});
  return AudioDestination::Stop();
}
HRESULT MemoryDestination::WaveFormatSet(SDATA format) {
  calls_.push_back({Call::WaveFormatSet, 0});
  return AudioDestination::WaveFormatSet(format);
}
HRESULT MemoryDestination::DataSet(void* buffer, DWORD size) {
  calls_.push_back({Call::Data, size});
  const HRESULT hr = AudioDestination::DataSet(buffer, size);
  if (hr == com::S_OK) {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    accepted_.insert(accepted_.end(), bytes, bytes + size);
  }
  return hr;
}
HRESULT MemoryDestination::BookMark(DWORD markId) {
  calls_.push_back({Call::Mark, markId});
  return AudioDestination::BookMark(markId);
}

size_t MemoryDestination::Play(size_t bytes) {
  const size_t moved = PlayCached(bytes);
  ReturnMarksUpTo(Played());
  if (moved > 0) ScheduleFreeSpace();
  return moved;
}

void MemoryDestination::SetAutoPlay(bool on) {
  autoPlay_ = on;
  if (on) ScheduleWork();
}

void MemoryDestination::Consume(std::span<const uint8_t> bytes) {
  playedBytes_.insert(playedBytes_.end(), bytes.begin(), bytes.end());
}

void MemoryDestination::OnWork() {
  if (autoPlay_) PlayAll();
}

std::string ToString(const MemoryDestination::Record& record) {
  using Call = MemoryDestination::Call;
  switch (record.call) {
    case Call::WaveFormatSet:
      return "WaveFormatSet";
    case Call::PassNotify:
      return "PassNotify";
    case Call::Claim:
      return "Claim";
    case Call::UnClaim:
      return "UnClaim";
    case Call::Start:
      return "Start";
    case Call::Stop:
      return "Stop";
    case Call::Flush:
      return "Flush";
    case Call::Data:
      return "Data " + std::to_string(record.value);
    case Call::Mark:
      return "Mark " + std::to_string(record.value);
  }
  return "?";
}

}  // namespace kv::sapi
