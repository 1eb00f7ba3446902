#include "installer/win32/screenshots_win32.h"

#include <cstdio>

#include "installer/win32/main_window.h"
#include "installer/win32/pictures.h"

namespace kv::installer {

namespace {

TInstallerWindow* g_window = nullptr;
std::filesystem::path g_dir;

void CALLBACK TakePictures(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  static const char* const kPages[] = {"instalator", "deaktivator", "test", "info"};
  std::filesystem::create_directories(g_dir);
  const HWND window = g_window->Handle();
  ::SetForegroundWindow(window);
  for (int i = 0; i < g_window->PageCount(); ++i) {
    g_window->SelectPage(i);
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ::Sleep(300);  // the display server catches up with the painting
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    char name[64];
    std::snprintf(name, sizeof name, "installer-%d-%s.png", i + 1, kPages[i]);
    SaveClientPng(window, g_dir / name);
  }
  ::PostMessageW(window, WM_CLOSE, 0, 0);
}

}  // namespace

void ScreenshotsWhenStarted(TInstallerWindow& window, const std::filesystem::path& dir) {
  g_window = &window;
  g_dir = dir;
  // Both start-up ticks are over after 100 + 1800 ms.
  ::SetTimer(nullptr, 0, 2400, TakePictures);
}

}  // namespace kv::installer
