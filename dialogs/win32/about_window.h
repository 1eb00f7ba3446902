// The about form as a Windows form: "KORVEN" above "TTS", embossed on the gradient, and Ok.
#pragma once

#include "dialogs/win32/form_window.h"

namespace kv::dialogs::win32 {

class TFormAbout final : public FormWindow {
 public:
  TFormAbout() : FormWindow(kAboutFrame) {}
  ~TFormAbout() override;

  HWND ButtonOk = nullptr;

 private:
  void BuildControls() override;
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PaintWords(HDC dc);

  HFONT wordFont_ = nullptr;
};

}  // namespace kv::dialogs::win32
