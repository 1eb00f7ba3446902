// The pronunciation dictionary: rows "expression=pronunciation" applied to every word, the
// user's rows from the .dct file first, then the built-in rows.
#pragma once

#include <string>
#include <vector>

// LoadDictionaryFile (the .dct file) and BuiltInDictionaryRows (defined in dictionary.cpp).
#include "synth/dictionary_file.h"

namespace kv {
namespace frontend {

// Applies every row in list order with ReplaceAll. A row without "=", or with "=" first, is
// skipped; the pronunciation is cut to 255 characters.
void ApplyDictionary(std::string& word, const std::vector<std::string>& rows);

}  // namespace frontend
}  // namespace kv
