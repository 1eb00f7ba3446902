// The values of a voice's settings key: their factory defaults and how each converts into the
// synthesis parameters when a synthesizer loads them, in load order.
#pragma once

#include <string_view>

namespace kv {

class TSayText;

struct SettingsValue {
  std::string_view name;
  std::string_view factoryDefault;
  // Converts the stored text (may raise EConvertError) into the synthesis parameters.
  void (*apply)(TSayText& synth, const std::string& text);
};

extern const SettingsValue kSettingsValues[8];

// Names of the three voice keys, in voice order.
inline constexpr std::string_view kVoiceNames[3] = {"DAVLa", "DAVLuska", "DAVL"};

}  // namespace kv
