// The dictionary's atomic save over the Windows file calls: a temporary beside the file,
// flushed, then moved over it in one step.
#include <string>

#include "dialogs/logic/dictionary_text.h"
#include "platform/win32/windows_api.h"

namespace kv::dialogs {

namespace {

std::error_code Failure(DWORD error) {
  switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return std::make_error_code(std::errc::permission_denied);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
      return std::make_error_code(std::errc::no_such_file_or_directory);
    default:
      return std::make_error_code(std::errc::io_error);
  }
}

// A temporary of our own beside target: its name, ".new-" and a number not yet there.
HANDLE CreateTemporary(const std::wstring& target, std::wstring& name) {
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    name = target + L".new-" + std::to_wstring((::GetCurrentProcessId() + attempt) % 1000000);
    HANDLE file = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

std::error_code ReplaceFile(const std::filesystem::path& path, std::string_view bytes) {
  const std::wstring target = path.wstring();
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    return std::make_error_code(std::errc::permission_denied);
  std::wstring temp;
  HANDLE file = CreateTemporary(target, temp);
  if (file == INVALID_HANDLE_VALUE) return Failure(::GetLastError());
  DWORD error = 0;
  if (!WriteAll(file, bytes) || !::FlushFileBuffers(file)) error = ::GetLastError();
  ::CloseHandle(file);
  if (error == 0 && !::MoveFileExW(temp.c_str(), target.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = ::GetLastError();
  if (error != 0) {
    ::DeleteFileW(temp.c_str());
    return Failure(error);
  }
  return {};
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::error_code* failure) {
  const std::error_code error = ReplaceFile(path, bytes);
  if (failure != nullptr) *failure = error;
  return !error;
}

}  // namespace kv::dialogs
