// The character files shipped with the system besides the built-in "DEFAULT" (UTF-8 here,
// written in Windows-1250).
#pragma once

#include <array>
#include <string_view>

namespace kv::agent {

struct ShippedCharacter {
  std::string_view file;
  std::string_view text;
};

inline constexpr std::array<ShippedCharacter, 2> kShippedCharacters = {{
    {"ROBIK.ACS",
     "# Robík: a small green robot\nName=Robík\nWidth=112\nHeight=136\nBody=#3A9A48\n"
     "Face=#D8E8D0\nOutline=#1E3A22\n"
     "Animations=WAVE,THINK,THINKING,PROCESS,READ,READCONTINUED,READRETURN,GREET\n"},
    {"KORALKA.ACS",
     "# Korálka: a tall red figure\nName=Korálka\nWidth=104\nHeight=160\nBody=#C03838\n"
     "Face=#FFE4C8\nOutline=#401010\n"
     "Animations=WAVE,THINK,THINKING,PROCESS,READ,READCONTINUED,READRETURN\n"},
}};

}  // namespace kv::agent
