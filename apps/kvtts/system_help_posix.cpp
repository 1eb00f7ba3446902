// kvtts's help on Linux: five audio formats, the engine registered on first use, ALSA, signals.
#include "apps/kvtts/system_help.h"

namespace kv::apps {

const SystemHelp& ThisSystemHelp() {
  static constexpr SystemHelp kHelp{
      "Speaks Czech text into an audio file (mono, 22050 Hz: WAV, FLAC, Ogg Vorbis, Opus or\n"
      "MP3) or aloud, through the registered engine. An installed kvtts registers the engine\n"
      "installed with it on the first use of a prefix; regsvr registers (or with -u\n"
      "unregisters) an engine by hand.\n",

      "  -o FILE          write the audio to FILE, in the format its extension names: .wav\n"
      "                   (16-bit PCM; past 4 GiB it becomes RF64), .flac, .ogg (Vorbis),\n"
      "                   .opus (24 kbit/s) or .mp3 (40 kbit/s); a name without an extension\n"
      "                   gets WAV; \"-\" is standard output. An existing file is replaced only\n"
      "                   once the new audio is complete: until then it is written beside it,\n"
      "                   as .NAME.part-XXXXXX.EXT (the new file keeps the old one's\n"
      "                   permissions; other hard links of the old file keep the old audio)\n"
      "  --stdout         write the audio to standard output (WAV unless --format says)\n"
      "  --format NAME    wav, flac, ogg, opus or mp3, whatever the file is called\n",

      "Environment: KVTTS_PREFIX names the prefix (registry and Windows folder; default\n"
      "$XDG_DATA_HOME/kvtts, that is ~/.local/share/kvtts). KVTTS_SEED=N makes the random\n"
      "jitter of intonation reproducible. KVTTS_SOUND=auto|alsa|alsa:DEVICE|silent|\n"
      "capture:FILE chooses the sound output (alsa:DEVICE an ALSA device such as hw:0).\n"
      "For tests: KVTTS_WAV_LIMIT=BYTES lowers the WAV size limit, KVTTS_PROGRESS_AFTER_MS=N\n"
      "the time before the progress line shows (1000).\n"
      "\n"
      "Ctrl-C (SIGINT) or SIGTERM stops the work where it is: the audio so far is completed\n"
      "as a valid file and kept (as FILE when there was none, else under its temporary name,\n"
      "and FILE stays as it was), one line says where it stopped, and the exit code is 130\n"
      "or 143. A second signal ends the program at once. A WAV file's header is brought up to\n"
      "date every second of audio, so even a killed run leaves a readable file.\n",

      "130/143 interrupted by SIGINT/SIGTERM.\n"};
  return kHelp;
}

}  // namespace kv::apps
