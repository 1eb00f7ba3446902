// COM basics: identifiers, result codes, the two base interfaces, the module-wide reference
// counter and our stand-in for loading an in-process server by its class identifier.
//
// Interfaces are abstract classes whose virtual functions are declared in the published slot
// order and that have no virtual destructor, so that their vtables are laid out as COM's. Every
// interface method and every server export is declared KV_STDCALL: COM's own convention,
// __stdcall, on 32-bit Windows; the platform's default one elsewhere.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#if defined(_WIN32) && defined(__i386__)
#define KV_STDCALL __stdcall
#else
#define KV_STDCALL
#endif

// An in-process server's export: by the version script here, by the module definition file
// (kv_ttse.def, undecorated names) on Windows.
#if defined(_WIN32)
#define KV_SERVER_EXPORT extern "C"
#else
#define KV_SERVER_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace kv::com {

using HRESULT = int32_t;
using ULONG = uint32_t;
using DWORD = uint32_t;
using WORD = uint16_t;
using BOOL = int32_t;

struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16 && alignof(GUID) == 4);
using IID = GUID;
using CLSID = GUID;

constexpr bool operator==(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}

// The registry's brace form, upper-case hex: "{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}".
std::string GuidToString(const GUID& guid);
// Accepts the brace form in either case; nullopt for anything else.
std::optional<GUID> GuidFromString(std::string_view text);

constexpr HRESULT MakeResult(uint32_t code) {
  return static_cast<HRESULT>(code);
}
constexpr bool Succeeded(HRESULT hr) {
  return hr >= 0;
}
constexpr bool Failed(HRESULT hr) {
  return hr < 0;
}

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = MakeResult(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = MakeResult(0x80004002);
inline constexpr HRESULT E_POINTER = MakeResult(0x80004003);
inline constexpr HRESULT E_FAIL = MakeResult(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = MakeResult(0x8000FFFF);
inline constexpr HRESULT E_OUTOFMEMORY = MakeResult(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = MakeResult(0x80070057);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = MakeResult(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = MakeResult(0x80040111);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = MakeResult(0x80040154);
inline constexpr HRESULT SELFREG_E_CLASS = MakeResult(0x80040201);
inline constexpr HRESULT CO_E_DLLNOTFOUND = MakeResult(0x800401F8);
inline constexpr HRESULT CO_E_ERRORINDLL = MakeResult(0x800401F9);

// "0x80004001"
std::string ResultToString(HRESULT hr);

inline constexpr IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IClassFactory = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class IUnknown {
 public:
  virtual HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) = 0;
  virtual ULONG KV_STDCALL AddRef() = 0;
  virtual ULONG KV_STDCALL Release() = 0;
};

class IClassFactory : public IUnknown {
 public:
  virtual HRESULT KV_STDCALL CreateInstance(IUnknown* outer, const IID& iid, void** object) = 0;
  virtual HRESULT KV_STDCALL LockServer(BOOL lock) = 0;
};

// A reference counter changed only by interlocked operations. Increment and Decrement return
// the value after the change.
class InterlockedCounter {
 public:
  int32_t Increment() { return value_.fetch_add(1, std::memory_order_acq_rel) + 1; }
  int32_t Decrement() { return value_.fetch_sub(1, std::memory_order_acq_rel) - 1; }
  // Decrements only while the value is above 0; false (and no change) otherwise.
  bool DecrementIfPositive();
  int32_t Value() const { return value_.load(std::memory_order_acquire); }

 private:
  std::atomic<int32_t> value_{0};
};

// Signatures of the in-process server exports.
using DllGetClassObjectFn = HRESULT(KV_STDCALL*)(const CLSID& clsid, const IID& iid, void** object);
using DllCanUnloadNowFn = HRESULT(KV_STDCALL*)();
using DllRegisterServerFn = HRESULT(KV_STDCALL*)();

// A loaded in-process server library. Releasing the holder asks the library whether it may be
// unloaded (DllCanUnloadNow) and unloads it only when it answers S_OK; otherwise the library
// stays loaded for the rest of the process, as interfaces from it may still be in use.
class InprocServer {
 public:
  ~InprocServer();
  InprocServer(const InprocServer&) = delete;
  InprocServer& operator=(const InprocServer&) = delete;

  // Loads the library registered for the class: the default value of
  // HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32. REGDB_E_CLASSNOTREG when the class is not
  // registered, CO_E_DLLNOTFOUND when the library cannot be loaded, CO_E_ERRORINDLL when it
  // is no whole ELF module of this machine (never mapped then) or lacks DllGetClassObject.
  static HRESULT ForClass(const CLSID& clsid, std::shared_ptr<InprocServer>* server);
  // Loads a library file directly.
  static HRESULT FromFile(const std::filesystem::path& path, std::shared_ptr<InprocServer>* server);

  HRESULT GetClassObject(const CLSID& clsid, const IID& iid, void** object) const;
  const std::filesystem::path& Path() const { return path_; }
  // Address of an exported symbol, or nullptr.
  void* Symbol(const char* name) const;

 private:
  InprocServer(void* handle, std::filesystem::path path);

  void* handle_;
  std::filesystem::path path_;
  DllGetClassObjectFn getClassObject_;
  DllCanUnloadNowFn canUnloadNow_;
};

// Creates an object of a registered class: loads its server, gets the class factory and calls
// CreateInstance. The server is kept in *server; release the interface before the server. On
// Windows CoCreateInstance does it all, COM keeps the server, and *server stays empty.
HRESULT CreateInstance(const CLSID& clsid, IUnknown* outer, const IID& iid, void** object,
                       std::shared_ptr<InprocServer>* server);

// Library file name registered for a class, or nullopt.
std::optional<std::filesystem::path> RegisteredServerPath(const CLSID& clsid);

}  // namespace kv::com
