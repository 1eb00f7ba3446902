// A host for the engine library in tests: application sinks that record every notification in
// one ordered log, and an engine instance selected onto a memory destination on a manual clock.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/message_loop.h"
#include "sapi/memory_dest.h"
#include "tests/engine/engine_library.h"

namespace kv::test {

struct Event {
  std::string what;  // "TextDataStarted", "WordPosition 5", "VisualW 97", ...
  QWORD time;
};

// One log shared by every sink of a test, in the order the notifications came.
class EventLog {
 public:
  void Add(std::string what, QWORD time) { events_.push_back({std::move(what), time}); }
  const std::vector<Event>& Events() const { return events_; }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const Event& e : events_) names.push_back(e.what);
    return names;
  }
  // Names that start with the prefix, in order.
  std::vector<std::string> Only(const std::string& prefix) const {
    std::vector<std::string> names;
    for (const Event& e : events_)
      if (e.what.rfind(prefix, 0) == 0) names.push_back(e.what);
    return names;
  }
  size_t Count(const std::string& what) const {
    size_t n = 0;
    for (const Event& e : events_) n += e.what == what;
    return n;
  }
  void Clear() { events_.clear(); }

 private:
  std::vector<Event> events_;
};

// Counts its references; never deleted by Release (the test owns it).
template <class Interface>
class CountedSink : public Interface {
 public:
  ULONG KV_STDCALL AddRef() override { return ++refs_; }
  ULONG KV_STDCALL Release() override { return --refs_; }
  int References() const { return refs_; }

 private:
  int refs_ = 1;
};

class BufSink final : public CountedSink<ITTSBufNotifySink> {
 public:
  BufSink(EventLog& log, std::string tag = "") : log_(log), tag_(std::move(tag)) {}
  HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!(iid == IID_IUnknown) && !(iid == IID_ITTSBufNotifySink)) return E_NOINTERFACE;
    *object = this;
    AddRef();
    return S_OK;
  }
  HRESULT KV_STDCALL TextDataDone(QWORD t, DWORD flags) override {
    log_.Add(tag_ + "TextDataDone" + (flags ? " aborted" : ""), t);
    return S_OK;
  }
  HRESULT KV_STDCALL TextDataStarted(QWORD t) override {
    log_.Add(tag_ + "TextDataStarted", t);
    return S_OK;
  }
  HRESULT KV_STDCALL BookMark(QWORD t, DWORD mark) override {
    log_.Add(tag_ + "BookMark " + std::to_string(mark), t);
    return S_OK;
  }
  HRESULT KV_STDCALL WordPosition(QWORD t, DWORD position) override {
    log_.Add(tag_ + "WordPosition " + std::to_string(position), t);
    return S_OK;
  }

 private:
  EventLog& log_;
  std::string tag_;
};

template <class Interface, class Char>
class NotifySink final : public CountedSink<Interface> {
 public:
  NotifySink(EventLog& log, const IID& iid, std::string form)
      : log_(log), iid_(iid), form_(std::move(form)) {}
  HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!(iid == IID_IUnknown) && !(iid == iid_)) return E_NOINTERFACE;
    *object = this;
    this->AddRef();
    return S_OK;
  }
  HRESULT KV_STDCALL AttribChanged(DWORD) override { return S_OK; }
  HRESULT KV_STDCALL AudioStart(QWORD t) override {
    log_.Add("AudioStart" + form_, t);
    return S_OK;
  }
  HRESULT KV_STDCALL AudioStop(QWORD t) override {
    log_.Add("AudioStop" + form_, t);
    return S_OK;
  }
  HRESULT KV_STDCALL Visual(QWORD t, Char ipa, Char engine, DWORD hints, TTSMOUTH* mouth) override {
    log_.Add(
        "Visual" + form_ + " " + std::to_string(static_cast<unsigned>(ipa) & 0xFFFF) + " " +
            std::to_string(static_cast<unsigned>(static_cast<std::make_unsigned_t<Char>>(engine))),
        t);
    lastHints = hints;
    if (mouth != nullptr) lastMouth = *mouth;
    return S_OK;
  }
  DWORD lastHints = 0;
  TTSMOUTH lastMouth{};

 private:
  EventLog& log_;
  IID iid_;
  std::string form_;
};

using NotifySinkW = NotifySink<ITTSNotifySinkW, WCHAR>;
using NotifySinkA = NotifySink<ITTSNotifySinkA, CHAR>;

// The manual clock on this thread's loop for the length of a test.
class ManualTime {
 public:
  ManualTime() : clock_(std::make_shared<platform::ManualClock>(100000)) {
    platform::MessageLoop::Current().SetClock(clock_);
  }
  ~ManualTime() { platform::MessageLoop::Current().SetClock(nullptr); }
  platform::ManualClock& Clock() { return *clock_; }

 private:
  std::shared_ptr<platform::ManualClock> clock_;
};

// Runs the loop's posted calls and due timers until nothing is left to do now.
inline void Pump() {
  for (int i = 0; i < 10000 && platform::MessageLoop::Current().ProcessPending(); ++i) {
  }
}

// The built engine library, loaded once and never closed: its instances live for the whole
// process, so the library must stay mapped under them until the very end.
inline EngineLibrary& Library() {
  static EngineLibrary* library = new EngineLibrary(KV_TTSE_PATH);
  return *library;
}

// Selects a mode of the built engine library onto an audio object.
template <class Central>
HRESULT SelectMode(int mode, IUnknown* audio, Central** central) {
  EngineLibrary& lib = Library();
  EXPECT_TRUE(lib.Loaded());
  void* factory = nullptr;
  EXPECT_EQ(lib.getClassObject(kEngineClass, IID_IClassFactory, &factory), S_OK);
  void* enumerator = nullptr;
  auto* f = static_cast<IClassFactory*>(factory);
  HRESULT hr;
  if constexpr (std::is_same_v<Central, ITTSCentralW>) {
    EXPECT_EQ(f->CreateInstance(nullptr, IID_ITTSEnumW, &enumerator), S_OK);
    hr = static_cast<ITTSEnumW*>(enumerator)->Select(kModeIds[mode - 1], central, audio);
    static_cast<ITTSEnumW*>(enumerator)->Release();
  } else {
    EXPECT_EQ(f->CreateInstance(nullptr, IID_ITTSEnumA, &enumerator), S_OK);
    hr = static_cast<ITTSEnumA*>(enumerator)->Select(kModeIds[mode - 1], central, audio);
    static_cast<ITTSEnumA*>(enumerator)->Release();
  }
  f->Release();
  return hr;
}

// SDATA of a W text with its terminating null counted, as hosts pass it.
struct WideText {
  explicit WideText(std::u16string s) : text(std::move(s)) {}
  SDATA Data() { return SDATA{text.data(), static_cast<DWORD>((text.size() + 1) * 2)}; }
  std::u16string text;
};
struct NarrowText {
  explicit NarrowText(std::string s) : text(std::move(s)) {}
  SDATA Data() { return SDATA{text.data(), static_cast<DWORD>(text.size() + 1)}; }
  std::string text;
};

}  // namespace kv::test
