// SpeakStep: takes the next word of PendingText, normalises it, applies its tags, builds one
// unit entry per letter in the current word slot and lays intonation and rhythm over it.
#include "synth/frontend/speak_step.h"

#include <cstdint>

#include "platform/cp1250.h"
#include "platform/paths.h"
#include "synth/frontend/dictionary.h"
#include "synth/frontend/numbers.h"
#include "synth/frontend/prosody.h"
#include "synth/frontend/spelling.h"
#include "synth/frontend/tags.h"
#include "synth/frontend/text_util.h"
#include "synth/say_text.h"

namespace kv::frontend {
namespace {

// What PendingText was when the previous word was taken (by any synthesizer of the process):
// its buffer and the version of its last outside change.
struct LastTextStamp {
  uint64_t id = 0, version = 0;
};
LastTextStamp last_text;

constexpr size_t kMaxWordChars = 120;
constexpr size_t kTagReach = 100;

bool BlankFrom(std::string_view s) {
  for (char c : s)
    if (!IsBlank(c)) return false;
  return true;
}

}  // namespace

bool PendingTextChanged(const PendingTextBuffer& pending) {
  return last_text.id != pending.Id() || last_text.version != pending.Version();
}

void RememberPendingText(const PendingTextBuffer& pending) {
  last_text = {pending.Id(), pending.Version()};
}

std::string NormaliseWord(std::string_view word, const std::vector<std::string>& user_rows,
                          const std::vector<std::string>& built_in_rows,
                          const std::function<bool()>& is_last_word) {
  // 6. Leading spaces and line breaks go; inner line breaks become spaces.
  size_t start = 0;
  while (start < word.size() && (word[start] == ' ' || word[start] == '\n' || word[start] == '\r'))
    ++start;
  std::string w(word.substr(start));
  for (char& c : w)
    if (c == '\n' || c == '\r') c = ' ';

  // 7. Dictionaries, the user's rows first.
  if (!IsBlankText(w)) {
    ApplyDictionary(w, user_rows);
    ApplyDictionary(w, built_in_rows);
  }

  // 8. Leading backslash tags go to the prefix; the text from a later backslash on is the
  // suffix.
  std::string prefix;
  size_t pos = 0;
  while (pos < w.size() && w[pos] == '\\') {
    size_t close = std::string_view(w).substr(pos + 1, kTagReach).find('\\');
    size_t end = close == std::string_view::npos ? pos + 1 : pos + 1 + close + 1;
    prefix.append(w, pos, end - pos);
    pos = end;
  }
  std::string part, suffix;
  size_t bs = w.find('\\', pos);
  if (bs == std::string::npos) {
    part = w.substr(pos);
  } else {
    part = w.substr(pos, bs - pos);
    suffix = w.substr(bs);
  }

  ApplyCurrency(part, suffix);                            // 9.
  ApplyNumber(part);                                      // 10.
  ApplyDigitsAndSymbols(part);                            // 11.
  if (!part.empty() && part[0] == '_') part.erase(0, 1);  // 12.
  // 13. Spelling; only a one-character word asks what follows it.
  bool last = Trim(part).size() == 1 && is_last_word();
  ApplySpelling(part, last);
  return prefix + part + suffix;  // 14.
}

}  // namespace kv::frontend

