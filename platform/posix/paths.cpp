#include "platform/paths.h"

#include <sys/stat.h>

#include "platform/prefix_location.h"

namespace kv::platform {
namespace fs = std::filesystem;

namespace {

fs::path Ensure(const fs::path& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);  // an unusable prefix shows up at the first real use
  return dir;
}

}  // namespace

fs::path PrefixDir() {
  return Ensure(ChoosePrefix(CurrentPrefixSources()));
}

fs::path WindowsDir() {
  return Ensure(PrefixDir() / "windows");
}

fs::path TempDir() {
  std::error_code ec;
  fs::path dir = fs::temp_directory_path(ec);
  return ec ? fs::path("/tmp") : dir;
}

int64_t FileAge(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return -1;
  return int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

fs::path ChangeFileExt(const fs::path& path, const std::string& ext) {
  fs::path out = path;
  out.replace_extension(ext);
  return out;
}

}  // namespace kv::platform
