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

#include "dialogs/logic/dictionary_editor_logic.h"
#include "platform/message_loop.h"

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace kv::dialogs {

class CallingMode;

// The Qt face of the editor: its controls, over DictionaryEditorLogic.
class TFormSlovnik : public QDialog, private DictionaryEditorControls {
  Q_OBJECT

  DictionaryEditorLogic logic_;

 public:
  static constexpr int Tag = 999;

  explicit TFormSlovnik(QWidget* owner = nullptr);
  ~TFormSlovnik() override;

  std::filesystem::path& FileName = logic_.FileName;
  bool& SpeakArmed = logic_.SpeakArmed;
  // Receives the spoken form of the caret's line (Windows-1250).
  std::function<void(const std::string& text)>& OnSay = logic_.OnSay;
  dialogs::CallingMode*& CallingMode = logic_.CallingMode;

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
  platform::WindowTimer& Timer1 = logic_.Timer1;

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

  // What the logic asks of the controls.
  std::u16string Text() const override;
  size_t CaretPosition() const override;
  void LoadText(const std::u16string& text) override;
  void ReplaceText(const std::u16string& text) override;
  bool Modified() const override;
  void SetModified(bool modified) override;
  bool RikatChecked() const override;
  void SetRikatChecked(bool checked) override;
  void EnableSpeakButton(bool enabled) override;
  void TellUser(const std::string& utf8) override;
  void TellUserSoon(const std::string& utf8) override;
};

}  // namespace kv::dialogs
