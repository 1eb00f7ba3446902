// libFuzzer target: bytes as a character file (.ACS text). Whatever the file says, the look
// stays one the character window can draw: sizes in range, colours of 24 bits, a name, and
// animation names in upper case without separators.
#include "agent/character_file.h"
#include "platform/cp1250.h"
#include "tests/fuzz/fuzz_check.h"

using kv::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const kv::agent::CharacterLook look =
      kv::agent::ParseCharacter(std::string(kv::fuzz::Bytes(data, size)));
  Require(look.width >= 48 && look.width <= 400 && look.height >= 48 && look.height <= 400,
          "the size stays within 48..400");
  Require(look.body <= 0xFFFFFF && look.face <= 0xFFFFFF && look.outline <= 0xFFFFFF,
          "colours are 0xRRGGBB");
  Require(!look.name.empty(), "the character has a name");
  Require(!look.animations.empty(), "the character offers animations");
  for (const std::string& name : look.animations) {
    Require(!name.empty() && name.find(',') == std::string::npos, "animation names are whole");
    Require(name == kv::cp1250::UpperCase(name), "animation names are upper case");
    Require(name.front() != ' ' && name.back() != ' ', "animation names are trimmed");
  }
  return 0;
}
