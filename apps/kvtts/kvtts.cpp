// kvtts: speaks Czech text (UTF-8). By default it speaks through the registered engine as a
// SAPI host does (the enumerator finds the voice, Select binds it to an audio file, standard
// output or the sound device, the engine feeds it). With --local it uses the synthesizer's own
// path instead: word by word into an audio file (speak_local.h), or aloud through Say. The file
// format follows --format or the file's extension (output_format.h); long work shows a
// progress line on a terminal (progress.h).
//
// Exit codes: 0 done, 1 input or output failed, 2 bad command line or unknown voice, 3 input
// is not UTF-8, 4 the synthesizer or the engine failed (or no engine is registered), 128 + the
// signal when SIGINT or SIGTERM stopped the work.
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

#include "apps/kvtts/dialog_command.h"
#include "apps/kvtts/input_text.h"
#include "apps/kvtts/interrupt.h"
#include "apps/kvtts/kvtts_main.h"
#include "apps/kvtts/output_format.h"
#include "apps/kvtts/progress.h"
#include "apps/kvtts/speak_local.h"
#include "apps/kvtts/system_help.h"
#include "platform/cp1250.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/prefix_location.h"
#include "sapi/first_use.h"
#include "sapi/speak_through_engine.h"
#include "sapi/tts_enumerator.h"
#include "synth/say_text.h"
#include "synth/speak_aloud.h"
#include "synth/synthesis_settings.h"

