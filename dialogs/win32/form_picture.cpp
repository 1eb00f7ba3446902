// A form's picture: its client area as shown, copied from the window and written as PNG
// with GDI+.
// GDI+ needs the system's headers before it, the whole set rather than the lean one.
// clang-format off
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
// clang-format on

#include "dialogs/win32/form_window.h"
#include "platform/win32/windows_api.h"

namespace kv::dialogs::win32 {

namespace {

// The PNG encoder GDI+ brings.
const CLSID kPngEncoder = {
    0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

// Lets the form and its controls paint (the window system may draw a newly shown window
// only after some messages went round).
void LetPaint(HWND window) {
  const DWORD until = ::GetTickCount() + 300;
  MSG msg;
  while (::GetTickCount() < until) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::Sleep(20);
  }
}

bool SavePng(HBITMAP bitmap, const std::wstring& file) {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
  bool saved = false;
  Gdiplus::GpBitmap* image = nullptr;
  if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) == Gdiplus::Ok) {
    saved = Gdiplus::DllExports::GdipSaveImageToFile(image, file.c_str(), &kPngEncoder, nullptr) ==
            Gdiplus::Ok;
    Gdiplus::DllExports::GdipDisposeImage(image);
  }
  Gdiplus::GdiplusShutdown(token);
  return saved;
}

}  // namespace

bool FormWindow::WritePicture(const std::wstring& file) {
  Shown();
  ::ShowWindow(window_, SW_SHOW);
  ::SetForegroundWindow(window_);
  LetPaint(window_);
  RECT client;
  ::GetClientRect(window_, &client);
  HDC source = ::GetDC(window_);
  HDC copy = ::CreateCompatibleDC(source);
  HBITMAP bitmap = ::CreateCompatibleBitmap(source, client.right, client.bottom);
  HGDIOBJ old = ::SelectObject(copy, bitmap);
  const bool copied =
      ::BitBlt(copy, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY) != FALSE;
  ::SelectObject(copy, old);
  ::DeleteDC(copy);
  ::ReleaseDC(window_, source);
  const bool saved = copied && SavePng(bitmap, file);
  ::DeleteObject(bitmap);
  running_ = true;
  Finish();
  return saved;
}

}  // namespace kv::dialogs::win32
