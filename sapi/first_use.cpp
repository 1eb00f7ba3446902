#include "sapi/first_use.h"

#include <memory>
#include <optional>
#include <ostream>
#include <system_error>

#include "platform/beside_module.h"
#include "platform/com.h"
#include "platform/registry.h"
#include "sapi/tts_enumerator.h"

namespace kv::sapi {

namespace {

// Remembers in the machine's registry that the prefix was set up.
constexpr const char* kSetupKey = "\\SOFTWARE\\KORVEN\\TTS";
constexpr const char* kSetupValue = "FirstUseDone";

std::filesystem::path ProgramDir() {
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : self.parent_path();
}

bool FirstUseDone() {
  try {
    platform::Registry reg(platform::HKEY_LOCAL_MACHINE);
    return reg.OpenKey(kSetupKey, false) && reg.ValueExists(kSetupValue);
  } catch (const platform::ERegistryException&) {
    return true;  // a registry we cannot read is no place to register in
  }
}

void MarkFirstUseDone() {
  try {
    platform::Registry reg(platform::HKEY_LOCAL_MACHINE);
    if (reg.OpenKey(kSetupKey, true)) reg.WriteInteger(kSetupValue, 1);
  } catch (const platform::ERegistryException&) {
  }
}

bool AnyEngineRegistered() {
  TtsEnumerator enumerator;
  enumerator.Load();
  // A broken registration counts too: it is the user's to look at.
  return !enumerator.Modes().empty() || !enumerator.Problems().empty();
}

std::optional<std::filesystem::path> PackagedEngine(const std::filesystem::path& programDir) {
  for (const auto& candidate : PackagedEngineCandidates(programDir)) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec))
      return std::filesystem::weakly_canonical(candidate, ec);
  }
  return std::nullopt;
}

bool Register(const std::filesystem::path& path, std::ostream& notes) {
  std::shared_ptr<com::InprocServer> server;
  com::HRESULT hr = com::InprocServer::FromFile(path, &server);
  auto reg = com::Succeeded(hr)
                 ? reinterpret_cast<com::DllRegisterServerFn>(server->Symbol("DllRegisterServer"))
                 : nullptr;
  if (reg != nullptr) hr = reg();
  if (reg == nullptr || com::Failed(hr)) {
    notes << "Registering the engine " << path.string() << " failed (" << com::ResultToString(hr)
          << ").\n";
    return false;
  }
  notes << "Registered the engine " << path.string() << " in this prefix.\n";
  return true;
}

}  // namespace

const char* RegisterEngineCommand() {
  return "regsvr path/to/kv_ttse.so";
}

std::vector<std::filesystem::path> PackagedEngineCandidates(const std::filesystem::path& dir) {
  // Programs lie in <prefix>/bin, the speech-dispatcher module in <prefix>/lib/<its folder>.
  const std::filesystem::path engine = platform::InstalledLibraryDir() / "kv_ttse.so";
  return {dir / ".." / engine, dir / "../.." / engine};
}

bool RegisterPackagedEngineOnFirstUse(std::ostream& notes) {
  return RegisterPackagedEngineOnFirstUse(notes, ProgramDir());
}

bool RegisterPackagedEngineOnFirstUse(std::ostream& notes,
                                      const std::filesystem::path& programDir) {
  if (FirstUseDone()) return false;
  const auto engine = PackagedEngine(programDir);
  if (!engine) return false;  // not an installed program: the prefix is not set up by it
  if (AnyEngineRegistered()) {
    MarkFirstUseDone();
    return false;
  }
  if (!Register(*engine, notes)) return false;
  MarkFirstUseDone();
  return true;
}

}  // namespace kv::sapi
