#include "engine/central.h"

#include <algorithm>
#include <cstring>

#include "engine/mode_info.h"
#include "platform/cp1250.h"
#include "platform/message_loop.h"
#include "synth/say_text.h"

namespace kv::engine {

using namespace kv::sapi;
using com::E_INVALIDARG;
using com::E_NOINTERFACE;
using com::E_POINTER;
using com::S_OK;

namespace {

// Keys handed out by Register: every registration gets its own.
DWORD g_nextKey = 1;

template <class T>
void ReleaseSlot(T*& slot) {
  T* held = slot;
  slot = nullptr;
  if (held != nullptr) held->Release();
}

}  // namespace

std::optional<std::string> TextDataString(const SDATA& text, CharForm form) {
  if (form == CharForm::W) {
    const size_t units = text.dwSize < 4 ? 0 : text.dwSize / 2 - 1;
    if (units == 0) return std::string();
    if (text.pData == nullptr) return std::nullopt;
    std::u16string wide(units, u'\0');
    std::memcpy(wide.data(), text.pData, units * 2);  // the buffer may be unaligned
    return cp1250::FromUtf16(wide);
  }
  const size_t bytes = text.dwSize < 2 ? 0 : text.dwSize - 1;
  if (bytes == 0) return std::string();
  if (text.pData == nullptr) return std::nullopt;
  return std::string(static_cast<const char*>(text.pData), bytes);
}

// Central, both forms.

template <CharForm F>
HRESULT TKVTTSCentral<F>::QueryInterface(const IID& iid, void** object) {
  return owner_->QueryInterface(iid, object);
}

template <CharForm F>
HRESULT TKVTTSCentral<F>::ModeGet(ModeInfo* info) {
  if (info == nullptr) return E_POINTER;
  BuildModeInfo(owner_->ModeNumber, info);
  return S_OK;
}

template <CharForm F>
HRESULT TKVTTSCentral<F>::TextData(VOICECHARSET, DWORD, SDATA text, void* notifyInterface,
                                   IID notifyIid) {
  const std::optional<std::string> converted = TextDataString(text, F);
  if (!converted) return E_INVALIDARG;
  return owner_->TextData(*converted, notifyInterface, notifyIid, F);
}

template <CharForm F>
HRESULT TKVTTSCentral<F>::AudioPause() {
  return owner_->AudioPause();
}
template <CharForm F>
HRESULT TKVTTSCentral<F>::AudioResume() {
  return owner_->AudioResume();
}
template <CharForm F>
HRESULT TKVTTSCentral<F>::AudioReset() {
  return owner_->AudioReset();
}
template <CharForm F>
HRESULT TKVTTSCentral<F>::Register(void* notifyInterface, IID notifyIid, DWORD* key) {
  if (notifyInterface == nullptr) return E_INVALIDARG;
  return owner_->Register(notifyInterface, notifyIid, key, F);
}
template <CharForm F>
HRESULT TKVTTSCentral<F>::UnRegister(DWORD) {
  return owner_->UnRegister(F);
}

template class TKVTTSCentral<CharForm::W>;
template class TKVTTSCentral<CharForm::A>;

// Attributes, both forms. Only speed reaches the synthesizer.

template <CharForm F>
HRESULT TKVTTSAttributes<F>::QueryInterface(const IID& iid, void** object) {
  return owner_->QueryInterface(iid, object);
}
template <CharForm F>
HRESULT TKVTTSAttributes<F>::PitchGet(WORD* pitch) {
  if (pitch == nullptr) return E_POINTER;
  *pitch = 100;
  return S_OK;
}
template <CharForm F>
HRESULT TKVTTSAttributes<F>::RealTimeGet(DWORD* realTime) {
  if (realTime == nullptr) return E_POINTER;
  *realTime = 100;
  return S_OK;
}
template <CharForm F>
HRESULT TKVTTSAttributes<F>::SpeedGet(DWORD* speed) {
  if (speed == nullptr) return E_POINTER;
  // Taken as unsigned: a speed above 251 gives a huge difference, which clamps to 250.
  const uint32_t value = 251u - static_cast<uint32_t>(owner_->CurrentSpeed());
  *speed = std::clamp<uint32_t>(value, 10, 250);
  return S_OK;
}
template <CharForm F>
HRESULT TKVTTSAttributes<F>::SpeedSet(DWORD speed) {
  const uint32_t value = std::clamp<uint32_t>(speed, 10, 250);
  owner_->SetCurrentSpeed(static_cast<int32_t>(251 - value));
  return S_OK;
}
template <CharForm F>
HRESULT TKVTTSAttributes<F>::VolumeGet(DWORD* volume) {
  if (volume == nullptr) return E_POINTER;
  *volume = 100;
  return S_OK;
}

template class TKVTTSAttributes<CharForm::W>;
template class TKVTTSAttributes<CharForm::A>;

template <CharForm F>
HRESULT TKVTTSDialogs<F>::QueryInterface(const IID& iid, void** object) {
  return owner_->QueryInterface(iid, object);
}

template <CharForm F>
HRESULT TKVTTSDialogs<F>::Show(HWND parent, dialogs::DialogForm form) {
  // Refused before anything is loaded: a form opened here would drive the instance from a
  // thread its timers and synthesizer do not run on, and the toolkit, once created on that
  // thread, would refuse the instance's own thread from then on.
  if (std::this_thread::get_id() != owner_->OwnerThread) return RPC_E_WRONG_THREAD;
  if (parent == nullptr) return S_OK;
  // The about form needs nothing of the instance.
  return ShowDialogForm(form, form == dialogs::DialogForm::About ? nullptr : &owner_->Calling,
                        parent);
}

template class TKVTTSDialogs<CharForm::W>;
template class TKVTTSDialogs<CharForm::A>;

// The audio-destination notify sink.

HRESULT TKVAudioDestNotifySink::QueryInterface(const IID& iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!(iid == IID_IAudioDestNotifySink)) return E_NOINTERFACE;
  *object = static_cast<IAudioDestNotifySink*>(this);
  AddRef();
  return S_OK;
}

