// Version records read as Windows reads them: the VERSIONINFO resource's
// "StringFileInfo\040504E2\FileVersion".
#include <vector>

#include "installer/file_version.h"
#include "platform/win32/windows_api.h"

namespace kv::installer {

std::string ReadFileVersion(const std::filesystem::path& path) {
  const std::wstring name = path.wstring();
  DWORD handle = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(name.c_str(), &handle);
  if (size == 0) return {};
  std::vector<char> info(size);
  if (!::GetFileVersionInfoW(name.c_str(), 0, size, info.data())) return {};
  wchar_t* version = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(info.data(), L"\\StringFileInfo\\040504E2\\FileVersion",
                        reinterpret_cast<void**>(&version), &length) ||
      version == nullptr || length == 0)
    return {};
  return win32::Cp1250FromWide(std::wstring(version, wcsnlen(version, length)));
}

}  // namespace kv::installer
