// The track bars of the voice properties dialog, page by page: ranges, design positions,
// tick frequencies, selection bands, and the words a screen reader says for each.
#pragma once

namespace kv::dialogs {

struct TrackBarRow {
  const char* name;        // also the stored value's component name
  const char* caption;     // label beside or above the bar (UTF-8)
  const char* valueLabel;  // name of the label that shows the value
  int min, max, position, tickFrequency;
  int selStart, selEnd;        // equal: no band (the pitch band is set per voice)
  const char* accessibleName;  // UTF-8
};

// Page "Hlas", top to bottom.
inline constexpr TrackBarRow kVoicePageBars[3] = {
    {"Volume", "Hlasitost", "LabelVolume", 0, 100, 50, 5, 10, 90, "Hlasitost"},
    {"Speed", "Rychlost", "LabelSpeed", 50, 150, 100, 5, 70, 130, "Rychlost"},
    {"Pith", "Výška", "PithLabel", -30, 30, -20, 1, 0, 0, "Výška"},
};

// Page "Echo", left to right (vertical bars).
inline constexpr TrackBarRow kEchoPageBars[3] = {
    {"Echo_Volume", "Hlasitost", "LabelEchoVolume", 0, 100, 20, 5, 0, 0, "Echo, hlasitost"},
    {"Echo_tracsk", "Počet stop", "LabelStop", 0, 10, 2, 1, 0, 0, "Echo, počet stop"},
    {"Echo_delay", "Prodleva", "LabelEchoMS", 0, 100, 20, 5, 0, 0, "Echo, prodleva"},
};

// Page "Intonace": shown as they are, not stored, no handler.
inline constexpr TrackBarRow kIntonationPageBars[2] = {
    {"Pause", "Prodleva", "Label17", 0, 10, 5, 1, 4, 6, "Prodleva"},
    {"Robotize", "Strojově", "Label18", 0, 10, 5, 1, 4, 6, "Strojově"},
};

}  // namespace kv::dialogs
