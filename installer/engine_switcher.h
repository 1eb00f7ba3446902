// Switching SAPI engines off and on without uninstalling them: a switched-off engine's value
// moves from the engine list key to its sibling "-Backup" key, where the runtime does not look.
#pragma once

#include <string>
#include <vector>

namespace kv::installer {

struct EngineRow {
  std::string display;  // display name with a vendor marker, or the internal name
  std::string clsid;
  std::string name;  // the registry internal name (value name)
  bool active;
};

// The active engines in registry order, then the switched-off ones. Creates the "-Backup" key
// when missing. Windows-1250.
std::vector<EngineRow> ListEngines();

// Moves the engine's value into the engine list (active) or into the "-Backup" key.
// Registry failures are not reported.
void SetEngineActive(const EngineRow& row, bool active);

}  // namespace kv::installer
