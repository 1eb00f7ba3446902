#include "platform/prefix_location.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace kv::platform {
namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string AccountHome() {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
      found->pw_dir == nullptr)
    return {};
  return found->pw_dir;
}

}  // namespace

fs::path ChoosePrefix(const PrefixSources& s) {
  if (!s.prefix.empty()) return s.prefix;
  // A relative XDG_DATA_HOME is to be ignored, as the base directory rules say.
  if (fs::path(s.dataHome).is_absolute()) return fs::path(s.dataHome) / "kvtts";
  for (const std::string& home : {s.home, s.accountHome})
    if (fs::path(home).is_absolute()) return fs::path(home) / ".local/share/kvtts";
  throw PrefixError(
      "no folder for the KORVEN TTS prefix: HOME is not set and the account has no home "
      "folder; set KVTTS_PREFIX (or HOME) to a folder of your own");
}

PrefixSources CurrentPrefixSources() {
  PrefixSources s{Env("KVTTS_PREFIX"), Env("XDG_DATA_HOME"), Env("HOME"), {}};
  if (s.prefix.empty() && s.home.empty()) s.accountHome = AccountHome();
  return s;
}

}  // namespace kv::platform
