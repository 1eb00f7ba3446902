#include "installer/library_use.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

namespace kv::installer {
namespace fs = std::filesystem;

namespace {

// One maps line: "start-end perms offset major:minor inode path".
bool MapsLineNames(const std::string& line, dev_t device, ino_t inode) {
  std::istringstream in(line);
  std::string range, perms, offset, dev;
  unsigned long long node = 0;
  if (!(in >> range >> perms >> offset >> dev >> node) || node != inode) return false;
  unsigned major = 0, minor = 0;
  if (std::sscanf(dev.c_str(), "%x:%x", &major, &minor) != 2) return false;
  return makedev(major, minor) == device;
}

bool ProcessMaps(const fs::path& maps, dev_t device, ino_t inode) {
  std::ifstream in(maps);
  std::string line;
  while (std::getline(in, line))
    if (MapsLineNames(line, device, inode)) return true;
  return false;
}

}  // namespace

bool LibraryInUse(const fs::path& library) {
  struct stat st {};
  if (::stat(library.c_str(), &st) != 0) return false;
  const std::string self = std::to_string(::getpid());
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/proc", ec)) {
    const std::string pid = entry.path().filename().string();
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
    if (pid == self) continue;
    if (ProcessMaps(entry.path() / "maps", st.st_dev, st.st_ino)) return true;
  }
  return false;
}

}  // namespace kv::installer
