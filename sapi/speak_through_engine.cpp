#include "sapi/speak_through_engine.h"

#include <algorithm>
#include <ostream>
#include <sstream>
#include <vector>

#include "platform/cp1250.h"
#include "platform/json.h"
#include "platform/message_loop.h"
#include "sapi/audio_dest.h"
#include "sapi/device_dest.h"
#include "sapi/file_dest.h"
#include "sapi/tts_enumerator.h"

namespace kv::sapi {

namespace {

// The host's sinks: they print every notification and note the end.
class HostSinks {
 public:
  explicit HostSinks(std::ostream* events) : events_(events) {}

  class Buffer final : public ITTSBufNotifySink {
   public:
    explicit Buffer(HostSinks* host) : host_(host) {}
    HRESULT QueryInterface(const IID& iid, void** object) override {
      return host_->Answer(this, IID_ITTSBufNotifySink, iid, object);
    }
    ULONG AddRef() override { return ++host_->refs_; }
    ULONG Release() override { return --host_->refs_; }
    HRESULT TextDataDone(QWORD t, DWORD flags) override {
      host_->Print("TextDataDone", t, flags != 0 ? "\"aborted\":true" : "");
      return com::S_OK;
    }
    HRESULT TextDataStarted(QWORD t) override {
      host_->Print("TextDataStarted", t);
      return com::S_OK;
    }
    HRESULT BookMark(QWORD t, DWORD mark) override {
      host_->Print("BookMark", t, "\"mark\":" + std::to_string(mark));
      return com::S_OK;
    }
    HRESULT WordPosition(QWORD t, DWORD position) override {
      host_->Print("WordPosition", t, "\"position\":" + std::to_string(position));
      if (host_->onProgress) host_->onProgress(position);
      return com::S_OK;
    }

   private:
    HostSinks* host_;
  };

  class Notify final : public ITTSNotifySinkW {
   public:
    explicit Notify(HostSinks* host) : host_(host) {}
    HRESULT QueryInterface(const IID& iid, void** object) override {
      return host_->Answer(this, IID_ITTSNotifySinkW, iid, object);
    }
    ULONG AddRef() override { return ++host_->refs_; }
    ULONG Release() override { return --host_->refs_; }
    HRESULT AttribChanged(DWORD) override { return com::S_OK; }
    HRESULT AudioStart(QWORD t) override {
      host_->Print("AudioStart", t);
      return com::S_OK;
    }
    HRESULT AudioStop(QWORD t) override {
      host_->Print("AudioStop", t);
      host_->stopped_ = true;
      return com::S_OK;
    }
    HRESULT Visual(QWORD t, WCHAR, WCHAR enginePhoneme, DWORD, TTSMOUTH* mouth) override {
      // The engine's phoneme is the letter's Windows-1250 code.
      const char letter = static_cast<char>(enginePhoneme & 0xFF);
      std::string fields = "\"code\":" + std::to_string(enginePhoneme) +
                           ",\"letter\":" + platform::JsonString(std::string(1, letter));
      if (mouth != nullptr) {
        const TTSMOUTH& m = *mouth;
        fields += ",\"mouth\":{\"height\":" + std::to_string(m.bMouthHeight) +
                  ",\"width\":" + std::to_string(m.bMouthWidth) +
                  ",\"upturn\":" + std::to_string(m.bMouthUpturn) +
                  ",\"jawOpen\":" + std::to_string(m.bJawOpen) +
                  ",\"teethUpper\":" + std::to_string(m.bTeethUpperVisible) +
                  ",\"teethLower\":" + std::to_string(m.bTeethLowerVisible) +
                  ",\"tongue\":" + std::to_string(m.bTonguePosn) +
                  ",\"lipTension\":" + std::to_string(m.bLipTension) + "}";
      }
      host_->Print("Visual", t, fields);
      if (host_->onProgress) host_->onProgress(std::nullopt);
      return com::S_OK;
    }

   private:
    HostSinks* host_;
  };

  Buffer buffer{this};
  Notify notify{this};
  // At every word position, and at every letter's Visual (which carries no position).
  std::function<void(std::optional<DWORD> position)> onProgress;
  bool Stopped() const { return stopped_; }

 private:
  HRESULT Answer(IUnknown* self, const IID& own, const IID& iid, void** object) {
    if (object == nullptr) return com::E_POINTER;
    *object = nullptr;
    if (!(iid == com::IID_IUnknown) && !(iid == own)) return com::E_NOINTERFACE;
    *object = self;
    self->AddRef();
    return com::S_OK;
  }
  void Print(std::string_view event, QWORD t, const std::string& fields = {}) {
    if (events_ != nullptr) *events_ << EventJson(event, t, fields) << '\n' << std::flush;
  }

