// kvtts's own path to a file: the synthesizer speaks word by word (SpeakStep lays out each
// word, AssembleWord renders it) and each word's wave, without its header block, goes straight
// into the audio file, so no more than a word is ever held. With `trace`, one JSON line per
// word slot as the front-end leaves it is written instead of audio.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "sapi/audio_file_format.h"
#include "sapi/speak_through_engine.h"

namespace kv::apps {

struct LocalOutput {
  std::string path;  // empty: standard output
  sapi::AudioFileFormat format = sapi::AudioFileFormat::Wav;
  bool trace = false;
  std::function<void(const sapi::SpeakProgress&)> progress;
  // Asked before every word; once it holds, the file is completed as far as it got and kept
  // (sapi::OutputFile::Keep), a line says where it stopped, and the result is kInterrupted.
  std::function<bool()> interrupted;
};

// Speaks the Windows-1250 text with the voice (1..3); returns a sapi::SpeakResult code, with a
// message on err for anything but kSpoken.
int SpeakLocalToFile(int voice, const std::string& text, const LocalOutput& output,
                     std::ostream& err);

}  // namespace kv::apps
