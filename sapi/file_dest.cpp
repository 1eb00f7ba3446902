#include "sapi/file_dest.h"

#include <cstring>

namespace kv::sapi {

FileDestination* FileDestination::Create(const std::filesystem::path& path, std::string* error,
                                         SoundWriterOptions options) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    if (error != nullptr) *error = "cannot create " + path.string() + ": " + std::strerror(errno);
    return nullptr;
  }
  options.seekable = Patchable(file);
  return new FileDestination(file, options);
}

FileDestination* FileDestination::CreateStdout(SoundWriterOptions options) {
  options.seekable = false;
  return new FileDestination(stdout, options);
}

FileDestination::~FileDestination() {
  Finish();
  writer_.reset();
  if (file_ != stdout) std::fclose(file_);
}

void FileDestination::OnFormat(const WAVEFORMATEX& format) {
  writer_ = OpenSoundWriter(file_, format, options_);
}

void FileDestination::Consume(std::span<const uint8_t> bytes) {
  // After a failure the rest is dropped: the file stays as complete as it got.
  if (writer_ != nullptr && !writer_->Failed() && writer_->Write(bytes)) written_ += bytes.size();
}

void FileDestination::OnWork() {
  const size_t moved = PlayCached(SIZE_MAX);
  ReturnMarksUpTo(Played());
  if (moved > 0) ScheduleFreeSpace();
}

bool FileDestination::Finish() {
  OnWork();
  if (writer_ == nullptr) return std::fflush(file_) == 0;
  return writer_->Finish();
}

std::string FileDestination::Problem() const {
  return writer_ != nullptr ? writer_->Problem() : std::string();
}

}  // namespace kv::sapi
