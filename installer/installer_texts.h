// The installer's fixed names and texts. Written here in UTF-8; Cp() gives the system's
// Windows-1250 form.
#pragma once

#include <string>
#include <string_view>

#include "platform/cp1250.h"

namespace kv::installer {

inline std::string Cp(std::string_view utf8) {
  return cp1250::FromUtf8Lenient(utf8);
}

namespace names {
inline constexpr std::string_view kEngineListKey = "\\SOFTWARE\\Voice\\TextToSpeech\\Engine";
inline constexpr std::string_view kBackupSuffix = "-Backup";
inline constexpr std::string_view kEngineName = "KORVEN TTS Engine";
inline constexpr std::string_view kClsid = "{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}";
inline constexpr std::string_view kClassKey = "\\CLSID\\{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}";
inline constexpr std::string_view kSettingsKey = "\\SOFTWARE\\KORVEN\\TTS";
inline constexpr std::string_view kSpeakValue = "Mluvit";
inline constexpr std::string_view kTestMemoValue = "TEST_MEMO";
inline constexpr std::string_view kMenuExtKey = "\\Software\\Microsoft\\Internet Explorer\\MenuExt";
inline constexpr std::string_view kPrectiToName = "Přečti to!";  // UTF-8: use Cp()
}  // namespace names

namespace texts {
inline constexpr std::string_view kNoRuntime =
    "KORVEN TTS engin nelze momentálně nainstalovat.\r\r"
    "Pro správnou funkci KORVEN TTS je třeba nejprve\r"
    "nainstalovat Microsoft free SAPI 4.0 (volně ke stažení).\r\r";
inline constexpr std::string_view kInstallFailed = "Engin nelze nainstalovat";
inline constexpr std::string_view kUninstallRefused =
    "KORVEN TTS Engin nelze odinstalovat (asi je používán)";
inline constexpr std::string_view kPrectiToInstallFailed = "Přečti to! Nelze nainstalovat.";
inline constexpr std::string_view kPrectiToUninstallRefused =
    "Přečti to! nelze odinstalovat (asi je používán)";
inline constexpr std::string_view kGreeting =
    "\\ton=0\\Ahoj \\ton=1\\vši\\ton=0\\chni \\ton=0\\co má\\ton=1\\te \\ton=0\\u\\ton=1\\ši.";
inline constexpr std::string_view kInstalledVersion = "Nainstalována verze ";
inline constexpr std::string_view kNotInstalled = "Nenainstalováno";
inline constexpr std::string_view kInstalled = "Nainstalováno";
}  // namespace texts

}  // namespace kv::installer
