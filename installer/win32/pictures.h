// Pictures for the Windows window through GDI and GDI+: the program's picture resource, the
// wave display, and PNG files of a window's client area.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "installer/wave_outline.h"
#include "platform/win32/windows_api.h"

namespace kv::installer {

// Keeps GDI+ started while it lives.
class TGdiPlus {
 public:
  TGdiPlus();
  ~TGdiPlus();
  TGdiPlus(const TGdiPlus&) = delete;
  TGdiPlus& operator=(const TGdiPlus&) = delete;

 private:
  ULONG_PTR token_ = 0;
};

// The first frame of a picture resource of this module (GIF, PNG, ...); null when missing.
HBITMAP LoadResourcePicture(std::string_view type, std::string_view name);

// The settings forms' background, as wide as the window and as high as its client area: lines
// from cyan downwards, one shade darker each, as thick as the window's outer height asks.
HBITMAP GradientPicture(int width, int height, int outerHeight);

// A white picture with the grey middle line and the wave's black outline.
HBITMAP WavePicture(const std::vector<WavePoint>& outline, int width, int height);

// Writes the window's client area, as on the screen, to a PNG file.
bool SaveClientPng(HWND window, const std::filesystem::path& file);

}  // namespace kv::installer
