// The parts of kvtts's help that differ between the systems it is built for: the audio files
// it writes, how an engine gets registered, where its data lies, which sound outputs there are
// and how the work is interrupted. kvtts.cpp puts them between the parts all systems share.
#pragma once

namespace kv::apps {

struct SystemHelp {
  const char* summary;      // what kvtts does and how its engine is registered
  const char* fileOptions;  // -o, --stdout and --format
  const char* environment;  // the variables it reads, and what Ctrl-C does
  const char* interrupted;  // the exit codes of an interrupted run
};

const SystemHelp& ThisSystemHelp();

}  // namespace kv::apps
