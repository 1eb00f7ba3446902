// What the three Win32 forms share: a fixed dialog-border window of a given client size with
// the gradient behind its controls, controls placed at fixed positions in the forms' font,
// and the modal loop that runs a form on the calling thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dialogs/logic/form_texts.h"
#include "platform/win32/windows_api.h"

namespace kv::dialogs {
class SettingsStore;
}

namespace kv::dialogs::win32 {

// UTF-8 (the forms' texts) to UTF-16 and the system's UTF-16 strings to char16_t strings.
std::wstring W(std::string_view utf8);
std::u16string U16(std::wstring_view text);
std::wstring W(std::u16string_view text);

// A form: a window of its own class whose messages go to the form object's Handle.
class FormWindow {
 public:
  virtual ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  // Builds the window (hidden) with its controls, owned by owner (may be null).
  bool Create(HWND owner);
  HWND Window() const { return window_; }
  // Shows the form and dispatches the thread's messages until it closes (or WM_QUIT comes,
  // which is posted again for the host's loop). The owner is disabled meanwhile. The closed
  // form stays on screen until its window is destroyed.
  void RunModal(HWND owner);
  // Writes the shown client area to a PNG file; false when it could not.
  bool WritePicture(const std::wstring& file);
  // Ends the modal loop (the form's storages are saved).
  void Finish();

 protected:
  explicit FormWindow(const FormFrame& frame) : frame_(frame) {}
  virtual void BuildControls() = 0;
  // The form's messages; unhandled ones go to DefWindowProc.
  virtual LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  // Asked by the close button, Escape and the window's close box.
  virtual void CloseRequested() { Finish(); }
  // A key pressed anywhere in the form before the dialog navigation sees it; true: eaten.
  virtual bool PreviewKey(const MSG&) { return false; }
  virtual void Shown() {}
  virtual void Hidden() {}

  // Controls. Positions are client pixels of the form (or of the page they are put on).
  HWND Label(HWND parent, std::string_view text, RECT where, DWORD style = 0);
  HWND Button(HWND parent, int id, std::string_view text, RECT where, DWORD style = 0);
  HWND CheckBox(HWND parent, int id, std::string_view text, RECT where);
  HWND Control(HWND parent, const wchar_t* type, int id, std::wstring_view text, RECT where,
               DWORD style, DWORD exStyle = 0);
  // A window over the form's area that holds one tab page's controls and passes their
  // notifications on to the form.
  HWND Page(RECT where);
  void AddHint(HWND control, std::string_view text);
  // Redraws a label whose text changed over the gradient.
  void SetLabelText(HWND label, std::string_view text);
  HFONT Font() const { return font_; }
  // The order Tab walks (Shift+Tab backwards), skipping hidden and disabled controls: the
  // windows' own order cannot be it where controls lie over others (the pages over the tab
  // control, the sort button over the memo).
  void SetTabOrder(std::vector<HWND> order) { tabOrder_ = std::move(order); }
  // The window's position (of its client area, as on Linux), as "<name>_Left" and
  // "<name>_Top"; a stored position off every screen is not taken.
  void AddPlacement(SettingsStore& store, const std::string& name);
  // A message box over the form; the text is UTF-8.
  void Tell(const std::string& utf8);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ColourStatic(HDC dc, HWND control);
  bool MoveFocus(const MSG& msg);

  const FormFrame& frame_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  HWND tooltip_ = nullptr;
  std::vector<HWND> tabOrder_;
  bool running_ = false;
};

// The background every form paints: a vertical gradient from cyan at the top, one line per
// row, darkening downwards. Nothing on a palette display.
void PaintGradient(HWND form, HDC dc);

}  // namespace kv::dialogs::win32
