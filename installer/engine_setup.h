// Installing, checking and removing the engine library in the prefix: the files under the
// Windows folder and the COM and SAPI registration, written by the installer itself.
//
// The SAPI runtime counts as installed while its engine list key exists in
// HKEY_LOCAL_MACHINE. Setting up a prefix for the runtime (InstallRuntime, the installer's
// --runtime switch; regsvr creates it too when it registers an engine) creates the key; the
// installer never creates it while installing the engine.
//
// The voice settings, the installer's own voice's included, live in a subkey of that key, so
// reading or writing them creates it. The installer therefore looks for the runtime once, when
// it starts, before anything of its own touches the registry; it writes the voice defaults
// only when the runtime is there.
#pragma once

#include <filesystem>
#include <string>

namespace kv::installer {

// <Windows folder>/Speech/kvs/kv_ttse.so (kv_ttse.dll on Windows)
std::filesystem::path EnginePath();
// Whether a library path names the installed copy (EnginePath).
bool IsInstalledCopy(const std::filesystem::path& library);
// The dictionary the installed library reads (kv_ttse.dct beside it): the one the installer's
// forms open for editing.
std::filesystem::path EngineDictionaryPath();

bool RuntimePresent();
void InstallRuntime();

// Writes the library, the dialogs module it opens and the .inn and .dct word lists beside it
// (each kept when present) and the registration. False when the library cannot be written: nothing
// is registered then.
bool InstallEngine(const std::filesystem::path& enginePath);

// Deletes the registered library, the dialogs module beside it and the registration; the word
// lists stay. False, with
// nothing changed, when the class is not registered, the library is loaded by a process, or
// it cannot be deleted.
bool UninstallEngine();

// Whether the COM class key exists; the library path its InprocServer32 names (Windows-1250,
// empty when missing); whether the engine list names the engine.
bool EngineClassRegistered();
std::string RegisteredLibraryPath();
bool EngineListed();

}  // namespace kv::installer
