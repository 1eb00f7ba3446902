// On Windows an engine is registered by regsvr32 (or its installer), never by a program's
// first use.
#include "sapi/first_use.h"

namespace kv::sapi {

const char* RegisterEngineCommand() {
  return "regsvr32 kv_ttse.dll";
}

std::vector<std::filesystem::path> PackagedEngineCandidates(const std::filesystem::path&) {
  return {};
}

bool RegisterPackagedEngineOnFirstUse(std::ostream&) {
  return false;
}

bool RegisterPackagedEngineOnFirstUse(std::ostream&, const std::filesystem::path&) {
  return false;
}

}  // namespace kv::sapi
