// Microbenchmarks of the synthesizer: the front-end and whole-word assembly over the corpus,
// and one unit's assembly. The end-to-end comparison is bench/run_benchmark.py.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/cp1250.h"
#include "synth/say_text.h"

namespace {

std::string Corpus() {
  const char* path = std::getenv("KVTTS_CORPUS");
  std::ifstream in(path ? path : KV_DEFAULT_CORPUS, std::ios::binary);
  std::string utf8((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return kv::cp1250::FromUtf8Lenient(utf8);
}

// Speaks the corpus word by word; engineMode leaves out the assembly.
void SpeakCorpus(benchmark::State& state, bool engineMode) {
  const std::string text = Corpus();
  kv::TSayText synth(1);
  synth.EngineMode = engineMode;
  int64_t words = 0;
  for (auto _ : state) {
    synth.PendingText = text;
    while (!synth.PendingText.empty() && !(synth.PendingText == kv::kEndMarker)) {
      synth.CurrentSlot = synth.CurrentSlot == 1 ? 2 : 1;
      synth.SpeakStep();
      ++words;
    }
  }
  state.counters["words/s"] = benchmark::Counter(double(words), benchmark::Counter::kIsRate);
}

void BM_FrontEnd(benchmark::State& state) {
  SpeakCorpus(state, true);
}
void BM_FrontEndAndAssembly(benchmark::State& state) {
  SpeakCorpus(state, false);
}

void BM_AssembleUnit(benchmark::State& state) {
  kv::TSayText synth(1);
  kv::TCharacter e;
  e.Unit = "a";
  e.Duration = 170;
  e.Gain = 0.55;
  e.Loudness = kv::kUnityLoudness;
  kv::MemoryStream out;
  for (auto _ : state) {
    out.Clear();
    synth.AssembleUnit(e, out);
    synth.MixEchoUnit(out);
    benchmark::DoNotOptimize(out.Data());
  }
}

BENCHMARK(BM_FrontEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrontEndAndAssembly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssembleUnit)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
