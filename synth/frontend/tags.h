// Control tags inside spoken text: \name=value\ or {name=value}. ton, spd, vol and mrk act;
// rst, pit, ctx, chr and unknown names are consumed without effect.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {
struct TCharacter;
}

namespace kv::frontend {

struct ParsedTag {
  std::string name, value;  // lower-cased; name empty: no tag (not closed within reach)
};

// `after_open` is the text after the opening backslash or "{"; at most 255 characters of it
// are read. The tag ends at the first "}" (brace form) or backslash (backslash form).
ParsedTag ParseTag(std::string_view after_open, char open);

// The running values that tags change and every new entry copies.
struct RunningValues {
  int32_t& tone;
  int32_t& speed;
  int32_t& volume;
  int32_t& bookmark;
};

// Applies the tag that opens at 1-based position i of `text` to `entry` (`first_entry`: the
// word's first entry) and the running values, and advances i past it. A tag without a name is
// not consumed (i stays). A value that is no integer (a lone "-", too many digits) has no
// effect in any tag.
void ApplyTag(TCharacter& entry, bool first_entry, RunningValues values, std::string_view text,
              long& i);

// The word with its backslash tags removed: a backslash toggles copying off until the next.
std::string StripTags(std::string_view word);

}  // namespace kv::frontend
