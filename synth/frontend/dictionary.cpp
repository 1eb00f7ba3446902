#include "synth/frontend/dictionary.h"

#include "platform/cp1250.h"
#include "synth/frontend/dictionary_rows.h"
#include "synth/frontend/replace_all.h"
#include "synth/frontend/text_util.h"

namespace kv {

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
