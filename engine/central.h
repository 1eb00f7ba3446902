// The engine instance TKVCmode: one voice bound to one audio object, with its central,
// attribute and dialog objects (W and A forms), its synthesizer, its audio-destination notify
// sink and its 200 ms feed timer.
//
// The W and A classes are one template each: they convert text and records at the boundary and
// hand everything else to the instance, where the logic lives once.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "engine/engine_dialogs.h"
#include "engine/module_state.h"
#include "sapi/sapi4.h"

namespace kv {
class TSayText;
}
namespace kv::platform {
class WindowTimer;
}

namespace kv::engine {

class TKVCmode;

// Which character form an interface call came through.
enum class CharForm { W, A };

template <CharForm F>
struct FormTypes;
template <>
struct FormTypes<CharForm::W> {
  using Char = sapi::WCHAR;
  using ModeInfo = sapi::TTSMODEINFOW;
  using Central = sapi::ITTSCentralW;
  using Attributes = sapi::ITTSAttributesW;
  using Dialogs = sapi::ITTSDialogsW;
};
template <>
struct FormTypes<CharForm::A> {
  using Char = sapi::CHAR;
  using ModeInfo = sapi::TTSMODEINFOA;
  using Central = sapi::ITTSCentralA;
  using Attributes = sapi::ITTSAttributesA;
  using Dialogs = sapi::ITTSDialogsA;
};

// The system's 8-bit text of a TextData buffer: W takes the first size/2 - 1 code units (none
// below 4 bytes), A the first size - 1 bytes (none below 2). Null data with a size: nullopt.
std::optional<std::string> TextDataString(const sapi::SDATA& text, CharForm form);

template <CharForm F>
class TKVTTSCentral final : public FormTypes<F>::Central {
  using Char = typename FormTypes<F>::Char;
  using ModeInfo = typename FormTypes<F>::ModeInfo;

 public:
  explicit TKVTTSCentral(TKVCmode* owner) : owner_(owner) {}
  HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override;
  ULONG KV_STDCALL AddRef() override { return ModuleAddRef(); }
  ULONG KV_STDCALL Release() override { return ModuleRelease(); }
  HRESULT KV_STDCALL Inject(const Char*) override { return com::S_OK; }
  HRESULT KV_STDCALL ModeGet(ModeInfo* info) override;
  HRESULT KV_STDCALL Phoneme(sapi::VOICECHARSET, sapi::DWORD, sapi::SDATA, sapi::SDATA*) override {
    return com::S_OK;
  }
  HRESULT KV_STDCALL PosnGet(sapi::QWORD*) override { return com::S_OK; }
  HRESULT KV_STDCALL TextData(sapi::VOICECHARSET charset, sapi::DWORD flags, sapi::SDATA text,
                              void* notifyInterface, IID notifyIid) override;
  HRESULT KV_STDCALL ToFileTime(sapi::QWORD*, sapi::FILETIME*) override { return com::S_OK; }
  HRESULT KV_STDCALL AudioPause() override;
  HRESULT KV_STDCALL AudioResume() override;
  HRESULT KV_STDCALL AudioReset() override;
  HRESULT KV_STDCALL Register(void* notifyInterface, IID notifyIid, sapi::DWORD* key) override;
  HRESULT KV_STDCALL UnRegister(sapi::DWORD key) override;

 private:
  TKVCmode* owner_;
};

template <CharForm F>
class TKVTTSAttributes final : public FormTypes<F>::Attributes {
 public:
  explicit TKVTTSAttributes(TKVCmode* owner) : owner_(owner) {}
  HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override;
  ULONG KV_STDCALL AddRef() override { return ModuleAddRef(); }
  ULONG KV_STDCALL Release() override { return ModuleRelease(); }
  HRESULT KV_STDCALL PitchGet(sapi::WORD* pitch) override;
  HRESULT KV_STDCALL PitchSet(sapi::WORD) override { return com::S_OK; }
  HRESULT KV_STDCALL RealTimeGet(sapi::DWORD* realTime) override;
  HRESULT KV_STDCALL RealTimeSet(sapi::DWORD) override { return com::S_OK; }
  HRESULT KV_STDCALL SpeedGet(sapi::DWORD* speed) override;
  HRESULT KV_STDCALL SpeedSet(sapi::DWORD speed) override;
  HRESULT KV_STDCALL VolumeGet(sapi::DWORD* volume) override;
  HRESULT KV_STDCALL VolumeSet(sapi::DWORD) override { return com::S_OK; }

 private:
  TKVCmode* owner_;
};

// The engine's dialogs: each shows its form modally and returns when it is closed; a null parent
// window only asks whether the dialog is offered (S_OK, nothing shown). The title is not used.
// Only the instance's own thread may call: any other gets RPC_E_WRONG_THREAD.
template <CharForm F>
class TKVTTSDialogs final : public FormTypes<F>::Dialogs {
  using Char = typename FormTypes<F>::Char;

