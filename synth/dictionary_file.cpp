#include "synth/dictionary_file.h"

#include <fstream>
#include <iterator>

#include "platform/cp1250.h"

namespace kv {

bool LoadDictionaryFile(const std::filesystem::path& path, std::vector<std::string>& rows) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  std::vector<std::string> lines;
  const std::string lower = cp1250::LowerCase(text);
  size_t start = 0;
  for (size_t i = 0; i < lower.size(); ++i) {
    if (lower[i] != '\r' && lower[i] != '\n') continue;
    lines.push_back(lower.substr(start, i - start));
    if (lower[i] == '\r' && i + 1 < lower.size() && lower[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < lower.size()) lines.push_back(lower.substr(start));
  rows = std::move(lines);
  return true;
}

}  // namespace kv
