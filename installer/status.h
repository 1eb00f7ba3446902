// What the installer's first page reports: the version message and the two status lines.
#pragma once

#include <string>

namespace kv::installer {

struct VersionMessage {
  std::string text;         // Windows-1250, for LabelInfo
  bool recommendReinstall;  // the carried library is newer: also shown as a message box
};

// Versions compare as plain strings, byte by byte (so "1.1.1.9" is newer than "1.1.1.10").
VersionMessage CompareVersions(const std::string& packaged, const std::string& installed);

// The version of the library the installer carries (read once from a scratch copy).
const std::string& PackagedVersion();

struct VersionCheck {
  std::string libraryHint;       // registered library path, "??" when the class is missing
  std::string installedVersion;  // empty when the class or its library's record is missing
  VersionMessage message;
};
VersionCheck CheckVersions();

struct InstallerStatus {
  bool runtimePresent = false;
  bool engineInstalled = false;  // the engine list names this engine
  bool prectiToInstalled = false;
  VersionCheck version;
  std::string statusTts;      // Windows-1250
  std::string statusRekniTo;  // Windows-1250
};
// runtimePresent: whether the runtime was there when the program started (see engine_setup.h).
InstallerStatus ReadStatus(bool runtimePresent);

}  // namespace kv::installer
