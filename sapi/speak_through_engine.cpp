#include "sapi/speak_through_engine.h"

#include <algorithm>
#include <map>
#include <ostream>
#include <sstream>
#include <tuple>
#include <vector>

#include "platform/cp1250.h"
#include "platform/json.h"
#include "platform/message_loop.h"
#include "sapi/audio_dest.h"
#include "sapi/device_dest.h"
#include "sapi/file_dest.h"
#include "sapi/first_use.h"
#include "sapi/tts_enumerator.h"
#include "sapi/user_marks.h"

namespace kv::sapi {

namespace {

// The engine's word-position marks are this plus the character position.
constexpr DWORD kWordPositionMarks = 30000;

// The host's sinks: they print every notification and count the ends of text.
class HostSinks {
 public:
  HostSinks(std::ostream* events, std::map<DWORD, int> userMarks)
      : events_(events), userMarks_(std::move(userMarks)) {}

  class Buffer final : public ITTSBufNotifySink {
   public:
    explicit Buffer(HostSinks* host) : host_(host) {}
    HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override {
      return host_->Answer(this, IID_ITTSBufNotifySink, iid, object);
    }
    ULONG KV_STDCALL AddRef() override { return ++host_->refs_; }
    ULONG KV_STDCALL Release() override { return --host_->refs_; }
    HRESULT KV_STDCALL TextDataDone(QWORD t, DWORD flags) override {
      host_->Print("TextDataDone", t, flags != 0 ? "\"aborted\":true" : "");
      return com::S_OK;
    }
    HRESULT KV_STDCALL TextDataStarted(QWORD t) override {
      host_->Print("TextDataStarted", t);
      return com::S_OK;
    }
    HRESULT KV_STDCALL BookMark(QWORD t, DWORD mark) override {
      if (host_->IsWordPosition(mark)) {
        const DWORD position = mark - kWordPositionMarks;
        host_->Print(
            "WordPosition", t,
            "\"position\":" + std::to_string(position) + ",\"mark\":" + std::to_string(mark));
        if (host_->onProgress) host_->onProgress(position);
      } else {
        host_->Print("BookMark", t, "\"mark\":" + std::to_string(mark));
      }
      return com::S_OK;
    }
    HRESULT KV_STDCALL WordPosition(QWORD t, DWORD position) override {
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
    HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override {
      return host_->Answer(this, IID_ITTSNotifySinkW, iid, object);
    }
    ULONG KV_STDCALL AddRef() override { return ++host_->refs_; }
    ULONG KV_STDCALL Release() override { return --host_->refs_; }
    HRESULT KV_STDCALL AttribChanged(DWORD) override { return com::S_OK; }
    HRESULT KV_STDCALL AudioStart(QWORD t) override {
      host_->Print("AudioStart", t);
      return com::S_OK;
    }
    HRESULT KV_STDCALL AudioStop(QWORD t) override {
      host_->Print("AudioStop", t);
      ++host_->stops_;
      return com::S_OK;
    }
    HRESULT KV_STDCALL Visual(QWORD t, WCHAR, WCHAR enginePhoneme, DWORD,
                              TTSMOUTH* mouth) override {
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
  // AudioStops so far: one at the end of the text, and one more at each \mrk=11111\ of the
  // text's own, which the engine reads as the end of text while it goes on speaking.
  int Stops() const { return stops_; }

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

  // The engine's word positions past 9 999 characters come as bookmarks from 40 000 up; a
  // number that the text's own tags set stays the user's, as often as they set it.
  bool IsWordPosition(DWORD mark) {
    auto user = userMarks_.find(mark);
    if (user != userMarks_.end() && user->second > 0) {
      --user->second;
      return false;
    }
    return mark >= kWordPositionMarks + 10000;
  }

  std::ostream* events_;
  std::map<DWORD, int> userMarks_;
  ULONG refs_ = 0;
  int stops_ = 0;
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

// How far the speech got: the engine's last word position and, between positions, an estimate
// from the audio written since at the rate so far.
class Reckoner {
 public:
  Reckoner(const AudioDestination& dest, uint64_t characters)
      : dest_(dest), characters_(characters) {}
  void Reached(DWORD position) {
    reached_ = position;
    reachedBytes_ = dest_.Played();
  }
  SpeakProgress Now(bool estimate, bool finished) const {
    const uint64_t played = dest_.Played();
    uint64_t done = reached_;
    if (estimate && reachedBytes_ > 0 && characters_ > 0)
      done =
          std::min(characters_ - 1, reached_ + (played - reachedBytes_) * reached_ / reachedBytes_);
    const WAVEFORMATEX* format = dest_.Format();
    return {std::min(done, characters_), characters_, played,
            format != nullptr ? format->nAvgBytesPerSec : 0, finished};
  }

 private:
  const AudioDestination& dest_;
  uint64_t characters_;
  uint64_t reached_ = 0, reachedBytes_ = 0;
};

// The destination that the options name (with its own reference); null after a message.
AudioDestination* OpenDestination(const SpeakOptions& options, std::ostream& err,
                                  FileDestination** file) {
  *file = nullptr;
  if (options.destination != nullptr) {
    options.destination->AddRef();
    return options.destination;
  }
  if (options.output == SpeakOptions::Output::Device) return new DeviceDestination();
  std::string problem;
  SoundWriterOptions writing;
  writing.format = options.format;
  writing.mayPassWavLimit = MayPassWavLimit(options.text.size(), writing.wavLimit);
  *file = options.output == SpeakOptions::Output::Stdout
              ? FileDestination::CreateStdout(writing)
              : FileDestination::Create(options.wavFile, &problem, writing);
  if (*file == nullptr) err << problem << '\n';
  return *file;
}

// Runs the loop until the text has been spoken, its file cannot grow, or the speech is
// interrupted; returns kSpoken, kInterrupted or kEngineFailed (after a message).
int RunUntilSpoken(const SpeakOptions& options, HostSinks& sinks, AudioDestination& dest,
                   FileDestination* file, std::ostream& err) {
  platform::MessageLoop& loop = platform::MessageLoop::Current();
  auto interrupted = [&] { return options.interrupted && options.interrupted(); };
  auto writingFailed = [&] { return file != nullptr && file->Failed(); };
  auto activity = [&] { return std::tuple(dest.Total(), dest.Played(), dest.PendingMarks()); };
  // Nothing left to do: no timer (the engine's feed timer stops at the end of the text), no
  // call waiting, nothing cached or marked in the destination.
  auto idle = [&] {
    return loop.EnabledTimers() == 0 && !loop.HasPosts() && dest.Queued() == 0 &&
           dest.PendingMarks() == 0;
  };
  uint64_t progress = ~uint64_t(0);
  int stops = 0;
  while (!writingFailed()) {
    if (interrupted()) return kInterrupted;
    if (sinks.Stops() > stops) {
      // An AudioStop: the end of the text, unless the engine goes on (a mark of the text's own
      // that reads as the end). An engine that goes on writes within its 200 ms feed timer.
      stops = sinks.Stops();
      const auto before = activity();
      loop.RunUntil([&] { return idle() || activity() != before || interrupted(); }, 1000);
      if (idle() || activity() == before) return kSpoken;
      continue;
    }
    // An engine that makes no progress for ten seconds of loop time is given up on.
    const uint64_t now = dest.Total() + dest.Played();
    if (now == progress) {
      err << "The engine stopped before the end of the text.\n";
      return kEngineFailed;
    }
    progress = now;
    loop.RunUntil([&] { return sinks.Stops() > stops || writingFailed() || interrupted(); }, 10000);
  }
  return kSpoken;  // the file's problem is reported when it is completed
}

// Completes the file after the speech: in place of the target when all was spoken, kept as far
// as it got after an interruption, else the target as it was. Returns the final status.
int CompleteFile(FileDestination* file, int status, const SpeakProgress& reached,
                 std::ostream& err) {
  if (file == nullptr) return status;
  if (status == kInterrupted) {
    err << InterruptedLine(reached, file->Keep()) << '\n';
    return status;
  }
  if (status != kSpoken) return status;
  if (!file->Finish()) {
    err << (file->Problem().empty() ? "The audio could not be written completely."
                                    : file->Problem())
        << '\n';
    return kOutputFailed;
  }
  return status;
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
        << "Register the engine with:  " << RegisterEngineCommand() << "\n";
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
  FileDestination* file = nullptr;
  AudioDestination* dest = OpenDestination(options, err, &file);
  if (dest == nullptr) return kOutputFailed;
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

  const std::string text8 = cp1250::FromUtf8Lenient(options.text);
  HostSinks sinks(options.events, UserMarks(text8));
  DWORD key = 0;
  central->Register(&sinks.notify, IID_ITTSNotifySinkW, &key);
  std::u16string text = cp1250::ToUtf16(text8);
  Reckoner reckoner(*dest, text.size());
  sinks.onProgress = [&](std::optional<DWORD> at) {
    if (at) reckoner.Reached(*at);
    if (options.progress) options.progress(reckoner.Now(!at, false));
  };
  text.push_back(u'\0');
  hr = central->TextData(CHARSET_TEXT, TTSDATAFLAG_TAGGED,
                         SDATA{text.data(), static_cast<DWORD>(text.size() * 2)}, &sinks.buffer,
                         IID_ITTSBufNotifySink);
  std::u16string().swap(text);  // the engine has its own copy

  int status = kSpoken;
  if (com::Failed(hr)) {
    err << "The engine refused the text (" << com::ResultToString(hr) << ").\n";
    status = kEngineFailed;
  } else {
    status = RunUntilSpoken(options, sinks, *dest, file, err);
  }
  platform::MessageLoop& loop = platform::MessageLoop::Current();
  if (file != nullptr && file->Failed()) central->AudioReset();
  // What the engine wrote is heard to its end before the program goes on.
  if (device != nullptr && status == kSpoken) loop.RunUntil([&] { return !device->Busy(); }, 10000);

  central->UnRegister(key);
  central->Release();
  status = CompleteFile(file, status, reckoner.Now(true, false), err);
  if (options.progress) {
    if (status == kSpoken) reckoner.Reached(DWORD(reckoner.Now(false, true).textTotal));
    options.progress(reckoner.Now(status != kSpoken, true));
  }
  dest->Release();
  return status;
}

}  // namespace kv::sapi
