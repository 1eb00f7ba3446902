// First use of a prefix: a prefix in which no engine is registered yet gets the engine that
// was installed with the programs registered, the way a new prefix is set up on first use.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <vector>

namespace kv::sapi {

// Where an installed engine library lies, relative to the folder of the running program: in
// the private library folder of the installation (lib/<triplet>/kvtts), seen from bin/ and
// from the speech-dispatcher module folder. (Programs in the build tree register nothing by
// themselves.)
std::vector<std::filesystem::path> PackagedEngineCandidates(
    const std::filesystem::path& programDir);

// Registers the first existing candidate when the prefix lists no engine at all. Returns
// whether an engine is registered afterwards; says what it did (or why not) on `notes`.
bool RegisterPackagedEngineIfNone(std::ostream& notes);

}  // namespace kv::sapi
