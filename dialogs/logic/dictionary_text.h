// The dictionary editor's text work, kept free of any toolkit: reading and writing the .dct
// file, and finding what to speak for the caret's line. Text is Windows-1250.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace kv::dialogs {

// The spoken form of the line the caret is on: the line's text after its first "=", or the
// whole line when it has none. caret is the 0-based caret position in text (lines end with
// LF); a caret at or past the end takes the last line.
std::string CaretLineSpokenText(std::string_view text, size_t caret);

// Lines of a file's bytes; lines end with CR LF or LF, a final line end adds no empty line.
std::vector<std::string> SplitDictionaryLines(std::string_view bytes);
// The editor's text for lines (joined with LF) and back (a final LF adds no empty line).
std::string JoinEditorLines(const std::vector<std::string>& lines);
std::vector<std::string> SplitEditorText(std::string_view text);
// File bytes: each line followed by CR LF.
std::string DictionaryFileBytes(const std::vector<std::string>& lines);

// The whole file, or nullopt when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);
// Writes bytes to a new file beside path, flushes it to disk and renames it over path, so
// that a crash or a full disk leaves either the old file or the new one, never a part. A
// symbolic link is followed: the file it names is replaced, in that file's folder, and the
// link stays. A file that is not writable is left alone (permission_denied); a file without
// any write permission counts as read-only even for root, as a read-only file does on
// Windows. Temporaries of an earlier save that died before its rename are removed.
// Returns false (path untouched) when any step fails, with the reason in failure if given.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::error_code* failure = nullptr);

}  // namespace kv::dialogs
