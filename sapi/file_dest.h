// The file destination: writes what the engine speaks into a WAVE file, or streams it to
// standard output. It plays "as fast as possible" on its own clock: whatever is cached is
// written as soon as the thread's loop runs, bookmarks come back in order once the audio before
// them has been written, and FreeSpace notifications follow as room frees.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include "sapi/audio_dest.h"

namespace kv::sapi {

class FileDestination final : public AudioDestination {
 public:
  // Creates the file (truncating it); null with a message when it cannot be created. The
  // caller holds the first reference.
  static FileDestination* Create(const std::filesystem::path& path, std::string* error);
  // Streams to standard output (the header's sizes stay at their streaming maximum).
  static FileDestination* CreateStdout();

  // Writes what is still cached and completes the file (header sizes); the file stays open, so
  // more audio may follow and Finish may be called again. False on a write error.
  bool Finish();
  uint64_t BytesWritten() const { return written_; }
  bool Failed() const { return failed_; }

 private:
  FileDestination(std::FILE* file, bool seekable) : file_(file), seekable_(seekable) {}
  ~FileDestination() override;
  void Consume(std::span<const uint8_t> bytes) override;
  void OnWork() override;
  void OnFormat(const WAVEFORMATEX& format) override;
  void WriteHeader(uint32_t dataBytes);

  std::FILE* file_;
  bool seekable_;
  bool headerWritten_ = false;
  bool failed_ = false;
  uint64_t written_ = 0;
};

}  // namespace kv::sapi
