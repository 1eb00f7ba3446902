// Where the prefix lies when KVTTS_PREFIX does not say: the user's data folder. Never a shared
// place such as /tmp, where another user could plant a registry whose engine path we load.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace kv::platform {

// No folder of the user's own can be found for the prefix.
class PrefixError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What the choice is made from (empty: not set).
struct PrefixSources {
  std::string prefix;       // KVTTS_PREFIX
  std::string dataHome;     // XDG_DATA_HOME
  std::string home;         // HOME
  std::string accountHome;  // the home folder of the account in the password database
};

// KVTTS_PREFIX as it stands; else <data home>/kvtts, where the data home is XDG_DATA_HOME when
// absolute, else ~/.local/share with ~ from HOME or else the account. Throws PrefixError when
// none of them gives a folder.
std::filesystem::path ChoosePrefix(const PrefixSources& sources);

// The sources of this process: its environment and the password entry of its real user.
PrefixSources CurrentPrefixSources();

}  // namespace kv::platform
