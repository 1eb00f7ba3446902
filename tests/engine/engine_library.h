// The engine library as a host sees it: loaded with dlopen, driven through its five exports and
// the interfaces they lead to.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "platform/com.h"
#include "sapi/sapi4.h"

namespace kv::test {

using namespace kv::com;
using namespace kv::sapi;

inline constexpr CLSID kEngineClass = {
    0x3FF7410B, 0xA888, 0x4A67, {0xBA, 0xFC, 0x55, 0xFA, 0xF3, 0xC5, 0x42, 0x4D}};
inline constexpr GUID kModeIds[3] = {
    {0x3FF7410C, 0xA888, 0x4A67, {0xBA, 0xFC, 0x55, 0xFA, 0xF3, 0xC5, 0x42, 0x4D}},
    {0x3FF7410D, 0xA888, 0x4A67, {0xBA, 0xFC, 0x55, 0xFA, 0xF3, 0xC5, 0x42, 0x4D}},
    {0x3FF7410E, 0xA888, 0x4A67, {0xBA, 0xFC, 0x55, 0xFA, 0xF3, 0xC5, 0x42, 0x4D}}};
inline constexpr const char* kModeNames[3] = {"DAVLa", "DAVLuska", "DAVL"};

// A library file loaded for the whole test program.
class EngineLibrary {
 public:
  explicit EngineLibrary(const std::string& path) : handle_(::dlopen(path.c_str(), RTLD_NOW)) {
    if (handle_ == nullptr) return;
    getClassObject = reinterpret_cast<DllGetClassObjectFn>(::dlsym(handle_, "DllGetClassObject"));
    canUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(::dlsym(handle_, "DllCanUnloadNow"));
    registerServer = reinterpret_cast<DllRegisterServerFn>(::dlsym(handle_, "DllRegisterServer"));
    unregisterServer =
        reinterpret_cast<DllRegisterServerFn>(::dlsym(handle_, "DllUnregisterServer"));
    dllMain = reinterpret_cast<BOOL (*)(void*, DWORD, void*)>(::dlsym(handle_, "DllMain"));
  }
  ~EngineLibrary() {
    if (handle_ != nullptr) ::dlclose(handle_);
  }
  EngineLibrary(const EngineLibrary&) = delete;
  EngineLibrary& operator=(const EngineLibrary&) = delete;

  bool Loaded() const { return handle_ != nullptr && getClassObject != nullptr; }

  // The built library, loaded once per test program.
  static EngineLibrary& Built() {
    static EngineLibrary library(KV_TTSE_PATH);
    return library;
  }

  DllGetClassObjectFn getClassObject = nullptr;
  DllCanUnloadNowFn canUnloadNow = nullptr;
  DllRegisterServerFn registerServer = nullptr;
  DllRegisterServerFn unregisterServer = nullptr;
  BOOL (*dllMain)(void*, DWORD, void*) = nullptr;

 private:
  void* handle_;
};

// An audio object that offers IAudio and, optionally, IAudioDest, and counts its references.
class FakeAudio final : public IAudio, public IAudioDest {
 public:
  explicit FakeAudio(bool offersDest = true) : offersDest_(offersDest) {}

  HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IAudio)
      *object = static_cast<IAudio*>(this);
    else if (iid == IID_IAudioDest && offersDest_)
      *object = static_cast<IAudioDest*>(this);
    else
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG KV_STDCALL AddRef() override { return ++refs_; }
  ULONG KV_STDCALL Release() override { return --refs_; }
  int References() const { return refs_; }
  IUnknown* Unknown() { return static_cast<IAudio*>(this); }

  HRESULT KV_STDCALL Flush() override { return S_OK; }
  HRESULT KV_STDCALL LevelGet(DWORD*) override { return S_OK; }
  HRESULT KV_STDCALL LevelSet(DWORD) override { return S_OK; }
  HRESULT KV_STDCALL PassNotify(void*, IID) override { return S_OK; }
  HRESULT KV_STDCALL PosnGet(QWORD*) override { return S_OK; }
  HRESULT KV_STDCALL Claim() override { return S_OK; }
  HRESULT KV_STDCALL UnClaim() override { return S_OK; }
  HRESULT KV_STDCALL Start() override { return S_OK; }
  HRESULT KV_STDCALL Stop() override { return S_OK; }
  HRESULT KV_STDCALL TotalGet(QWORD*) override { return S_OK; }
  HRESULT KV_STDCALL ToFileTime(QWORD*, FILETIME*) override { return S_OK; }
  HRESULT KV_STDCALL WaveFormatGet(SDATA*) override { return S_OK; }
  HRESULT KV_STDCALL WaveFormatSet(SDATA) override { return S_OK; }
  HRESULT KV_STDCALL FreeSpace(DWORD* bytes, BOOL* eof) override {
    if (bytes != nullptr) *bytes = 0;
    if (eof != nullptr) *eof = 0;
    return S_OK;
  }
  HRESULT KV_STDCALL DataSet(void*, DWORD) override { return S_OK; }
  HRESULT KV_STDCALL BookMark(DWORD) override { return S_OK; }

 private:
  bool offersDest_;
  std::atomic<int> refs_{1};
};

}  // namespace kv::test
