#include "installer/payload.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <system_error>

#include "platform/cp1250.h"
#include "platform/module.h"
#include "platform/paths.h"

namespace kv::installer {
namespace fs = std::filesystem;

std::string ResourceNameFor(std::string_view name) {
  const size_t slash = name.find_last_of('/');
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  const size_t backslash = name.find_last_of('\\');
  if (backslash != std::string_view::npos) name.remove_prefix(backslash + 1);
  std::string result;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '+' || name[i] == '-') continue;
    if (name[i] == '.') {
      i += 3;
      continue;
    }
    result += name[i];
  }
  return cp1250::UpperCase(result);
}

namespace {
std::function<void()>& FailureSignal() {
  static std::function<void()> signal;
  return signal;
}

bool Failed() {
  if (FailureSignal()) FailureSignal()();
  return false;
}
}  // namespace

void SetExtractionFailureSignal(std::function<void()> signal) {
  FailureSignal() = std::move(signal);
}

bool ExtractResourceToFile(std::string_view name, std::string_view type, const fs::path& path) {
  std::error_code ec;
  if (fs::exists(path, ec)) return true;
  const auto data =
      platform::ThisModule().FindResource(type.empty() ? "RCDATA" : type, ResourceNameFor(name));
  if (!data) return Failed();
  fs::create_directories(path.parent_path(), ec);
  {
    std::ofstream out(path, std::ios::binary);
    if (out) out.write(reinterpret_cast<const char*>(data->data()), std::streamsize(data->size()));
    if (out && out.flush()) return true;
  }
  fs::remove(path, ec);
  return Failed();
}

namespace {

struct Scratch {
  fs::path dir;
  // A folder of a fresh random name (created here, so no other process has it).
  Scratch() {
    std::random_device random;
    std::error_code ec;
    for (int attempt = 0; attempt < 100; ++attempt) {
      char name[32];
      std::snprintf(name, sizeof name, "kv_tts_install-%08x", unsigned(random()));
      const fs::path candidate = platform::TempDir() / name;
      if (fs::create_directory(candidate, ec)) {
        dir = candidate;
        return;
      }
    }
    dir = platform::TempDir();
  }
  ~Scratch() {
    std::error_code ec;
    if (dir != platform::TempDir()) fs::remove_all(dir, ec);
  }
};

}  // namespace

fs::path ScratchDir() {
  static Scratch scratch;
  return scratch.dir;
}

}  // namespace kv::installer
