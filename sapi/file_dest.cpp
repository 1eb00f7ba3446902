#include "sapi/file_dest.h"

#include <cstring>

#include "platform/wave_header.h"

namespace kv::sapi {

namespace {}  // namespace

FileDestination* FileDestination::Create(const std::filesystem::path& path, std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    if (error != nullptr) *error = "cannot create " + path.string() + ": " + std::strerror(errno);
    return nullptr;
  }
  return new FileDestination(file, true);
}

FileDestination* FileDestination::CreateStdout() {
  return new FileDestination(stdout, false);
}

FileDestination::~FileDestination() {
  Finish();
  if (file_ != stdout) std::fclose(file_);
}

void FileDestination::OnFormat(const WAVEFORMATEX&) {
  // Streams cannot be patched later: they say "as long as it goes" from the start.
  WriteHeader(seekable_ ? 0 : 0xFFFFFFFFu - 36);
}

void FileDestination::WriteHeader(uint32_t dataBytes) {
  const WAVEFORMATEX* f = Format();
  if (f == nullptr) return;
  const auto header =
      platform::MakeWaveHeader(dataBytes, {f->wFormatTag, f->nChannels, f->nSamplesPerSec,
                                           f->nAvgBytesPerSec, f->nBlockAlign, f->wBitsPerSample});
  const uint8_t* h = header.data();
  if (headerWritten_) {
    if (!seekable_) return;
    const long end = std::ftell(file_);
    if (std::fseek(file_, 0, SEEK_SET) != 0 || std::fwrite(h, 1, 44, file_) != 44 ||
        std::fseek(file_, end, SEEK_SET) != 0)
      failed_ = true;
    return;
  }
  if (std::fwrite(h, 1, header.size(), file_) != header.size()) failed_ = true;
  headerWritten_ = true;
}

void FileDestination::Consume(std::span<const uint8_t> bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) failed_ = true;
  written_ += bytes.size();
}

void FileDestination::OnWork() {
  const size_t moved = PlayCached(SIZE_MAX);
  ReturnMarksUpTo(Played());
  if (moved > 0) ScheduleFreeSpace();
}

bool FileDestination::Finish() {
  OnWork();
  if (headerWritten_ && seekable_)
    WriteHeader(static_cast<uint32_t>(std::min<uint64_t>(written_, 0xFFFFFFFFu - 36)));
  if (std::fflush(file_) != 0) failed_ = true;
  return !failed_;
}

}  // namespace kv::sapi
