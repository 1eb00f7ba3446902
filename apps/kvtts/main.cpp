// kvtts: speaks Czech text (UTF-8) into a WAV file, word by word through the synthesizer's
// own path: SpeakStep lays out each word, AssembleWord renders it, and the words' waves are
// joined without their header blocks.
//
// Exit codes: 0 done, 1 input or output failed, 2 bad command line, 3 input is not UTF-8,
// 4 the synthesizer failed.
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
#include "synth/say_text.h"
#include "synth/synthesis_settings.h"

namespace {

enum Exit { kOk = 0, kIoError = 1, kUsage = 2, kBadText = 3, kSynthError = 4 };

constexpr const char* kHelp =
    "Usage: kvtts [options] [TEXT...]\n"
    "Speaks Czech text into a WAV file (16-bit mono PCM, 22050 Hz).\n"
    "\n"
    "The text comes from the arguments, joined by spaces; else from -f FILE; else from\n"
    "standard input. It must be UTF-8.\n"
    "\n"
    "Options:\n"
    "  -o FILE          write the WAV file to FILE\n"
    "  --stdout         write the WAV file to standard output\n"
    "  -f FILE          read the text from FILE\n"
    "  -v VOICE         DAVLa (default, female), DAVLuska (child) or DAVL (male)\n"
    "  --local          render through the synthesizer's own word path (the default)\n"
    "  --trace          instead of audio, write one JSON line per word slot as the\n"
    "                   front-end leaves it (to -o FILE, or standard output)\n"
    "  -h, --help       show this help\n"
    "\n"
    "Environment: KVTTS_SEED=N makes the random jitter of intonation reproducible.\n"
    "Exit codes: 0 done, 1 input/output failed, 2 bad command line, 3 text not UTF-8,\n"
    "4 synthesizer failed.\n";

int Usage(const std::string& message) {
  std::cerr << "kvtts: " << message << "\nTry 'kvtts --help'.\n";
  return kUsage;
}

struct Options {
  std::string output, input;
  bool to_stdout = false, trace = false, has_input = false;
  int voice = 1;
  std::vector<std::string> words;
};

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
      // The only path so far.
    } else if (a == "--") {
      for (++i; i < argc; ++i) o.words.push_back(argv[i]);
    } else if (a.size() > 1 && a[0] == '-') {
      return Usage("unknown option '" + a + "'");
    } else {
      o.words.push_back(a);
    }
  }
  if (!o.words.empty() && o.has_input) return Usage("give the text either as arguments or with -f");
  if (!o.output.empty() && o.to_stdout) return Usage("give either -o FILE or --stdout");
  if (o.output.empty() && !o.to_stdout && !o.trace)
    return Usage("say where the WAV goes: -o FILE or --stdout");

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
        size_t skip = synth.WaveHeader ? kv::kHeaderBlock : 0;
        if (wave.Size() > skip)
          pcm.append(reinterpret_cast<const char*>(wave.Data()) + skip, wave.Size() - skip);
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
