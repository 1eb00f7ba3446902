// libFuzzer target: bytes as text a SAPI host hands the engine library, through ITTSCentral
// TextData in the W form (UTF-16) or the A form (Windows-1250), tagged or plain, spoken onto a
// memory destination on a manual clock. The first byte chooses the form (bit 0: A, bit 1:
// tagged); the rest is the text. Every text the engine takes begins and ends exactly once.
#include <memory>
#include <string>

#include "platform/com.h"
#include "platform/message_loop.h"
#include "sapi/memory_dest.h"
#include "sapi/sapi4.h"
#include "tests/fuzz/fuzz_check.h"

using kv::fuzz::Require;
using namespace kv::com;
using namespace kv::sapi;

namespace {

constexpr CLSID kEngineClass = {
    0x3FF7410B, 0xA888, 0x4A67, {0xBA, 0xFC, 0x55, 0xFA, 0xF3, 0xC5, 0x42, 0x4D}};

class CountingSink final : public ITTSBufNotifySink {
 public:
  HRESULT QueryInterface(const IID& iid, void** object) override {
    *object = nullptr;
    if (!(iid == IID_IUnknown) && !(iid == IID_ITTSBufNotifySink)) return E_NOINTERFACE;
    *object = this;
    return S_OK;
  }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }
  HRESULT TextDataDone(QWORD, DWORD) override {
    Require(started == done + 1, "a text ends once, after it began");
    ++done;
    return S_OK;
  }
  HRESULT TextDataStarted(QWORD) override {
    Require(started == done, "a text begins after the one before ended");
    ++started;
    return S_OK;
  }
  HRESULT BookMark(QWORD, DWORD) override { return S_OK; }
  HRESULT WordPosition(QWORD, DWORD) override { return S_OK; }
  int started = 0, done = 0;
};

// One engine instance for the process (the library keeps its instances until it unloads).
struct Engine {
  std::shared_ptr<InprocServer> server;
  MemoryDestination* dest = new MemoryDestination(0, true);
  ITTSCentralW* w = nullptr;
  ITTSCentralA* a = nullptr;

  Engine() {
    kv::platform::MessageLoop::Current().SetClock(std::make_shared<kv::platform::ManualClock>(1));
    Require(InprocServer::FromFile(KV_TTSE_PATH, &server) == S_OK, "the engine library loads");
    void* factory = nullptr;
    Require(server->GetClassObject(kEngineClass, IID_IClassFactory, &factory) == S_OK, "factory");
    void* enumerator = nullptr;
    static_cast<IClassFactory*>(factory)->CreateInstance(nullptr, IID_ITTSEnumW, &enumerator);
    Require(enumerator != nullptr, "the engine lists its modes");
    auto* modes = static_cast<ITTSEnumW*>(enumerator);
    TTSMODEINFOW info{};
    ULONG fetched = 0;
    Require(modes->Next(1, &info, &fetched) == S_OK && fetched == 1, "a first mode");
    IUnknown* audio = static_cast<IAudio*>(dest);
    Require(modes->Select(info.gModeID, &w, audio) == S_OK, "the mode is selected");
    void* narrow = nullptr;
    Require(w->QueryInterface(IID_ITTSCentralA, &narrow) == S_OK, "the A form");
    a = static_cast<ITTSCentralA*>(narrow);
  }
};

Engine& TheEngine() {
  static Engine* engine = new Engine;
  return *engine;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  Engine& engine = TheEngine();
  const bool narrow = data[0] & 1;
  const DWORD flags = data[0] & 2 ? TTSDATAFLAG_TAGGED : 0;
  std::string a(reinterpret_cast<const char*>(data + 1), size - 1);
  std::u16string w;
  for (size_t i = 1; i + 1 < size; i += 2) w += char16_t(data[i] | data[i + 1] << 8);
  static CountingSink sink;  // the engine may hold it until its next text
  sink.started = sink.done = 0;
  // Hosts count the terminating null in the size.
  const HRESULT hr =
      narrow ? engine.a->TextData(CHARSET_TEXT, flags, SDATA{a.data(), DWORD(a.size() + 1)}, &sink,
                                  IID_ITTSBufNotifySink)
             : engine.w->TextData(CHARSET_TEXT, flags, SDATA{w.data(), DWORD((w.size() + 1) * 2)},
                                  &sink, IID_ITTSBufNotifySink);
  if (hr >= 0) {
    kv::platform::MessageLoop::Current().RunUntil([&] { return sink.done > 0; }, 3600000);
    Require(sink.done == 1, "every text the engine takes ends");
  }
  engine.w->AudioReset();
  while (kv::platform::MessageLoop::Current().ProcessPending()) {
  }
  Require(sink.started == sink.done, "nothing is left begun");
  engine.dest->ClearRecords();
  return 0;
}
