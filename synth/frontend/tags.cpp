#include "synth/frontend/tags.h"

#include <optional>

#include "platform/cp1250.h"
#include "platform/numeric.h"
#include "synth/say_text.h"

namespace kv::frontend {
namespace {

std::optional<int32_t> ReadValue(std::string_view value) {
  try {
    return StrToIntLenient(value);
  } catch (const EConvertError&) {
    return std::nullopt;
  }
}

}  // namespace

ParsedTag ParseTag(std::string_view after_open, char open) {
  std::string text = cp1250::LowerCase(after_open.substr(0, 255));
  size_t close = text.find(open == '{' ? '}' : '\\');
  if (close == std::string::npos) return {};
  text.resize(close);
  size_t eq = text.find('=');
  if (eq == std::string::npos) return {text, {}};
  return {text.substr(0, eq), text.substr(eq + 1)};
}

void ApplyTag(TCharacter& entry, bool first_entry, RunningValues values, std::string_view text,
              long& i) {
  if (i < 1 || i > long(text.size())) return;
  const char open = text[size_t(i - 1)];
  ParsedTag tag = ParseTag(text.substr(size_t(i)), open);
  if (tag.name.empty()) return;

  const std::optional<int32_t> v = ReadValue(tag.value);
  if (tag.name == "ton") {
    if (v && *v >= -12 && *v <= 12) entry.Tone = values.tone = *v;
  } else if (tag.name == "spd") {
    if (v && *v >= 1 && *v <= 256) entry.Speed = values.speed = 256 - *v;
  } else if (tag.name == "vol") {
    if (v && *v >= 0) entry.Loudness = values.volume = *v;
  } else if (tag.name == "mrk") {
    if (v) {
      values.bookmark = *v;
      auto& marks = first_entry ? entry.MarksBefore : entry.MarksAfter;
      for (int32_t& slot : marks) {
        if (slot == 0) {
          slot = *v;
          break;
        }
      }
    }
  }
  // rst, pit, ctx, chr and any other name: consumed without effect.

  i += long(tag.name.size()) + 2;
  if (!tag.value.empty()) i += long(tag.value.size()) + 1;
}

std::string StripTags(std::string_view word) {
  std::string out;
  int count = 0;
  for (char c : word) {
    if (c == '\\') {
      count = count == 0 ? 1 : 0;
      continue;
    }
    if (count == 0) out += c;
  }
  return out;
}

}  // namespace kv::frontend
