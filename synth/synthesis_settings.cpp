// Voice settings: factory defaults in the registry and the reload into the process-wide
// synthesis parameters at the start of a text.
#include "synth/synthesis_settings.h"

#include <algorithm>
#include <string>

#include "platform/numeric.h"
#include "platform/registry.h"
#include "synth/say_text.h"
#include "synth/settings_values.h"

namespace kv {

SynthesisParameters SynthesisSettings;

namespace {

constexpr int kMaxEchoTracks = kEchoLines;   // only ten delay lines exist
constexpr int kMaxEchoDelayPosition = 1000;  // 100 000 samples, 4.5 s
constexpr int kMaxEchoVolume = 1000;         // percent

bool IsTrue(const std::string& text) {
  return text == "True";
}

void ApplyVolume(TSayText&, const std::string& t) {
  SynthesisSettings.Volume = StrToIntLenient(t) / 15.0;
}
void ApplySpeed(TSayText& s, const std::string& t) {
  double speed = StrToIntLenient(t) / 100.0;
  if (speed < 0.1) speed = 1.0;
  SynthesisSettings.Speed = speed;
  s.CurrentSpeed = RoundHalfEven32(speed * 100);
}
void ApplyPitch(TSayText&, const std::string& t) {
  SynthesisSettings.Pitch = StrToIntLenient(t);
}
// Values beyond what the dialog offers are clamped to what the delay lines can hold.
void ApplyEchoTracks(TSayText&, const std::string& t) {
  SynthesisSettings.EchoTrackCount = std::clamp(StrToIntLenient(t), 0, kMaxEchoTracks);
}
void ApplyEchoDelay(TSayText&, const std::string& t) {
  SynthesisSettings.EchoDelay = std::clamp(StrToIntLenient(t), 0, kMaxEchoDelayPosition) * 100;
}
void ApplyEchoVolume(TSayText&, const std::string& t) {
  SynthesisSettings.EchoVolume = std::clamp(StrToIntLenient(t), 0, kMaxEchoVolume);
}
void ApplyIntonation(TSayText&, const std::string& t) {
  SynthesisSettings.IntonationOn = IsTrue(t);
}
void ApplyPitchGlide(TSayText&, const std::string& t) {
  SynthesisSettings.PitchGlideOn = IsTrue(t);
}

}  // namespace

constinit const SettingsValue kSettingsValues[8] = {
    {"Volume_Position", "50", ApplyVolume},
    {"Speed_Position", "100", ApplySpeed},
    {"Pith_Position", "0", ApplyPitch},
    {"Echo_tracsk_Position", "3", ApplyEchoTracks},
    {"Echo_delay_Position", "10", ApplyEchoDelay},
    {"Echo_Volume_Position", "10", ApplyEchoVolume},
    {"Intonace_Checked", "True", ApplyIntonation},
    {"Intonace_endhacent_Checked", "False", ApplyPitchGlide},
};

void WriteSettingsDefaults() {
  platform::Registry reg(platform::HKEY_LOCAL_MACHINE);
  reg.OpenKey(kEngineKey, true);
  if (reg.ReadString("Version") < kSettingsVersion) {  // byte-wise: "" is older too
    reg.WriteString("Version", kSettingsVersion);
    for (std::string_view voice : kVoiceNames) {
      reg.OpenKey(std::string(kEngineKey) + "\\" + std::string(voice), true);
      for (const SettingsValue& v : kSettingsValues) reg.WriteString(v.name, v.factoryDefault);
    }
  }
  reg.CloseKey();
}

void TSayText::ReloadSettingsIfChanged() {
  TakeSharedSettings();
  try {
    if (!Settings) return;
    const bool changed = Settings->ReadBool("Values_Changed");  // raises when missing
    if (!changed && SettingsLoaded) return;
    SettingsLoaded = true;
    Settings->WriteInteger("Values_Changed", 0);
    for (const SettingsValue& v : kSettingsValues) v.apply(*this, Settings->ReadString(v.name));
    ResetEchoLines();
  } catch (const std::exception&) {
    // A missing flag or an unreadable value ends the reload; what was converted stays.
  }
}

}  // namespace kv
