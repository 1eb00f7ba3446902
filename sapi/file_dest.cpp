#include "sapi/file_dest.h"

namespace kv::sapi {

FileDestination* FileDestination::Create(const std::filesystem::path& path, std::string* error,
                                         SoundWriterOptions options) {
  std::unique_ptr<OutputFile> output = OutputFile::Open(path, error);
  if (output == nullptr) return nullptr;
  return new FileDestination(std::move(output), options);
}

FileDestination* FileDestination::CreateStdout(SoundWriterOptions options) {
  return new FileDestination(OutputFile::Stdout(), options);
}

FileDestination::FileDestination(std::unique_ptr<OutputFile> output,
                                 const SoundWriterOptions& options)
    : output_(std::move(output)), options_(options) {
  options_.seekable = output_->Seekable();
  options_.name = output_->Name();
}

FileDestination::~FileDestination() {
  writer_.reset();
  output_.reset();  // not committed: the target stays as it was
}

void FileDestination::OnFormat(const WAVEFORMATEX& format) {
  writer_ = OpenSoundWriter(output_->File(), format, options_);
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

bool FileDestination::CompleteWriter() {
  OnWork();
  return writer_ == nullptr || writer_->Finish();
}

bool FileDestination::Finish() {
  const bool complete = CompleteWriter();
  // A WAV file cut at its size limit is whole up to there, and kept with its message.
  if (writer_ != nullptr && !writer_->Whole()) return false;
  if (!output_->Commit(&problem_)) return false;
  return complete;
}

std::string FileDestination::Keep() {
  CompleteWriter();
  return output_->Keep();
}

std::string FileDestination::Problem() const {
  if (writer_ != nullptr && writer_->Failed()) return writer_->Problem();
  return problem_;
}

}  // namespace kv::sapi
