#include "dialogs/logic/dictionary_editor_logic.h"

#include "dialogs/logic/calling_mode.h"
#include "dialogs/logic/collation.h"
#include "dialogs/logic/dictionary_text.h"
#include "dialogs/logic/unstorable_text.h"
#include "platform/beside_module.h"
#include "platform/cp1250.h"

namespace kv::dialogs {

std::filesystem::path DictionaryFileName;

namespace {

// Why a write failed, for the user.
std::string WriteFailure(std::error_code error) {
  if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
      error == std::errc::read_only_file_system)
    return " Soubor není zapisovatelný.";
  if (error == std::errc::no_space_on_device) return " Na disku není místo.";
  return "";
}

// A path for a message (UTF-8).
std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

std::u16string SortLines(std::u16string_view text, const Collation& collation) {
  std::vector<std::u16string_view> lines;
  for (size_t start = 0;;) {
    const size_t end = text.find(u'\n', start);
    lines.push_back(text.substr(start, end == std::u16string_view::npos ? end : end - start));
    if (end == std::u16string_view::npos) break;
    start = end + 1;
  }
  if (lines.size() > 1 && lines.back().empty()) lines.pop_back();  // a final line end
  std::stable_sort(lines.begin(), lines.end(), [&](std::u16string_view a, std::u16string_view b) {
    return collation.Compare(a, b) < 0;
  });
  std::u16string sorted;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) sorted += u'\n';
    sorted += lines[i];
  }
  return sorted;
}

DictionaryEditorLogic::DictionaryEditorLogic(DictionaryEditorControls& controls,
                                             std::filesystem::path ownModule)
    : Timer1(kArmDelayMs, [this] { Timer1Timer(); }),
      controls_(controls),
      ownModule_(std::move(ownModule)),
      formStorage_(platform::HKEY_CURRENT_USER, kPerUserKey) {
  formStorage_.AddChecked(
      "Rikat", [this] { return controls_.RikatChecked(); },
      [this](bool checked) { controls_.SetRikatChecked(checked); });
  Timer1.SetEnabled(true);
}

std::filesystem::path DictionaryEditorLogic::ChooseFile() const {
  if (!DictionaryFileName.empty()) return DictionaryFileName;
  if (CallingMode)
    if (std::string engineFile = CallingMode->DictionaryFile(); !engineFile.empty())
      return engineFile;
  return platform::FileBesideModule(ownModule_, ".dct");
}

void DictionaryEditorLogic::FormShow() {
  FileName = ChooseFile();
  LoadFile();
  formStorage_.Load();
  if (OnSay || CallingMode) controls_.EnableSpeakButton(true);
}

void DictionaryEditorLogic::LoadFile() {
  std::optional<std::string> bytes = ReadFileBytes(FileName);
  const std::string text =
      bytes ? cp1250::LowerCase(JoinEditorLines(SplitDictionaryLines(*bytes))) : std::string();
  controls_.LoadText(cp1250::ToUtf16(text));
  controls_.SetModified(false);
  if (!bytes)
    controls_.TellUserSoon("Slovník " + PathText(FileName) +
                           " nelze přečíst. Editor začíná prázdný a uloží se do "
                           "stejného souboru.");
}

bool DictionaryEditorLogic::SaveIfModified(const char* whenUnsaved) {
  if (saving_ || !controls_.Modified()) return true;
  saving_ = true;
  const std::u16string text = controls_.Text();
  std::string failure;
  bool saved = false;
  // Written as '?', such a character would be lost while the editor still shows it.
  if (const auto unstorable = FindUnstorable(text); !unstorable.empty()) {
    failure = " Tyto znaky nelze zapsat ve Windows-1250: " + DescribeUnstorable(unstorable) + ".";
  } else if (!FileName.empty()) {
    std::error_code error;
    saved = WriteFileAtomically(
        FileName, DictionaryFileBytes(SplitEditorText(cp1250::FromUtf16(text))), &error);
    if (!saved) failure = WriteFailure(error);
  }
  if (saved)
    controls_.SetModified(false);
  else
    controls_.TellUser("Slovník " + PathText(FileName) + " nelze uložit." + failure + whenUnsaved);
  saving_ = false;
  return saved;
}

bool DictionaryEditorLogic::CloseRequested() {
  const char* consequence =
      closeRefused_ ? " Změny zůstaly neuložené." : " Další zavření editoru změny zahodí.";
  if (!SaveIfModified(consequence) && !closeRefused_) {
    closeRefused_ = true;
    return false;
  }
  closeRefused_ = false;
  controls_.SetModified(false);  // the user was told: nothing more to save
  return true;
}

void DictionaryEditorLogic::FormClose() {
  SaveIfModified();
  formStorage_.Save();
  OnSay = nullptr;
  CallingMode = nullptr;
}

void DictionaryEditorLogic::FormDeactivate() {
  SaveIfModified();
}

void DictionaryEditorLogic::SlovnikChange() {
  SpeakCaretLine();
}

void DictionaryEditorLogic::ButtonRekniClick() {
  SpeakCaretLine();
}

void DictionaryEditorLogic::SpeakCaretLine() {
  if (!SpeakArmed) return;
  const std::u16string text = controls_.Text();
  // The caret in Windows-1250 characters (a character outside the code page is one '?').
  const size_t caretUtf16 = std::min(controls_.CaretPosition(), text.size());
  const size_t caret = cp1250::FromUtf16(std::u16string_view(text).substr(0, caretUtf16)).size();
  const std::string spoken = CaretLineSpokenText(cp1250::FromUtf16(text), caret);
  if (OnSay)
    OnSay(spoken);
  else if (CallingMode)
    CallingMode->Say(spoken);
  else
    controls_.EnableSpeakButton(false);
}

void DictionaryEditorLogic::ButtonSortClick(const Collation& collation) {
  controls_.ReplaceText(SortLines(controls_.Text(), collation));
}

void DictionaryEditorLogic::Timer1Timer() {
  SpeakArmed = true;
  Timer1.SetEnabled(false);
}

}  // namespace kv::dialogs
