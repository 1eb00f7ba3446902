// The pronunciation dictionary file beside each module (".dct"): Windows-1250 text, one
// "expression=pronunciation" row per line.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kv {

// Reads the file's lines (CR LF, a lone CR or a lone LF end a line) and lower-cases them.
// Returns false when the file cannot be read; `rows` is then left as it was.
bool LoadDictionaryFile(const std::filesystem::path& path, std::vector<std::string>& rows);

// The built-in rows, lower-cased, in order of application.
std::vector<std::string> BuiltInDictionaryRows();

}  // namespace kv
