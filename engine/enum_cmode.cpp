#include "engine/enum_cmode.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <type_traits>

#include "engine/engine_instance.h"
#include "engine/mode_info.h"
#include "engine/mode_table.h"
#include "platform/cp1250.h"

namespace kv::engine {

using namespace kv::sapi;
using com::E_INVALIDARG;
using com::E_NOINTERFACE;
using com::E_OUTOFMEMORY;
using com::E_POINTER;
using com::S_FALSE;
using com::S_OK;

namespace {

// Mode whose name a desired W record names: its name up to the first null, converted to
// 8-bit text, must equal the mode's name exactly. 0 when none.
int32_t ModeByName(const TTSMODEINFOW& desired) {
  const WCHAR* name = desired.szModeName;
  const size_t length = std::find(name, name + TTSI_NAMELEN, u'\0') - name;
  const std::string text = cp1250::FromUtf16(std::u16string_view(name, length));
  for (int32_t m = 1; m <= kModeCount; ++m)
    if (text == kModeTable[m - 1].name) return m;
  return 0;
}

// The A form compares the whole name field, so the bytes after the terminator count too.
int32_t ModeByName(const TTSMODEINFOA& desired) {
  TTSMODEINFOA mode;
  for (int32_t m = 1; m <= kModeCount; ++m) {
    BuildModeInfo(m, &mode);
    if (std::memcmp(desired.szModeName, mode.szModeName, sizeof mode.szModeName) == 0) return m;
  }
  return 0;
}

int32_t ModeByGender(uint16_t gender) {
  int32_t chosen = 0;
  for (int32_t m = 1; m <= kModeCount; ++m)
    if (kModeTable[m - 1].gender == gender) chosen = m;
  return chosen;
}

// Holds a reference to an interface for the length of a call.
class HeldReference {
 public:
  explicit HeldReference(com::IUnknown* object) : object_(object) {
    if (object_ != nullptr) object_->AddRef();
  }
  ~HeldReference() {
    if (object_ != nullptr) object_->Release();
  }
  HeldReference(const HeldReference&) = delete;
  HeldReference& operator=(const HeldReference&) = delete;

