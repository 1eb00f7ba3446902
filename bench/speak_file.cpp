// speak_file: speaks a UTF-8 text file through the registered engine into a WAVE file, as a SAPI
// host does. The benchmark runs it; it is no part of the tests.
//
//   speak_file [-v VOICE] [--copies N] [--events] TEXT_FILE OUT_WAV
//   speak_file [-v VOICE] [--events] --play TEXT_FILE      (through the sound output)
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "sapi/speak_through_engine.h"

int main(int argc, char** argv) {
  kv::sapi::SpeakOptions options;
  int copies = 1;
  std::string input;
  bool haveOutput = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-v" && i + 1 < argc) {
      options.voice = argv[++i];
    } else if (arg == "--copies" && i + 1 < argc) {
      copies = std::atoi(argv[++i]);
    } else if (arg == "--play") {
      options.output = kv::sapi::SpeakOptions::Output::Device;
      haveOutput = true;
    } else if (arg == "--events") {
      options.events = &std::cerr;
    } else if (input.empty()) {
      input = arg;
    } else if (!haveOutput) {
      options.wavFile = arg;
      haveOutput = true;
    } else {
      input.clear();
      break;
    }
  }
  if (input.empty() || !haveOutput || copies < 1) {
    std::cerr << "usage: speak_file [-v VOICE] [--copies N] [--events] TEXT_FILE OUT_WAV\n"
                 "       speak_file [-v VOICE] [--events] --play TEXT_FILE\n";
    return 2;
  }
  std::ifstream in(input, std::ios::binary);
  if (!in) {
    std::cerr << "cannot read " << input << '\n';
    return 2;
  }
  std::ostringstream text;
  text << in.rdbuf();
  for (int i = 0; i < copies; ++i) {
    if (i > 0) options.text += "\n";
    options.text += text.str();
  }
  return kv::sapi::SpeakThroughEngine(options, std::cerr);
}
