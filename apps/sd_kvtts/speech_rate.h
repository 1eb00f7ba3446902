// The engine's speed attribute for speech-dispatcher's rate, with the pitch taken into account.
//
// Rate is exponential, as listeners hear it: -100 is three times slower than normal, +100
// three times faster, each 50 steps about 1.7 times (the engine goes no faster than 2.5 to
// 3.7 times, by tone). The engine's speech does not grow in proportion to its speed
// attribute, and a tone tag lengthens (low tones) or shortens (high tones) it, by 10 % at
// normal speed and by up to 50 % at fast speeds; the speed comes from a measured table of
// both, so that pitch leaves the length alone.
#pragma once

#include <cstdint>

namespace kv::speechd {

// rate -100..100; tone -12..12, as the pitch tag of the message sets it.
uint32_t EngineSpeed(int rate, int tone);

}  // namespace kv::speechd
