// First use of a prefix: a prefix in which no engine is registered yet gets the engine that
// was installed with the programs registered, the way a new prefix is set up on first use.
// This happens once per prefix (the registry remembers it), so that an engine the user
// unregistered afterwards stays unregistered.
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

// On the first use of the prefix by an installed program: registers the first existing
// candidate when the prefix lists no engine at all. Returns whether it registered one now;
// says what it did (or why it failed) on `notes`. A failed registration is tried again next
// time; otherwise the prefix counts as set up from then on.
bool RegisterPackagedEngineOnFirstUse(std::ostream& notes);
// The same for a program that lies in `programDir`.
bool RegisterPackagedEngineOnFirstUse(std::ostream& notes, const std::filesystem::path& programDir);

// How the user registers an engine on this system: "regsvr path/to/kv_ttse.so".
const char* RegisterEngineCommand();

}  // namespace kv::sapi