namespace kv {

void TSayText::SpeakStep() {
  using namespace frontend;
  if (CurrentSlot < 1 || CurrentSlot > 3) CurrentSlot = 1;
  TSayWord& slot = Words[CurrentSlot];

  std::string w;      // the working text
  std::string built;  // the part of it that became entries
  for (;;) {
    // 1. Nothing to speak.
    if (PendingText.empty()) {
      WordReady = true;
      return;
    }

    // 2. A new text, or text appended since the previous word.
    if (NewText || PendingTextChanged(PendingText)) {
      if (!DictionaryPath.empty()) {
        int64_t age = platform::FileAge(DictionaryPath);
        if (age != DictionaryAge) {
          DictionaryAge = age;
          // A file that vanished or cannot be read keeps the rows loaded last.
          std::vector<std::string> rows;
          if (LoadDictionaryFile(DictionaryPath, rows)) UserDictionary = std::move(rows);
        }
      }
      ReloadSettingsIfChanged();
      char* data = PendingText.MutableData();
      for (size_t j = 0; j < PendingText.size(); ++j)
        data[j] = char(cp1250::ToLower(static_cast<unsigned char>(data[j])));
      NewText = false;
    }

    // 3. and 4. Take one word, at most 120 characters of it; the rest of a longer word stays
    // in front of the pending text and is spoken as the next word.
    std::string_view rest = PendingText.View();
    bool carried = false;
    if (rest[0] == kCarryMark && rest.find(kCarryMark, 1) != std::string_view::npos) {
      size_t close = rest.find(kCarryMark, 1);
      CurrentWord = std::string(rest.substr(1, close - 1));
      PendingText.Consume(close + 1);
      carried = true;
    } else {
      size_t space = rest.substr(0, kMaxWordChars).find(' ');
      if (space != std::string_view::npos) {
        CurrentWord = std::string(rest.substr(0, space + 1));
        PendingText.Consume(space + 1);
      } else if (rest.size() <= kMaxWordChars) {
        CurrentWord = std::string(rest);
        PendingText.Consume(rest.size());
      } else {
        CurrentWord = std::string(rest.substr(0, kMaxWordChars));
        PendingText.Consume(kMaxWordChars);
      }
    }
    if (BlankFrom(PendingText.View())) {
      PendingText.ReplaceInternal(kEndMarker);
      NewText = true;
    }

    // 5. Remember the pending text as this call leaves it.
    RememberPendingText(PendingText);

    // 6. to 14. Normalise the word (a carried chunk is normalised already).
    w = carried ? CurrentWord
                : NormaliseWord(CurrentWord, UserDictionary, BuiltInDictionary,
                                [this] { return NextTextIsEmpty(PendingText.View()); });

    // 15. One entry per character ("ch" takes one), tags applied on the way.
    const long length = long(w.size());
    const bool is_marker = w == kEndMarker;
    RunningValues running{CurrentTone, CurrentSpeed, CurrentVolume, CurrentBookmark};
    slot.Reset();
    std::string collected;
    long i = 1;
    int k = 1;
    while (i <= length) {
      if (k > kMaxEntries) {
        // The slot is full: the rest is spoken as the next word, as it stands.
        std::string carry = w.substr(size_t(i - 1));
        for (char& c : carry)
          if (c == kCarryMark) c = ' ';
        carry = kCarryMark + carry + kCarryMark;
        if (PendingText == kEndMarker) {
          PendingText.ReplaceInternal(carry);
          NewText = false;
        } else {
          PendingText.Prepend(carry);
        }
        RememberPendingText(PendingText);
        break;
      }
      TCharacter& e = slot.Characters[k];
      e.PrevLetter = "~";
      e.NextLetter = "~";
      e.Duration = 150;
      e.Gain = 1.0;
      e.Loudness = CurrentVolume;
      e.Span = 1;
      e.Tone = CurrentTone;
      e.Speed = CurrentSpeed;

      while (!is_marker && i <= length && (w[size_t(i - 1)] == '\\' || w[size_t(i - 1)] == '{')) {
        const long before = i;
        ApplyTag(e, k == 1, running, w, i);
        if (i == before || i >= length - 5 || i > length ||
            (w[size_t(i - 1)] != '\\' && w[size_t(i - 1)] != '{'))
          break;
      }

      if (i < length) collected += w[size_t(i - 1)];
      e.PrevLetter = CharAt(w, i == 1 ? 1 : i - 1);
      e.FirstLetter = CharAt(w, 1);
      if (i < length) e.NextLetter = CharAt(w, i + 1);
      e.LastLetter = CharAt(w, length);
      e.Letter = CharAt(w, i);
      e.Grapheme = e.Letter.View();
      ++i;
      if (e.Letter == "c" && e.NextLetter == "h") {
        ++i;
        e.Grapheme = "ch";
        e.Span = 2;
        e.NextLetter = i < length ? CharAt(w, i + 1) : std::string_view("~");
      }
      e.Unit = e.Grapheme.View();
      ++k;
    }
    built = w.substr(0, size_t(std::min(i - 1, length)));
    slot.CharacterCount = k - 1;

    // 16. Nothing to say: go on with the next word.
    if (IsBlankText(collected)) {
      PendingText.TrimInternal();
      if (!PendingText.empty() && !(PendingText == kEndMarker)) continue;
    }
    break;
  }

  // 17. Finish the slot.
  slot.CharacterIndex = 0;
  slot.Text = built;
  slot.WordGain = double(kUnityLoudness);
  PitchOffset = 0;

  // 18. Intonation and rhythm; whole-word assembly unless the engine assembles by entry.
  ApplyProsody(slot, CurrentSpeed, NewUtterance);
  if (!EngineMode) AssembleWord();

  // 19. and 20.
  CurrentWord = StripTags(CurrentWord);
  WordReady = true;
}

}  // namespace kv
