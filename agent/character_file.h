// Character files: <Windows folder>/MSAgent/Chars/NAME.ACS, Windows-1250 text of our own,
// one "key=value" per line ('#' starts a comment, unknown keys are ignored):
//   Name=Robík                      shown in the property sheet
//   Width=128  Height=128           size of the figure in pixels (48..400)
//   Body=#3060C0  Face=#FFE0C0  Outline=#203040   colours
//   Animations=WAVE,THINK,...       the animations it offers (upper case)
// Values out of range or unreadable keep the built-in character's value.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kv::agent {

struct CharacterLook {
  std::string name = "DEFAULT";
  int width = 128, height = 128;
  unsigned body = 0x3060C0, face = 0xFFE0C0, outline = 0x203040;  // 0xRRGGBB
  std::vector<std::string> animations;
};

// The built-in character "DEFAULT".
CharacterLook DefaultLook();
CharacterLook ParseCharacter(const std::string& text);
// Null when the file cannot be read.
std::optional<CharacterLook> ReadCharacterFile(const std::filesystem::path& file);
// The folder of the character files.
std::filesystem::path CharactersFolder();
// Writes the characters shipped with the system into the folder where missing.
void InstallShippedCharacters();

}  // namespace kv::agent
