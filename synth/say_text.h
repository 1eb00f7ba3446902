// TSayText: the synthesizer. One object per voice turns Czech text into 16-bit mono PCM at
// 22 050 Hz, word by word, and can play it itself.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "synth/fixed_array.h"
#include "synth/frontend/pending_text.h"
#include "synth/memory_stream.h"
#include "synth/short_string.h"
#include "synth/synthesis_settings.h"

namespace kv::platform {
class Registry;
class WindowTimer;
}  // namespace kv::platform

namespace kv {

inline constexpr std::string_view kEndMarker = "{kOnEc}";
inline constexpr int kMaxEntries = 120;       // unit entries of one word slot
inline constexpr int kMaxSegments = 150;      // segments of one unit
inline constexpr int kMaxSegmentMarks = 500;  // segment bounds table
inline constexpr int kEchoLines = 10;
inline constexpr int kMaxMarks = 10;  // bookmarks before / after one entry
inline constexpr int32_t kUnityLoudness = 63750;
inline constexpr int kSamplesPerMs = 22;
inline constexpr size_t kHeaderBlock = 46;  // wave header + first sample of unit "a"

// One unit entry of a word slot.
struct TCharacter {
  Str2 FirstLetter, PrevLetter, Letter, Grapheme, Unit, NextLetter, LastLetter;
  int32_t FirstSegment = 0;     // first segment to output (0 means 1)
  int32_t DroppedSegments = 0;  // trailing segments left out
  int32_t PauseBefore = 0;      // ms of silence before the unit
  int32_t Duration = 0;         // pause length, or target length of a sound, in ms
  double Gain = 0;
  int32_t Loudness = 0;  // \vol\ in effect; 63750 = unity, 0 = leave volume out
  uint8_t Span = 0;      // letters covered (2 for "ch")
  int32_t TargetPitch = 0;
  int16_t PitchShift = 0;
  int16_t FinalPitch = 0;
  int32_t Tone = 0;
  int32_t Speed = 0;
  OneBased<int32_t, kMaxMarks> MarksBefore, MarksAfter;  // 0 = free slot
};

// One word slot.
struct TSayWord {
  int32_t Leading = 0;
  std::string Text;  // the normalised word the entries were built from
  double PitchLevel = 0;
  double PitchStep = 0;
  int32_t CharacterCount = 0;  // entries in use, 0..120
  int32_t CharacterIndex = 0;  // entry the engine assembles next
  double WordGain = 0;         // 63750 = unity; 0 = not applied
  OneBased<TCharacter, kMaxEntries> Characters;

  // Zero-fills the whole record.
  void Reset() { *this = TSayWord(); }
};

// Called when a word starts playing (text, its wave) and when playback ends (empty, null).
using SpeechEvent = std::function<void(const std::string& text, const MemoryStream* wave)>;

class TSayText {
 public:
  explicit TSayText(int32_t voice);
  ~TSayText();
  TSayText(const TSayText&) = delete;
  TSayText& operator=(const TSayText&) = delete;

  // Playback (speaks through the sound output word by word).
  void Say(const std::string& text);
  void PlayTimerTick();
  void EndTimerTick();
  void ReportEvent(std::string_view text);

  // Front-end: prepares the next word of PendingText into the current slot.
  void SpeakStep();

  // Units.
  void LoadWaveHeader();
  // The header block of every word's wave, from unit "a" (a shorter unit leaves it absent).
  void TakeWaveHeader(std::span<const uint8_t> unit);
  // Appends the named unit's whole resource to the stream; nothing when there is none.
  void LoadUnit(std::string_view name, MemoryStream& target) const;

  // Waveform assembly.
  void AssembleWord();
  void AssembleUnit(TCharacter entry, MemoryStream& out);
  // The sound part of AssembleUnit, from the unit's resource `unit` (named n after
  // UnitNameForAssembly): its header block, then its samples with their segment marks.
  void AssembleUnitWave(const TCharacter& entry, const std::string& n, const MemoryStream& unit,
                        MemoryStream& out);
  void MixEchoWord();                   // on SlotWaves[CurrentSlot] after its header block
  void MixEchoUnit(MemoryStream& pcm);  // on a whole PCM stream (engine path)

  // Settings: reloads the voice's values when the dialog flagged a change (or never loaded).
  void ReloadSettingsIfChanged();
  // Makes the shared synthesis settings this voice's again after another voice set them.
  void TakeSharedSettings();
  void ResetEchoLines();

  // Fields. The engine server and the dialogs reach into them as the front-end does.
  std::unique_ptr<platform::WindowTimer> PlayTimer;  // 100 ms, PlayTimerTick
  std::unique_ptr<platform::WindowTimer> EndTimer;   // 250 ms, EndTimerTick
  std::vector<std::string> UserDictionary;
  std::vector<std::string> BuiltInDictionary;
  bool EngineMode = false;
  std::unique_ptr<MemoryStream> WaveHeader;  // absent when unit "a" is missing
  std::unique_ptr<MemoryStream> SilentWave;
  int CurrentSlot = 1;
  OneBased<TSayWord, 3> Words;
  OneBased<MemoryStream, 3> SlotWaves;
  OneBased<MemoryStream, kEchoLines> EchoLines;
  OneBased<int32_t, kEchoLines> EchoReadPos;
  OneBased<int32_t, kEchoLines> EchoLength;
  int32_t PitchOffset = 0;
  PendingTextBuffer PendingText;  // reads like a string; see synth/frontend/pending_text.h
  std::string CurrentWord;
  bool WordReady = false;
  SpeechEvent OnSpeechEvent;
  uint32_t PlayFlags = 0;
  int32_t CurrentTone = 0;
  int32_t CurrentSpeed = 0;
  int32_t CurrentVolume = 0;
  int32_t CurrentBookmark = 0;
  int32_t WordCount = 0;
  int32_t CharCount = 0;
  bool NewUtterance = false;
  OneBased<MemoryStream, kMaxSegments> Segments;
  MemoryStream ShiftedSegment;
  MemoryStream UnitSamples;
  OneBased<int32_t, kMaxSegments> SegmentBytes;
  OneBased<int32_t, kMaxSegmentMarks> SegmentStart;
  OneBased<int32_t, kMaxSegmentMarks> SegmentEnd;
  std::string DictionaryPath;
  int64_t DictionaryAge = -1;
  bool NewText = true;
  bool SettingsLoaded = false;
  std::unique_ptr<platform::Registry> Settings;

  int32_t Voice() const { return voice_; }

 private:
  int32_t voice_;
};

// Voice name of a voice number: "DAVLa" (1 and anything else), "DAVLuska" (2), "DAVL" (3).
std::string VoiceName(int32_t voice);
// Registry key of a voice's settings (under HKEY_LOCAL_MACHINE).
std::string VoiceKeyPath(int32_t voice);

}  // namespace kv
