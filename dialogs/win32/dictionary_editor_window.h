// The dictionary editor as a Windows form over DictionaryEditorLogic; it sorts with Windows'
// own Czech collation.
#pragma once

#include <string>

#include "dialogs/logic/dictionary_editor_logic.h"
#include "dialogs/win32/form_window.h"

namespace kv::dialogs::win32 {

class TFormSlovnik final : public FormWindow, private DictionaryEditorControls {
  DictionaryEditorLogic logic_;

 public:
  TFormSlovnik();

  std::function<void(const std::string& text)>& OnSay = logic_.OnSay;
  dialogs::CallingMode*& CallingMode = logic_.CallingMode;

  HWND Slovnik = nullptr;
  HWND ButtonSort = nullptr;
  HWND ButtonRekni = nullptr;
  HWND Rikat = nullptr;
  HWND Button2 = nullptr;

 private:
  void BuildControls() override;
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
  void CloseRequested() override;
  bool PreviewKey(const MSG& msg) override;
  void Shown() override { logic_.FormShow(); }
  void Hidden() override { logic_.FormClose(); }

  std::u16string Text() const override;
  size_t CaretPosition() const override;
  void LoadText(const std::u16string& text) override;
  void ReplaceText(const std::u16string& text) override;
  bool Modified() const override;
  void SetModified(bool modified) override;
  bool RikatChecked() const override;
  void SetRikatChecked(bool checked) override;
  void EnableSpeakButton(bool enabled) override { ::EnableWindow(ButtonRekni, enabled); }
  void TellUser(const std::string& utf8) override { Tell(utf8); }
  void TellUserSoon(const std::string& utf8) override;

  std::string toldSoon_;
};

}  // namespace kv::dialogs::win32
