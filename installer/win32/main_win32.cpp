// KV_TTS_INSTALL.EXE: the installer of the KORVEN TTS engine on Windows. Opens its window, or
// works headless with the switches of headless.h, printing to the console it was started from.
// A console program, so that the switches print; started without them from a desktop, it lets
// go of the console window it was given.
#include <objbase.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "installer/engine_setup.h"
#include "installer/headless.h"
#include "installer/win32/main_window.h"
#include "installer/win32/pictures.h"
#include "installer/win32/screenshots_win32.h"
#include "platform/cp1250.h"
#include "platform/message_box.h"
#include "platform/win32/windows_api.h"
#include "synth/own_voice.h"
#include "synth/synthesis_settings.h"

namespace {

void LeaveOwnConsole() {
  DWORD processes[2];
  if (::GetConsoleProcessList(processes, 2) == 1) ::FreeConsole();
}

int RunWindow() {
  using namespace kv::installer;
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  TGdiPlus gdiPlus;
  const wchar_t* shots = ::_wgetenv(L"KV_TTS_INSTALL_SCREENSHOTS");
  int code = 0;
  {
    TInstallerWindow window;
    kv::platform::SetMessagePresenter([&window, shots](const std::string& text) {
      if (shots != nullptr) {  // pictures only: no box waits for a user
        std::cerr << kv::cp1250::ToUtf8(text) << "\n";
        return;
      }
      ::MessageBoxW(window.Handle(), kv::win32::WideFromCp1250(text).c_str(), L"KV_TTS_Install",
                    MB_OK);
    });
    if (!window.Create(::GetModuleHandleW(nullptr))) return 1;
    if (shots != nullptr) ScreenshotsWhenStarted(window, shots);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (window.Handle() != nullptr && ::IsDialogMessageW(window.Handle(), &message)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    code = int(message.wParam);
    kv::platform::SetMessagePresenter({});
  }
  kv::FinalizeOwnVoice();
  ::CoUninitialize();
  return code;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // The voice settings live under the runtime's engine list key: writing them into a prefix
  // without the runtime would make the runtime look present.
  if (kv::installer::RuntimePresent()) kv::WriteSettingsDefaults();
  std::vector<std::string> switches;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = kv::win32::Utf8(argv[i]);
    if (argument.starts_with("--")) switches.push_back(argument);
  }
  ::SetConsoleOutputCP(CP_UTF8);
  if (auto code = kv::installer::RunHeadless(switches, std::cout, std::cerr)) {
    std::cout.flush();
    return *code;
  }
  LeaveOwnConsole();
  return RunWindow();
}
