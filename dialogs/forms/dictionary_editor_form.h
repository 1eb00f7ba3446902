// The dictionary editor: the user's pronunciation dictionary, one "výraz=vyslov" entry per
// line, in a small text editor that speaks the spoken form of the caret's line as it is typed.
//
// The engine creates it per request with its instance in CallingMode and shows it modally.
// The installer creates it once with an owner, sets DictionaryFileName and OnSay before each
// show and shows it modelessly; closing hides it.
#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>
#include <string>

#include "dialogs/forms/settings_storage.h"
#include "platform/message_loop.h"

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace kv::dialogs {

class CallingMode;

// The file that the next showing of the editor edits; empty: the engine's dictionary (from
// CallingMode) or the dictionary beside the program.
extern std::filesystem::path DictionaryFileName;

class TFormSlovnik : public QDialog {
  Q_OBJECT

 public:
  static constexpr int Tag = 999;

  explicit TFormSlovnik(QWidget* owner = nullptr);
  ~TFormSlovnik() override;

  std::filesystem::path FileName;
  bool SpeakArmed = false;
  // Receives the spoken form of the caret's line (Windows-1250).
  std::function<void(const std::string& text)> OnSay;
  dialogs::CallingMode* CallingMode = nullptr;

  // Handlers, named after control and event.
  void FormShow();
  void Button2Click();
  void FormClose();
  void FormDeactivate();
  void SlovnikChange();
  void ButtonRekniClick();
  void ButtonSortClick();
  void Timer1Timer();

  QPlainTextEdit* Slovnik;
  QPushButton* Button2;
  QPushButton* ButtonRekni;
  QPushButton* ButtonSort;
  QCheckBox* Rikat;
  TSettingsStorage FormStorage;
  platform::WindowTimer Timer1;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool event(QEvent* event) override;
  // Every way of closing (button, window's close, Escape) comes here.
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  std::filesystem::path ChooseFile() const;
  void LoadFile();
  // Writes the text when it was modified; tells the user when the file cannot be written.
  // False when modified text is left unsaved.
  bool SaveIfModified(const char* whenUnsaved = "");
  void SpeakCaretLine();

  bool saving_ = false;
  // A close that could not save was refused once; the next one closes.
  bool closeRefused_ = false;
};

}  // namespace kv::dialogs
