// The installer without a window, for scripts and tests:
//   kv_tts_install --runtime     set up the SAPI runtime in the prefix (its engine list key)
//   kv_tts_install --install     install and register the engine
//   kv_tts_install --uninstall   remove it
//   kv_tts_install --status      print what the status lines of the window would say
// Each action prints the status afterwards; failures print the window's message and give
// exit code 1.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kv::installer {

// nullopt when the arguments ask for the window; otherwise the exit code (2 for bad usage).
std::optional<int> RunHeadless(const std::vector<std::string>& args, std::ostream& out,
                               std::ostream& err);

}  // namespace kv::installer
