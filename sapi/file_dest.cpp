#include "sapi/file_dest.h"

#include <cstring>

namespace kv::sapi {

namespace {

void PutU16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

}  // namespace

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
  uint8_t h[44];
  std::memcpy(h, "RIFF", 4);
  PutU32(h + 4, dataBytes + 36);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  PutU32(h + 16, 16);
  PutU16(h + 20, f->wFormatTag);
  PutU16(h + 22, f->nChannels);
  PutU32(h + 24, f->nSamplesPerSec);
  PutU32(h + 28, f->nAvgBytesPerSec);
  PutU16(h + 32, f->nBlockAlign);
  PutU16(h + 34, f->wBitsPerSample);
  std::memcpy(h + 36, "data", 4);
  PutU32(h + 40, dataBytes);
  if (headerWritten_) {
    if (!seekable_) return;
    const long end = std::ftell(file_);
    if (std::fseek(file_, 0, SEEK_SET) != 0 || std::fwrite(h, 1, 44, file_) != 44 ||
        std::fseek(file_, end, SEEK_SET) != 0)
      failed_ = true;
    return;
  }
  if (std::fwrite(h, 1, sizeof h, file_) != sizeof h) failed_ = true;
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
