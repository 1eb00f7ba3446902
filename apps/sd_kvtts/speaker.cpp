#include "apps/sd_kvtts/speaker.h"

#include <sstream>
#include <utility>

#include "apps/sd_kvtts/protocol_line.h"
#include "apps/sd_kvtts/voices.h"
#include "platform/cp1250.h"
#include "platform/message_loop.h"
#include "sapi/device_dest.h"
#include "sapi/first_use.h"

namespace kv::speechd {

using sapi::DWORD;
using sapi::HRESULT;
using sapi::QWORD;
using sapi::WCHAR;

// One engine instance with its destination and the sinks through which it reports.
struct Speaker::Instance final : public sapi::ITTSBufNotifySink, public sapi::ITTSNotifySinkW {
  explicit Instance(Speaker* owner) : owner(owner) {}

  HRESULT KV_STDCALL QueryInterface(const com::IID& iid, void** object) override {
    if (object == nullptr) return com::E_POINTER;
    *object = nullptr;
    if (iid == sapi::IID_ITTSBufNotifySink)
      *object = static_cast<sapi::ITTSBufNotifySink*>(this);
    else if (iid == sapi::IID_ITTSNotifySinkW || iid == com::IID_IUnknown)
      *object = static_cast<sapi::ITTSNotifySinkW*>(this);
    else
      return com::E_NOINTERFACE;
    return com::S_OK;
  }
  // The sinks live as long as the speaker; the engine's references do not own them.
  sapi::ULONG KV_STDCALL AddRef() override { return 2; }
  sapi::ULONG KV_STDCALL Release() override { return 1; }

  // ITTSBufNotifySink: only the application's own bookmarks matter here.
  HRESULT KV_STDCALL TextDataDone(QWORD, DWORD) override { return com::S_OK; }
  HRESULT KV_STDCALL TextDataStarted(QWORD) override { return com::S_OK; }
  HRESULT KV_STDCALL BookMark(QWORD, DWORD mark) override {
    owner->OnBookMark(this, mark);
    return com::S_OK;
  }
  HRESULT KV_STDCALL WordPosition(QWORD, DWORD) override { return com::S_OK; }

  // ITTSNotifySinkW: the end of the text as heard.
  HRESULT KV_STDCALL AttribChanged(DWORD) override { return com::S_OK; }
  HRESULT KV_STDCALL AudioStart(QWORD) override { return com::S_OK; }
  HRESULT KV_STDCALL AudioStop(QWORD) override {
    owner->OnEnd(this);
    return com::S_OK;
  }
  HRESULT KV_STDCALL Visual(QWORD, WCHAR, WCHAR, DWORD, sapi::TTSMOUTH*) override {
    return com::S_OK;
  }

