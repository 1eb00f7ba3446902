// many_instances: creates engine instances one after another, each speaking a short text into
// a file destination on /dev/null, and prints the resident memory per hundred instances, so that
// growth beyond the instances themselves shows. Run it after registering the engine (see
// run_benchmark.py); no part of the tests.
//
//   many_instances [COUNT]
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>

#include "platform/message_loop.h"
#include "sapi/file_dest.h"
#include "sapi/tts_enumerator.h"

namespace {

long ResidentKiB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

class Done final : public kv::sapi::ITTSBufNotifySink {
 public:
  kv::com::HRESULT QueryInterface(const kv::com::IID&, void**) override {
    return kv::com::E_NOINTERFACE;
  }
  kv::com::ULONG AddRef() override { return 1; }
  kv::com::ULONG Release() override { return 1; }
  kv::com::HRESULT TextDataDone(kv::sapi::QWORD, kv::sapi::DWORD) override {
    ++done;
    return 0;
  }
  kv::com::HRESULT TextDataStarted(kv::sapi::QWORD) override { return 0; }
  kv::com::HRESULT BookMark(kv::sapi::QWORD, kv::sapi::DWORD) override { return 0; }
  kv::com::HRESULT WordPosition(kv::sapi::QWORD, kv::sapi::DWORD) override { return 0; }
  int done = 0;
};

}  // namespace

int main(int argc, char** argv) {
  using namespace kv::sapi;
  const int count = argc > 1 ? std::atoi(argv[1]) : 500;
  TtsEnumerator enumerator;
  enumerator.Load();
  if (enumerator.Modes().empty()) {
    std::cerr << "no engine registered\n";
    return 1;
  }
  const kv::com::GUID mode = enumerator.Modes().front().info.gModeID;
  Done sink;
  long last = ResidentKiB();
  std::cout << "instances  resident KiB  KiB per instance since last line\n";
  for (int i = 1; i <= count; ++i) {
    auto* dest = FileDestination::Create("/dev/null", nullptr);
    if (dest == nullptr) return 1;
    ITTSCentralW* central = nullptr;
    if (enumerator.Select(mode, &central, static_cast<IAudio*>(dest)) != 0) return 1;
    std::u16string text = u"Dobr\u00FD den";
    text.push_back(0);
    const int before = sink.done;
    central->TextData(CHARSET_TEXT, 0, SDATA{text.data(), DWORD(text.size() * 2)}, &sink,
                      IID_ITTSBufNotifySink);
    kv::platform::MessageLoop::Current().RunUntil([&] { return sink.done > before; }, 10000);
    central->UnRegister(0);
    central->Release();
    dest->Release();
    if (i % 100 == 0) {
      const long now = ResidentKiB();
      std::cout << i << "  " << now << "  " << (now - last) / 100.0 << "\n";
      last = now;
    }
  }
  // One more instance speaking many texts: its memory must stay flat.
  auto* dest = FileDestination::Create("/dev/null", nullptr);
  ITTSCentralW* central = nullptr;
  if (dest == nullptr || enumerator.Select(mode, &central, static_cast<IAudio*>(dest)) != 0)
    return 1;
  std::cout << "texts  resident KiB (one instance)\n";
  for (int i = 1; i <= count; ++i) {
    std::u16string text = u"Dobr\u00FD den, jak se m\u00E1te?";
    text.push_back(0);
    const int before = sink.done;
    central->TextData(CHARSET_TEXT, 0, SDATA{text.data(), DWORD(text.size() * 2)}, &sink,
                      IID_ITTSBufNotifySink);
    kv::platform::MessageLoop::Current().RunUntil([&] { return sink.done > before; }, 10000);
    if (i % 100 == 0) std::cout << i << "  " << ResidentKiB() << "\n";
  }
  return 0;
}
