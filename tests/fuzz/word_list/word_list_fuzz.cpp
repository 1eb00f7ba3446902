// libFuzzer target: bytes as a word list (.dct, and the .inn of the same form) read by the
// engine. Opened in the dictionary editor and saved unchanged, the file must give the engine
// the same rows (an empty row at the end, which no word uses, may be left out), and a second
// open and save must write the same bytes again.
#include <fstream>
#include <vector>

#include "dialogs/logic/dictionary_text.h"
#include "platform/cp1250.h"
#include "platform/paths.h"
#include "synth/dictionary_file.h"
#include "tests/fuzz/fuzz_check.h"

using kv::fuzz::Require;
namespace dialogs = kv::dialogs;

namespace {

std::vector<std::string> EngineRows(const std::filesystem::path& file) {
  std::vector<std::string> rows;
  Require(kv::LoadDictionaryFile(file, rows), "the engine reads the file");
  while (!rows.empty() && rows.back().empty()) rows.pop_back();
  return rows;
}

std::string WithoutEmptyEnd(std::string bytes) {
  while (bytes.ends_with("\r\n")) bytes.resize(bytes.size() - 2);
  return bytes;
}

// The editor's open then save, with the text unchanged in between.
std::string OpenAndSave(const std::filesystem::path& file) {
  const std::optional<std::string> bytes = dialogs::ReadFileBytes(file);
  Require(bytes.has_value(), "the editor reads the file");
  const std::string text =
      kv::cp1250::LowerCase(dialogs::JoinEditorLines(dialogs::SplitDictionaryLines(*bytes)));
  const std::string saved = dialogs::DictionaryFileBytes(dialogs::SplitEditorText(text));
  Require(dialogs::WriteFileAtomically(file, saved), "the editor saves the file");
  return saved;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path file = kv::platform::PrefixDir() / "fuzz.dct";
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), std::streamsize(size));
  const std::vector<std::string> rows = EngineRows(file);
  const std::string saved = OpenAndSave(file);
  Require(EngineRows(file) == rows, "a saved word list gives the engine the same rows");
  // Each save drops one empty line at the end (the editor shows a file's last line end as an
  // empty line, and takes a final line end as no line); nothing else may change.
  Require(WithoutEmptyEnd(OpenAndSave(file)) == WithoutEmptyEnd(saved),
          "a second save writes the same bytes");
  return 0;
}
