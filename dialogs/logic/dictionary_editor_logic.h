// What the dictionary editor does, whatever draws it: which file it edits, loading it
// lower-cased, saving it atomically when modified (never losing a character the code page
// cannot hold, never closing silently over an unsaved edit), sorting, and the spoken form of
// the caret's line.
//
// The face reaches this logic from its events; the logic reaches the controls only through
// DictionaryEditorControls. The memo's text is UTF-16 with lines ending in LF.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

#include "dialogs/logic/settings_store.h"
#include "platform/message_loop.h"

namespace kv::dialogs {

class CallingMode;
class Collation;

// The file that the next showing of the editor edits; empty: the engine's dictionary (from
// CallingMode) or the dictionary beside the program.
extern std::filesystem::path DictionaryFileName;

class DictionaryEditorControls {
 public:
  virtual ~DictionaryEditorControls() = default;
  virtual std::u16string Text() const = 0;
  // The caret as an index into Text().
  virtual size_t CaretPosition() const = 0;
  // Puts a loaded text into the memo, unmodified.
  virtual void LoadText(const std::u16string& text) = 0;
  // Replaces the memo's text as an edit would: it can be undone and counts as a change.
  virtual void ReplaceText(const std::u16string& text) = 0;
  virtual bool Modified() const = 0;
  virtual void SetModified(bool modified) = 0;
  virtual bool RikatChecked() const = 0;
  virtual void SetRikatChecked(bool checked) = 0;
  virtual void EnableSpeakButton(bool enabled) = 0;
  virtual void TellUser(const std::string& utf8) = 0;
  // Tells the user once the editor is up, so the message appears over it.
  virtual void TellUserSoon(const std::string& utf8) = 0;
};

class DictionaryEditorLogic {
 public:
  static constexpr const char* kPerUserKey = "SOFTWARE\\KORVEN\\TTS\\Dictionary";
  static constexpr uint32_t kArmDelayMs = 100;

  // ownModule: the program or library the face is linked into; its ".dct" is the default.
  DictionaryEditorLogic(DictionaryEditorControls& controls, std::filesystem::path ownModule);

  std::filesystem::path FileName;
  bool SpeakArmed = false;
  // Receives the spoken form of the caret's line (Windows-1250).
  std::function<void(const std::string& text)> OnSay;
  dialogs::CallingMode* CallingMode = nullptr;
  platform::WindowTimer Timer1;

  // The events of the form, named after control and event.
  void FormShow();
  void FormClose();
  void FormDeactivate();
  void SlovnikChange();
  void ButtonRekniClick();
  void ButtonSortClick(const Collation& collation);
  void Timer1Timer();
  // Whether a close may go on. A close that could not save is refused once (the text can
  // still be copied); the next one closes and drops the edit. The user is told either way.
  bool CloseRequested();

  SettingsStore& FormStorage() { return formStorage_; }

 private:
  std::filesystem::path ChooseFile() const;
  void LoadFile();
  // Writes the text when it was modified; tells the user when the file cannot be written.
  // False when modified text is left unsaved.
  bool SaveIfModified(const char* whenUnsaved = "");
  void SpeakCaretLine();

  DictionaryEditorControls& controls_;
  std::filesystem::path ownModule_;
  SettingsStore formStorage_;
  bool saving_ = false;
  bool closeRefused_ = false;
};

}  // namespace kv::dialogs