 public:
  explicit TKVTTSDialogs(TKVCmode* owner) : owner_(owner) {}
  HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override;
  ULONG KV_STDCALL AddRef() override { return ModuleAddRef(); }
  ULONG KV_STDCALL Release() override { return ModuleRelease(); }
  HRESULT KV_STDCALL AboutDlg(sapi::HWND parent, const Char*) override {
    return Show(parent, dialogs::DialogForm::About);
  }
  HRESULT KV_STDCALL LexiconDlg(sapi::HWND parent, const Char*) override {
    return Show(parent, dialogs::DialogForm::DictionaryEditor);
  }
  HRESULT KV_STDCALL GeneralDlg(sapi::HWND parent, const Char*) override {
    return Show(parent, dialogs::DialogForm::VoiceProperties);
  }
  HRESULT KV_STDCALL TranslateDlg(sapi::HWND parent, const Char*) override {
    return Show(parent, dialogs::DialogForm::DictionaryEditor);
  }

 private:
  HRESULT Show(sapi::HWND parent, dialogs::DialogForm form);
  TKVCmode* owner_;
};

// The engine's IAudioDestNotifySink: the audio object calls it with free space and returned
// bookmarks.
class TKVAudioDestNotifySink final : public sapi::IAudioDestNotifySink {
 public:
  explicit TKVAudioDestNotifySink(TKVCmode* owner) : owner_(owner) {}
  HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override;
  ULONG KV_STDCALL AddRef() override { return ModuleAddRef(); }
  ULONG KV_STDCALL Release() override { return ModuleRelease(); }
  HRESULT KV_STDCALL AudioStop(sapi::WORD) override { return com::S_OK; }
  HRESULT KV_STDCALL AudioStart() override { return com::S_OK; }
  HRESULT KV_STDCALL FreeSpace(sapi::DWORD bytes, sapi::BOOL eof) override;
  HRESULT KV_STDCALL BookMark(sapi::DWORD markId, sapi::BOOL flush) override;

 private:
  TKVCmode* owner_;
};

// Mark numbers the engine writes into the audio stream.
inline constexpr sapi::DWORD kEndOfTextMark = 11111;
inline constexpr sapi::DWORD kWordPositionBase = 30000;
inline constexpr int kFeedInterval = 200;           // ms
inline constexpr sapi::DWORD kFeedThreshold = 511;  // FreeSpace above this feeds

class TKVCmode final : public com::IUnknown {
 public:
  explicit TKVCmode(int32_t mode);
  ~TKVCmode();
  TKVCmode(const TKVCmode&) = delete;
  TKVCmode& operator=(const TKVCmode&) = delete;

  HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override;
  ULONG KV_STDCALL AddRef() override { return ModuleAddRef(); }
  ULONG KV_STDCALL Release() override { return ModuleRelease(); }

  // Binds the audio object: format, notify sink.
  void AttachAudio(com::IUnknown* audio);

  // The central logic, shared by both forms.
  HRESULT TextData(const std::string& text, void* notifyInterface, const IID& notifyIid,
                   CharForm form);
  HRESULT Register(void* notifyInterface, const IID& notifyIid, sapi::DWORD* key, CharForm form);
  HRESULT UnRegister(CharForm form);
  HRESULT AudioPause();
  HRESULT AudioResume();
  HRESULT AudioReset();

  // Writes as much of the current word as the destination has room for, preparing the next
  // word when the current one is done; finishes the text when it has ended.
  void FeedAudio();
  // A mark the destination returned.
  void DispatchBookMark(sapi::DWORD mark);
  void FreeSpaceNotified(sapi::DWORD bytes);

  // Attribute state: the synthesizer's speed.
  int32_t CurrentSpeed() const;
  void SetCurrentSpeed(int32_t speed);

  const int32_t ModeNumber;
  // The instance's apartment: the thread that created it, the only one its dialogs run on.
  const std::thread::id OwnerThread = std::this_thread::get_id();

  // Owned objects, created in this order.
  TKVTTSCentral<CharForm::W> CentralW{this};
  TKVTTSCentral<CharForm::A> CentralA{this};
  TKVTTSAttributes<CharForm::W> AttributesW{this};
  TKVTTSAttributes<CharForm::A> AttributesA{this};
  TKVTTSDialogs<CharForm::W> DialogsW{this};
  TKVTTSDialogs<CharForm::A> DialogsA{this};
  TKVCallingMode Calling{this};  // what the forms it opens speak through
  std::unique_ptr<TSayText> Synth;
  TKVAudioDestNotifySink DestSink{this};
  std::unique_ptr<platform::WindowTimer> FeedTimer;

  com::IUnknown* AudioObject = nullptr;
  sapi::IAudioDest* AudioDest = nullptr;
  sapi::IAudio* Audio = nullptr;
  sapi::ITTSBufNotifySink* BufSink = nullptr;
  sapi::ITTSNotifySinkA* NotifySinkA = nullptr;
  sapi::ITTSNotifySinkW* NotifySinkW = nullptr;
  com::IUnknown* NotifySink2W = nullptr;
  com::IUnknown* NotifySink2A = nullptr;
  bool AudioStarted = false;
  bool Stopped = false;
  bool Paused = false;

 private:
  void ClaimAndStart();
  void EnableFeedTimer();
  void DisableFeedTimer();
  bool TextEnded() const;
  void Visual(uint8_t code);
  void NotifyEnd();
  void BookMarkAudio(sapi::DWORD mark);
  void ReleaseWorkingMemory();

  bool feedWanted_ = false;  // the timer would run if the instance were not paused
};

// Milliseconds since the last TextData of any instance, as every notification carries it.
sapi::QWORD Elapsed();
// StartTick: set by every TextData (module-wide).
void SetStartTick(uint32_t tick);

}  // namespace kv::engine
