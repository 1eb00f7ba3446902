// REGEDIT4 text: the registry's keys and values written out as text and read back in. The
// text is Windows-1250 here; files are UTF-8 or Windows-1250 (DecodeRegeditBytes).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace kv::regedit {

using platform::Registry;
using platform::RootKey;

// A file that cannot be imported, or a key that cannot be created (message in UTF-8).
struct RegeditError {
  std::string message;
};

struct KeyName {
  RootKey root;
  std::string path;  // Windows-1250, below the root, without a leading backslash
};

// "HKLM\SOFTWARE\Voice" (Windows-1250), empty components dropped; nullopt for an unknown root.
std::optional<KeyName> ParseKeyName(std::string_view text);
// Eight lower-case hexadecimal digits, as REGEDIT4 writes a DWORD.
std::string Hex8(uint32_t v);
// "HKEY_LOCAL_MACHINE\SOFTWARE\Voice".
std::string FullName(RootKey root, std::string_view path);

// One change a REGEDIT4 file describes.
struct Op {
  enum Kind { CreateKey, RemoveKey, SetString, SetDword, RemoveValue } kind;
  KeyName key;
  std::string name, text;
  uint32_t number = 0;
};

// The text of a file's bytes: a UTF-8 byte order mark dropped, UTF-8 converted to Windows-1250;
// bytes that are not UTF-8 are Windows-1250 already.
std::string DecodeRegeditBytes(std::string raw);
// The changes the text describes, in order; RegeditError ("file:line: what") on the first error.
std::vector<Op> ParseRegedit(std::string_view text, const std::string& file);
// Makes the changes through reg, inside the caller's batch if there is one.
void ApplyRegedit(Registry& reg, const std::vector<Op>& ops);
// A file's bytes decoded, parsed and applied in one batch: all or nothing.
void ImportRegedit(std::string raw, const std::string& file);

// Appends the key (path below root) with its values and subkeys as REGEDIT4 text; nothing when
// the key is missing.
void ExportKey(Registry& reg, RootKey root, const std::string& path, std::string& out);
// The whole registry, every root, as a REGEDIT4 text with its first line.
std::string ExportAll();

}  // namespace kv::regedit
