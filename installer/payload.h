// The installer's payload: files it carries as resources of its own module and writes out.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace kv::installer {

// The resource name for a name given to ExtractResourceToFile: upper case, everything up to
// the last "/" and "\" removed, "+" and "-" removed, each "." removed with the three
// characters after it.
std::string ResourceNameFor(std::string_view name);

// Writes the resource (type RCDATA when type is empty) to path, creating its folders. A file
// already at path is left as it is (an existing library or word list is never overwritten) and
// counts as success. False when the resource is missing or the file cannot be written; a
// partly written file is removed.
bool ExtractResourceToFile(std::string_view name, std::string_view type,
                           const std::filesystem::path& path);

// What a failed extraction does besides returning false (the window beeps).
void SetExtractionFailureSignal(std::function<void()> signal);

// The installer's private temporary folder, created on first use and removed at exit. Stands
// for the fixed places on drive C: of the original system.
std::filesystem::path ScratchDir();

}  // namespace kv::installer
