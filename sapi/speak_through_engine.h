// Speaking through a registered engine as a SAPI host does: the enumerator finds the mode,
// Select binds it to an audio destination, the host registers its sinks, hands over the text
// and runs the thread's message loop until the engine reports AudioStop at the end of the text.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "sapi/audio_file_format.h"
#include "sapi/sapi4.h"
#include "sapi/speak_progress.h"

namespace kv::sapi {

class AudioDestination;

struct SpeakOptions {
  enum class Output { WavFile, Stdout, Device };

  std::string text;   // UTF-8; SAPI control tags are interpreted by the engine
  std::string voice;  // mode name (case-insensitive); empty: the first mode listed
  Output output = Output::WavFile;
  std::filesystem::path wavFile;  // Output::WavFile
  // The file format of WavFile and Stdout. A WAV file of a text so long that it might pass
  // 4 GiB is started so that it can become RF64.
  AudioFileFormat format = AudioFileFormat::Wav;
  std::optional<uint32_t> rate;  // passed to ITTSAttributes::SpeedSet (10..250)
  // Every notification as a JSON line with its time stamp, when set.
  std::ostream* events = nullptr;
  // Called at every word position the engine reports, and once at the end.
  std::function<void(const SpeakProgress&)> progress;
  // Asked as the speech goes: once it holds, the speech stops there, the file is completed as
  // far as it got and kept, a line says where it stopped, and the result is kInterrupted.
  std::function<bool()> interrupted;
  // A destination of the caller's instead of the one Output names (tests); the caller keeps its
  // reference.
  AudioDestination* destination = nullptr;
};

// Exit codes, as kvtts reports them.
enum SpeakResult {
  kSpoken = 0,
  kOutputFailed = 1,  // the audio file could not be created or written
  kNoSuchVoice = 2,   // no mode has the name asked for
  kEngineFailed = 4,  // no engine registered, or it refused or stopped
  kInterrupted = 5,   // `interrupted` held (kvtts exits with the signal's code instead)
};

// Speaks the text; returns a SpeakResult, with a message on err for anything but kSpoken.
int SpeakThroughEngine(const SpeakOptions& options, std::ostream& err);

// The JSON line of one notification ("t" is the engine's time stamp in milliseconds).
std::string EventJson(std::string_view event, QWORD time, std::string_view fields = {});

}  // namespace kv::sapi
