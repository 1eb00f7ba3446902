// Pictures of the installer's window, one per page, for the documentation.
#pragma once

#include <filesystem>

namespace kv::installer {

class TInstallerWindow;

// Once start-up is done, writes <dir>/installer-<n>-<page>.png for every page and closes the
// window.
void ScreenshotsWhenStarted(TInstallerWindow& window, const std::filesystem::path& dir);

}  // namespace kv::installer