namespace {

enum Exit { kOk = 0, kIoError = 1, kUsage = 2, kBadText = 3, kSynthError = 4 };

// The help is the system's summary, then the parts every system shares with the system's own
// parts between them (system_help.h).
constexpr const char* kTextHelp =
    "\n"
    "The text comes from the arguments, joined by spaces; else from -f FILE; else from\n"
    "standard input. It must be UTF-8; a byte-order mark is skipped, and characters the\n"
    "voice cannot say (emoji, CJK...) are left out with one warning. Blank text says\n"
    "\"nothing to speak\" and gives an audio file without sound (exit code 0).\n"
    "\n"
    "Options:\n";

constexpr const char* kOptionsHelp =
    "  --play           speak aloud on the sound device (also when no output is named)\n"
    "  -f FILE          read the text from FILE\n"
    "  -v VOICE         DAVLa (default, female), DAVLuska (child) or DAVL (male)\n"
    "  --rate N         speaking rate through the engine's attributes (10..250; 151 normal)\n"
    "  --events         print every notification as a JSON line with its time stamp. Past\n"
    "                   9999 characters the engine numbers its word positions as bookmarks\n"
    "                   (30000 + position); they are printed as WordPosition with the\n"
    "                   \"position\" and the \"mark\" it came as, so a BookMark is always one\n"
    "                   of the text's own \\mrk=N\\ tags\n"
    "  --list-voices    list the voices of every registered engine\n"
    "  --progress       show the progress line of long work even when standard error is\n"
    "                   not a terminal (it shows on a terminal by default)\n"
    "  --quiet          no progress line\n"
    "  --dialog NAME    open the engine's dialog about|lexicon|general|translate of the voice\n"
    "  --screenshot F   (with --dialog) write the form to the PNG file F and close it\n"
    "  --local          use the synthesizer's own path instead of the engine\n"
    "  --trace          (with --local implied) instead of audio, write one JSON line per\n"
    "                   word slot as the front-end leaves it (to -o FILE, or standard output)\n"
    "  -h, --help       show this help\n"
    "\n";

constexpr const char* kExitCodesHelp =
    "Exit codes: 0 done, 1 input/output failed (a full disk too), 2 bad command line or\n"
    "unknown voice, 3 text not UTF-8, 4 synthesizer or engine failed (or no engine\n"
    "registered), ";

void PrintHelp() {
  const kv::apps::SystemHelp& system = kv::apps::ThisSystemHelp();
  std::cout << "Usage: kvtts [options] [TEXT...]\n"
            << system.summary << kTextHelp << system.fileOptions << kOptionsHelp
            << system.environment << kExitCodesHelp << system.interrupted;
}

int Usage(const std::string& message) {
  std::cerr << "kvtts: " << message << "\nTry 'kvtts --help'.\n";
  return kUsage;
}

struct Options {
  std::string output, input, format;
  bool to_stdout = false, trace = false, has_input = false;
  bool local = false, play = false, events = false, quiet = false, progress = false;
  int voice = 1;
  std::optional<uint32_t> rate;
  std::vector<std::string> words;
  std::string dialog, screenshot;
};

const char* const kVoiceNames[] = {"DAVLa", "DAVLuska", "DAVL"};

// Whether the prefix can be found; says why not (before anything touches the registry).
bool HavePrefix() {
  try {
    kv::platform::PrefixDir();
    return true;
  } catch (const kv::platform::PrefixError& e) {
    std::cerr << "kvtts: " << e.what() << "\n";
    return false;
  }
}

// The process's exit code for a speaking result: an interruption ends with the signal's code,
// as a shell reports a program ended by it.
int ExitCode(int result) {
  if (result == kv::sapi::kInterrupted) return 128 + kv::apps::Interruption();
  return result;
}

// Reads the command line into o; an exit code when the program ends here (help, the voice
// list, a mistake).
std::optional<int> ParseArguments(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](const char* what) -> std::optional<std::string> {
      if (i + 1 >= argc) return std::nullopt;
      (void)what;
      return std::string(argv[++i]);
    };
    if (a == "-h" || a == "--help") {
      PrintHelp();
      return kOk;
    } else if (a == "-o") {
      auto v = value("-o");
      if (!v) return Usage("-o needs a file name");
      if (*v == "-")
        o.to_stdout = true;  // as usual, "-" is standard output
      else
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
    } else if (a == "--format") {
      auto v = value("--format");
      if (!v)
        return Usage("--format needs a name (" + std::string(kv::sapi::FormatNameList()) + ")");
      o.format = *v;
    } else if (a == "--quiet") {
      o.quiet = true;
    } else if (a == "--progress") {
      o.progress = true;
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
    } else if (a == "--dialog" || a == "--screenshot") {
      auto v = value(a.c_str());
      if (!v || (a == "--dialog" && !kv::apps::IsDialogName(*v)))
        return Usage(a == "--dialog" ? "--dialog needs about, lexicon, general or translate"
                                     : "--screenshot needs a file name");
      (a == "--dialog" ? o.dialog : o.screenshot) = *v;
    } else if (a == "--list-voices") {
      if (!HavePrefix()) return kIoError;
      kv::sapi::RegisterPackagedEngineOnFirstUse(std::cerr);
      return kv::sapi::PrintVoiceList(std::cout, std::cerr) == 0 ? kOk : kSynthError;
    } else if (a == "--") {
      for (++i; i < argc; ++i) o.words.push_back(argv[i]);
    } else if (a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9')) {
      return Usage("unknown option '" + a + "'");  // "-5" is text: minus five
    } else {
      o.words.push_back(a);
    }
  }
  return std::nullopt;
}

// The text to speak as UTF-8 the voice can say, or an exit code after a message.
std::optional<std::string> ReadText(const Options& o, int* exitCode) {
  std::string utf8;
  if (!o.words.empty()) {
    for (const std::string& w : o.words) utf8 += (utf8.empty() ? "" : " ") + w;
  } else {
    std::string problem;
    std::optional<std::string> read = kv::apps::ReadInput(o.has_input ? o.input : "", &problem);
    if (!read) {
      std::cerr << "kvtts: " << problem << "\n";
      *exitCode = kIoError;
      return std::nullopt;
    }
    utf8 = std::move(*read);
  }
  size_t badAt = 0;
  std::optional<kv::apps::SpeakableText> text = kv::apps::Speakable(utf8, &badAt);
  if (!text) {
    std::cerr << "kvtts: the text is not valid UTF-8 (byte " << badAt << ")\n";
    *exitCode = kBadText;
    return std::nullopt;
  }
  if (text->leftOut > 0) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", unsigned(text->firstLeftOut));
    std::cerr << "kvtts: warning: left out " << text->leftOut
              << " character(s) the voice cannot say, the first at byte " << text->firstLeftOutAt
              << " (" << code << ")\n";
  }
  if (kv::apps::Blank(text->utf8)) std::cerr << "kvtts: nothing to speak\n";
  return std::move(text->utf8);
}

