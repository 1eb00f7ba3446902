// The pronunciation dictionary: rows "expression=pronunciation" applied to every word, the
// user's rows from the .dct file first, then the built-in rows.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kv {

// Reads a dictionary file: one row per line (CR LF, a lone CR or a lone LF ends a line), the
// whole list lower-cased as Windows-1250. Returns false, leaving `rows` untouched, when the
// file cannot be read. Any bytes are accepted; rows that are no rows are ignored when applied.
bool LoadDictionaryFile(const std::filesystem::path& path, std::vector<std::string>& rows);

// The built-in rows in order of application, lower-cased.
std::vector<std::string> BuiltInDictionaryRows();

namespace frontend {

// Applies every row in list order with ReplaceAll. A row without "=", or with "=" first, is
// skipped; the pronunciation is cut to 255 characters.
void ApplyDictionary(std::string& word, const std::vector<std::string>& rows);

}  // namespace frontend
}  // namespace kv
