// The tables that steer waveform assembly.
#pragma once

#include <string_view>

#include "synth/letters.h"

namespace kv::assembly {

inline constexpr int kTailTrimBytes = 120;  // the resource's trailing metadata
inline constexpr double kShorteningFactor = 0.7;
inline constexpr int kDropPasses = 5;
inline constexpr int kMaxRepeatedSegment = 255;
// Pauses and silences longer than this are cut: a minute of silence per entry is more than
// any text asks for, and bounds the memory a hostile duration could claim.
inline constexpr int kMaxSilenceMs = 60000;

// Units that are never lengthened by repeating segments.
inline constexpr char kNoStretch[] = {'c',
                                      'f',
                                      'r',
                                      's',
                                      'v',
                                      'z',
                                      letter::c_caron,
                                      letter::r_caron,
                                      letter::s_caron,
                                      letter::z_caron};
// Units whose segment drop count is softened by the shortening factor.
inline constexpr char kSoftDrop[] = {'c',
                                     'j',
                                     'r',
                                     's',
                                     'v',
                                     'z',
                                     letter::c_caron,
                                     letter::r_caron,
                                     letter::s_caron,
                                     letter::z_caron};

// First character of a unit -> the unit played in its place.
struct UnitAlias {
  char from;
  char to;
};
inline constexpr UnitAlias kUnitAliases[] = {
    {' ', '_'},
    {'w', 'v'},
    {letter::a_acute, 'a'},
    {letter::e_acute, 'e'},
    {letter::e_caron, 'e'},
    {letter::i_acute, 'i'},
    {letter::o_acute, 'o'},
    {letter::u_acute, 'u'},
    {letter::u_ring, 'u'},
};

// Punctuation played as a pause.
inline constexpr std::string_view kPauseMarks = "!,.?";

// Single háček letters are looked up under two-letter resource names.
struct HacekName {
  char letter;
  std::string_view resource;
};
inline constexpr HacekName kHacekNames[] = {
    {letter::c_caron, "cv"}, {letter::d_caron, "dv"}, {letter::t_caron, "tv"},
    {letter::s_caron, "sv"}, {letter::z_caron, "zv"}, {letter::n_caron, "nv"},
    {letter::r_caron, "rv"},
};

}  // namespace kv::assembly
