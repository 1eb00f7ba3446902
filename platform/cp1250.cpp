#include "platform/cp1250.h"

#include <array>

namespace kv::cp1250 {
namespace {

// Unicode of bytes 0x80..0xFF; 0 marks a byte the code page leaves undefined.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x20AC, 0x0000, 0x201A, 0x0000, 0x201E, 0x2026, 0x2020, 0x2021, 0x0000, 0x2030, 0x0160, 0x2039,
    0x015A, 0x0164, 0x017D, 0x0179, 0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0000, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141,
    0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB,
    0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

// Capital -> small letter pairs above 0x7F (the rest of 0xC0..0xDE is a plain +0x20).
constexpr std::array<std::pair<unsigned char, unsigned char>, 10> kHighCapitals = {{
    {0x8A, 0x9A},
    {0x8C, 0x9C},
    {0x8D, 0x9D},
    {0x8E, 0x9E},
    {0x8F, 0x9F},
    {0xA3, 0xB3},
    {0xA5, 0xB9},
    {0xAA, 0xBA},
    {0xAF, 0xBF},
    {0xBC, 0xBE},
}};

struct CaseTables {
  std::array<unsigned char, 256> lower{}, upper{};
  CaseTables() {
    for (int i = 0; i < 256; ++i) lower[i] = upper[i] = static_cast<unsigned char>(i);
    auto pair = [&](unsigned char cap, unsigned char small) {
      lower[cap] = small;
      upper[small] = cap;
    };
    for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 0x20);
    for (auto [cap, small] : kHighCapitals) pair(cap, small);
    for (int c = 0xC0; c <= 0xDE; ++c)
      if (c != 0xD7) pair(c, c + 0x20);  // 0xD7 is the multiplication sign
  }
};

const CaseTables& Tables() {
  static const CaseTables tables;
  return tables;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(char(cp));
  } else if (cp < 0x800) {
    out.push_back(char(0xC0 | (cp >> 6)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(char(0xE0 | (cp >> 12)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (cp >> 18)));
    out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::optional<char32_t> DecodeUtf8(std::string_view text, size_t& i) {
  const auto b0 = static_cast<unsigned char>(text[i++]);
  if (b0 < 0x80) return b0;
  int extra;
  char32_t cp, min;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3, cp = b0 & 0x07, min = 0x10000;
  } else {
    return std::nullopt;
  }
  size_t j = i;
  for (int k = 0; k < extra; ++k, ++j) {
    if (j >= text.size()) return std::nullopt;
    const auto b = static_cast<unsigned char>(text[j]);
    if ((b & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  i = j;
  return cp;
}

char32_t ToUnicode(unsigned char c) {
  if (c < 0x80) return c;
  const char16_t u = kHighHalf[c - 0x80];
  return u ? u : c;
}

std::optional<unsigned char> FromUnicode(char32_t cp) {
  if (cp < 0x80) return static_cast<unsigned char>(cp);
  for (int i = 0; i < 128; ++i) {
    const char16_t u = kHighHalf[i];
    if (u == cp || (u == 0 && cp == char32_t(0x80 + i)))
      return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

std::string ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) AppendUtf8(out, ToUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::optional<std::string> FromUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    auto cp = DecodeUtf8(utf8, i);
    if (!cp) return std::nullopt;
    out.push_back(static_cast<char>(FromUnicode(*cp).value_or('?')));
  }
  return out;
}

std::string FromUtf8Lenient(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    auto cp = DecodeUtf8(utf8, i);
    out.push_back(cp ? static_cast<char>(FromUnicode(*cp).value_or('?')) : '?');
  }
  return out;
}

std::u16string ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char c : text)
    out.push_back(static_cast<char16_t>(ToUnicode(static_cast<unsigned char>(c))));
  return out;
}

std::string FromUtf16(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    out.push_back(static_cast<char>(FromUnicode(cp).value_or('?')));
  }
  return out;
}

unsigned char ToLower(unsigned char c) {
  return Tables().lower[c];
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  const auto& t = Tables().lower;
  for (char& c : out) c = static_cast<char>(t[static_cast<unsigned char>(c)]);
  return out;
}

std::string UpperCase(std::string_view text) {
  std::string out(text);
  const auto& t = Tables().upper;
  for (char& c : out) c = static_cast<char>(t[static_cast<unsigned char>(c)]);
  return out;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const auto& t = Tables().lower;
  for (size_t i = 0; i < a.size(); ++i)
    if (t[static_cast<unsigned char>(a[i])] != t[static_cast<unsigned char>(b[i])]) return false;
  return true;
}

}  // namespace kv::cp1250
