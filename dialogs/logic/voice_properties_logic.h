// What the voice properties dialog does, whatever draws it: which registry values it reads
// and writes and when, the value labels, the 800 ms timer that stores and speaks, the test
// text that only stores what the code page holds, and the close it refuses once.
//
// The form's face builds the controls and reaches this logic from their events; the logic
// reaches the controls only through VoicePropertiesControls.
#pragma once

#include <functional>
#include <string>

#include "dialogs/logic/settings_store.h"
#include "platform/message_loop.h"

namespace kv::dialogs {

class CallingMode;

// The voice (item of the voice list) that a newly created form selects.
extern int VoiceIndex;

// The stored track bars and check boxes, by the names they are stored under.
enum class VoiceBar { Volume, Speed, Pith, Echo_Volume, Echo_delay, Echo_tracsk };
enum class VoiceCheck { Intonace, Intonace_endhacent, Rikat };

class VoicePropertiesControls {
 public:
  virtual ~VoicePropertiesControls() = default;
  // The item index of the voice list.
  virtual int SelectedVoice() const = 0;
  virtual int Position(VoiceBar bar) const = 0;
  // A position that differs from the current one makes the face call BarChanged.
  virtual void SetPosition(VoiceBar bar, int position) = 0;
  virtual bool Checked(VoiceCheck box) const = 0;
  virtual void SetChecked(VoiceCheck box, bool checked) = 0;
  virtual void SetPitchBand(int start, int end) = 0;
  virtual void ShowValue(VoiceBar bar, const std::string& text) = 0;
  virtual std::u16string TestText() const = 0;
  virtual void SetTestText(const std::u16string& text) = 0;
  // "TabSheetVoice", "TabSheetEcho" or "TabSheetIntonace"; another name changes nothing.
  virtual std::string ActivePage() const = 0;
  virtual void SetActivePage(const std::string& name) = 0;
  virtual void EnableSpeakButton(bool enabled) = 0;
  virtual void TellUser(const std::string& utf8) = 0;
};

// The text of a bar's value label at a position: "55%", the speed as 200 − position.
std::string VoiceValueText(VoiceBar bar, int position);

class VoicePropertiesLogic {
 public:
  // Per user: the test text, the page, the repeat box, and whatever placement the face adds.
  static constexpr const char* kPerUserKey = "SOFTWARE\\KORVEN\\TTS";
  static constexpr uint32_t kSayDelayMs = 800;

  explicit VoicePropertiesLogic(VoicePropertiesControls& controls);

  // Receives the test text behind "}" and the voice's number ("}1..." for DAVLa).
  std::function<void(const std::string& text)> OnSay;
  // The engine instance that opened the form; it speaks the bare test text.
  dialogs::CallingMode* CallingMode = nullptr;

  // Once the controls stand, with the voice list on its first item: loads that voice.
  void Start();
  // The events of the form, named after control and event.
  void ComboBoxVoiceChange();
  void BarChanged(VoiceBar bar);
  void IntonaceClick();
  void ButtonRekniClick();
  void TimerSayTimer();
  // The form is shown (restores the per-user values) or hidden (stores everything).
  void Shown();
  void Hidden();
  // Whether a close may go on: refused once while the test text holds characters the code
  // page lacks (the user is told), the next one closes and puts back the stored text.
  bool CloseRequested();

  SettingsStore& FormStorage() { return formStorage_; }
  const std::string& VoiceKey() const { return voiceStorage_.Key(); }
  platform::WindowTimer TimerSay;

 private:
  void BindStorages();
  void StoreVoice();
  std::string StorableTestText();

  VoicePropertiesControls& controls_;
  SettingsStore voiceStorage_;
  bool voiceStorageActive_ = false;
  SettingsStore formStorage_;
  std::string storedTestText_;
  bool closeRefused_ = false;
};

}  // namespace kv::dialogs
