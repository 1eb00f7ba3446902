// kv_tts_install: the installer of the KORVEN TTS engine. Opens its window, or works headless
// with one of the switches of headless.h.
#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "dialogs/gui_application.h"
#include "installer/engine_setup.h"
#include "installer/headless.h"
#include "installer/qt/main_form.h"
#include "installer/qt/screenshots.h"
#include "synth/own_voice.h"
#include "synth/synthesis_settings.h"

int main(int argc, char** argv) {
  // The voice settings live under the runtime's engine list key: writing them into a prefix
  // without the runtime would make the runtime look present.
  if (kv::installer::RuntimePresent()) kv::WriteSettingsDefaults();
  std::vector<std::string> switches;
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]).starts_with("--")) switches.emplace_back(argv[i]);
  if (auto code = kv::installer::RunHeadless(switches, std::cout, std::cerr)) return *code;

  QApplication app(argc, argv);
  QApplication::setApplicationName(
      QString::fromUtf8("KORVEN Text-To-Speech Instalátor (de)activátor"));
  kv::dialogs::InstallGuiServices();
  int code = 0;
  {
    kv::installer::TForm_tts_Install form;
    form.show();
    // KV_TTS_INSTALL_SCREENSHOTS=DIR: pictures of every page, then the program ends.
    if (const char* dir = std::getenv("KV_TTS_INSTALL_SCREENSHOTS"))
      kv::installer::ScreenshotsWhenStarted(form, dir);
    code = app.exec();
  }
  kv::FinalizeOwnVoice();
  return code;
}
