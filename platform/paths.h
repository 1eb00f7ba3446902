// The prefix: one folder that plays the role of the machine. KVTTS_PREFIX names it (default
// $XDG_DATA_HOME/kvtts, that is ~/.local/share/kvtts); it holds the registry database and the
// Windows folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace kv::platform {

// The prefix folder, created on first use. Throws PrefixError (prefix_location.h) when the
// user has no folder for it.
std::filesystem::path PrefixDir();
// <prefix>/windows, created on first use.
std::filesystem::path WindowsDir();
// Where fixed "C:\" paths of the system live: the temporary folder.
std::filesystem::path TempDir();

// A file's age: its modification stamp in nanoseconds, or -1 when the file does not exist.
int64_t FileAge(const std::filesystem::path& path);

// Replaces the extension of a file name (".so" -> ".dct").
std::filesystem::path ChangeFileExt(const std::filesystem::path& path, const std::string& ext);

}  // namespace kv::platform
