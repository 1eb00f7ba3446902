#include "synth/frontend/dictionary.h"

#include <fstream>
#include <iterator>

#include "platform/cp1250.h"
#include "synth/frontend/dictionary_rows.h"
#include "synth/frontend/replace_all.h"
#include "synth/frontend/text_util.h"

namespace kv {

bool LoadDictionaryFile(const std::filesystem::path& path, std::vector<std::string>& rows) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  data = cp1250::LowerCase(data);

  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < data.size(); ++i) {
    if (data[i] != '\r' && data[i] != '\n') continue;
    lines.emplace_back(data, start, i - start);
    if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < data.size()) lines.emplace_back(data, start);
  rows = std::move(lines);
  return true;
}

std::vector<std::string> BuiltInDictionaryRows() {
  std::vector<std::string> rows;
  rows.reserve(frontend::kBuiltInRows.size());
  for (std::string_view row : frontend::kBuiltInRows)
    rows.push_back(cp1250::LowerCase(frontend::Cp(row)));
  return rows;
}

namespace frontend {

void ApplyDictionary(std::string& word, const std::vector<std::string>& rows) {
  for (const std::string& row : rows) {
    size_t eq = row.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    std::string_view r(row);
    word = ReplaceAll(std::move(word), r.substr(0, eq), r.substr(eq + 1, 255));
  }
}

}  // namespace frontend
}  // namespace kv
