// Pictures of the installer's window, one per page, for the documentation.
#pragma once

#include <filesystem>

namespace kv::installer {

class TForm_tts_Install;

// Once start-up is done, writes <dir>/installer-<n>-<page>.png for every page and closes the
// form.
void ScreenshotsWhenStarted(TForm_tts_Install& form, const std::filesystem::path& dir);

}  // namespace kv::installer
