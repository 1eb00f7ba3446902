#include "apps/kvtts/speak_local.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>
#include <ostream>

#include "apps/kvtts/trace.h"
#include "sapi/audio_dest.h"
#include "sapi/file_dest.h"
#include "synth/say_text.h"
#include "synth/synthesis_settings.h"

namespace kv::apps {

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

File OpenOutput(const std::string& path) {
  if (path.empty()) return File(stdout, [](std::FILE* f) { return std::fflush(f); });
  return File(std::fopen(path.c_str(), "wb"), [](std::FILE* f) { return std::fclose(f); });
}

// Writes one word slot: its trace line, or its audio after the header block.
bool WriteWord(const TSayText& synth, std::FILE* file, sapi::SoundWriter* writer) {
  if (writer == nullptr) {
    const std::string line = TraceLine(synth.CurrentWord, synth.Words[synth.CurrentSlot]) + '\n';
    return std::fwrite(line.data(), 1, line.size(), file) == line.size();
  }
  const MemoryStream& wave = synth.SlotWaves[synth.CurrentSlot];
  if (wave.Size() <= kHeaderBlock) return true;
  return writer->Write({wave.Data() + kHeaderBlock, wave.Size() - kHeaderBlock});
}

}  // namespace

int SpeakLocalToFile(int voice, const std::string& text, const LocalOutput& output,
                     std::ostream& err) {
  File file = OpenOutput(output.path);
  if (file == nullptr) {
    err << "kvtts: cannot write '" << output.path << "': " << std::strerror(errno) << '\n';
    return sapi::kOutputFailed;
  }
  const sapi::WAVEFORMATEX format = sapi::PcmFormat(22050, 16, 1);
  std::unique_ptr<sapi::SoundWriter> writer;
  if (!output.trace) {
    sapi::SoundWriterOptions options;
    options.format = output.format;
    options.seekable = !output.path.empty() && sapi::Patchable(file.get());
    options.mayPassWavLimit = sapi::MayPassWavLimit(text.size(), options.wavLimit);
    writer = sapi::OpenSoundWriter(file.get(), format, options);
  }
  sapi::SpeakProgress progress{0, text.size(), 0, format.nAvgBytesPerSec, false};
  bool written = writer == nullptr || !writer->Failed();
  try {
    WriteSettingsDefaults();
    TSayText synth(voice);
    synth.EngineMode = output.trace;  // a trace shows the slots before assembly and needs none
    synth.PendingText = text;
    synth.NewUtterance = true;
    synth.CurrentSlot = 2;
    while (written && !synth.PendingText.empty() && !(synth.PendingText == kEndMarker)) {
      synth.CurrentSlot = synth.CurrentSlot == 1 ? 2 : 1;
      synth.SpeakStep();
      written = WriteWord(synth, file.get(), writer.get());
      if (output.progress) {
        progress.textDone = text.size() - std::min(text.size(), synth.PendingText.size());
        const MemoryStream& wave = synth.SlotWaves[synth.CurrentSlot];
        if (!output.trace && wave.Size() > kHeaderBlock)
          progress.audioBytes += wave.Size() - kHeaderBlock;
        output.progress(progress);
      }
    }
  } catch (const std::exception& e) {
    err << "kvtts: the synthesizer failed: " << e.what() << '\n';
    return sapi::kEngineFailed;
  }
  if (writer != nullptr && !writer->Finish()) written = false;
  if (std::fflush(file.get()) != 0) written = false;
  if (output.progress) {
    progress.finished = true;
    if (written) progress.textDone = progress.textTotal;
    output.progress(progress);
  }
  if (!written) {
    err << (writer != nullptr && writer->Failed() ? writer->Problem()
                                                  : std::string("kvtts: writing the output failed"))
        << '\n';
    return sapi::kOutputFailed;
  }
  return sapi::kSpoken;
}

}  // namespace kv::apps
