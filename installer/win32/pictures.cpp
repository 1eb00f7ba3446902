// GDI+ and the shell's memory streams want the Windows headers as they are: before ours.
// clang-format off
#include <windows.h>
#include <objidl.h>
#include <shlwapi.h>
#include <algorithm>
#include <gdiplus.h>
// clang-format on

#include "installer/win32/pictures.h"

#include "platform/module.h"

namespace kv::installer {

namespace {

// The PNG encoder among GDI+'s image encoders.
bool PngEncoder(CLSID& clsid) {
  UINT count = 0, size = 0;
  Gdiplus::GetImageEncodersSize(&count, &size);
  if (size == 0) return false;
  std::vector<unsigned char> buffer(size);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  Gdiplus::GetImageEncoders(count, size, encoders);
  for (UINT i = 0; i < count; ++i)
    if (std::wstring_view(encoders[i].MimeType) == L"image/png") {
      clsid = encoders[i].Clsid;
      return true;
    }
  return false;
}

}  // namespace

TGdiPlus::TGdiPlus() {
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&token_, &input, nullptr);
}

TGdiPlus::~TGdiPlus() {
  if (token_ != 0) Gdiplus::GdiplusShutdown(token_);
}

HBITMAP LoadResourcePicture(std::string_view type, std::string_view name) {
  const auto data = platform::ThisModule().FindResource(type, name);
  if (!data) return nullptr;
  IStream* stream = ::SHCreateMemStream(data->data(), UINT(data->size()));
  if (stream == nullptr) return nullptr;
  HBITMAP bitmap = nullptr;
  {
    Gdiplus::Bitmap picture(stream);
    if (picture.GetLastStatus() == Gdiplus::Ok)
      picture.GetHBITMAP(Gdiplus::Color(255, 255, 255, 255), &bitmap);
  }
  stream->Release();
  return bitmap;
}

HBITMAP GradientPicture(int width, int height, int outerHeight) {
  const int pen = outerHeight <= 240 ? 1 : outerHeight <= 450 ? 2 : outerHeight <= 650 ? 3 : 4;
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
  ::ReleaseDC(nullptr, screen);
  const HGDIOBJ old = ::SelectObject(dc, bitmap);
  for (int i = 0; i <= outerHeight / pen; ++i) {
    // A line of the pen's width centred on its row; past 239 lines the shades stay darkest.
    RECT band{0, i * pen - pen / 2, width, i * pen - pen / 2 + pen};
    HBRUSH brush = ::CreateSolidBrush(RGB(0, std::max(0, 255 - i), std::max(0, 239 - i)));
    ::FillRect(dc, &band, brush);
    ::DeleteObject(brush);
  }
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  return bitmap;
}

HBITMAP WavePicture(const std::vector<WavePoint>& outline, int width, int height) {
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
  ::ReleaseDC(nullptr, screen);
  const HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
  RECT all{0, 0, width, height};
  ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  HPEN grey = ::CreatePen(PS_SOLID, 1, RGB(0x80, 0x80, 0x80));
  const HGDIOBJ oldPen = ::SelectObject(dc, grey);
  const int middle = (height + 1) / 2;
  ::MoveToEx(dc, 0, middle, nullptr);
  ::LineTo(dc, width, middle);
  ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
  for (size_t i = 0; i < outline.size(); ++i) {
    if (i == 0)
      ::MoveToEx(dc, outline[i].x, outline[i].y, nullptr);
    else
      ::LineTo(dc, outline[i].x, outline[i].y);
  }
  ::SelectObject(dc, oldPen);
  ::DeleteObject(grey);
  ::SelectObject(dc, oldBitmap);
  ::DeleteDC(dc);
  return bitmap;
}

bool SaveClientPng(HWND window, const std::filesystem::path& file) {
  RECT client;
  ::GetClientRect(window, &client);
  POINT origin{0, 0};
  ::ClientToScreen(window, &origin);
  const int w = client.right, h = client.bottom;
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
  const HGDIOBJ old = ::SelectObject(dc, bitmap);
  ::BitBlt(dc, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  CLSID png;
  bool saved = false;
  if (PngEncoder(png)) {
    Gdiplus::Bitmap picture(bitmap, nullptr);
    saved = picture.Save(file.c_str(), &png, nullptr) == Gdiplus::Ok;
  }
  ::DeleteObject(bitmap);
  return saved;
}

}  // namespace kv::installer
