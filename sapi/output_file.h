// Where an audio file goes. A regular file (an old one or a new name) is written under a
// temporary name in the same folder and put in place of the target only when the audio is
// complete, so a failed or interrupted render never costs the old file. The new file takes the
// old one's permission bits; other hard links of the old file keep the old audio (the name
// gets a new file, as with any replacement by rename). A symbolic link is followed, so the
// file it points at is the one replaced. Anything that is not a regular file (standard output,
// a pipe, a device) is written straight through, as a stream, and so is a file whose folder
// may not take a temporary file beside it.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace kv::sapi {

class OutputFile {
 public:
  // "-" is standard output. Null with the reason in *error (which names the file) when the
  // file cannot be created or the old one may not be written.
  static std::unique_ptr<OutputFile> Open(const std::filesystem::path& path, std::string* error);
  static std::unique_ptr<OutputFile> Stdout();
  // Closes the file; a temporary file that was neither committed nor kept is removed.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  std::FILE* File() const { return file_; }
  // Whether the file may be patched afterwards: a regular file, not a stream.
  bool Seekable() const { return seekable_; }
  // For messages: the path given, or "standard output".
  const std::string& Name() const { return name_; }
  // Flushes the file to the disk and puts it in place of the target. The file stays open, so
  // what is written after lands in the target itself. False with the reason (naming the file).
  bool Commit(std::string* error);
  // After an interruption: flushes the file and keeps what it holds, in place of the target
  // when there was none before, else under its temporary name, so the old file stays as it
  // was. Returns a sentence saying where the audio is.
  std::string Keep();

 private:
  OutputFile(std::FILE* file, std::string name) : file_(file), name_(std::move(name)) {}
  bool Flush(std::string* error);
  std::string Failure(int error) const;

  std::FILE* file_;
  std::string name_;
  bool seekable_ = false;
  std::filesystem::path target_, temporary_;  // temporary_ empty: written straight through
  bool replacesOld_ = false;
};

}  // namespace kv::sapi
