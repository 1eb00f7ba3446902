// Whether a library file is loaded by a running process. A loaded library can be unlinked on
// Linux without error, so the installer asks the processes instead: every /proc/<pid>/maps
// is read, and a mapping of the same file (device and inode) counts as use. Processes of other
// users whose maps cannot be read are not seen.
#pragma once

#include <filesystem>

namespace kv::installer {

bool LibraryInUse(const std::filesystem::path& library);

}  // namespace kv::installer