  std::ostream* events_;
  ULONG refs_ = 0;
  bool stopped_ = false;
};

// The mode named (case-insensitive), or the first one for an empty name.
const VoiceMode* FindMode(const TtsEnumerator& enumerator, const std::string& voice) {
  if (enumerator.Modes().empty()) return nullptr;
  if (voice.empty()) return &enumerator.Modes().front();
  const std::string wanted = cp1250::FromUtf8Lenient(voice);
  for (const VoiceMode& mode : enumerator.Modes()) {
    const std::string name = cp1250::FromUtf8Lenient(FieldText(mode.info.szModeName, TTSI_NAMELEN));
    if (cp1250::SameText(name, wanted)) return &mode;
  }
  return nullptr;
}

}  // namespace

std::string EventJson(std::string_view event, QWORD time, std::string_view fields) {
  std::string line = "{\"t\":" + std::to_string(time) + ",\"event\":" + platform::JsonString(event);
  if (!fields.empty()) {
    line += ',';
    line += fields;
  }
  return line + "}";
}

int SpeakThroughEngine(const SpeakOptions& options, std::ostream& err) {
  TtsEnumerator enumerator;
  enumerator.Load();
  if (enumerator.Modes().empty()) {
    for (const std::string& problem : enumerator.Problems()) err << "warning: " << problem << '\n';
    err << "No text-to-speech engine is registered.\n"
           "Register the engine with:  regsvr path/to/kv_ttse.so\n";
    return kEngineFailed;
  }
  const VoiceMode* mode = FindMode(enumerator, options.voice);
  if (mode == nullptr) {
    err << "No voice is called \"" << options.voice << "\". Voices:";
    for (const VoiceMode& m : enumerator.Modes())
      err << ' ' << FieldText(m.info.szModeName, TTSI_NAMELEN);
    err << '\n';
    return kNoSuchVoice;
  }

  // The destination.
  AudioDestination* dest = options.destination;
  FileDestination* file = nullptr;
  if (dest != nullptr) {
    dest->AddRef();
  } else if (options.output == SpeakOptions::Output::Device) {
    dest = new DeviceDestination();
  } else {
    std::string problem;
    SoundWriterOptions writing;
    writing.format = options.format;
    writing.mayPassWavLimit = MayPassWavLimit(options.text.size(), writing.wavLimit);
    file = options.output == SpeakOptions::Output::Stdout
               ? FileDestination::CreateStdout(writing)
               : FileDestination::Create(options.wavFile, &problem, writing);
    if (file == nullptr) {
      err << problem << '\n';
      return kOutputFailed;
    }
    dest = file;
  }
  auto* device = dynamic_cast<DeviceDestination*>(dest);

  ITTSCentralW* central = nullptr;
  HRESULT hr = enumerator.Select(mode->info.gModeID, &central, static_cast<IAudio*>(dest));
  if (com::Failed(hr) || central == nullptr) {
    err << "The engine could not take the voice (" << com::ResultToString(hr) << ").\n";
    dest->Release();
    return kEngineFailed;
  }
  if (options.rate) {
    void* attributes = nullptr;
    if (central->QueryInterface(IID_ITTSAttributesW, &attributes) == com::S_OK) {
      static_cast<ITTSAttributesW*>(attributes)->SpeedSet(*options.rate);
      static_cast<ITTSAttributesW*>(attributes)->Release();
    }
  }

  HostSinks sinks(options.events);
  DWORD key = 0;
  central->Register(&sinks.notify, IID_ITTSNotifySinkW, &key);
  std::u16string text = cp1250::ToUtf16(cp1250::FromUtf8Lenient(options.text));
  const uint64_t characters = text.size();
  // The engine's word positions end at 10 000 characters; past the last one, the text spoken
  // is reckoned from the audio written since, at the rate so far.
  uint64_t reached = 0, reachedBytes = 0;
  auto report = [&](std::optional<DWORD> position, bool finished) {
    const uint64_t played = dest->Played();
    if (position) {
      reached = *position;
      reachedBytes = played;
    }
    uint64_t done = reached;
    if (!position && reachedBytes > 0)
      done = std::min(characters - 1, reached + (played - reachedBytes) * reached / reachedBytes);
    const WAVEFORMATEX* format = dest->Format();
    options.progress({std::min(done, characters), characters, played,
                      format != nullptr ? format->nAvgBytesPerSec : 0, finished});
  };
  if (options.progress) sinks.onProgress = [&](std::optional<DWORD> at) { report(at, false); };
  text.push_back(u'\0');
  hr = central->TextData(CHARSET_TEXT, TTSDATAFLAG_TAGGED,
                         SDATA{text.data(), static_cast<DWORD>(text.size() * 2)}, &sinks.buffer,
                         IID_ITTSBufNotifySink);
  std::u16string().swap(text);  // the engine has its own copy

  // Run the loop until the engine says the audio stopped; an engine that makes no progress for
  // ten seconds of loop time is given up on, and so is the text once its file cannot grow.
  int status = kSpoken;
  platform::MessageLoop& loop = platform::MessageLoop::Current();
  uint64_t progress = ~uint64_t(0);
  auto writingFailed = [&] { return file != nullptr && file->Failed(); };
  while (com::Succeeded(hr) && !sinks.Stopped() && !writingFailed()) {
    const uint64_t now = dest->Total() + dest->Played();
    if (now == progress) {
      err << "The engine stopped before the end of the text.\n";
      status = kEngineFailed;
      break;
    }
    progress = now;
    loop.RunUntil([&] { return sinks.Stopped() || writingFailed(); }, 10000);
  }
  if (writingFailed()) central->AudioReset();
  if (com::Failed(hr)) {
    err << "The engine refused the text (" << com::ResultToString(hr) << ").\n";
    status = kEngineFailed;
  }
  // What the engine wrote is heard to its end before the program goes on.
  if (device != nullptr) loop.RunUntil([&] { return !device->Busy(); }, 10000);

  central->UnRegister(key);
  central->Release();
  if (file != nullptr && !file->Finish()) {
    err << (file->Problem().empty() ? "The audio could not be written completely."
                                    : file->Problem())
        << '\n';
    status = kOutputFailed;
  }
  if (options.progress)
    report(status == kSpoken ? std::optional<DWORD>(DWORD(characters)) : std::nullopt, true);
  dest->Release();
  return status;
}

}  // namespace kv::sapi
