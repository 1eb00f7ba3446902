#include "engine/mouth_table.h"

#include <initializer_list>

namespace kv::engine {

namespace {

std::bitset<256> Codes(std::initializer_list<uint8_t> codes) {
  std::bitset<256> set;
  for (uint8_t c : codes) set.set(c);
  return set;
}

std::bitset<256> Range(int from, int to) {
  std::bitset<256> set;
  for (int c = from; c <= to; ++c) set.set(c);
  return set;
}

constexpr sapi::TTSMOUTH kOpen = {128, 128, 128, 128, 128, 128, 128, 128};
constexpr sapi::TTSMOUTH kVowel = {128, 128, 30, 40, 50, 60, 70, 80};
constexpr sapi::TTSMOUTH kClosed = {0, 128, 3, 4, 5, 6, 7, 8};

}  // namespace

// Windows-1250: 0xE1 á, 0xE9 é, 0xED í, 0xFD ý, 0xF3 ó, 0xFA ú.
const MouthRow kMouthTable[kMouthRows] = {
    {Codes({'a', 0xE1}), kOpen},
    {Codes({'e', 0xE9}), kVowel},
    {Codes({'i', 'y', 0xED, 0xFD}), kVowel},
    {Codes({'o', 0xF3}), kVowel},
    {Codes({'u', 0xFA}), kVowel},
    {Codes({'h', 't'}), kClosed},
    {Range(33, 255), kClosed},
    {Codes({' '}), kClosed},
};

sapi::TTSMOUTH LookupMouth(uint8_t code) {
  for (const MouthRow& row : kMouthTable)
    if (row.characters.test(code)) return row.mouth;
  return sapi::TTSMOUTH{};
}

}  // namespace kv::engine
