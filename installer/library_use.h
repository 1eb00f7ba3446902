// Whether a library file is loaded by a running process. A loaded library can be unlinked on
// Linux without error, so the installer asks the processes instead: every /proc/<pid>/maps
// is read, and a mapping of the same file (device and inode) counts as use. Processes of other
// users whose maps cannot be read are not seen.
//
// The installer's own process does not count: it maps the library once its character has
// spoken, and the engine's objects are never freed, so it cannot let go of it. Removing the file
// is safe for it all the same: a mapping outlives the unlinked file.
#pragma once

#include <filesystem>

namespace kv::installer {

bool LibraryInUse(const std::filesystem::path& library);

}  // namespace kv::installer
