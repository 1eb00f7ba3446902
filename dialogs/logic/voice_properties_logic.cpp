#include "dialogs/logic/voice_properties_logic.h"

#include <algorithm>

#include "dialogs/logic/calling_mode.h"
#include "dialogs/logic/pitch_bands.h"
#include "dialogs/logic/unstorable_text.h"
#include "platform/cp1250.h"
#include "platform/registry.h"
#include "synth/settings_values.h"
#include "synth/synthesis_settings.h"

namespace kv::dialogs {

int VoiceIndex = 0;

namespace {

int VoiceItem(int index) {
  return std::clamp(index, 0, int(std::size(kVoiceNames)) - 1);
}

std::string VoiceKeyPath(int item) {
  return std::string(kEngineKey) + "\\" + std::string(kVoiceNames[VoiceItem(item)]);
}

struct StoredBar {
  const char* name;
  VoiceBar bar;
};
// In the order they are stored and loaded.
constexpr StoredBar kStoredBars[] = {
    {"Echo_delay", VoiceBar::Echo_delay},
    {"Echo_tracsk", VoiceBar::Echo_tracsk},
    {"Echo_Volume", VoiceBar::Echo_Volume},
    {"Volume", VoiceBar::Volume},
    {"Pith", VoiceBar::Pith},
    {"Speed", VoiceBar::Speed},
};

}  // namespace

std::string VoiceValueText(VoiceBar bar, int position) {
  switch (bar) {
    case VoiceBar::Volume:
    case VoiceBar::Echo_Volume:
      return std::to_string(position) + "%";
    case VoiceBar::Speed:
      return std::to_string(200 - position) + "%";
    case VoiceBar::Pith:
    case VoiceBar::Echo_delay:
    case VoiceBar::Echo_tracsk:
      break;
  }
  return std::to_string(position);
}

VoicePropertiesLogic::VoicePropertiesLogic(VoicePropertiesControls& controls)
    : TimerSay(kSayDelayMs, [this] { TimerSayTimer(); }),
      controls_(controls),
      voiceStorage_(platform::HKEY_LOCAL_MACHINE, ""),
      formStorage_(platform::HKEY_CURRENT_USER, kPerUserKey) {
  BindStorages();
}

void VoicePropertiesLogic::BindStorages() {
  voiceStorage_.SetWritesVersion(true);
  for (const StoredBar& stored : kStoredBars) {
    const VoiceBar bar = stored.bar;
    voiceStorage_.AddPosition(
        stored.name, [this, bar] { return controls_.Position(bar); },
        [this, bar](int position) { controls_.SetPosition(bar, position); });
  }
  for (VoiceCheck box : {VoiceCheck::Intonace, VoiceCheck::Intonace_endhacent}) {
    voiceStorage_.AddChecked(
        box == VoiceCheck::Intonace ? "Intonace" : "Intonace_endhacent",
        [this, box] { return controls_.Checked(box); },
        [this, box](bool checked) { controls_.SetChecked(box, checked); });
  }
  formStorage_.AddProperty(
      "TestovaciText_Text", [this] { return StorableTestText(); },
      [this](const std::string& text) {
        storedTestText_ = text;
        controls_.SetTestText(cp1250::ToUtf16(text));
      });
  formStorage_.AddProperty(
      "PageControl_ActivePage", [this] { return controls_.ActivePage(); },
      [this](const std::string& name) { controls_.SetActivePage(name); });
  formStorage_.AddChecked(
      "Rikat", [this] { return controls_.Checked(VoiceCheck::Rikat); },
      [this](bool checked) { controls_.SetChecked(VoiceCheck::Rikat, checked); });
}

void VoicePropertiesLogic::Start() {
  storedTestText_ = cp1250::FromUtf16(controls_.TestText());
  ComboBoxVoiceChange();
}

void VoicePropertiesLogic::ComboBoxVoiceChange() {
  StoreVoice();
  voiceStorageActive_ = false;
  const int item = VoiceItem(controls_.SelectedVoice());
  const std::string key = VoiceKeyPath(item);
  try {
    platform::Registry reg(platform::HKEY_LOCAL_MACHINE);
    reg.OpenKey(key, true);
    reg.CloseKey();
  } catch (const std::exception&) {
    // The load below then finds nothing and the controls keep their values.
  }
  controls_.SetPitchBand(kPitchBands[item].start, kPitchBands[item].end);
  voiceStorage_.SetKey(key);
  voiceStorageActive_ = true;
  voiceStorage_.Load();
  TimerSay.SetEnabled(false);
  TimerSay.SetEnabled(true);
}

// Disables TimerSay, shows the value, enables TimerSay: it fires 800 ms after the last move.
void VoicePropertiesLogic::BarChanged(VoiceBar bar) {
  TimerSay.SetEnabled(false);
  controls_.ShowValue(bar, VoiceValueText(bar, controls_.Position(bar)));
  TimerSay.SetEnabled(true);
}

void VoicePropertiesLogic::IntonaceClick() {
  if (!TimerSay.Enabled()) TimerSay.SetEnabled(true);
}

void VoicePropertiesLogic::TimerSayTimer() {
  TimerSay.SetEnabled(false);
  StoreVoice();
  if (controls_.Checked(VoiceCheck::Rikat)) ButtonRekniClick();
}

// The values on screen go to the voice's key together with the flag that makes the
// synthesizer reload them: values stored without the flag (or the flag without the values)
// would leave a synthesizer that already spoke on its old settings.
void VoicePropertiesLogic::StoreVoice() {
  if (!voiceStorageActive_) return;
  voiceStorage_.Save();
  try {
    platform::Registry reg(platform::HKEY_LOCAL_MACHINE);
    if (reg.OpenKey(voiceStorage_.Key(), true)) reg.WriteInteger("Values_Changed", 1);
  } catch (const std::exception&) {
    // Nothing to tell: the synthesizer keeps its values.
  }
}

void VoicePropertiesLogic::ButtonRekniClick() {
  StoreVoice();
  const std::string text = cp1250::FromUtf16(controls_.TestText());
  if (OnSay) {
    OnSay("}" + std::to_string(VoiceItem(controls_.SelectedVoice()) + 1) + text);
  } else if (CallingMode) {
    CallingMode->Say(text);
  } else {
    controls_.EnableSpeakButton(false);
  }
}

// The test text as stored: what the edit shows, unless the code page cannot hold it; then
// the text stored before, so that no '?' the user did not type reaches the store.
std::string VoicePropertiesLogic::StorableTestText() {
  const std::u16string text = controls_.TestText();
  if (FindUnstorable(text).empty()) storedTestText_ = cp1250::FromUtf16(text);
  return storedTestText_;
}

bool VoicePropertiesLogic::CloseRequested() {
  const auto unstorable = FindUnstorable(controls_.TestText());
  if (!unstorable.empty() && !closeRefused_) {
    closeRefused_ = true;
    controls_.TellUser("Testovací text nelze uložit. Tyto znaky nelze zapsat ve Windows-1250: " +
                       DescribeUnstorable(unstorable) + ". Další zavření okna ho zahodí.");
    return false;
  }
  if (!unstorable.empty()) {
    controls_.SetTestText(cp1250::ToUtf16(storedTestText_));
    controls_.TellUser("Změna testovacího textu nebyla uložena.");
  }
  closeRefused_ = false;
  return true;
}

void VoicePropertiesLogic::Shown() {
  formStorage_.Load();
  // An opener that set a receiver since the button gave up gets it back.
  if (OnSay || CallingMode) controls_.EnableSpeakButton(true);
}

// Stored now, so a change made just before closing is not left to a timer of a form that is
// about to be destroyed (the engine) or is hidden (the installer).
void VoicePropertiesLogic::Hidden() {
  TimerSay.SetEnabled(false);
  StoreVoice();
  formStorage_.Save();
}

}  // namespace kv::dialogs
