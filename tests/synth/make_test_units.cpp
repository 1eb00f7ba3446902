// Writes small voice units for the synthesizer tests into a folder: known sample values, known
// segment marks, the 44-byte header and a 120-byte tail (metadata stand-in) like real units.
//
//   make_test_units OUTDIR
//
// A:  3 segments of 20 samples (values 100.., 200.., 300..)
// K:  1 segment of 50 samples (no marks)
// B:  12 segments of 20 samples each (segment k holds k*1000 + i)
// RV: 1 segment of 30 samples of 777 (the unit of ř)
// MN: 200 segments of 12 samples (more marks than the segment table holds)
// TN: 10 samples and no tail: shorter than the tail trim
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

const int16_t kMark[10] = {0, 1, 1, -1, -1, 1, 1, -1, -1, 0};

void Put16(std::string& out, uint32_t v) {
  out.push_back(char(v & 0xFF));
  out.push_back(char((v >> 8) & 0xFF));
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// samples: the PCM after the first (skipped) sample; the tail is appended here.
void Write(const std::string& dir, const std::string& name, const std::vector<int16_t>& samples,
           bool withTail = true) {
  std::vector<int16_t> pcm;
  pcm.push_back(0);  // the first sample is part of the header block and never played
  pcm.insert(pcm.end(), samples.begin(), samples.end());
  const std::string tail(withTail ? 120 : 0, '\0');
  std::string out = "RIFF";
  Put32(out, uint32_t(36 + pcm.size() * 2 + tail.size()));
  out += "WAVEfmt ";
  Put32(out, 16);
  Put16(out, 1);
  Put16(out, 1);
  Put32(out, 22050);
  Put32(out, 44100);
  Put16(out, 2);
  Put16(out, 16);
  out += "data";
  Put32(out, uint32_t(pcm.size() * 2));
  for (int16_t s : pcm) Put16(out, uint16_t(s));
  out += tail;
  std::ofstream(dir + "/" + name + ".wav", std::ios::binary) << out;
}

std::vector<int16_t> Segments(int count, int length, int base) {
  std::vector<int16_t> out;
  for (int k = 1; k <= count; ++k) {
    if (k > 1) out.insert(out.end(), kMark, kMark + 10);
    for (int i = 0; i < length; ++i) out.push_back(int16_t(k * base + i + 2));
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  Write(dir, "A", Segments(3, 20, 100));
  Write(dir, "K", std::vector<int16_t>(50, 500));
  Write(dir, "B", Segments(12, 20, 1000));
  Write(dir, "RV", std::vector<int16_t>(30, 777));
  Write(dir, "MN", Segments(200, 12, 10));
  Write(dir, "TN", std::vector<int16_t>(10, 5), false);
  return 0;
}