HRESULT TKVAudioDestNotifySink::FreeSpace(DWORD bytes, BOOL) {
  try {
    owner_->FreeSpaceNotified(bytes);
  } catch (...) {
    // A failure while feeding waits for the next timer tick.
  }
  return S_OK;
}

HRESULT TKVAudioDestNotifySink::BookMark(DWORD markId, BOOL) {
  try {
    owner_->DispatchBookMark(markId);
  } catch (...) {
    // Nothing escapes from a notification.
  }
  return S_OK;
}

// The instance.

TKVCmode::TKVCmode(int32_t mode) : ModeNumber(mode), Synth(std::make_unique<TSayText>(mode)) {
  FeedTimer = std::make_unique<platform::WindowTimer>(kFeedInterval, [this] {
    try {
      FeedAudio();
    } catch (...) {
      // The next tick tries again.
    }
  });
  // The instance's own reference on its sink keeps the library loaded from now on.
  DestSink.AddRef();
}

TKVCmode::~TKVCmode() = default;

HRESULT TKVCmode::QueryInterface(const IID& iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  com::IUnknown* answer = nullptr;
  if (iid == com::IID_IUnknown) {
    answer = this;
  } else if (iid == IID_ITTSAttributesW) {
    answer = &AttributesW;
  } else if (iid == IID_ITTSCentralW) {
    answer = &CentralW;
  } else if (iid == IID_ITTSDialogsW) {
    answer = &DialogsW;
  } else if (iid == IID_ITTSAttributesA) {
    answer = &AttributesA;
  } else if (iid == IID_ITTSCentralA) {
    answer = &CentralA;
  } else if (iid == IID_ITTSDialogsA) {
    answer = &DialogsA;
  } else {
    return E_NOINTERFACE;
  }
  answer->AddRef();
  *object = answer;
  return S_OK;
}

void TKVCmode::AttachAudio(com::IUnknown* audio) {
  AudioObject = audio;
  if (AudioObject == nullptr) return;
  AudioObject->AddRef();
  void* dest = nullptr;
  void* object = nullptr;
  AudioObject->QueryInterface(IID_IAudioDest, &dest);
  AudioObject->QueryInterface(IID_IAudio, &object);
  AudioDest = static_cast<IAudioDest*>(dest);
  Audio = static_cast<IAudio*>(object);
  if (Audio == nullptr) return;
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = 22050;
  format.nAvgBytesPerSec = 44100;
  format.nBlockAlign = 2;
  format.wBitsPerSample = 16;
  format.cbSize = 0;
  Audio->WaveFormatSet(SDATA{&format, sizeof format});
  Audio->PassNotify(static_cast<IAudioDestNotifySink*>(&DestSink), IID_IAudioDestNotifySink);
}

