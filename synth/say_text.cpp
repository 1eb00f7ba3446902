// TSayText: construction, units and the settings key of a voice.
#include "synth/say_text.h"

#include <atomic>
#include <fstream>

#include "platform/beside_module.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/module.h"
#include "platform/numeric.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "synth/assembly_tables.h"
#include "synth/dictionary_file.h"
#include "synth/settings_values.h"

namespace kv {
namespace {

constexpr int32_t kVoicePitch[3] = {-30, -7, 5};  // DAVLa, DAVLuska, DAVL
constexpr uint32_t kPlayInterval = 100, kEndInterval = 250;
constexpr int32_t kNoBookmark = -222;

// The synthesizer whose voice the process's shared synthesis settings hold.
std::atomic<const TSayText*> g_settingsOwner{nullptr};

int VoiceIndex(int32_t voice) {
  return voice >= 1 && voice <= 3 ? voice - 1 : 0;
}

}  // namespace

std::string VoiceName(int32_t voice) {
  return std::string(kVoiceNames[VoiceIndex(voice)]);
}

std::string VoiceKeyPath(int32_t voice) {
  return std::string(kEngineKey) + "\\" + VoiceName(voice);
}

TSayText::TSayText(int32_t voice) : voice_(voice) {
  SynthesisSettings.Pitch = kVoicePitch[VoiceIndex(voice)];
  g_settingsOwner = this;
  CurrentBookmark = kNoBookmark;
  CurrentSlot = 1;
  WordReady = false;
  try {
    LoadWaveHeader();
  } catch (const std::exception&) {
    platform::ShowMessage("Chyba p\xF8i inicializaci");
  }
  PlayTimer = std::make_unique<platform::WindowTimer>(kPlayInterval, [this] { PlayTimerTick(); });
  EndTimer = std::make_unique<platform::WindowTimer>(kEndInterval, [this] { EndTimerTick(); });

  // Beside the module, or the user's copy when the module lies in a protected folder.
  const auto path = platform::FileBesideModule(platform::ThisModule().FileName(), ".dct");
  DictionaryPath = path.string();
  if (!LoadDictionaryFile(path, UserDictionary)) {
    UserDictionary.clear();
    std::ofstream create(path, std::ios::binary | std::ios::trunc);  // an unreadable file too
  }
  DictionaryAge = platform::FileAge(path);
  NewText = true;
  BuiltInDictionary = BuiltInDictionaryRows();
  CurrentTone = 0;
  CurrentSpeed = RoundHalfEven32(SynthesisSettings.Speed * 100);
  CurrentVolume = kUnityLoudness;
  ResetEchoLines();
  try {
    Settings = std::make_unique<platform::Registry>(platform::HKEY_LOCAL_MACHINE);
    Settings->OpenKey(VoiceKeyPath(voice), true);
  } catch (const std::exception&) {
    // Without its key the voice speaks with the values it has; each reload fails quietly.
  }
}

TSayText::~TSayText() {
  const TSayText* self = this;
  g_settingsOwner.compare_exchange_strong(self, nullptr);
  OnSpeechEvent = nullptr;
  PendingText.clear();
  if (PlayTimer) PlayTimer->SetEnabled(false);
  if (EndTimer) EndTimer->SetEnabled(false);
  PlayTimer.reset();
  EndTimer.reset();
  if (Settings) Settings->CloseKey();
}

void TSayText::LoadWaveHeader() {
  if (WaveHeader) return;
  if (auto unit = platform::ThisModule().FindResource("WAV", "a")) TakeWaveHeader(*unit);
}

void TSayText::TakeWaveHeader(std::span<const uint8_t> unit) {
  if (unit.size() < kHeaderBlock) return;
  WaveHeader = std::make_unique<MemoryStream>();
  WaveHeader->Write(unit.data(), kHeaderBlock);
  SilentWave = std::make_unique<MemoryStream>();
  SilentWave->Write(unit.data(), kHeaderBlock);
  SilentWave->WriteZeros(2);
  SilentWave->PutU32(40, 2);
}

void TSayText::LoadUnit(std::string_view name, MemoryStream& target) const {
  std::string_view resource = name;
  if (name.size() == 1)
    for (const assembly::HacekName& h : assembly::kHacekNames)
      if (name[0] == h.letter) resource = h.resource;
  auto unit = platform::ThisModule().FindResource("WAV", resource);
  if (unit) target.Write(unit->data(), unit->size());
}

// The synthesis settings are shared by every synthesizer of the process, and a voice is
// mostly its settings (the re-pitch count first of all). A synthesizer that starts a text after
// another voice has set them takes them back: its own pitch, and its stored values reloaded.
// Without this, a host that speaks with two voices by turns hears the later-made voice twice.
void TSayText::TakeSharedSettings() {
  if (g_settingsOwner.exchange(this) == this) return;
  SynthesisSettings.Pitch = kVoicePitch[VoiceIndex(voice_)];
  SettingsLoaded = false;
}

}  // namespace kv
