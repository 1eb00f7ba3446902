#include "sapi/wave_writer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/wave_header.h"

namespace kv::sapi {

namespace {

void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
void PutU64(uint8_t* p, uint64_t v) {
  PutU32(p, uint32_t(v));
  PutU32(p + 4, uint32_t(v >> 32));
}

std::string SizeText(uint64_t bytes) {
  if (bytes % (1ull << 30) == 0 || bytes > (1ull << 32) - 256)
    return std::to_string((bytes + (1ull << 29)) >> 30) + " GiB";
  return std::to_string(bytes) + " bytes";
}

}  // namespace

uint64_t WavDataLimit() {
  if (const char* value = std::getenv("KVTTS_WAV_LIMIT"); value != nullptr && *value != '\0') {
    char* end = nullptr;
    const unsigned long long limit = std::strtoull(value, &end, 10);
    if (*end == '\0' && limit > 0) return std::min<uint64_t>(limit, kRiffDataLimit);
  }
  return kRiffDataLimit;
}

WaveWriter::WaveWriter(std::FILE* file, const WAVEFORMATEX& pcm, const SoundWriterOptions& options)
    : file_(file),
      format_(pcm),
      name_(options.name),
      seekable_(options.seekable),
      reserve_(options.seekable && options.mayPassWavLimit) {
  const uint64_t fits = kRiffDataLimit - (HeaderSize() - 8);
  const uint64_t frame = std::max<uint64_t>(1, format_.nBlockAlign);
  limit_ = std::min(options.wavLimit, fits) / frame * frame;
  WriteHeader();
}

std::vector<uint8_t> WaveWriter::Header() const {
  // A stream cannot be patched later: its sizes say "as long as it goes" from the start.
  const uint64_t data = seekable_ ? written_ : kRiffDataLimit - 36;
  const bool rf64 = data > limit_;
  const auto canonical = platform::MakeWaveHeader(
      uint32_t(std::min(data, kRiffDataLimit - 36)),
      {format_.wFormatTag, format_.nChannels, format_.nSamplesPerSec, format_.nAvgBytesPerSec,
       format_.nBlockAlign, format_.wBitsPerSample});
  if (!reserve_) return {canonical.begin(), canonical.end()};
  // RIFF/RF64, WAVE, the reserve (JUNK, or ds64 with the real sizes), then fmt and data.
  std::vector<uint8_t> h(canonical.begin(), canonical.begin() + 12);
  h.resize(48);
  std::memcpy(h.data() + 12, rf64 ? "ds64" : "JUNK", 4);
  PutU32(h.data() + 16, 28);
  if (rf64) {
    std::memcpy(h.data(), "RF64", 4);
    PutU32(h.data() + 4, 0xFFFFFFFFu);
    PutU64(h.data() + 20, data + HeaderSize() - 8);
    PutU64(h.data() + 28, data);
    PutU64(h.data() + 36, data / std::max<WORD>(1, format_.nBlockAlign));
  } else {
    PutU32(h.data() + 4, uint32_t(data + HeaderSize() - 8));
  }
  h.insert(h.end(), canonical.begin() + 12, canonical.end());
  if (rf64) PutU32(h.data() + 76, 0xFFFFFFFFu);
  return h;
}

bool WaveWriter::WriteHeader() {
  const std::vector<uint8_t> header = Header();
  const bool patch = headerWritten_;
  const off_t end = patch ? ::ftello(file_) : 0;
  if ((patch && ::fseeko(file_, 0, SEEK_SET) != 0) ||
      std::fwrite(header.data(), 1, header.size(), file_) != header.size() ||
      (patch && ::fseeko(file_, end, SEEK_SET) != 0)) {
    Fail(WriteProblem(name_, errno));
    return false;
  }
  headerWritten_ = true;
  return true;
}

bool WaveWriter::Write(std::span<const uint8_t> pcm) {
  if (Failed()) return false;
  size_t take = pcm.size();
  const bool bounded = seekable_ && !reserve_;
  if (bounded) take = size_t(std::min<uint64_t>(take, limit_ - written_));
  if (std::fwrite(pcm.data(), 1, take, file_) != take) {
    Fail(WriteProblem(name_, errno));
    return false;
  }
  written_ += take;
  if (take < pcm.size()) {
    Fail("A WAV file holds at most " + SizeText(limit_) +
             " of audio: the speech was cut there. Write .flac, .opus, .ogg or .mp3 for more.",
         true);
    return false;
  }
  // Every second of audio the header catches up, so that even a killed program leaves a file
  // whose header covers nearly all of its data.
  if (seekable_ && written_ - patched_ >= std::max<uint32_t>(1, format_.nAvgBytesPerSec))
    return Patch();
  return true;
}

bool WaveWriter::Patch() {
  patched_ = written_;
  if (std::fflush(file_) != 0) {
    Fail(WriteProblem(name_, errno));
    return false;
  }
  if (!WriteHeader()) return false;
  if (std::fflush(file_) != 0) Fail(WriteProblem(name_, errno));
  return !Failed();
}

bool WaveWriter::Finish() {
  // A file cut at its size limit is still completed; one whose writing failed is not kept.
  if (seekable_ && Whole())
    Patch();
  else if (std::fflush(file_) != 0)
    Fail(WriteProblem(name_, errno));
  return !Failed();
}

}  // namespace kv::sapi