// Settles what the options leave open and refuses combinations that do not go together.
std::optional<int> CheckCombination(Options& o) {
  if (!o.words.empty() && o.has_input) return Usage("give the text either as arguments or with -f");
  if (o.trace) o.local = true;
  if (int(!o.output.empty()) + int(o.to_stdout) + int(o.play) > 1)
    return Usage("give one of -o FILE, --stdout and --play");
  if (o.output.empty() && !o.to_stdout && !o.trace) o.play = true;  // no output named: aloud
  if (o.local && o.rate) return Usage("--rate works through the engine, not with --local");
  if (o.local && o.events && !o.play) return Usage("with --local, --events goes with --play");
  if (!o.format.empty() && (o.play || o.trace))
    return Usage("--format goes with -o FILE or --stdout");
  return std::nullopt;
}

int Run(int argc, char** argv) {
  Options o;
  if (std::optional<int> done = ParseArguments(argc, argv, o)) return *done;
  if (!o.screenshot.empty() && o.dialog.empty()) return Usage("--screenshot goes with --dialog");
  if (!HavePrefix()) return kIoError;
  if (!o.dialog.empty())
    return kv::apps::OpenEngineDialog(o.dialog, kVoiceNames[o.voice - 1], o.screenshot, std::cerr);
  if (std::optional<int> wrong = CheckCombination(o)) return *wrong;
  kv::sapi::AudioFileFormat format = kv::sapi::AudioFileFormat::Wav;
  if (!o.play && !o.trace) {
    std::string problem;
    auto chosen = kv::apps::ChooseOutputFormat(o.format, o.output, &problem);
    if (!chosen) return Usage(problem);
    format = *chosen;
  }
  // The progress line, for files and streams; events are a running report of their own.
  std::optional<kv::apps::ProgressLine> line;
  if (!o.play && !o.trace && !o.events && kv::apps::WantProgress(o.quiet, o.progress))
    line.emplace(stderr);
  auto progress = [&line](const kv::sapi::SpeakProgress& p) { line->Update(p); };

  int failed = kOk;
  const std::optional<std::string> utf8 = ReadText(o, &failed);
  if (!utf8) return failed;
  const std::string text = kv::cp1250::FromUtf8Lenient(*utf8);  // all of it is in the code page
  if (!o.play) kv::apps::CatchInterrupts();
  auto interrupted = [] { return kv::apps::Interruption() != 0; };

  if (!o.local) {
    kv::sapi::RegisterPackagedEngineOnFirstUse(std::cerr);
    kv::sapi::SpeakOptions speak;
    speak.text = *utf8;
    speak.voice = kVoiceNames[o.voice - 1];
    speak.output = o.play        ? kv::sapi::SpeakOptions::Output::Device
                   : o.to_stdout ? kv::sapi::SpeakOptions::Output::Stdout
                                 : kv::sapi::SpeakOptions::Output::WavFile;
    speak.wavFile = kv::platform::PathFromUtf8(o.output);
    speak.format = format;
    if (line) speak.progress = progress;
    speak.rate = o.rate;
    if (o.events) speak.events = o.to_stdout ? &std::cerr : &std::cout;
    if (!o.play) speak.interrupted = interrupted;
    return ExitCode(kv::sapi::SpeakThroughEngine(speak, std::cerr));
  }

  if (o.play) {
    try {
      kv::WriteSettingsDefaults();
      kv::TSayText synth(o.voice);
      return kv::SpeakAloud(synth, text, o.events, std::cout, std::cerr) == 0 ? kOk : kSynthError;
    } catch (const std::exception& e) {
      std::cerr << "kvtts: the synthesizer failed: " << e.what() << "\n";
      return kSynthError;
    }
  }

  kv::apps::LocalOutput output{o.output, format, o.trace, nullptr, interrupted};
  if (line) output.progress = progress;
  return ExitCode(kv::apps::SpeakLocalToFile(o.voice, text, output, std::cerr));
}

}  // namespace

int KvttsMain(int argc, char** argv) {
  // Nothing escapes: whatever went wrong is a message and an exit code.
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "kvtts: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "kvtts: an unexpected failure\n";
  }
  return kIoError;
}
