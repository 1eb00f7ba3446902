#include "installer/status.h"

#include <system_error>

#include "installer/engine_setup.h"
#include "installer/file_version.h"
#include "installer/installer_texts.h"
#include "installer/payload.h"
#include "installer/precti_to.h"

namespace kv::installer {
namespace fs = std::filesystem;

namespace {

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

}  // namespace

VersionMessage CompareVersions(const std::string& packaged, const std::string& installed) {
  if (installed.empty())
    return {
        Cp("KORVEN TTS engin není nainstalován. \r\rVerze v instalátoru je ") + Quoted(packaged),
        false};
  if (packaged <= installed)
    return {Cp("Nainstalovaná verze TTS je ") + Quoted(installed) +
                Cp(" a verze v instalátoru je ") + Quoted(packaged) +
                Cp("\r\rKORVEN TTS engin je nainstalován."),
            false};
  return {Cp("Nainstalovaná verze KORVEN TTS enginu je ") + Quoted(installed) +
              Cp(" a verze v instalátoru je ") + Quoted(packaged) +
              Cp("\r\rDoporučejeme odinstalovat a nainstalovat novou verzi."),
          true};
}

const std::string& PackagedVersion() {
  static const std::string version = [] {
    const fs::path scratch = ScratchDir() / "LZE_ZRUSIT.DLL";
    std::error_code ec;
    fs::remove(scratch, ec);  // a stale copy would report an old version
    std::string result;
    if (ExtractResourceToFile("KVTTSE", "RCDATA", scratch)) result = ReadFileVersion(scratch);
    fs::remove(scratch, ec);
    return result;
  }();
  return version;
}

VersionCheck CheckVersions() {
  VersionCheck check;
  if (!EngineClassRegistered()) {
    check.libraryHint = "??";
    check.message = CompareVersions(PackagedVersion(), "");
    return check;
  }
  check.libraryHint = RegisteredLibraryPath();
  check.installedVersion = ReadFileVersion(cp1250::ToUtf8(check.libraryHint));
  check.message = CompareVersions(PackagedVersion(), check.installedVersion);
  return check;
}

InstallerStatus ReadStatus(bool runtimePresent) {
  InstallerStatus status;
  status.runtimePresent = runtimePresent;
  if (status.runtimePresent) {
    status.engineInstalled = EngineListed();
    status.prectiToInstalled = PrectiToInstalled();
    status.version = CheckVersions();
  }
  status.statusTts = status.engineInstalled
                         ? Cp(texts::kInstalledVersion) + status.version.installedVersion
                         : Cp(texts::kNotInstalled);
  status.statusRekniTo = Cp(status.prectiToInstalled ? texts::kInstalled : texts::kNotInstalled);
  return status;
}

}  // namespace kv::installer