 private:
  com::IUnknown* object_;
};

// Whether an audio object offers what an engine instance writes to: IAudio and IAudioDest.
bool IsUsableAudio(com::IUnknown* audio) {
  if (audio == nullptr) return false;
  bool usable = true;
  for (const IID* iid : {&IID_IAudio, &IID_IAudioDest}) {
    void* part = nullptr;
    if (com::Failed(audio->QueryInterface(*iid, &part)) || part == nullptr) {
      usable = false;
      continue;
    }
    static_cast<com::IUnknown*>(part)->Release();
  }
  return usable;
}

}  // namespace

HRESULT TKVEnumCMode::QueryInterface(const IID& iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  com::IUnknown* answer = nullptr;
  if (iid == com::IID_IUnknown)
    answer = this;
  else if (iid == IID_ITTSEnumA)
    answer = &EnumA;
  else if (iid == IID_ITTSEnumW)
    answer = &EnumW;
  else if (iid == IID_ITTSFindA)
    answer = &FindA;
  else if (iid == IID_ITTSFindW)
    answer = &FindW;
  else
    return E_NOINTERFACE;
  answer->AddRef();
  *object = answer;
  return S_OK;
}

void TKVEnumCMode::Advance(uint64_t count) {
  // Every position past the last mode behaves alike; stopping just past it keeps the
  // counter from overflowing however far a caller skips.
  position_ = static_cast<int32_t>(
      std::min<uint64_t>(static_cast<uint64_t>(position_) + count, kModeCount + 1));
}

template <class Info>
HRESULT TKVEnumCMode::Next(ULONG count, Info* records, ULONG* fetched) {
  if (records == nullptr) return E_POINTER;
  Advance(1);
  if (position_ > kModeCount) {
    if (fetched != nullptr)
      *fetched = 0;
    else
      std::memset(records, 0, sizeof(Info));
    return S_FALSE;
  }
  BuildModeInfo(position_, &records[0]);
  ULONG filled = 1;
  if (count >= 2) {
    // More than one record asks for the whole table from its start, as far as the caller's
    // array reaches; the position moves by one only.
    filled = std::min<ULONG>(count, kModeCount);
    for (ULONG i = 0; i < filled; ++i) BuildModeInfo(static_cast<int32_t>(i + 1), &records[i]);
  }
  if (fetched != nullptr) *fetched = filled;
  return S_OK;
}

HRESULT TKVEnumCMode::Skip(ULONG count) {
  Advance(count);
  return position_ > kModeCount ? S_FALSE : S_OK;
}

HRESULT TKVEnumCMode::Reset() {
  position_ = 0;
  return S_OK;
}

template <class Info>
HRESULT TKVEnumCMode::Find(const Info* desired, const TTSMODEINFORANK* ranks, Info* found) {
  if (desired == nullptr || found == nullptr) return E_POINTER;
  std::memset(found, 0, sizeof *found);
  const int32_t byId = ModeNumberOf(desired->gModeID);
  const int32_t byName = ModeByName(*desired);
  const uint16_t language = desired->language.LanguageID;
  if (byId == 0 && byName == 0 && language != kModeCommon.languageId && language != 0) {
    position_ = 0;
    return E_OUTOFMEMORY;
  }
  int32_t mode = 1;
  if (const int32_t g = ModeByGender(desired->wGender); g != 0) mode = g;
  // A non-zero gender rank applies the same gender-to-voice choice once more.
  if (ranks != nullptr && ranks->dwGender != 0) {
    if (const int32_t g = ModeByGender(desired->wGender); g != 0) mode = g;
  }
  // The later test wins: the A form lets the identifier override the name, the W form the
  // name override the identifier.
  constexpr bool wide = std::is_same_v<Info, TTSMODEINFOW>;
  const int32_t first = wide ? byId : byName;
  const int32_t second = wide ? byName : byId;
  if (first != 0) mode = first;
  if (second != 0) mode = second;
  position_ = mode;
  BuildModeInfo(mode, found);
  return S_OK;
}

HRESULT TKVEnumCMode::Select(const GUID& modeId, const IID& centralIid, void** central,
                             com::IUnknown* audio) {
  if (central == nullptr) return E_POINTER;
  *central = nullptr;
  HeldReference hold(audio);
  const int32_t mode = ModeNumberOf(modeId);
  if (mode == 0) return TTSERR_INVALIDMODE;
  if (!IsUsableAudio(audio)) return E_INVALIDARG;
  position_ = mode;
  return CreateEngineInstance(mode, centralIid, audio, central);
}

// The owned objects answer QueryInterface as their owner does.

HRESULT tKVTTSEnumW::QueryInterface(const IID& iid, void** object) {
  return owner_->QueryInterface(iid, object);
}
HRESULT tKVTTSEnumW::Next(ULONG count, TTSMODEINFOW* records, ULONG* fetched) {
  return owner_->Next(count, records, fetched);
}
HRESULT tKVTTSEnumW::Skip(ULONG count) {
  return owner_->Skip(count);
}
HRESULT tKVTTSEnumW::Reset() {
  return owner_->Reset();
}
HRESULT tKVTTSEnumW::Clone(ITTSEnumW** enumerator) {
  if (enumerator == nullptr) return E_POINTER;
  // The clone is this very enumerator: both share one position.
  AddRef();
  *enumerator = this;
  return S_OK;
}
HRESULT tKVTTSEnumW::Select(GUID modeId, ITTSCentralW** central, com::IUnknown* audio) {
  return owner_->Select(modeId, IID_ITTSCentralW, reinterpret_cast<void**>(central), audio);
}

HRESULT tKVTTSEnumA::QueryInterface(const IID& iid, void** object) {
  return owner_->QueryInterface(iid, object);
}
HRESULT tKVTTSEnumA::Next(ULONG count, TTSMODEINFOA* records, ULONG* fetched) {
  return owner_->Next(count, records, fetched);
}
HRESULT tKVTTSEnumA::Skip(ULONG count) {
  return owner_->Skip(count);
}
HRESULT tKVTTSEnumA::Reset() {
  return owner_->Reset();
}
HRESULT tKVTTSEnumA::Clone(ITTSEnumA** enumerator) {
  if (enumerator == nullptr) return E_POINTER;
  AddRef();
  *enumerator = this;
  return S_OK;
}
HRESULT tKVTTSEnumA::Select(GUID modeId, ITTSCentralA** central, com::IUnknown* audio) {
  return owner_->Select(modeId, IID_ITTSCentralA, reinterpret_cast<void**>(central), audio);
}

HRESULT tKVTTSFindW::QueryInterface(const IID& iid, void** object) {
  return owner_->QueryInterface(iid, object);
}
HRESULT tKVTTSFindW::Find(TTSMODEINFOW* desired, TTSMODEINFORANK* ranks, TTSMODEINFOW* found) {
  return owner_->Find(desired, ranks, found);
}
HRESULT tKVTTSFindW::Select(GUID modeId, ITTSCentralW** central, com::IUnknown* audio) {
  return owner_->EnumW.Select(modeId, central, audio);
}

HRESULT tKVTTSFindA::QueryInterface(const IID& iid, void** object) {
  return owner_->QueryInterface(iid, object);
}
HRESULT tKVTTSFindA::Find(TTSMODEINFOA* desired, TTSMODEINFORANK* ranks, TTSMODEINFOA* found) {
  return owner_->Find(desired, ranks, found);
}
HRESULT tKVTTSFindA::Select(GUID modeId, ITTSCentralA** central, com::IUnknown* audio) {
  return owner_->EnumA.Select(modeId, central, audio);
}

}  // namespace kv::engine
