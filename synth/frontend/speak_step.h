// The word path of the front-end, exposed in layers for tests and tools.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {
class TSayText;
class PendingTextBuffer;
}  // namespace kv

namespace kv::frontend {

// Steps 6 to 14 of a word: leading line breaks and spaces removed, the dictionaries, tags split
// off, currency, numbers, digits and symbols, a leading "_" and the spelling decision.
// `is_last_word` is asked only for one-character words: whether nothing follows in the text.
std::string NormaliseWord(std::string_view word, const std::vector<std::string>& user_rows,
                          const std::vector<std::string>& built_in_rows,
                          const std::function<bool()>& is_last_word);

// Marks a chunk of already normalised text that a full word slot carried over to the next
// word: it is spoken as it stands, without passing through normalisation again.
inline constexpr char kCarryMark = '\x7F';

// Whether PendingText changed from outside since the front-end last took a word (a new text
// or appended text). Module-wide, as the remembered text of the previous call is.
bool PendingTextChanged(const PendingTextBuffer& pending);
void RememberPendingText(const PendingTextBuffer& pending);

}  // namespace kv::frontend
