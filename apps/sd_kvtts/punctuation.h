// Punctuation spoken by its name, as much of it as the client's punctuation mode asks for.
//
// The modes build on each other: "some" names the symbols that change what a text means
// (# $ % * < = > @ ^ _ and the like), "most" adds brackets, quotes, dashes, colons and
// semicolons, "all" adds the sentence marks . , ? ! as well. The front-end names & / + itself
// in every mode, and the characters that open its tags are always named (see engine_text.h).
#pragma once

#include <string>
#include <string_view>

namespace kv::speechd {

enum class Punctuation { None, Some, Most, All };

// "none", "some", "most", "all"; anything else reads as None.
Punctuation PunctuationFromName(std::string_view name);

// The text (Windows-1250) with the punctuation of the mode replaced by its Czech name between
// spaces. A sentence mark stays after its name, so the sentence still ends where it did; a
// period or comma between two digits, or a minus sign in front of one, is part of a number
// and is not named.
std::string NamePunctuation(std::string_view text, Punctuation mode);

}  // namespace kv::speechd
