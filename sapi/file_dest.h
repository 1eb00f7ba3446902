// The file destination: writes what the engine speaks into an audio file (WAV, or a compressed
// format through libsndfile), or streams it to standard output. It plays "as fast as possible"
// on its own clock: whatever is cached is written as soon as the thread's loop runs, bookmarks
// come back in order once the audio before them has been written, and FreeSpace notifications
// follow as room frees. A regular file is written beside its target and put in its place by
// Finish (output_file.h).
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "sapi/audio_dest.h"
#include "sapi/output_file.h"
#include "sapi/sound_writer.h"

namespace kv::sapi {

class FileDestination final : public AudioDestination {
 public:
  // Starts the file ("-": standard output); null with a message when it cannot be created.
  // The caller holds the first reference. Only a regular file is patched when complete;
  // anything else (a pipe, /dev/null) is written as a stream.
  static FileDestination* Create(const std::filesystem::path& path, std::string* error,
                                 SoundWriterOptions options = {});
  // Streams to standard output (a WAV header's sizes stay at their streaming maximum).
  static FileDestination* CreateStdout(SoundWriterOptions options = {});

  // Writes what is still cached, completes the file and puts it in place of the target; a WAV
  // file stays open, so more audio may follow and Finish may be called again. False on a write
  // error (the target is then left as it was). A destination released without Finish leaves
  // the target as it was, too.
  bool Finish();
  // After an interruption: writes what is cached, completes the file as far as it got and
  // keeps it (output_file.h); returns where the audio is.
  std::string Keep();
  uint64_t BytesWritten() const { return written_; }
  // True once writing failed (the rest of the speech is then dropped); Problem() says why.
  bool Failed() const { return !Problem().empty(); }
  std::string Problem() const;

 private:
  FileDestination(std::unique_ptr<OutputFile> output, const SoundWriterOptions& options);
  ~FileDestination() override;
  void Consume(std::span<const uint8_t> bytes) override;
  void OnWork() override;
  void OnFormat(const WAVEFORMATEX& format) override;
  bool CompleteWriter();

  std::unique_ptr<OutputFile> output_;
  SoundWriterOptions options_;
  std::unique_ptr<SoundWriter> writer_;
  std::string problem_;  // of the file itself, when the writer had none
  uint64_t written_ = 0;
};

}  // namespace kv::sapi
