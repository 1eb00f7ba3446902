#include "apps/sd_kvtts/engine_text.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/cp1250.h"
#include "synth/frontend/spelling.h"

namespace kv::speechd {

namespace {

// Text from the server in Windows-1250, its control characters read as spaces: none of them
// is spoken, and two of them mark the spelled capitals of Icon mode (kRaiseMark, kLowerMark).
std::string UserText(std::string_view utf8) {
  std::string text = cp1250::FromUtf8Lenient(utf8);
  for (char& c : text)
    if (static_cast<unsigned char>(c) < ' ') c = ' ';
  return text;
}

constexpr uint32_t kFirstMark = 11112;  // above the end-of-text mark 11111
constexpr uint32_t kMarkCount = 18000;  // below the word positions from 30000

// Characters that open a tag in the front-end, and their spoken names (UTF-8).
constexpr std::array<std::pair<char, std::string_view>, 3> kTagCharacters = {{
    {'\\', "zpětné lomítko"},
    {'{', "levá složená závorka"},
    {'}', "pravá složená závorka"},
}};

// Key names that are words rather than letters; the rest is read with its separators as spaces.
constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kKeyWords = {{
    {"space", "mezera"},
    {"enter", "enter"},
    {"tab", "tabulátor"},
    {"backspace", "backspace"},
    {"escape", "escape"},
    {"delete", "delete"},
}};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x110000) {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

// The entity at the start of text ("&amp;", "&#382;", "&#x17E;"): its UTF-8 text and length,
// or nothing when it is none (the ampersand is then text itself).
std::optional<std::pair<std::string, size_t>> Entity(std::string_view text) {
  const size_t end = text.find(';');
  if (end == std::string_view::npos || end > 10) return std::nullopt;
  const std::string_view name = text.substr(1, end - 1);
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kNamed = {
      {{"lt", "<"}, {"gt", ">"}, {"amp", "&"}, {"quot", "\""}, {"apos", "'"}}};
  for (const auto& [n, value] : kNamed)
    if (name == n) return std::pair{std::string(value), end + 1};
  if (name.size() < 2 || name[0] != '#') return std::nullopt;
  const bool hex = name[1] == 'x' || name[1] == 'X';
  const std::string_view digits = name.substr(hex ? 2 : 1);
  if (digits.empty()) return std::nullopt;
  char32_t code = 0;
  for (char d : digits) {
    int v = d >= '0' && d <= '9' ? d - '0' : -1;
    if (hex && v < 0 && ((d | 0x20) >= 'a' && (d | 0x20) <= 'f')) v = (d | 0x20) - 'a' + 10;
    if (v < 0) return std::nullopt;
    code = code * (hex ? 16 : 10) + char32_t(v);
    if (code > 0x10FFFF) return std::nullopt;
  }
  std::string utf8;
  // NUL and the surrogate halves are no characters: they would make the text invalid UTF-8.
  AppendUtf8(utf8, code == 0 || (code >= 0xD800 && code <= 0xDFFF) ? U' ' : code);
  return std::pair{utf8, end + 1};
}

std::string DecodeEntities(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (auto entity = Entity(text.substr(i))) {
        out += entity->first;
        i += entity->second - 1;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

// The value of attribute `name` inside a start tag's text, entities decoded.
std::optional<std::string> Attribute(std::string_view tag, std::string_view name) {
  size_t at = 0;
  while ((at = tag.find(name, at)) != std::string_view::npos) {
    const bool starts =
        at > 0 && (tag[at - 1] == ' ' || tag[at - 1] == '\t' || tag[at - 1] == '\n');
    size_t i = at + name.size();
    at = i;
    if (!starts) continue;
    while (i < tag.size() && tag[i] == ' ') ++i;
    if (i >= tag.size() || tag[i] != '=') continue;
    ++i;
    while (i < tag.size() && tag[i] == ' ') ++i;
    if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\'')) continue;
    const size_t close = tag.find(tag[i], i + 1);
    if (close == std::string_view::npos) return std::nullopt;
    return DecodeEntities(tag.substr(i + 1, close - i - 1));
  }
  return std::nullopt;
}

// The end of the markup that starts at `open` (the "<"): one past its ">", quotes respected;
// npos when it never ends.
size_t MarkupEnd(std::string_view s, size_t open) {
  if (s.substr(open, 4) == "<!--") {
    const size_t end = s.find("-->", open + 4);
    return end == std::string_view::npos ? end : end + 3;
  }
  char quote = 0;
  for (size_t j = open + 1; j < s.size(); ++j) {
    if (quote != 0) {
      if (s[j] == quote) quote = 0;
    } else if (s[j] == '"' || s[j] == '\'') {
      quote = s[j];
    } else if (s[j] == '>') {
      return j + 1;
    }
  }
  return std::string_view::npos;
}

// Builds the engine's text: text runs are added as they come, marks wait for the next word.
class Builder {
 public:
  explicit Builder(const TextOptions& options) : options_(options) {}

  void AddText(std::string_view utf8) {
    if (!skipping_) AddDecoded(DecodeEntities(utf8));
  }
  void AddDecoded(std::string_view utf8) {
    std::string text = UserText(utf8);
    if (options_.spell || spelled_ > 0) text = SpellOut(text, options_.capitals);
    for (char c : Neutralise(NamePunctuation(text, options_.punctuation))) {
      if (static_cast<unsigned char>(c) > ' ') FlushMarks();
      out_.text += c;
    }
  }
  // <sub alias="…">: the alias, and nothing of the content up to its </sub>.
  void OpenSub(const std::optional<std::string>& alias, bool empty) {
    if (alias && !skipping_) AddDecoded(' ' + *alias + ' ');
    if (!empty) subs_.push_back(alias.has_value());
    skipping_ = std::count(subs_.begin(), subs_.end(), true) > 0;
  }
  void CloseSub() {
    if (!subs_.empty()) subs_.pop_back();
    skipping_ = std::count(subs_.begin(), subs_.end(), true) > 0;
  }
  // <say-as>: spelled up to its </say-as> when it asks for characters.
  void OpenSayAs(bool spell, bool empty) {
    if (empty) return;
    sayAs_.push_back(spell);
    spelled_ += spell ? 1 : 0;
  }
  void CloseSayAs() {
    if (sayAs_.empty()) return;
    spelled_ -= sayAs_.back() ? 1 : 0;
    sayAs_.pop_back();
  }
  void AddMark(std::string name) {
    pending_ += "\\mrk=" + std::to_string(MarkNumber(out_.marks.size())) + "\\";
    out_.marks.push_back(std::move(name));
  }
  void AddSpace() { out_.text += ' '; }
  EngineText Finish() {
    // Marks at the end go onto the last word: a word of tags alone would lose them.
    if (!pending_.empty())
      while (!out_.text.empty() && static_cast<unsigned char>(out_.text.back()) <= ' ')
        out_.text.pop_back();
    FlushMarks();
    return std::move(out_);
  }

 private:
  void FlushMarks() {
    out_.text += pending_;
    pending_.clear();
  }

  TextOptions options_;
  EngineText out_;
  std::string pending_;
  std::vector<bool> subs_, sayAs_;  // open elements: whether each replaces or spells its content
  bool skipping_ = false;
  int spelled_ = 0;
};

bool SpellsCharacters(std::string_view tag) {
  const std::string how = cp1250::LowerCase(Attribute(tag, "interpret-as").value_or(""));
  return how == "characters" || how == "spell-out" || how == "letters" || how == "tts:char";
}

void AddElement(Builder& b, std::string_view tag) {
  size_t n = tag.starts_with('/') ? 1 : 0;
  while (n < tag.size() && tag[n] != ' ' && tag[n] != '/' && tag[n] != '\t' && tag[n] != '\n') ++n;
  const std::string name = cp1250::LowerCase(tag.substr(0, n));
  const bool empty = tag.ends_with('/');
  if (name == "mark") {
    b.AddMark(Attribute(tag, "name").value_or(""));
  } else if (name == "sub") {
    b.OpenSub(Attribute(tag, "alias"), empty);
  } else if (name == "/sub") {
    b.CloseSub();
  } else if (name == "say-as") {
    b.OpenSayAs(SpellsCharacters(tag), empty);
  } else if (name == "/say-as") {
    b.CloseSayAs();
  } else if (name == "break" || name == "p" || name == "/p" || name == "s" || name == "/s" ||
             name == "speak" || name == "/speak") {
    b.AddSpace();
  }
}

}  // namespace

uint32_t MarkNumber(size_t index) {
  return kFirstMark + uint32_t(index % kMarkCount);
}

bool IsMarkNumber(uint32_t number) {
  return number >= kFirstMark && number < kFirstMark + kMarkCount;
}

EngineText FromSsml(std::string_view s, const TextOptions& options) {
  Builder b(options);
  size_t i = 0;
  while (i < s.size()) {
    const size_t open = s.find('<', i);
    b.AddText(s.substr(i, open == std::string_view::npos ? open : open - i));
    if (open == std::string_view::npos) break;
    const size_t end = MarkupEnd(s, open);
    if (end == std::string_view::npos) {  // a "<" that opens nothing is text
      b.AddText(s.substr(open));
      break;
    }
    if (s[open + 1] != '!' && s[open + 1] != '?') AddElement(b, s.substr(open + 1, end - open - 2));
    i = end;
  }
  return b.Finish();
}

Capitals CapitalsFromName(std::string_view name) {
  if (name == "spell") return Capitals::Spell;
  if (name == "icon") return Capitals::Icon;
  return Capitals::None;
}

std::string SpellOut(std::string_view text, Capitals capitals) {
  static const std::string kCapital = cp1250::FromUtf8Lenient("velké ");
  std::string out;
  for (char c : text) {
    if (static_cast<unsigned char>(c) <= ' ') {
      out += ' ';
      continue;
    }
    const bool capital =
        cp1250::ToLower(static_cast<unsigned char>(c)) != static_cast<unsigned char>(c);
    if (capital && capitals == Capitals::Spell) out += kCapital;
    if (capital && capitals == Capitals::Icon) out += kRaiseMark;
    out += frontend::LetterName(std::string(1, c));
    if (capital && capitals == Capitals::Icon) out += kLowerMark;
    out += ' ';
  }
  return out;
}

std::string Neutralise(std::string_view text) {
  std::string out;
  for (char c : text) {
    bool named = false;
    for (const auto& [character, name] : kTagCharacters) {
      if (c != character) continue;
      out += ' ' + cp1250::FromUtf8Lenient(name) + ' ';
      named = true;
    }
    if (!named) out += c;
  }
  return out;
}

std::string CharacterText(std::string_view utf8, Capitals capitals) {
  if (utf8 == "space") return cp1250::FromUtf8Lenient("mezera");
  return Neutralise(
      NamePunctuation(SpellOut(cp1250::FromUtf8Lenient(utf8), capitals), Punctuation::All));
}

std::string KeyText(std::string_view utf8) {
  std::string out;
  size_t start = 0;
  while (start <= utf8.size()) {
    size_t end = utf8.find_first_of("_-", start);
    if (end == std::string_view::npos) end = utf8.size();
    const std::string_view part = utf8.substr(start, end - start);
    std::string word;
    for (const auto& [key, spoken] : kKeyWords)
      if (part == key) word = cp1250::FromUtf8Lenient(spoken);
    if (word.empty()) {
      const std::string cp = UserText(part);
      word = Neutralise(cp.size() == 1 ? SpellOut(cp) : cp);  // "\\" has no letter name
    }
    if (!out.empty()) out += ' ';
    out += word;
    start = end + 1;
  }
  return out;
}

}  // namespace kv::speechd
