#include "agent/engine_speaker.h"

#include <algorithm>

#include "platform/cp1250.h"
#include "sapi/device_dest.h"
#include "sapi/tts_enumerator.h"

namespace kv::agent {

using com::HRESULT;
using com::ULONG;
using sapi::DWORD;
using sapi::QWORD;
using sapi::WCHAR;

// The sinks live as long as the session; the engine's references are only counted.
struct EngineSpeaker::Session final : sapi::ITTSNotifySinkW, sapi::ITTSBufNotifySink {
  sapi::TtsEnumerator enumerator;
  bool loaded = false;
  sapi::DeviceDestination* device = nullptr;
  sapi::ITTSCentralW* central = nullptr;
  std::string centralMode;
  DWORD key = 0;
  Events events;
  // An instance counts word positions on across its texts: the first one of a text is its start.
  std::optional<DWORD> textStart;
  bool speaking = false;
  ULONG refs = 0;

  ~Session() {
    if (central != nullptr) {
      central->AudioReset();
      central->UnRegister(key);
      central->Release();
    }
    if (device != nullptr) device->Release();
  }

  std::optional<com::GUID> FindMode(const std::string& modeId) {
    if (!loaded) loaded = com::Succeeded(enumerator.Load());
    const auto wanted = com::GuidFromString(modeId);
    if (!wanted) return std::nullopt;
    for (const sapi::VoiceMode& mode : enumerator.Modes())
      if (mode.info.gModeID == *wanted) return wanted;
    return std::nullopt;
  }

  // One engine instance per mode, bound to one device destination.
  bool Bind(const std::string& modeId) {
    if (central != nullptr && centralMode == modeId) return true;
    const auto mode = FindMode(modeId);
    if (!mode) return false;
    if (central != nullptr) {
      central->AudioReset();
      central->UnRegister(key);
      central->Release();
      central = nullptr;
    }
    if (device == nullptr) {
      device = new sapi::DeviceDestination();
    }
    if (com::Failed(enumerator.Select(*mode, &central, static_cast<sapi::IAudio*>(device))) ||
        central == nullptr) {
      central = nullptr;
      return false;
    }
    central->Register(static_cast<sapi::ITTSNotifySinkW*>(this), sapi::IID_ITTSNotifySinkW, &key);
    centralMode = modeId;
    return true;
  }

  HRESULT KV_STDCALL QueryInterface(const com::IID& iid, void** object) override {
    if (object == nullptr) return com::E_POINTER;
    *object = nullptr;
    if (iid == sapi::IID_ITTSNotifySinkW || iid == com::IID_IUnknown)
      *object = static_cast<sapi::ITTSNotifySinkW*>(this);
    else if (iid == sapi::IID_ITTSBufNotifySink)
      *object = static_cast<sapi::ITTSBufNotifySink*>(this);
    else
      return com::E_NOINTERFACE;
    ++refs;
    return com::S_OK;
  }
  ULONG KV_STDCALL AddRef() override { return ++refs; }
  ULONG KV_STDCALL Release() override { return --refs; }

  HRESULT KV_STDCALL AttribChanged(DWORD) override { return com::S_OK; }
  HRESULT KV_STDCALL AudioStart(QWORD) override { return com::S_OK; }
  HRESULT KV_STDCALL AudioStop(QWORD) override {
    if (speaking) {
      speaking = false;
      if (events.mouth) events.mouth(0);
      if (events.done) events.done();
    }
    return com::S_OK;
  }
  HRESULT KV_STDCALL Visual(QWORD, WCHAR, WCHAR, DWORD, sapi::TTSMOUTH* mouth) override {
    if (events.mouth && mouth != nullptr) events.mouth(mouth->bMouthHeight);
    return com::S_OK;
  }
  HRESULT KV_STDCALL TextDataDone(QWORD, DWORD) override { return com::S_OK; }
  HRESULT KV_STDCALL TextDataStarted(QWORD) override { return com::S_OK; }
  HRESULT KV_STDCALL BookMark(QWORD, DWORD) override { return com::S_OK; }
  HRESULT KV_STDCALL WordPosition(QWORD, DWORD position) override {
    if (!textStart) textStart = position;
    if (events.word) events.word(position >= *textStart ? position - *textStart : 0);
    return com::S_OK;
  }
};

EngineSpeaker::EngineSpeaker() : session_(std::make_unique<Session>()) {}
EngineSpeaker::~EngineSpeaker() = default;

bool EngineSpeaker::HasMode(const std::string& modeId) {
  return session_->FindMode(modeId).has_value();
}

bool EngineSpeaker::Start(const std::string& text, const std::string& modeId, Events events) {
  Session& s = *session_;
  if (!s.Bind(modeId)) return false;
  // The engine parts words at spaces only: a line break ends a word as well.
  std::u16string wide = cp1250::ToUtf16(text);
  std::replace_if(
      wide.begin(), wide.end(), [](char16_t c) { return c == u'\n' || c == u'\r' || c == u'\t'; },
      u' ');
  wide.push_back(u'\0');
  s.events = std::move(events);
  s.textStart.reset();
  s.speaking = true;
  const HRESULT hr =
      s.central->TextData(sapi::CHARSET_TEXT, sapi::TTSDATAFLAG_TAGGED,
                          sapi::SDATA{wide.data(), static_cast<DWORD>(wide.size() * 2)},
                          static_cast<sapi::ITTSBufNotifySink*>(&s), sapi::IID_ITTSBufNotifySink);
  if (com::Failed(hr)) {
    s.speaking = false;
    s.events = {};
    return false;
  }
  return true;
}

void EngineSpeaker::Stop() {
  Session& s = *session_;
  if (s.central == nullptr || !s.speaking) return;
  s.central->AudioReset();
  s.AudioStop(0);  // the end is told once, whether or not the engine told it already
  s.events = {};   // what the engine still reports of the cut text goes nowhere
}

}  // namespace kv::agent
