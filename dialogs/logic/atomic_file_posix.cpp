// The dictionary's atomic save over the POSIX file calls.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>

#include "dialogs/logic/dictionary_text.h"

namespace kv::dialogs {

namespace {

// A save's temporary: the file's name, this, and mkstemp's six characters.
constexpr const char* kTemporaryInfix = ".new-";
constexpr std::chrono::minutes kTemporaryStaleAfter{1};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Makes the rename itself durable.
void SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::error_code LastError() {
  return {errno != 0 ? errno : EIO, std::generic_category()};
}

// What the user may not change: what access() refuses, and a file without any write
// permission, which stays read-only for root as well.
bool Writable(const std::filesystem::path& file, const struct stat& status) {
  return (status.st_mode & 0222) != 0 && ::access(file.c_str(), W_OK) == 0;
}

// A save that died between its write and its rename left its temporary for good. Only files
// of our own naming and old enough that no save still running can own them are removed.
void RemoveStaleTemporaries(const std::filesystem::path& target) {
  namespace fs = std::filesystem;
  const std::string prefix = target.filename().string() + kTemporaryInfix;
  const auto staleBefore = fs::file_time_type::clock::now() - kTemporaryStaleAfter;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(target.parent_path(), ec)) {
    const std::string name = entry.path().filename().string();
    const bool ours = name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
                      std::all_of(name.begin() + prefix.size(), name.end(),
                                  [](unsigned char c) { return std::isalnum(c) != 0; });
    std::error_code entryError;
    if (ours && entry.is_regular_file(entryError) && !entry.is_symlink(entryError) &&
        entry.last_write_time(entryError) < staleBefore && !entryError)
      fs::remove(entry.path(), entryError);
  }
}

// The file a link names is the one to replace; the link itself stays. A link to a file not
// yet there names where it is to be.
std::filesystem::path FollowLinks(std::filesystem::path path, std::error_code& ec) {
  constexpr int kMaxLinks = 40;  // as the kernel allows
  for (int links = 0; links < kMaxLinks && std::filesystem::is_symlink(path, ec); ++links) {
    const std::filesystem::path next = std::filesystem::read_symlink(path, ec);
    if (ec) return {};
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return std::filesystem::weakly_canonical(path, ec);
}

std::error_code ReplaceFile(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code ec;
  const std::filesystem::path target = FollowLinks(path, ec);
  if (ec) return ec;
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && !Writable(target, old)) return std::make_error_code(std::errc::permission_denied);
  RemoveStaleTemporaries(target);
  std::string temp = target.string() + kTemporaryInfix + "XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return LastError();
  // Keep the permissions and owner of the file being replaced (mkstemp creates it private);
  // the owner only where we may give it away (root), so a user's file stays the user's.
  ::fchmod(fd, exists ? (old.st_mode & 07777) : 0644);
  if (exists && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
    // Not ours to give: the replaced file is the writer's from now on.
  }
  std::error_code failure;
  if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) failure = LastError();
  if (::close(fd) != 0 && !failure) failure = LastError();
  if (!failure && ::rename(temp.c_str(), target.c_str()) != 0) failure = LastError();
  if (failure) {
    ::unlink(temp.c_str());
    return failure;
  }
  SyncFolder(target.parent_path());
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
