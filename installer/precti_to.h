// The "Přečti to!" entry of the browser's context menu: three files beside the installed
// library and one HKEY_CURRENT_USER key naming the first of them.
#pragma once

#include <filesystem>

namespace kv::installer {

// Whether the menu key exists.
bool PrectiToInstalled();

// Writes Precti_to.htm, Precti_to.vbs and Precti_to_2.htm into folder (existing files are
// kept), stopping at the first failure; then the key. False when a file could not be written
// (the registry is unchanged).
bool InstallPrectiTo(const std::filesystem::path& folder);

// Deletes the .htm file the key names, then the .vbs and _2.htm beside it (their failures
// ignored), then the key. False, with nothing removed, when the key is missing or the .htm
// file cannot be deleted.
bool UninstallPrectiTo();

}  // namespace kv::installer
