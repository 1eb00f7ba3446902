// Files that a module keeps beside itself (its pronunciation dictionary). A folder the user
// cannot write, or one that belongs to an installation (the package's bin/ and library
// folders: written by the package manager, not by whoever runs the program, root included),
// gets a per-user copy at a mirrored path in the prefix instead, as Windows keeps files that
// programs write beside themselves in a protected folder.
#pragma once

#include <filesystem>
#include <string>

namespace kv::platform {

// The private library folder of an installation, relative to its root ("lib/<triplet>/kvtts"):
// the engine library and its dialogs module lie there.
std::filesystem::path InstalledLibraryDir();

// Where the file named like `module` with extension `ext` (".dct") is read and written: beside
// the module when its folder is the user's to write; otherwise
// <prefix>/virtual-store/<module folder>/<name>, created on first use from the file beside the
// module when there is one. Both the engine and the editor take this one path.
std::filesystem::path FileBesideModule(const std::filesystem::path& module, const std::string& ext);

}  // namespace kv::platform
