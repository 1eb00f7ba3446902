// The user's text (UTF-16, as every face's controls hold it) against what Windows-1250 can
// store: where the characters are that it cannot hold, for a message.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv::dialogs {

// A character of the user's text that Windows-1250 cannot hold, where the user sees it:
// 1-based line and column, a surrogate pair counted as the one character it is.
struct UnstorableCharacter {
  int line;
  int column;
  char32_t code;
};
std::vector<UnstorableCharacter> FindUnstorable(std::u16string_view text);
// The places for a message (UTF-8): "řádek 2, znak 5 (U+2192)", the first few of them.
std::string DescribeUnstorable(const std::vector<UnstorableCharacter>& found);

}  // namespace kv::dialogs
