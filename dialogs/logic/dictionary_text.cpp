#include "dialogs/logic/dictionary_text.h"

#include <fstream>
#include <iterator>

namespace kv::dialogs {

namespace {

// The memo's line extraction cuts at most this much after each line feed.
constexpr size_t kMaxLineAfterCut = 10000;

std::vector<std::string> SplitLines(std::string_view text, bool dropCarriageReturn) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (dropCarriageReturn && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::string CaretLineSpokenText(std::string_view text, size_t caret) {
  // 1-based p, as the caret's character index plus one; t[p] is text[p - 1].
  size_t p = caret + 1;
  while (p < text.size() && text[p - 1] != '\n') ++p;
  const bool onLineFeed = p <= text.size() && text[p - 1] == '\n';
  std::string_view line = text.substr(0, onLineFeed ? p - 1 : p);
  for (size_t cut; (cut = line.find('\n')) != std::string_view::npos;)
    line = line.substr(cut + 1, kMaxLineAfterCut);
  if (const size_t eq = line.find('='); eq != std::string_view::npos) line = line.substr(eq + 1);
  return std::string(line);
}

std::vector<std::string> SplitDictionaryLines(std::string_view bytes) {
  return SplitLines(bytes, true);
}

std::string JoinEditorLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += '\n';
    text += lines[i];
  }
  return text;
}

std::vector<std::string> SplitEditorText(std::string_view text) {
  return SplitLines(text, false);
}

std::string DictionaryFileBytes(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes.append(line).append("\r\n");
  return bytes;
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace kv::dialogs
