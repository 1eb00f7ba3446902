// kvtts's help on Windows: WAV only, the engine registered by regsvr32, the system's own
// registry and sound device, Ctrl-C.
#include "apps/kvtts/system_help.h"

namespace kv::apps {

const SystemHelp& ThisSystemHelp() {
  static constexpr SystemHelp kHelp{
      "Speaks Czech text into a WAV file (mono, 22050 Hz, 16-bit PCM) or aloud, through the\n"
      "registered engine. The engine is registered by its installer, or by hand with\n"
      "\"regsvr32 kv_ttse.dll\" (\"regsvr32 /u kv_ttse.dll\" unregisters it).\n",

      "  -o FILE          write the audio to FILE as WAV (past 4 GiB it becomes RF64); \"-\" is\n"
      "                   standard output. An existing file is replaced only once the new\n"
      "                   audio is complete: until then it is written beside it, as\n"
      "                   .NAME.part-XXXXXX.EXT\n"
      "  --stdout         write the audio to standard output\n"
      "  --format NAME    wav (the only format written here)\n",

      "Environment: KVTTS_PREFIX names the folder of the programs' own data (default\n"
      "%LOCALAPPDATA%\\kvtts; the registry is the system's). KVTTS_SEED=N makes the random\n"
      "jitter of intonation reproducible. KVTTS_SOUND=auto|alsa|silent|capture:FILE chooses\n"
      "the sound output (alsa: the system's sound device). For tests: KVTTS_WAV_LIMIT=BYTES\n"
      "lowers the WAV size limit, KVTTS_PROGRESS_AFTER_MS=N the time before the progress\n"
      "line shows (1000).\n"
      "\n"
      "Ctrl-C stops the work where it is: the audio so far is completed as a valid file and\n"
      "kept (as FILE when there was none, else under its temporary name, and FILE stays as it\n"
      "was), one line says where it stopped, and the exit code is 130. A second Ctrl-C ends\n"
      "the program at once. A WAV file's header is brought up to date every second of audio,\n"
      "so even a killed run leaves a readable file.\n",

      "130 interrupted by Ctrl-C.\n"};
  return kHelp;
}

}  // namespace kv::apps
