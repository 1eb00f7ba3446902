#include "agent/character_file.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <sstream>

#include "agent/shipped_characters.h"
#include "platform/cp1250.h"
#include "platform/paths.h"

namespace kv::agent {

namespace {

std::string Trim(std::string_view text) {
  const size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string_view::npos) return {};
  const size_t end = text.find_last_not_of(" \t\r");
  return std::string(text.substr(begin, end - begin + 1));
}

void ReadSize(const std::string& value, int& size) {
  int number = 0;
  auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error == std::errc() && end == value.data() + value.size() && number >= 48 && number <= 400)
    size = number;
}

void ReadColour(const std::string& value, unsigned& colour) {
  if (value.size() != 7 || value[0] != '#') return;
  unsigned number = 0;
  auto [end, error] = std::from_chars(value.data() + 1, value.data() + 7, number, 16);
  if (error == std::errc() && end == value.data() + 7) colour = number;
}

std::vector<std::string> ReadList(const std::string& value) {
  std::vector<std::string> names;
  std::istringstream in(value);
  for (std::string name; std::getline(in, name, ',');)
    if (!(name = Trim(name)).empty()) names.push_back(cp1250::UpperCase(name));
  return names;
}

}  // namespace

CharacterLook DefaultLook() {
  CharacterLook look;
  look.animations = {"WAVE", "THINK",         "THINKING",   "PROCESS",
                     "READ", "READCONTINUED", "READRETURN", "GREET"};
  return look;
}

CharacterLook ParseCharacter(const std::string& text) {
  CharacterLook look = DefaultLook();
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const size_t equals = line.find('=');
    if (line.starts_with('#') || equals == std::string::npos) continue;
    const std::string key = cp1250::UpperCase(Trim(std::string_view(line).substr(0, equals)));
    const std::string value = Trim(std::string_view(line).substr(equals + 1));
    if (key == "NAME" && !value.empty())
      look.name = value;
    else if (key == "WIDTH")
      ReadSize(value, look.width);
    else if (key == "HEIGHT")
      ReadSize(value, look.height);
    else if (key == "BODY")
      ReadColour(value, look.body);
    else if (key == "FACE")
      ReadColour(value, look.face);
    else if (key == "OUTLINE")
      ReadColour(value, look.outline);
    else if (key == "ANIMATIONS" && !ReadList(value).empty())
      look.animations = ReadList(value);
  }
  return look;
}

std::optional<CharacterLook> ReadCharacterFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return ParseCharacter(text.substr(0, 64 * 1024));  // a character file is small
}

std::filesystem::path CharactersFolder() {
  return platform::WindowsDir() / "MSAgent" / "Chars";
}

void InstallShippedCharacters() {
  std::error_code error;
  std::filesystem::create_directories(CharactersFolder(), error);
  for (const ShippedCharacter& shipped : kShippedCharacters) {
    const auto path = CharactersFolder() / shipped.file;
    if (std::filesystem::exists(path, error)) continue;
    std::ofstream(path, std::ios::binary) << cp1250::FromUtf8Lenient(std::string(shipped.text));
  }
}

}  // namespace kv::agent
