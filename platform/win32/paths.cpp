// Folders and file times over Windows' own calls.
#include "platform/paths.h"

#include <cstdlib>

#include "platform/beside_module.h"
#include "platform/prefix_location.h"
#include "platform/win32/windows_api.h"

namespace kv::platform {
namespace fs = std::filesystem;

namespace {

fs::path Ensure(const fs::path& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);  // an unusable folder shows up at the first real use
  return dir;
}

fs::path Environment(const wchar_t* name) {
  const wchar_t* value = ::_wgetenv(name);
  return value != nullptr ? fs::path(value) : fs::path();
}

}  // namespace

// KVTTS_PREFIX, else the user's local application data: what the programs keep of their own
// (the registry is the system's here).
fs::path PrefixDir() {
  fs::path prefix = Environment(L"KVTTS_PREFIX");
  if (prefix.empty()) {
    const fs::path local = Environment(L"LOCALAPPDATA");
    if (local.empty()) throw PrefixError("no folder for the program's data (LOCALAPPDATA)");
    prefix = local / "kvtts";
  }
  return Ensure(prefix);
}

fs::path WindowsDir() {
  wchar_t dir[MAX_PATH + 1];
  const UINT n = ::GetWindowsDirectoryW(dir, MAX_PATH + 1);
  return n > 0 && n <= MAX_PATH ? fs::path(std::wstring(dir, n)) : fs::path("C:\\WINDOWS");
}

fs::path TempDir() {
  std::error_code ec;
  fs::path dir = fs::temp_directory_path(ec);
  return ec ? WindowsDir() / "Temp" : dir;
}

int64_t FileAge(const fs::path& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  const uint64_t ticks =
      uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
  return int64_t(ticks) * 100;  // 100 ns steps
}

fs::path ChangeFileExt(const fs::path& path, const std::string& ext) {
  fs::path out = path;
  out.replace_extension(ext);
  return out;
}

fs::path InstalledLibraryDir() {
  return {};  // the engine lies where it was registered from
}

// A module's own files lie beside it; where its folder is protected, Windows itself redirects
// the writes to the user's store.
fs::path FileBesideModule(const fs::path& module, const std::string& ext) {
  return ChangeFileExt(module, ext);
}

}  // namespace kv::platform
