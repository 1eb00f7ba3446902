// kvtts: speaks Czech text (UTF-8). By default it speaks through the registered engine as a
// SAPI host does (the enumerator finds the voice, Select binds it to a WAV file, standard
// output or the sound device, the engine feeds it). With --local it uses the synthesizer's own
// path instead: word by word into a WAV file (SpeakStep lays out each word, AssembleWord
// renders it, the waves are joined without their header blocks), or aloud through Say.
//
// Exit codes: 0 done, 1 input or output failed, 2 bad command line or unknown voice, 3 input
// is not UTF-8, 4 the synthesizer or the engine failed (or no engine is registered).
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "apps/kvtts/trace.h"
#include "apps/kvtts/wav_writer.h"
#include "platform/cp1250.h"
#include "sapi/first_use.h"
#include "sapi/speak_through_engine.h"
#include "sapi/tts_enumerator.h"
#include "synth/say_text.h"
#include "synth/speak_aloud.h"
#include "synth/synthesis_settings.h"

namespace {

enum Exit { kOk = 0, kIoError = 1, kUsage = 2, kBadText = 3, kSynthError = 4 };

constexpr const char* kHelp =
    "Usage: kvtts [options] [TEXT...]\n"
    "Speaks Czech text into a WAV file (16-bit mono PCM, 22050 Hz) or aloud, through the\n"
    "registered engine (register it with: regsvr path/to/kv_ttse.so).\n"
    "\n"
    "The text comes from the arguments, joined by spaces; else from -f FILE; else from\n"
    "standard input. It must be UTF-8.\n"
    "\n"
    "Options:\n"
    "  -o FILE          write the WAV file to FILE\n"
    "  --stdout         write the WAV file to standard output\n"
    "  --play           speak aloud on the sound device (without -o or --stdout too)\n"
    "  -f FILE          read the text from FILE\n"
    "  -v VOICE         DAVLa (default, female), DAVLuska (child) or DAVL (male)\n"
    "  --rate N         speaking rate through the engine's attributes (10..250; 151 normal)\n"
    "  --events         print every notification as a JSON line with its time stamp\n"
    "  --list-voices    list the voices of every registered engine\n"
    "  --local          use the synthesizer's own path instead of the engine\n"
    "  --trace          (with --local implied) instead of audio, write one JSON line per\n"
    "                   word slot as the front-end leaves it (to -o FILE, or standard output)\n"
    "  -h, --help       show this help\n"
    "\n"
    "Environment: KVTTS_PREFIX names the prefix (registry and Windows folder; default\n"
    "~/.local/share/kvtts). KVTTS_SEED=N makes the random jitter of intonation\n"
    "reproducible. KVTTS_SOUND=auto|alsa|silent|capture:FILE chooses the sound output.\n"
    "Exit codes: 0 done, 1 input/output failed, 2 bad command line or unknown voice,\n"
    "3 text not UTF-8, 4 synthesizer or engine failed (or no engine registered).\n";

int Usage(const std::string& message) {
  std::cerr << "kvtts: " << message << "\nTry 'kvtts --help'.\n";
  return kUsage;
}

struct Options {
  std::string output, input;
  bool to_stdout = false, trace = false, has_input = false;
  bool local = false, play = false, events = false;
  int voice = 1;
  std::optional<uint32_t> rate;
  std::vector<std::string> words;
};

const char* const kVoiceNames[] = {"DAVLa", "DAVLuska", "DAVL"};

std::optional<std::string> ReadAll(std::istream& in) {
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return data;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](const char* what) -> std::optional<std::string> {
      if (i + 1 >= argc) return std::nullopt;
      (void)what;
      return std::string(argv[++i]);
    };
    if (a == "-h" || a == "--help") {
      std::cout << kHelp;
      return kOk;
    } else if (a == "-o") {
      auto v = value("-o");
      if (!v) return Usage("-o needs a file name");
      o.output = *v;
    } else if (a == "-f") {
      auto v = value("-f");
      if (!v) return Usage("-f needs a file name");
      o.input = *v;
      o.has_input = true;
    } else if (a == "-v") {
      auto v = value("-v");
      if (!v) return Usage("-v needs a voice name");
      if (kv::cp1250::SameText(*v, "DAVLa"))
        o.voice = 1;
      else if (kv::cp1250::SameText(*v, "DAVLuska"))
        o.voice = 2;
      else if (kv::cp1250::SameText(*v, "DAVL"))
        o.voice = 3;
      else
        return Usage("unknown voice '" + *v + "' (DAVLa, DAVLuska or DAVL)");
    } else if (a == "--stdout") {
      o.to_stdout = true;
    } else if (a == "--trace") {
      o.trace = true;
    } else if (a == "--local") {
      o.local = true;
    } else if (a == "--play") {
      o.play = true;
    } else if (a == "--events") {
      o.events = true;
    } else if (a == "--rate") {
      auto v = value("--rate");
      if (!v || v->empty() || v->find_first_not_of("0123456789") != std::string::npos ||
          v->size() > 9)
        return Usage("--rate needs a number (10..250)");
      o.rate = uint32_t(std::stoul(*v));
    } else if (a == "--list-voices") {
      kv::sapi::RegisterPackagedEngineIfNone(std::cerr);
      return kv::sapi::PrintVoiceList(std::cout, std::cerr) == 0 ? kOk : kSynthError;
    } else if (a == "--") {
      for (++i; i < argc; ++i) o.words.push_back(argv[i]);
    } else if (a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9')) {
      return Usage("unknown option '" + a + "'");  // "-5" is text: minus five
    } else {
      o.words.push_back(a);
    }
  }
  if (!o.words.empty() && o.has_input) return Usage("give the text either as arguments or with -f");
  if (o.trace) o.local = true;
  if (int(!o.output.empty()) + int(o.to_stdout) + int(o.play) > 1)
    return Usage("give one of -o FILE, --stdout and --play");
  if (o.output.empty() && !o.to_stdout && !o.trace) o.play = true;  // no output named: aloud
  if (o.local && o.rate) return Usage("--rate works through the engine, not with --local");
  if (o.local && o.events && !o.play) return Usage("with --local, --events goes with --play");

  // The text.
  std::optional<std::string> utf8;
  if (!o.words.empty()) {
    std::string joined;
    for (const std::string& w : o.words) joined += (joined.empty() ? "" : " ") + w;
    utf8 = joined;
  } else if (o.has_input) {
    std::ifstream in(o.input, std::ios::binary);
    if (!in) {
      std::cerr << "kvtts: cannot read '" << o.input << "': " << std::strerror(errno) << "\n";
      return kIoError;
    }
    utf8 = ReadAll(in);
  } else {
    utf8 = ReadAll(std::cin);
  }
  if (!utf8) {
    std::cerr << "kvtts: reading the text failed\n";
    return kIoError;
  }
  std::optional<std::string> text = kv::cp1250::FromUtf8(*utf8);
  if (!text) {
    std::cerr << "kvtts: the text is not valid UTF-8\n";
    return kBadText;
  }

  if (!o.local) {
    kv::sapi::RegisterPackagedEngineIfNone(std::cerr);
    kv::sapi::SpeakOptions speak;
    speak.text = *utf8;
    speak.voice = kVoiceNames[o.voice - 1];
    speak.output = o.play        ? kv::sapi::SpeakOptions::Output::Device
                   : o.to_stdout ? kv::sapi::SpeakOptions::Output::Stdout
                                 : kv::sapi::SpeakOptions::Output::WavFile;
    speak.wavFile = o.output;
    speak.rate = o.rate;
    if (o.events) speak.events = o.to_stdout ? &std::cerr : &std::cout;
    return kv::sapi::SpeakThroughEngine(speak, std::cerr);
  }

  if (o.play) {
    try {
      kv::WriteSettingsDefaults();
      kv::TSayText synth(o.voice);
      return kv::SpeakAloud(synth, *text, o.events, std::cout, std::cerr) == 0 ? kOk : kSynthError;
    } catch (const std::exception& e) {
      std::cerr << "kvtts: the synthesizer failed: " << e.what() << "\n";
      return kSynthError;
    }
  }

  std::string pcm, trace;
  try {
    kv::WriteSettingsDefaults();
    kv::TSayText synth(o.voice);
    synth.EngineMode = o.trace;  // a trace shows the slots before assembly and needs none
    synth.PendingText = *text;
    synth.NewUtterance = true;
    synth.CurrentSlot = 2;
    while (!synth.PendingText.empty() && !(synth.PendingText == kv::kEndMarker)) {
      synth.CurrentSlot = synth.CurrentSlot == 1 ? 2 : 1;
      synth.SpeakStep();
      if (o.trace) {
        trace += kv::apps::TraceLine(synth.CurrentWord, synth.Words[synth.CurrentSlot]);
        trace += '\n';
      } else {
        const kv::MemoryStream& wave = synth.SlotWaves[synth.CurrentSlot];
        if (wave.Size() > kv::kHeaderBlock)
          pcm.append(reinterpret_cast<const char*>(wave.Data()) + kv::kHeaderBlock,
                     wave.Size() - kv::kHeaderBlock);
      }
    }
  } catch (const std::exception& e) {
    std::cerr << "kvtts: the synthesizer failed: " << e.what() << "\n";
    return kSynthError;
  }

  // The output.
  std::ofstream file;
  std::ostream* out = &std::cout;
  if (!o.output.empty()) {
    file.open(o.output, std::ios::binary | std::ios::trunc);
    if (!file) {
      std::cerr << "kvtts: cannot write '" << o.output << "': " << std::strerror(errno) << "\n";
      return kIoError;
    }
    out = &file;
  }
  if (o.trace)
    out->write(trace.data(), std::streamsize(trace.size()));
  else
    kv::apps::WriteWav(*out, pcm);
  out->flush();
  if (!*out) {
    std::cerr << "kvtts: writing the output failed\n";
    return kIoError;
  }
  return kOk;
}
