#include "dialogs/win32/about_window.h"

#include "dialogs/win32/control_ids.h"

namespace kv::dialogs::win32 {

TFormAbout::~TFormAbout() {
  if (wordFont_ != nullptr) ::DeleteObject(wordFont_);
}

void TFormAbout::BuildControls() {
  wordFont_ = ::CreateFontW(-kAboutWordPixelSize, 0, 0, 0, FW_BLACK, FALSE, FALSE, FALSE,
                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial Black");
  // The words as a screen reader finds them: one label, drawn over by the embossed layers.
  HWND title = Label(Window(), "KORVEN TTS", {0, 0, 0, 0});
  ::ShowWindow(title, SW_HIDE);
  ButtonOk = Button(Window(), kIdOk, "Ok", {112, 72, 112 + 75, 72 + 25}, BS_DEFPUSHBUTTON);
}

// Three layers one pixel apart: grey at the bottom right, white at the top left, the silver
// face on top.
void TFormAbout::PaintWords(HDC dc) {
  HGDIOBJ old = ::SelectObject(dc, wordFont_);
  ::SetBkMode(dc, TRANSPARENT);
  for (int word = 0; word < 2; ++word) {
    const std::wstring text = W(kAboutWords[word]);
    for (const EmbossLayer& layer : kEmbossLayers) {
      ::SetTextColor(dc, RGB(layer.rgb >> 16, (layer.rgb >> 8) & 0xFF, layer.rgb & 0xFF));
      ::TextOutW(dc, kAboutWordLeft + layer.offset, kAboutWordTops[word] + layer.offset,
                 text.c_str(), int(text.size()));
    }
  }
  ::SelectObject(dc, old);
}

LRESULT TFormAbout::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(Window(), &paint);
      PaintWords(dc);
      ::EndPaint(Window(), &paint);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == kIdOk) {
        Finish();
        return 0;
      }
      break;
    default:
      break;
  }
  return FormWindow::Handle(message, wParam, lParam);
}

}  // namespace kv::dialogs::win32
