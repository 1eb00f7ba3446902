#include "apps/kvtts/speak_local.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>
#include <ostream>
#include <string>

#include "apps/kvtts/trace.h"
#include "platform/files.h"
#include "sapi/audio_dest.h"
#include "sapi/output_file.h"
#include "sapi/sound_writer.h"
#include "synth/say_text.h"
#include "synth/synthesis_settings.h"

namespace kv::apps {

namespace {

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

// Speaks word by word into the file (or the trace); false once a write failed or the speech
// was interrupted (`stopped` then says so).
bool SpeakWords(int voice, const std::string& text, const LocalOutput& output, std::FILE* file,
                sapi::SoundWriter* writer, sapi::SpeakProgress& progress, bool& stopped) {
  WriteSettingsDefaults();
  TSayText synth(voice);
  synth.EngineMode = output.trace;  // a trace shows the slots before assembly and needs none
  synth.PendingText = text;
  synth.NewUtterance = true;
  synth.CurrentSlot = 2;
  while (!synth.PendingText.empty() && !(synth.PendingText == kEndMarker)) {
    if (output.interrupted && output.interrupted()) {
      stopped = true;
      return false;
    }
    synth.CurrentSlot = synth.CurrentSlot == 1 ? 2 : 1;
    synth.SpeakStep();
    if (!WriteWord(synth, file, writer)) return false;
    progress.textDone = text.size() - std::min(text.size(), synth.PendingText.size());
    const MemoryStream& wave = synth.SlotWaves[synth.CurrentSlot];
    if (!output.trace && wave.Size() > kHeaderBlock)
      progress.audioBytes += wave.Size() - kHeaderBlock;
    if (output.progress) output.progress(progress);
  }
  return true;
}

}  // namespace

int SpeakLocalToFile(int voice, const std::string& text, const LocalOutput& output,
                     std::ostream& err) {
  std::string problem;
  std::unique_ptr<sapi::OutputFile> file =
      output.path.empty() ? sapi::OutputFile::Stdout()
                          : sapi::OutputFile::Open(platform::PathFromUtf8(output.path), &problem);
  if (file == nullptr) {
    err << "kvtts: " << problem << '\n';
    return sapi::kOutputFailed;
  }
  const sapi::WAVEFORMATEX format = sapi::PcmFormat(22050, 16, 1);
  std::unique_ptr<sapi::SoundWriter> writer;
  if (!output.trace) {
    sapi::SoundWriterOptions options;
    options.format = output.format;
    options.seekable = file->Seekable();
    options.name = file->Name();
    options.mayPassWavLimit = sapi::MayPassWavLimit(text.size(), options.wavLimit);
    writer = sapi::OpenSoundWriter(file->File(), format, options);
  }
  sapi::SpeakProgress progress{0, text.size(), 0, format.nAvgBytesPerSec, false};
  bool written = writer == nullptr || !writer->Failed(), stopped = false;
  try {
    if (written)
      written = SpeakWords(voice, text, output, file->File(), writer.get(), progress, stopped);
  } catch (const std::exception& e) {
    err << "kvtts: the synthesizer failed: " << e.what() << '\n';
    return sapi::kEngineFailed;
  }
  if (writer != nullptr && !writer->Finish()) written = false;
  if (stopped) {
    err << "kvtts: " << sapi::InterruptedLine(progress, file->Keep()) << '\n';
    return sapi::kInterrupted;
  }
  // A WAV file cut at its size limit is whole up to there: it is kept, with its message.
  if ((written || (writer != nullptr && writer->Whole())) && !file->Commit(&problem)) {
    err << "kvtts: " << problem << '\n';
    return sapi::kOutputFailed;
  }
  if (output.progress) {
    progress.finished = true;
    if (written) progress.textDone = progress.textTotal;
    output.progress(progress);
  }
  if (!written) {
    err << "kvtts: "
        << (writer != nullptr && writer->Failed() ? writer->Problem()
                                                  : sapi::WriteProblem(file->Name(), errno))
        << '\n';
    return sapi::kOutputFailed;
  }
  return sapi::kSpoken;
}

}  // namespace kv::apps
