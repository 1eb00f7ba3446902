#include "installer/headless.h"

#include <ostream>

#include "installer/engine_setup.h"
#include "installer/installer_texts.h"
#include "installer/status.h"

namespace kv::installer {

namespace {

constexpr const char* kUsage =
    "usage: kv_tts_install [--runtime | --install | --uninstall | --status]\n"
    "Without arguments the installer opens its window.\n";

// Terminal text: UTF-8 with the form's CR line breaks as new lines.
std::string Terminal(const std::string& cp1250) {
  std::string text = cp1250::ToUtf8(cp1250);
  for (char& c : text)
    if (c == '\r') c = '\n';
  return text;
}

void PrintStatus(std::ostream& out) {
  const InstallerStatus status = ReadStatus(RuntimePresent());
  if (!status.runtimePresent) out << Terminal(Cp(texts::kNoRuntime));
  out << "KORVEN TTS: " << Terminal(status.statusTts) << "\n"
      << Terminal(Cp("Přečti to!: ")) << Terminal(status.statusRekniTo) << "\n";
  if (status.runtimePresent) out << Terminal(status.version.message.text) << "\n";
}

int Fail(std::string_view message, std::ostream& err) {
  err << Terminal(Cp(message)) << "\n";
  return 1;
}

int RunAction(const std::string& action, std::ostream& out, std::ostream& err) {
  if (action == "--runtime") {
    InstallRuntime();
  } else if (action == "--install") {
    if (!RuntimePresent()) return Fail(texts::kNoRuntime, err);
    if (!InstallEngine(EnginePath())) return Fail(texts::kInstallFailed, err);
  } else if (action == "--uninstall") {
    if (!UninstallEngine()) return Fail(texts::kUninstallRefused, err);
  }
  PrintStatus(out);
  return 0;
}

}  // namespace

std::optional<int> RunHeadless(const std::vector<std::string>& args, std::ostream& out,
                               std::ostream& err) {
  if (args.empty()) return std::nullopt;
  static const char* const kActions[] = {"--runtime", "--install", "--uninstall", "--status"};
  if (args.size() == 1) {
    if (args[0] == "--help" || args[0] == "-h") {
      out << kUsage;
      return 0;
    }
    for (const char* action : kActions)
      if (args[0] == action) return RunAction(args[0], out, err);
  }
  err << kUsage;
  return 2;
}

}  // namespace kv::installer
