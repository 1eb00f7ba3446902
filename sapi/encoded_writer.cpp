#include "sapi/encoded_writer.h"

#include <algorithm>
#include <cstring>

#include "sapi/codec_libraries.h"

namespace kv::sapi {

namespace {

// The rate Opus encodes at: its own rate at or above the speech's, so nothing is lost.
int OpusRate(uint32_t rate) {
  for (int opus : {8000, 12000, 16000, 24000}) {
    if (rate <= uint32_t(opus)) return opus;
  }
  return 48000;
}

}  // namespace

EncodedWriter::EncodedWriter(std::FILE* file, const WAVEFORMATEX& pcm,
                             const SoundWriterOptions& options)
    : format_(pcm), title_(InfoOf(options.format).title), name_(options.name) {
  Open(file, options);
}

EncodedWriter::~EncodedWriter() {
  if (sndfile_ != nullptr) codecs_->sf_close(sndfile_);
  if (resampler_ != nullptr) codecs_->soxr_delete(resampler_);
}

bool EncodedWriter::Open(std::FILE* file, const SoundWriterOptions& options) {
  codecs_ = Codecs();
  if (codecs_ == nullptr) {
    Fail("The " + title_ + " encoder needs libsndfile and libsoxr, which could not be loaded.");
    return false;
  }
  const AudioFileFormatInfo& info = InfoOf(options.format);
  SF_INFO sf{};
  sf.samplerate = int(format_.nSamplesPerSec);
  sf.channels = format_.nChannels;
  sf.format = info.sndfileFormat;
  if (options.format == AudioFileFormat::Opus) sf.samplerate = OpusRate(format_.nSamplesPerSec);
  if (uint32_t(sf.samplerate) != format_.nSamplesPerSec) {
    soxr_error_t error = nullptr;
    const soxr_io_spec_t io = codecs_->soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
    const soxr_quality_spec_t quality = codecs_->soxr_quality_spec(SOXR_MQ, 0);
    resampler_ = codecs_->soxr_create(format_.nSamplesPerSec, sf.samplerate, format_.nChannels,
                                      &error, &io, &quality, nullptr);
    if (error != nullptr) {
      Fail("The " + title_ + " encoder could not resample the speech: " + error + ".");
      return false;
    }
  }
  std::fflush(file);
  output_ = std::make_unique<EncoderOutput>(fileno(file), options.seekable);
  sndfile_ = codecs_->sf_open_virtual(EncoderOutput::Callbacks(), SFM_WRITE, &sf, output_.get());
  if (sndfile_ == nullptr) {
    Fail(Reason("could not start", nullptr));
    return false;
  }
  // The bit rate mode goes first: the level means a bit rate within it. (libsndfile answers the
  // mode with 0 either way; its error state tells.)
  int mode = info.bitrateMode;
  double level = info.compressionLevel;
  if (mode >= 0) codecs_->sf_command(sndfile_, SFC_SET_BITRATE_MODE, &mode, sizeof mode);
  if ((mode >= 0 && codecs_->sf_error(sndfile_) != SF_ERR_NO_ERROR) ||
      (level >= 0 &&
       !codecs_->sf_command(sndfile_, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level))) {
    Fail(Reason("refused its settings", sndfile_));
    return false;
  }
  return true;
}

bool EncodedWriter::Write(std::span<const uint8_t> pcm) {
  if (sndfile_ == nullptr || Failed()) {
    Fail("The " + title_ + " file was already complete when more audio came.");
    return false;
  }
  // Whole frames go on as 16-bit samples (8-bit PCM is unsigned); a split frame waits.
  const size_t sampleBytes = format_.wBitsPerSample / 8;
  const size_t frameBytes = sampleBytes * format_.nChannels;
  staged_.insert(staged_.end(), pcm.begin(), pcm.end());
  const size_t whole = staged_.size() / frameBytes * frameBytes;
  samples_.resize(whole / sampleBytes);
  if (sampleBytes == 2) {
    std::memcpy(samples_.data(), staged_.data(), whole);
  } else {
    for (size_t i = 0; i < whole; ++i) samples_[i] = int16_t((int(staged_[i]) - 128) * 256);
  }
  staged_.erase(staged_.begin(), staged_.begin() + ptrdiff_t(whole));
  const size_t frames = whole / frameBytes;
  return resampler_ != nullptr ? Resample(samples_.data(), frames)
                               : Encode(samples_.data(), frames);
}

bool EncodedWriter::Resample(const int16_t* frames, size_t count) {
  // With no input left, the resampler gives out what it still holds.
  const size_t room = std::max<size_t>(4096, count * 2 + 64);
  resampled_.resize(room * format_.nChannels);
  do {
    size_t used = 0, made = 0;
    if (soxr_error_t error = codecs_->soxr_process(resampler_, frames, count, &used,
                                                   resampled_.data(), room, &made)) {
      Fail("The " + title_ + " encoder could not resample the speech: " + error + ".");
      return false;
    }
    if (!Encode(resampled_.data(), made)) return false;
    if (frames != nullptr && used == 0 && made == 0) break;  // no way forward: never spin
    if (frames != nullptr) frames += used * format_.nChannels;
    count -= used;
    if (frames == nullptr && made == 0) break;
  } while (count > 0 || frames == nullptr);
  return true;
}

bool EncodedWriter::Encode(const int16_t* frames, size_t count) {
  if (count == 0) return true;
  if (codecs_->sf_writef_short(sndfile_, frames, sf_count_t(count)) != sf_count_t(count)) {
    Fail(Reason("failed", sndfile_));
    return false;
  }
  if (output_->Error() != 0) {
    Fail(WriteProblem(name_, output_->Error()));
    return false;
  }
  return true;
}

bool EncodedWriter::Finish() {
  if (sndfile_ == nullptr) return !Failed();
  if (resampler_ != nullptr) Resample(nullptr, 0);
  const bool closed = codecs_->sf_close(sndfile_) == 0;
  sndfile_ = nullptr;
  if (output_->Error() != 0)
    Fail(WriteProblem(name_, output_->Error()));
  else if (!closed)
    Fail("The " + title_ + " file could not be completed.");
  return !Failed();
}

std::string EncodedWriter::Reason(const char* what, SNDFILE* file) const {
  // A failed write is what happened, whatever the encoder makes of it.
  if (output_ != nullptr && output_->Error() != 0) return WriteProblem(name_, output_->Error());
  return "The " + title_ + " encoder " + what + ": " + codecs_->sf_strerror(file);
}

}  // namespace kv::sapi