int32_t TKVCmode::CurrentSpeed() const {
  return Synth->CurrentSpeed;
}
void TKVCmode::SetCurrentSpeed(int32_t speed) {
  Synth->CurrentSpeed = speed;
}

HRESULT TKVCmode::Register(void* notifyInterface, const IID& notifyIid, DWORD* key, CharForm form) {
  auto store = [&](auto*& slot) {
    using Slot = std::remove_reference_t<decltype(slot)>;
    if (slot != nullptr) return;  // the first sink stays until UnRegister
    slot = static_cast<Slot>(notifyInterface);
    slot->AddRef();
  };
  if (notifyIid == IID_ITTSBufNotifySink) {
    store(BufSink);
  } else if (notifyIid == IID_ITTSNotifySinkA) {
    store(NotifySinkA);
  } else if (notifyIid == IID_ITTSNotifySinkW) {
    store(NotifySinkW);
  } else if (notifyIid == IID_ITTSNotifySink2A) {
    com::IUnknown*& slot = form == CharForm::W ? NotifySink2W : NotifySink2A;
    auto* sink = static_cast<com::IUnknown*>(notifyInterface);
    sink->AddRef();
    ReleaseSlot(slot);
    slot = sink;
  } else {
    return E_NOINTERFACE;
  }
  const DWORD issued = g_nextKey++;
  if (g_nextKey == 0) g_nextKey = 1;
  if (key != nullptr) *key = issued;
  return S_OK;
}

HRESULT TKVCmode::UnRegister(CharForm form) {
  ReleaseSlot(BufSink);
  ReleaseSlot(NotifySinkA);
  if (form == CharForm::W) {
    ReleaseSlot(NotifySinkW);
    ReleaseSlot(NotifySink2W);
  } else {
    ReleaseSlot(NotifySink2A);
  }
  return S_OK;
}

HRESULT TKVCmode::TextData(const std::string& text, void* notifyInterface, const IID& notifyIid,
                           CharForm form) {
  if (text == "\\rst\\") return S_OK;
  if (notifyInterface != nullptr) Register(notifyInterface, notifyIid, nullptr, form);
  SetStartTick(platform::GetTickCount());
  if (BufSink != nullptr) BufSink->TextDataStarted(Elapsed());
  if (NotifySinkA != nullptr) NotifySinkA->AudioStart(Elapsed());
  if (NotifySinkW != nullptr) NotifySinkW->AudioStart(Elapsed());
  Synth->PendingText = text;
  Stopped = false;
  try {
    FeedAudio();
  } catch (...) {
    // The feed timer and the destination's notifications carry on.
  }
  return S_OK;
}

// Pausing holds the feed timer and stops the audio object; what is written meanwhile waits in
// the destination and plays on resume.
HRESULT TKVCmode::AudioPause() {
  if (Paused) return S_OK;
  Paused = true;
  if (FeedTimer->Enabled()) FeedTimer->SetEnabled(false);
  if (AudioStarted && Audio != nullptr) Audio->Stop();
  return S_OK;
}

HRESULT TKVCmode::AudioResume() {
  if (!Paused) return S_OK;
  Paused = false;
  if (AudioStarted && Audio != nullptr) Audio->Start();
  if (feedWanted_ && !FeedTimer->Enabled()) FeedTimer->SetEnabled(true);
  return S_OK;
}

HRESULT TKVCmode::AudioReset() {
  if (Synth->PendingText.empty()) return S_OK;
  Stopped = true;
  if (Paused) AudioResume();  // a reset also ends the pause
  if (Audio != nullptr) Audio->Flush();
  Synth->PendingText = std::string(kEndMarker);
  for (int slot = 1; slot <= 3; ++slot) Synth->Words[slot].CharacterIndex = 0;
  try {
    FeedAudio();
  } catch (...) {
  }
  NotifyEnd();
  return S_OK;
}

void TKVCmode::NotifyEnd() {
  if (BufSink != nullptr) BufSink->TextDataDone(Elapsed(), 0);
  if (NotifySinkA != nullptr) NotifySinkA->AudioStop(Elapsed());
  if (NotifySinkW != nullptr) NotifySinkW->AudioStop(Elapsed());
}

void TKVCmode::FreeSpaceNotified(DWORD bytes) {
  // Feed only while text is pending (the end marker counts) and there is room worth filling.
  const std::string_view text = Synth->PendingText;
  const bool pending = std::any_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) >= 33; });
  if (pending && bytes > kFeedThreshold) FeedAudio();
}

}  // namespace kv::engine
