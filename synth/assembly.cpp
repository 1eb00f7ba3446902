// Waveform assembly: unit entries of a word slot -> 16-bit mono PCM at 22 050 Hz. Each unit is
// cut at its segment marks, re-pitched segment by segment, fitted to its duration by dropping
// or repeating segments, scaled and appended; the word then gets its echo.
#include "synth/assembly.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/numeric.h"
#include "platform/wave_header.h"
#include "synth/assembly_tables.h"
#include "synth/say_text.h"

namespace kv {
namespace {

using namespace assembly;

// Nearest integer, ties to even, for |x| below 2^31: the per-sample loops use it without the
// range checks of RoundHalfEven, so that they vectorise.
inline int32_t RoundSmall(double x) {
  constexpr double kMagic = 6755399441055744.0;  // 1.5 * 2^52
  return static_cast<int32_t>((x + kMagic) - kMagic);
}

int16_t Mean(int32_t x, int32_t y) {
  return int16_t(RoundHalfEven((x + y) / 2.0));
}

bool Contains(const char (&set)[10], char c) {
  return std::find(set, set + 10, c) != set + 10;
}

// A valid canonical header block for a module that has no unit "a" to take it from.
MemoryStream FallbackHeaderBlock() {
  MemoryStream h;
  const auto header = platform::MakeWaveHeader(0);
  h.Write(header.data(), header.size());
  h.WriteZeros(2);
  return h;
}

// Re-pitch of samples[0..n) into out: with |count| = step, the step-th, 2·step-th, … sample
// counted from the end is a hit. Inserting (count >= 2) adds the mean of a hit and the sample
// before it; removing (count <= -2) drops the hit and averages the sample moving into its place
// with the one before. Hits on the two samples at either edge change nothing, except that a
// removal still drops them when removeAtEdges is set (copy form). Returns the change in length
// counted for every hit, edges included; out holds the samples actually produced.
int32_t Repitch(const int16_t* s, int32_t n, int32_t count, bool removeAtEdges,
                std::vector<int16_t>& out) {
  const int64_t step = count < 0 ? -int64_t(count) : int64_t(count);
  out.resize(size_t(n) + size_t(n / step) + 1);
  int16_t* o = out.data();
  int32_t a = 0;
  int64_t next = 1;                   // next sample (1-based) still to copy
  auto copyUpTo = [&](int64_t end) {  // copies samples next .. end - 1
    if (end > next) {
      std::memcpy(o, s + next - 1, size_t(end - next) * 2);
      o += end - next;
      next = end;
    }
  };
  // Hits are the samples i with (n - i + 1) divisible by step, from the first one on.
  for (int64_t h = n % step + 1; h <= n; h += step) {
    copyUpTo(h);
    const bool inRange = h > 2 && h < n - 1;
    if (count >= 2) {
      if (inRange) *o++ = Mean(s[h - 1], s[h - 2]), ++a;
      continue;
    }
    --a;
    if (inRange) {
      // Sample h disappears; the one moving into its place is averaged with sample h - 1.
      *o++ = Mean(s[h], s[h - 2]);
      next = h + 2;
    } else if (removeAtEdges) {
      next = h + 1;
    }
  }
  copyUpTo(int64_t(n) + 1);
  out.resize(size_t(o - out.data()));
  return a;
}

// Re-pitches the first `bytes` bytes of the stream in place; returns the new byte length.
int32_t RepitchStream(MemoryStream& s, int32_t count, int32_t bytes, bool removeAtEdges) {
  const int32_t n = std::min<int32_t>(RoundHalfEven32(bytes / 2.0), int32_t(s.Size() / 2));
  std::vector<int16_t> out;
  const int32_t a = Repitch(reinterpret_cast<const int16_t*>(s.Data()), std::max(n, 0), count,
                            removeAtEdges, out);
  // The stream keeps its buffer; the samples after the new end stay as they are.
  if (s.Size() < out.size() * 2) s.SetSize(out.size() * 2);
  if (!out.empty()) std::memcpy(s.Data(), out.data(), out.size() * 2);
  bytes += 2 * a;
  if (bytes % 2 != 0 && bytes > 0) --bytes;
  return std::max(bytes, 0);
}

}  // namespace

void ResampleSegment(MemoryStream& segment, int32_t count, int32_t& bytes) {
  if (count >= -1 && count <= 1) return;
  if (bytes <= 0) return;
  bytes = RepitchStream(segment, count, bytes, false);
}

int32_t ResampleSegmentCopy(const MemoryStream& source, MemoryStream& target, int32_t count,
                            int32_t bytes) {
  bytes = std::max<int32_t>(0, std::min<int32_t>(bytes, int32_t(source.Size())));
  target.Reserve(size_t(bytes));
  if (bytes > 0) std::memcpy(target.Data(), source.Data(), size_t(bytes));
  if (count >= -1 && count <= 1) return bytes;
  return RepitchStream(target, count, bytes, true);
}

void ScaleSamples(MemoryStream& stream, int64_t bytes, double factor) {
  if (factor == 1.0 || bytes <= 0) return;
  const int64_t n = std::min<int64_t>(RoundHalfEven(bytes / 2.0), int64_t(stream.Size() / 2));
  int16_t* samples = reinterpret_cast<int16_t*>(stream.Data());
  if (std::fabs(factor) < 65536.0) {  // every product stays within 32 bits
    for (int64_t k = 0; k < n; ++k) {
      const int32_t s = samples[k];
      const int32_t scaled = RoundSmall(double(s) * factor);
      samples[k] = int16_t(uint32_t(s + 1) <= 2u ? s : scaled);  // -1, 0 and 1 stay
    }
    return;
  }
  for (int64_t k = 0; k < n; ++k) {
    const int16_t s = samples[k];
    if (s < -1 || s > 1) samples[k] = int16_t(uint16_t(RoundHalfEven(s * factor)));
  }
}

std::string UnitNameForAssembly(std::string_view unit) {
  std::string n(unit.empty() ? std::string_view(" ") : unit.substr(0, 2));
  for (const UnitAlias& alias : kUnitAliases)
    if (n[0] == alias.from) n = std::string(1, alias.to);
  const auto first = static_cast<unsigned char>(n[0]);
  const bool blank =
      std::all_of(n.begin(), n.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
  if (first < 31 || blank || kPauseMarks.find(n[0]) != std::string_view::npos) n.assign(1, '_');
  return n;
}

void TSayText::AssembleWord() {
  MemoryStream& wave = SlotWaves[CurrentSlot];
  wave.Clear();
  if (WaveHeader)
    wave.Write(WaveHeader->Data(), kHeaderBlock);
  else
    wave = FallbackHeaderBlock();
  wave.Seek(wave.Size());
  TSayWord& word = Words[CurrentSlot];
  const int32_t count = std::clamp(word.CharacterCount, 0, kMaxEntries);
  for (int32_t k = 1; k <= count; ++k) {
    try {
      AssembleUnit(word.Characters[k], wave);
    } catch (const std::exception&) {
      // A unit that cannot be assembled is left out; the word goes on.
    }
  }
  wave.PutU32(40, uint32_t(wave.Size() - kHeaderBlock));
  if (SynthesisSettings.EchoDelay > 0 && SynthesisSettings.EchoVolume > 0) MixEchoWord();
}

void TSayText::AssembleUnit(TCharacter e, MemoryStream& out) {
  const std::string n = UnitNameForAssembly(e.Unit.View());

  auto silence = [&](int32_t ms) {
    out.WriteZeros(size_t(std::min(ms, kMaxSilenceMs)) * kSamplesPerMs * 2);
  };
  if (n == "_") {
    if (e.Duration > 0) silence(e.Duration);
    return;
  }
  if (e.PauseBefore > 0) silence(e.PauseBefore);

  MemoryStream unit;
  LoadUnit(n, unit);
  AssembleUnitWave(e, n, unit, out);
}

void TSayText::AssembleUnitWave(const TCharacter& e, const std::string& n, const MemoryStream& unit,
                                MemoryStream& out) {
  const SynthesisParameters& cfg = SynthesisSettings;
  TSayWord& word = Words[CurrentSlot];
  if (unit.Size() <= kHeaderBlock) return;
  int64_t r = int64_t(unit.Size()) - int64_t(kHeaderBlock);
  UnitSamples.Reserve(size_t(r) + 2);
  std::memcpy(UnitSamples.Data(), unit.Data() + kHeaderBlock, size_t(r));

  double g = e.Gain;
  if (e.Loudness != 0) g = (e.Loudness / double(kUnityLoudness)) * cfg.Volume * g;
  if (word.WordGain != 0) g = (word.WordGain / kUnityLoudness) * g;
  ScaleSamples(UnitSamples, r, g);

  if (r % 2 != 0 && r > 0) --r;
  r -= kTailTrimBytes;
  const int32_t w = int32_t(r / 2);
  if (w <= 0) return;  // too short to hold anything after its metadata

  // Cut at the segment marks. Marks beyond the segment table stay inside the last segment.
  auto sample = [&](int32_t i) { return UnitSamples.Sample(size_t(i - 1)); };
  SegmentStart[1] = 1;
  int32_t b = 1;
  for (int32_t i = 1; i <= w - 15 && b < kMaxSegments; ++i) {
    bool mark = true;
    for (int k = 0; k < 10 && mark; ++k) mark = sample(i + k) == kSegmentMark[k];
    if (!mark) continue;
    SegmentEnd[b] = i;
    ++b;
    SegmentStart[b] = i + 10;
  }
  SegmentEnd[b] = w;
  const int32_t m = std::clamp<int64_t>(int64_t(b) - e.DroppedSegments, 0, b);

  for (int32_t k = 1; k <= m; ++k) {
    const int32_t len = std::max(0, SegmentEnd[k] - SegmentStart[k]);
    SegmentBytes[k] = len * 2;
    MemoryStream& seg = Segments[k];
    seg.Reserve(size_t(len) * 2);
    // Two marks side by side leave an empty segment, whose stream may have no storage yet.
    if (len > 0)
      std::memcpy(seg.Data(), UnitSamples.Data() + size_t(SegmentStart[k] - 1) * 2,
                  size_t(len) * 2);
  }

  const auto count32 = [](int64_t c) { return ClampToInt32(c); };
  const int32_t c1 = count32(int64_t(PitchOffset) + cfg.Pitch + e.PitchShift);
  for (int32_t k = 1; k <= m; ++k) ResampleSegment(Segments[k], c1, SegmentBytes[k]);
  const int32_t c2 = count32(int64_t(PitchOffset) + e.FinalPitch);
  if (c2 > 0 || c2 < -1)
    for (int32_t k = 1; k <= m; ++k) ResampleSegment(Segments[k], c2, SegmentBytes[k]);
  const int32_t K = RoundHalfEven32(word.PitchLevel);
  if ((K > 0 || K < -1) && cfg.IntonationOn && !cfg.PitchGlideOn)
    for (int32_t k = 1; k <= m; ++k) ResampleSegment(Segments[k], K, SegmentBytes[k]);

  // Duration fitting: lengthen by repeating the middle segments, shorten by dropping every
  // second and third one.
  int64_t repeat = 1;
  if (n[0] != letter::d_caron && m > 0) {
    int64_t T = 0;
    for (int32_t k = 1; k <= m; ++k) T += SegmentBytes[k];
    const int64_t D = int64_t(std::min(e.Duration, kMaxSilenceMs)) * kSamplesPerMs;
    if (D > T) {
      if (n.size() == 1 && !Contains(kNoStretch, n[0]) && T / b > 0 && b - 8 > 0)
        repeat = std::max<int64_t>(1, (D / (T / b)) / (b - 8));
    } else if (T / m > 0) {
      int64_t x = (T - D) / (T / m);
      if (n.size() == 1 && Contains(kSoftDrop, n[0])) x = RoundHalfEven(x * kShorteningFactor);
      for (int pass = 0; pass < kDropPasses && x > 0; ++pass) {
        int32_t j = pass == 0 ? 0 : 1;
        for (int32_t t = 0; t < m / 2 - 2; ++t) {
          j += 2;
          if (x > 0 && SegmentBytes[j] > 0) SegmentBytes[j] = 0, --x;
        }
        j = 0;
        if (x > 0)
          for (int32_t t = 0; t < m / 3; ++t) {
            j += 3;
            if (x > 0 && SegmentBytes[j] > 0) SegmentBytes[j] = 0, --x;
          }
      }
    }
  }

  int32_t f = e.FirstSegment;
  if (f < 1 || f > m) f = 1;
  const int64_t lastRepeated = int64_t(b) - 4 - e.DroppedSegments;
  for (int32_t k = f; k <= m; ++k) {
    if (SegmentBytes[k] <= 0) continue;
    const int64_t copies = (k >= 4 && k <= lastRepeated && k <= kMaxRepeatedSegment) ? repeat : 1;
    for (int64_t copy = 0; copy < copies; ++copy) {
      try {
        if (cfg.PitchGlideOn) {
          if (e.TargetPitch < word.PitchLevel) word.PitchLevel -= word.PitchStep;
          if (e.TargetPitch > word.PitchLevel) word.PitchLevel += word.PitchStep;
          const int32_t bytes = ResampleSegmentCopy(
              Segments[k], ShiftedSegment, RoundHalfEven32(word.PitchLevel), SegmentBytes[k]);
          out.Write(ShiftedSegment.Data(), size_t(bytes));
        } else {
          out.Write(Segments[k].Data(), size_t(SegmentBytes[k]));
        }
      } catch (const std::exception&) {
        // A copy that cannot be written is skipped; the next one follows.
      }
    }
  }
  ShiftedSegment.Clear();
}

// Moves the unread part of every echo line to its front so the lines stay short.
static void CompactEchoLines(TSayText& s, int32_t tracks) {
  for (int32_t i = 1; i <= tracks; ++i) {
    MemoryStream& line = s.EchoLines[i];
    const int64_t room = int64_t(s.EchoLength[i]) + s.EchoReadPos[i];
    if (room > 0 && line.Size() < size_t(room) * 2) line.SetSize(size_t(room) * 2);
    const int32_t pos = s.EchoReadPos[i], len = s.EchoLength[i];
    if (pos >= 1 && pos < len) {
      std::memmove(line.Data(), line.Data() + size_t(pos - 1) * 2, size_t(len - pos + 1) * 2);
      s.EchoLength[i] = len - pos;
      s.EchoReadPos[i] = 1;
    }
  }
}

// Feeds the buffer into the lines and mixes what the lines hold back into the buffer.
static void FeedAndMix(TSayText& s, int32_t tracks, std::vector<int16_t>& buffer) {
  const auto n = int32_t(buffer.size());
  const double volume = SynthesisSettings.EchoVolume;
  for (int32_t i = 1; i <= tracks; ++i) {
    MemoryStream& line = s.EchoLines[i];
    const double factor = volume / 100.0 / double(i * i);
    int32_t length = std::max(0, s.EchoLength[i]);
    const size_t need = (size_t(length) + buffer.size()) * 2;
    if (line.Size() < need) line.SetSize(need);
    int16_t* samples = reinterpret_cast<int16_t*>(line.Data());
    // The echo volume is at most 1000 %, so every product stays far within 32 bits.
    int16_t* dst = samples + length;
    for (size_t k = 0; k < buffer.size(); ++k)
      dst[k] = int16_t(uint16_t(uint32_t(RoundSmall(factor * buffer[k]))));
    length += int32_t(buffer.size());
    s.EchoLength[i] = length;
  }
  for (int32_t i = 1; i <= tracks; ++i) {
    const int16_t* samples = reinterpret_cast<const int16_t*>(s.EchoLines[i].Data());
    int32_t pos = s.EchoReadPos[i];
    const int32_t length = s.EchoLength[i];
    // Output sample o (1-based) meets line sample pos + o - 1; only line samples from 1 on sound.
    const int64_t steps = std::max<int64_t>(0, std::min<int64_t>(n - 1, int64_t(length) - pos));
    const int64_t first = std::max<int64_t>(0, 1 - int64_t(pos));  // steps before sample 1
    for (int64_t k = first; k < steps; ++k)
      buffer[size_t(k)] = int16_t(uint16_t(buffer[size_t(k)] + samples[pos + k - 1]));
    s.EchoReadPos[i] = int32_t(pos + steps);
  }
}

void TSayText::MixEchoWord() {
  const int32_t tracks = std::clamp(SynthesisSettings.EchoTrackCount, 0, kEchoLines);
  MemoryStream& wave = SlotWaves[CurrentSlot];
  CompactEchoLines(*this, tracks);
  if (wave.Size() <= kHeaderBlock) return;
  std::vector<int16_t> buffer((wave.Size() - kHeaderBlock) / 2);
  if (buffer.empty()) return;
  std::memcpy(buffer.data(), wave.Data() + kHeaderBlock, buffer.size() * 2);
  FeedAndMix(*this, tracks, buffer);
  std::memcpy(wave.Data() + kHeaderBlock, buffer.data(), buffer.size() * 2);
}

void TSayText::MixEchoUnit(MemoryStream& pcm) {
  const SynthesisParameters& cfg = SynthesisSettings;
  if (cfg.EchoDelay < 1 || cfg.EchoVolume < 1 || cfg.EchoTrackCount < 1) return;
  const int32_t tracks = std::min(cfg.EchoTrackCount, kEchoLines);
  CompactEchoLines(*this, tracks);
  std::vector<int16_t> buffer(pcm.Size() / 2);
  if (buffer.empty()) return;
  std::memcpy(buffer.data(), pcm.Data(), buffer.size() * 2);
  FeedAndMix(*this, tracks, buffer);
  std::memcpy(pcm.Data(), buffer.data(), buffer.size() * 2);
}

void TSayText::ResetEchoLines() {
  const int32_t tracks = std::clamp(SynthesisSettings.EchoTrackCount, 0, kEchoLines);
  for (int32_t i = 1; i <= tracks; ++i) {
    EchoReadPos[i] = ClampToInt32(-int64_t(SynthesisSettings.EchoDelay) * i);
    EchoLength[i] = 0;
  }
}

}  // namespace kv