  Speaker* owner;
  sapi::ITTSCentralW* central = nullptr;
  sapi::ITTSAttributesW* attributes = nullptr;
  sapi::DeviceDestination* destination = nullptr;
};

Speaker::Speaker(std::function<void(std::string_view)> write) : write_(std::move(write)) {}

Speaker::~Speaker() {
  if (Instance* instance = std::exchange(active_, nullptr)) {  // silently: nobody listens
    instance->central->AudioReset();
    instance->destination->Flush();
  }
  for (auto& instance : instances_) {
    if (!instance) continue;
    // Engine instances are never destroyed: only our references go.
    if (instance->attributes != nullptr) instance->attributes->Release();
    instance->central->Release();
    instance->destination->Release();
  }
}

bool Speaker::Load(std::string* problem) {
  std::ostringstream notes;
  sapi::RegisterPackagedEngineOnFirstUse(notes);
  enumerator_ = std::make_unique<sapi::TtsEnumerator>();
  enumerator_->Load();
  for (const sapi::VoiceMode& mode : enumerator_->Modes())
    if (VoiceByName(sapi::FieldText(mode.info.szModeName, sapi::TTSI_NAMELEN)) != 0) return true;
  *problem = "No voice of the KORVEN engine is registered (register it with: regsvr kv_ttse.so).";
  for (const std::string& p : enumerator_->Problems()) *problem += " " + p;
  return false;
}

Speaker::Instance* Speaker::Take(int voice, std::string* problem) {
  auto& slot = instances_.at(size_t(voice - 1));
  if (slot) return slot.get();
  const sapi::VoiceMode* found = nullptr;
  if (enumerator_) {
    for (const sapi::VoiceMode& mode : enumerator_->Modes())
      if (VoiceByName(sapi::FieldText(mode.info.szModeName, sapi::TTSI_NAMELEN)) == voice)
        found = &mode;
  }
  if (found == nullptr) {
    *problem = "the voice is not registered";
    return nullptr;
  }
  auto instance = std::make_unique<Instance>(this);
  instance->destination = new sapi::DeviceDestination();
  HRESULT hr = enumerator_->Select(found->info.gModeID, &instance->central,
                                   static_cast<sapi::IAudio*>(instance->destination));
  if (com::Failed(hr) || instance->central == nullptr) {
    instance->destination->Release();
    *problem = "the engine refused the voice (" + com::ResultToString(hr) + ")";
    return nullptr;
  }
  void* attributes = nullptr;
  if (instance->central->QueryInterface(sapi::IID_ITTSAttributesW, &attributes) == com::S_OK)
    instance->attributes = static_cast<sapi::ITTSAttributesW*>(attributes);
  DWORD key = 0;
  instance->central->Register(static_cast<sapi::ITTSNotifySinkW*>(instance.get()),
                              sapi::IID_ITTSNotifySinkW, &key);
  slot = std::move(instance);
  return slot.get();
}

bool Speaker::Speak(const Utterance& u, std::string* problem) {
  Stop();
  Instance* instance = Take(u.voice, problem);
  if (instance == nullptr) return false;
  // What a stopped message still had on its way (notifications already posted) goes first,
  // while no message listens.
  platform::MessageLoop& loop = platform::MessageLoop::Current();
  while (loop.ProcessPending()) {
  }
  if (instance->attributes != nullptr) instance->attributes->SpeedSet(u.speed);
  marks_.clear();
  for (size_t i = 0; i < u.text.marks.size(); ++i)
    marks_.emplace_back(MarkNumber(i), u.text.marks[i]);
  pauseRequested_ = false;
  active_ = instance;
  std::u16string text = cp1250::ToUtf16(u.text.text);
  text.push_back(u'\0');
  const HRESULT hr = instance->central->TextData(
      sapi::CHARSET_TEXT, sapi::TTSDATAFLAG_TAGGED,
      sapi::SDATA{text.data(), static_cast<DWORD>(text.size() * 2)},
      static_cast<sapi::ITTSBufNotifySink*>(instance), sapi::IID_ITTSBufNotifySink);
  if (com::Failed(hr)) {
    active_ = nullptr;
    *problem = "the engine refused the text (" + com::ResultToString(hr) + ")";
    return false;
  }
  return true;
}

void Speaker::ReportMark(const std::string& name) {
  write_("700-" + OneLine(name) + "\n700 INDEX MARK\n");
}

void Speaker::OnBookMark(Instance* from, uint32_t number) {
  if (from != active_ || !IsMarkNumber(number)) return;
  bool known = false;
  for (const auto& m : marks_) known = known || m.first == number;
  if (!known) return;
  while (active_ != nullptr && !marks_.empty()) {
    auto [n, name] = std::move(marks_.front());
    marks_.pop_front();
    ReportMark(name);
    if (pauseRequested_ && name.starts_with("__spd_")) Finish("704 PAUSE\n", true);
    if (n == number) break;
  }
}

void Speaker::OnEnd(Instance* from) {
  if (from != active_) return;
  while (active_ != nullptr && !marks_.empty()) {
    std::string name = std::move(marks_.front().second);
    marks_.pop_front();
    ReportMark(name);
    if (pauseRequested_ && name.starts_with("__spd_")) Finish("704 PAUSE\n", true);
  }
  if (active_ != nullptr) Finish("702 END\n", false);
}

void Speaker::Stop() {
  if (active_ != nullptr) Finish("703 STOP\n", true);
}

void Speaker::Pause() {
  if (active_ != nullptr) pauseRequested_ = true;
}

void Speaker::Finish(const char* event, bool cut) {
  Instance* instance = active_;
  active_ = nullptr;
  marks_.clear();
  if (cut) {
    // The engine drops its text and writes its end marks; flushing the destination after it
    // stops the sound at once and hands back every mark still waiting, while nobody listens.
    instance->central->AudioReset();
    instance->destination->Flush();
  }
  write_(event);
}

}  // namespace kv::speechd
