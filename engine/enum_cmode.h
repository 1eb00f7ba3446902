// The mode enumerator TKVEnumCMode that the class factory creates, and its four owned objects:
// the W and A enumerators and finders. All four move the owner's one Position.
#pragma once

#include <cstdint>

#include "engine/module_state.h"
#include "sapi/sapi4.h"

namespace kv::engine {

class TKVEnumCMode;

class tKVTTSEnumW final : public sapi::ITTSEnumW {
 public:
  explicit tKVTTSEnumW(TKVEnumCMode* owner) : owner_(owner) {}
  HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override;
  ULONG KV_STDCALL AddRef() override { return ModuleAddRef(); }
  ULONG KV_STDCALL Release() override { return ModuleRelease(); }
  HRESULT KV_STDCALL Next(ULONG count, sapi::TTSMODEINFOW* records, ULONG* fetched) override;
  HRESULT KV_STDCALL Skip(ULONG count) override;
  HRESULT KV_STDCALL Reset() override;
  HRESULT KV_STDCALL Clone(sapi::ITTSEnumW** enumerator) override;
  HRESULT KV_STDCALL Select(GUID modeId, sapi::ITTSCentralW** central,
                            com::IUnknown* audio) override;

 private:
  TKVEnumCMode* owner_;
};

class tKVTTSEnumA final : public sapi::ITTSEnumA {
 public:
  explicit tKVTTSEnumA(TKVEnumCMode* owner) : owner_(owner) {}
  HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override;
  ULONG KV_STDCALL AddRef() override { return ModuleAddRef(); }
  ULONG KV_STDCALL Release() override { return ModuleRelease(); }
  HRESULT KV_STDCALL Next(ULONG count, sapi::TTSMODEINFOA* records, ULONG* fetched) override;
  HRESULT KV_STDCALL Skip(ULONG count) override;
  HRESULT KV_STDCALL Reset() override;
  HRESULT KV_STDCALL Clone(sapi::ITTSEnumA** enumerator) override;
  HRESULT KV_STDCALL Select(GUID modeId, sapi::ITTSCentralA** central,
                            com::IUnknown* audio) override;

 private:
  TKVEnumCMode* owner_;
};

class tKVTTSFindW final : public sapi::ITTSFindW {
 public:
  explicit tKVTTSFindW(TKVEnumCMode* owner) : owner_(owner) {}
  HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override;
  ULONG KV_STDCALL AddRef() override { return ModuleAddRef(); }
  ULONG KV_STDCALL Release() override { return ModuleRelease(); }
  HRESULT KV_STDCALL Find(sapi::TTSMODEINFOW* desired, sapi::TTSMODEINFORANK* ranks,
                          sapi::TTSMODEINFOW* found) override;
  HRESULT KV_STDCALL Select(GUID modeId, sapi::ITTSCentralW** central,
                            com::IUnknown* audio) override;

 private:
  TKVEnumCMode* owner_;
};

class tKVTTSFindA final : public sapi::ITTSFindA {
 public:
  explicit tKVTTSFindA(TKVEnumCMode* owner) : owner_(owner) {}
  HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override;
  ULONG KV_STDCALL AddRef() override { return ModuleAddRef(); }
  ULONG KV_STDCALL Release() override { return ModuleRelease(); }
  HRESULT KV_STDCALL Find(sapi::TTSMODEINFOA* desired, sapi::TTSMODEINFORANK* ranks,
                          sapi::TTSMODEINFOA* found) override;
  HRESULT KV_STDCALL Select(GUID modeId, sapi::ITTSCentralA** central,
                            com::IUnknown* audio) override;

 private:
  TKVEnumCMode* owner_;
};

class TKVEnumCMode final : public com::IUnknown {
 public:
  TKVEnumCMode() = default;
  TKVEnumCMode(const TKVEnumCMode&) = delete;
  TKVEnumCMode& operator=(const TKVEnumCMode&) = delete;

  HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override;
  ULONG KV_STDCALL AddRef() override { return ModuleAddRef(); }
  ULONG KV_STDCALL Release() override { return ModuleRelease(); }

  // The shared walk over the modes; Info is TTSMODEINFOW or TTSMODEINFOA.
  template <class Info>
  HRESULT Next(ULONG count, Info* records, ULONG* fetched);
  HRESULT Skip(ULONG count);
  HRESULT Reset();
  template <class Info>
  HRESULT Find(const Info* desired, const sapi::TTSMODEINFORANK* ranks, Info* found);
  // centralIid chooses the form of the answer: IID_ITTSCentralW or IID_ITTSCentralA.
  HRESULT Select(const GUID& modeId, const IID& centralIid, void** central, com::IUnknown* audio);

  int32_t Position() const { return position_; }

  // Created right after the owner, in this order.
  tKVTTSEnumW EnumW{this};
  tKVTTSEnumA EnumA{this};
  tKVTTSFindW FindW{this};
  tKVTTSFindA FindA{this};

 private:
  void Advance(uint64_t count);

  // Mode number last handed out or chosen; 0 is before the first mode.
  int32_t position_ = 0;
};

}  // namespace kv::engine
