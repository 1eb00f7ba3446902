#include "sapi/first_use.h"

#include <memory>
#include <ostream>
#include <system_error>

#include "platform/com.h"
#include "sapi/tts_enumerator.h"

#ifndef KV_PRIVATE_LIB_DIR
#define KV_PRIVATE_LIB_DIR "lib/kvtts"
#endif

namespace kv::sapi {

namespace {

std::filesystem::path ProgramDir() {
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : self.parent_path();
}

}  // namespace

std::vector<std::filesystem::path> PackagedEngineCandidates(const std::filesystem::path& dir) {
  // Programs lie in <prefix>/bin, the speech-dispatcher module in <prefix>/lib/<its folder>.
  const std::filesystem::path engine = std::filesystem::path(KV_PRIVATE_LIB_DIR) / "kv_ttse.so";
  return {dir / ".." / engine, dir / "../.." / engine};
}

bool RegisterPackagedEngineIfNone(std::ostream& notes) {
  {
    TtsEnumerator enumerator;
    enumerator.Load();
    if (!enumerator.Modes().empty() || !enumerator.Problems().empty())
      return !enumerator.Modes().empty();  // a broken registration is the user's to look at
  }
  for (const auto& candidate : PackagedEngineCandidates(ProgramDir())) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(candidate, ec)) continue;
    const auto path = std::filesystem::weakly_canonical(candidate, ec);
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
  return false;
}

}  // namespace kv::sapi
