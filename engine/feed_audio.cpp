// Feeding the audio destination unit by unit, and turning the marks it returns into the
// application's notifications.
#include <algorithm>
#include <string_view>

#include "engine/central.h"
#include "engine/mouth_table.h"
#include "platform/message_loop.h"
#include "synth/memory_stream.h"
#include "synth/say_text.h"

namespace kv::engine {

using namespace kv::sapi;

namespace {

// Module-wide: the tick of the last TextData, and the mouth passed with every Visual.
int32_t g_startTick = 0;
TTSMOUTH g_mouthShape = {};

// The text without its leading and trailing characters below 33.
std::string_view Trimmed(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) < 33; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

QWORD Elapsed() {
  const int64_t now = static_cast<int64_t>(platform::GetTickCount());  // unsigned 32-bit
  return static_cast<QWORD>(now - static_cast<int64_t>(g_startTick));
}

void SetStartTick(uint32_t tick) {
  g_startTick = static_cast<int32_t>(tick);
}

bool TKVCmode::TextEnded() const {
  const std::string_view text = Trimmed(Synth->PendingText);
  return text.empty() || text == kEndMarker;
}

void TKVCmode::ClaimAndStart() {
  if (Audio == nullptr) return;
  Audio->Claim();
  if (!Paused) Audio->Start();
}

void TKVCmode::EnableFeedTimer() {
  feedWanted_ = true;
  if (!Paused && !FeedTimer->Enabled()) FeedTimer->SetEnabled(true);
}

void TKVCmode::DisableFeedTimer() {
  feedWanted_ = false;
  FeedTimer->SetEnabled(false);
}

// The synthesizer's scratch buffers are rebuilt for every unit; between texts an idle instance
// gives them back, so that many instances cost only themselves. The echo lines stay: they
// carry the echo into the next text.
void TKVCmode::ReleaseWorkingMemory() {
  TSayText& synth = *Synth;
  for (int k = 1; k <= kMaxSegments; ++k) synth.Segments[k] = MemoryStream();
  for (int slot = 1; slot <= 3; ++slot) synth.SlotWaves[slot] = MemoryStream();
  synth.ShiftedSegment = MemoryStream();
  synth.UnitSamples = MemoryStream();
}

void TKVCmode::BookMarkAudio(DWORD mark) {
  if (AudioDest != nullptr) AudioDest->BookMark(mark);
}

void TKVCmode::FeedAudio() {
  TSayText& synth = *Synth;
  auto wordDone = [&] { return synth.Words[synth.CurrentSlot].CharacterIndex == 0; };

  if (TextEnded() && wordDone()) {
    synth.PendingText.clear();
    DisableFeedTimer();
    ReleaseWorkingMemory();
    BookMarkAudio(kWordPositionBase + static_cast<DWORD>(synth.CharCount));
    BookMarkAudio(kEndOfTextMark);
    return;
  }
  synth.EngineMode = true;
  if (!Stopped && wordDone()) {
    synth.CurrentSlot = synth.CurrentSlot + 1 > 2 ? 1 : synth.CurrentSlot + 1;
    synth.SpeakStep();
    if (!AudioStarted) {
      synth.CharCount = 0;
      synth.WordCount = 0;
    }
    BookMarkAudio(kWordPositionBase + static_cast<DWORD>(synth.CharCount));
    synth.WordCount += 1;
    synth.CharCount += static_cast<int32_t>(synth.CurrentWord.size());
    // A prepared word is marked as begun at once: should the destination have no room now, the
    // next call writes it instead of taking it for done and preparing another over it.
    TSayWord& prepared = synth.Words[synth.CurrentSlot];
    if (prepared.CharacterCount > 0) prepared.CharacterIndex = 1;
  }

  DWORD free = 0;
  if (AudioDest != nullptr) AudioDest->FreeSpace(&free, nullptr);
  if (Stopped) return;
  // The timer keeps the feed going until it reaches the text's end, also after a first word
  // with nothing to say (a text of lone backslashes): nothing else would call again.
  EnableFeedTimer();
  if (!synth.WordReady) return;

  TSayWord& word = synth.Words[synth.CurrentSlot];
  while (word.CharacterIndex <= word.CharacterCount && free > 0 && !Stopped) {
    if (word.CharacterIndex < 1) word.CharacterIndex = 1;
    const TCharacter& entry = word.Characters[word.CharacterIndex];
    MemoryStream chunk;
    synth.AssembleUnit(entry, chunk);
    if (free <= chunk.Size()) {
      // A unit is only ever written whole: it is rendered again by the next call.
      if (!AudioStarted) {
        ClaimAndStart();
        AudioStarted = true;
      }
      return;
    }
    synth.MixEchoUnit(chunk);
    for (int k = 1; k <= kMaxMarks; ++k)
      if (entry.MarksBefore[k] != 0) BookMarkAudio(static_cast<DWORD>(entry.MarksBefore[k]));
    if (chunk.Size() > 0) {
      if (!AudioStarted) ClaimAndStart();
      const std::string_view unit = entry.Unit.View();
      const DWORD visual = static_cast<DWORD>(
          1000 * synth.CurrentSlot + (unit.empty() ? 0 : static_cast<unsigned char>(unit[0])));
      const bool firstOfInstance = synth.WordCount == 1 && word.CharacterIndex == 1;
      if (!firstOfInstance) BookMarkAudio(visual);
      if (AudioDest != nullptr) AudioDest->DataSet(chunk.Data(), static_cast<DWORD>(chunk.Size()));
      if (firstOfInstance) BookMarkAudio(visual);
      if (!AudioStarted) {
        ClaimAndStart();
        AudioStarted = true;
      }
    }
    for (int k = 1; k <= kMaxMarks; ++k)
      if (entry.MarksAfter[k] != 0) BookMarkAudio(static_cast<DWORD>(entry.MarksAfter[k]));
    word.CharacterIndex += 1;
    if (!AudioStarted) {
      ClaimAndStart();
      AudioStarted = true;
    }
    if (AudioDest != nullptr) AudioDest->FreeSpace(&free, nullptr);
  }
  if (word.CharacterIndex > word.CharacterCount) word.CharacterIndex = 0;
  if (!AudioStarted) {
    ClaimAndStart();
    AudioStarted = true;
  }
}

void TKVCmode::Visual(uint8_t code) {
  g_mouthShape = LookupMouth(code);
  if (NotifySinkA != nullptr)
    NotifySinkA->Visual(Elapsed(), 0, static_cast<CHAR>(code), 0, &g_mouthShape);
  if (NotifySinkW != nullptr) NotifySinkW->Visual(Elapsed(), code, code, 0, &g_mouthShape);
}

void TKVCmode::DispatchBookMark(DWORD mark) {
  if (mark >= 1000 && mark <= 8999) {
    if (NotifySinkA == nullptr && NotifySinkW == nullptr) return;
    DWORD c = mark - 1000;
    while (c > 1000) c -= 1000;
    if (c >= 32 && c <= 250) Visual(static_cast<uint8_t>(c));
  } else if (mark == kEndOfTextMark) {
    if (Synth->PendingText == kEndMarker) Synth->PendingText.clear();
    Visual(' ');
    NotifyEnd();
  } else if (mark >= kWordPositionBase && mark <= 39999) {
    if (BufSink != nullptr) BufSink->WordPosition(Elapsed(), mark - kWordPositionBase);
  } else {
    if (BufSink != nullptr) BufSink->BookMark(Elapsed(), mark);
  }
}

}  // namespace kv::engine
