#include "apps/sd_kvtts/engine_text.h"

#include <array>
#include <utility>

#include "platform/cp1250.h"
#include "synth/frontend/spelling.h"

namespace kv::speechd {

namespace {

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
  AppendUtf8(utf8, code == 0 ? U' ' : code);
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
  explicit Builder(bool spell) : spell_(spell) {}

  void AddText(std::string_view utf8) {
    std::string text = cp1250::FromUtf8Lenient(DecodeEntities(utf8));
    if (spell_) text = SpellOut(text);
    for (char c : Neutralise(text)) {
      if (static_cast<unsigned char>(c) > ' ') FlushMarks();
      out_.text += c;
    }
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

  bool spell_;
  EngineText out_;
  std::string pending_;
};

void AddElement(Builder& b, std::string_view tag) {
  size_t n = tag.starts_with('/') ? 1 : 0;
  while (n < tag.size() && tag[n] != ' ' && tag[n] != '/' && tag[n] != '\t' && tag[n] != '\n') ++n;
  const std::string name = cp1250::LowerCase(tag.substr(0, n));
  if (name == "mark") {
    b.AddMark(Attribute(tag, "name").value_or(""));
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

EngineText FromSsml(std::string_view s, bool spell) {
  Builder b(spell);
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

std::string SpellOut(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (static_cast<unsigned char>(c) <= ' ') {
      out += ' ';
      continue;
    }
    out += frontend::LetterName(std::string(1, c));
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

std::string CharacterText(std::string_view utf8) {
  if (utf8 == "space") return cp1250::FromUtf8Lenient("mezera");
  return Neutralise(SpellOut(cp1250::FromUtf8Lenient(utf8)));
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
      const std::string cp = cp1250::FromUtf8Lenient(part);
      word = cp.size() == 1 ? SpellOut(cp) : Neutralise(cp);
    }
    if (!out.empty()) out += ' ';
    out += word;
    start = end + 1;
  }
  return out;
}

}  // namespace kv::speechd
