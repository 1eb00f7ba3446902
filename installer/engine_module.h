// The engine library's side of installing it, which differs between the platforms: its file
// name, what is written with it and how its file is removed.
#pragma once

#include <filesystem>

namespace kv::installer {

// The library's file name in <Windows folder>/Speech/kvs.
const char* EngineLibraryFile();

// Writes the library and the modules it opens beside itself (each kept when present). False
// when the library cannot be written.
bool WriteEngineModules(const std::filesystem::path& enginePath);

// Removes the registered library file when it is the installed copy (a file already gone
// counts as removed). False, with nothing changed, when a process has it loaded or it cannot
// be deleted. The caller removes the registration afterwards.
bool RemoveEngineLibrary(const std::filesystem::path& library);

}  // namespace kv::installer
