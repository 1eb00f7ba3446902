#include "apps/sd_kvtts/punctuation.h"

#include <array>
#include <cctype>

#include "platform/cp1250.h"

namespace kv::speechd {

namespace {

struct Named {
  std::string_view character;  // UTF-8: one character
  std::string_view name;       // UTF-8
  Punctuation from;            // the lowest mode that names it
  bool keep = false;           // a sentence mark: stays after its name
};

constexpr std::array<Named, 39> kNames = {{
    {"#", "mřížka", Punctuation::Some},
    {"$", "dolar", Punctuation::Some},
    {"%", "procento", Punctuation::Some},
    {"*", "hvězdička", Punctuation::Some},
    {"<", "menší než", Punctuation::Some},
    {"=", "rovná se", Punctuation::Some},
    {">", "větší než", Punctuation::Some},
    {"@", "zavináč", Punctuation::Some},
    {"^", "stříška", Punctuation::Some},
    {"_", "podtržítko", Punctuation::Some},
    {"`", "obrácený apostrof", Punctuation::Some},
    {"|", "svislá čára", Punctuation::Some},
    {"~", "tilda", Punctuation::Some},
    {"§", "paragraf", Punctuation::Some},
    {"°", "stupeň", Punctuation::Some},
    {"€", "euro", Punctuation::Some},
    {"×", "krát", Punctuation::Some},
    {"(", "levá závorka", Punctuation::Most},
    {")", "pravá závorka", Punctuation::Most},
    {"[", "levá hranatá závorka", Punctuation::Most},
    {"]", "pravá hranatá závorka", Punctuation::Most},
    {"\"", "uvozovky", Punctuation::Most},
    {"„", "uvozovky", Punctuation::Most},
    {"“", "uvozovky", Punctuation::Most},
    {"”", "uvozovky", Punctuation::Most},
    {"'", "apostrof", Punctuation::Most},
    {"‚", "apostrof", Punctuation::Most},
    {"‘", "apostrof", Punctuation::Most},
    {"’", "apostrof", Punctuation::Most},
    {"-", "pomlčka", Punctuation::Most},
    {"–", "pomlčka", Punctuation::Most},
    {"—", "dlouhá pomlčka", Punctuation::Most},
    {":", "dvojtečka", Punctuation::Most},
    {";", "středník", Punctuation::Most},
    {"…", "tři tečky", Punctuation::Most},
    {".", "tečka", Punctuation::All, true},
    {",", "čárka", Punctuation::All, true},
    {"?", "otazník", Punctuation::All, true},
    {"!", "vykřičník", Punctuation::All, true},
}};

struct Entry {
  char character = 0;
  std::string name;  // Windows-1250; empty: not named here
  Punctuation from = Punctuation::None;
  bool keep = false;
};

// The table in Windows-1250, by byte.
const std::array<Entry, 256>& Table() {
  static const std::array<Entry, 256> table = [] {
    std::array<Entry, 256> t{};
    for (const Named& n : kNames) {
      const std::string c = cp1250::FromUtf8Lenient(n.character);
      if (c.size() != 1 || n.name.empty()) continue;
      t[static_cast<unsigned char>(c[0])] = {c[0], cp1250::FromUtf8Lenient(n.name), n.from, n.keep};
    }
    return t;
  }();
  return table;
}

bool IsDigit(std::string_view text, size_t i) {
  return i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
}

}  // namespace

Punctuation PunctuationFromName(std::string_view name) {
  if (name == "some") return Punctuation::Some;
  if (name == "most") return Punctuation::Most;
  if (name == "all") return Punctuation::All;
  return Punctuation::None;
}

std::string NamePunctuation(std::string_view text, Punctuation mode) {
  if (mode == Punctuation::None) return std::string(text);
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const Entry& e = Table()[static_cast<unsigned char>(text[i])];
    // A decimal point or comma inside a number, or the sign in front of one, belongs to it.
    const bool inNumber =
        ((text[i] == '.' || text[i] == ',') && i > 0 && IsDigit(text, i - 1) &&
         IsDigit(text, i + 1)) ||
        (text[i] == '-' && IsDigit(text, i + 1) && (i == 0 || text[i - 1] == ' '));
    if (e.name.empty() || e.from > mode || inNumber) {
      out += text[i];
      continue;
    }
    out += ' ' + e.name + (e.keep ? std::string(1, text[i]) : std::string()) + ' ';
  }
  return out;
}

}  // namespace kv::speechd
