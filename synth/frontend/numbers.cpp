#include "synth/frontend/numbers.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/cp1250.h"
#include "synth/frontend/number_words.h"
#include "synth/frontend/replace_all.h"
#include "synth/frontend/text_util.h"

namespace kv::frontend {
namespace {

// The number words in Windows-1250, converted once.
struct Words {
  std::string units[10], teens_a[10], teens_b[10], tens_a[10], tens_b[10], hundreds[10];
  std::string digit_names[10];
  std::string one_masc, thousand, thousand_few, million, million_one, million_few, million_many,
      minus, zero, point, billion_one, billion_few, billion_many;
  std::vector<std::pair<std::string, std::string>> pass;
  Words() {
    for (int i = 0; i < 10; ++i) {
      units[i] = Cp(kUnitWords[i]);
      teens_a[i] = Cp(kTeenWords[i].first);
      teens_b[i] = Cp(kTeenWords[i].second);
      tens_a[i] = Cp(kTensWords[i].first);
      tens_b[i] = Cp(kTensWords[i].second);
      hundreds[i] = Cp(kHundredsWords[i]);
      digit_names[i] = Cp(kDigitNames[i]);
    }
    one_masc = Cp(kOneMasculine);
    thousand = Cp(kThousand);
    thousand_few = Cp(kThousandFew);
    million = Cp(kMillionStem);
    million_one = Cp(kMillionOne);
    million_few = Cp(kMillionFew);
    million_many = Cp(kMillionMany);
    minus = Cp(kMinus);
    zero = Cp(kZero);
    point = Cp(kPoint);
    billion_one = Cp(kBillionOne);
    billion_few = Cp(kBillionFew);
    billion_many = Cp(kBillionMany);
    for (auto& [from, to] : kDigitSymbolPass) pass.emplace_back(Cp(from), Cp(to));
  }
};

const Words& W() {
  static const Words words;
  return words;
}

int Digit(char c) {
  return c >= '0' && c <= '9' ? c - '0' : 0;
}

std::string UnitWord(int d, bool masculine) {
  if (d == 1 && masculine) return W().one_masc;
  return W().units[d];
}

// Words of a two-digit value (tens and units of a group).
std::string TwoDigits(int m, bool masculine) {
  if (m < 10) return UnitWord(m, masculine);
  if (m < 20) return W().teens_a[m - 10] + W().teens_b[m - 10];
  return W().tens_a[m / 10] + W().tens_b[m / 10] + UnitWord(m % 10, masculine);
}

// Reads nine digit positions (millions, thousands, units group; leading blanks as '0').
std::string ReadNine(std::string_view p) {
  const Words& w = W();
  std::string out;
  auto at = [&](int pos) { return Digit(p[size_t(pos - 1)]); };
  // Millions group.
  out += w.hundreds[at(1)];
  int m = at(2) * 10 + at(3);
  if (m == 0) {
    if (at(1) != 0) out += w.million + w.million_many;
  } else if (m == 1) {
    out += w.one_masc + w.million + w.million_one;
  } else if (m <= 4) {
    out += UnitWord(at(3), true) + w.million + w.million_few;
  } else if (m <= 9) {
    out += UnitWord(at(3), true) + w.million + w.million_many;
  } else {
    out += TwoDigits(m, true) + w.million + w.million_many;
  }
  // Thousands group.
  out += w.hundreds[at(4)];
  out += TwoDigits(at(5) * 10 + at(6), true);
  if (at(6) >= 2 && at(6) <= 4 && at(4) == 0 && at(5) == 0)
    out += w.thousand_few;
  else if (at(4) != 0 || at(5) != 0 || at(6) != 0)
    out += w.thousand;
  // Units group.
  out += w.hundreds[at(7)];
  out += TwoDigits(at(8) * 10 + at(9), false);
  return out;
}

}  // namespace

std::string NumberToWords(double value) {
  if (!std::isfinite(value)) return {};
  const Words& w = W();
  std::string sign;
  if (value < 0) {
    sign = w.minus;
    value = -value;
  }
  // The value with two decimals: the integer digits, the point, two decimals.
  char buf[400];
  int n = std::snprintf(buf, sizeof buf, "%.2f", value);
  if (n < 4 || size_t(n) >= sizeof buf) return sign;
  std::string_view text(buf, size_t(n));
  std::string_view integer = text.substr(0, text.size() - 3);
  std::string_view decimals = text.substr(text.size() - 2);

  std::string words;
  if (integer.size() <= 9) {
    words = ReadNine(std::string(9 - integer.size(), '0') + std::string(integer));
  } else if (integer.size() <= 12) {
    std::string_view high = integer.substr(0, integer.size() - 9);
    int g = 0;
    for (char c : high) g = g * 10 + Digit(c);
    if (g == 1) {
      words = w.billion_one;
    } else {
      std::string group = std::string(9 - high.size(), '0') + std::string(high);
      int last = g % 100;
      bool few = last % 10 >= 2 && last % 10 <= 4 && last / 10 != 1;
      words = ReadNine(group) + (few ? w.billion_few : w.billion_many);
    }
    words += ReadNine(integer.substr(integer.size() - 9));
  } else {
    for (char c : integer) words += w.digit_names[size_t(Digit(c))];
  }

  if (decimals == "00") return sign + words;
  if (words.empty()) words = w.zero;
  return sign + words + w.point + TwoDigits(Digit(decimals[0]) * 10 + Digit(decimals[1]), false);
}

std::optional<double> ReadFloat(std::string_view text) {
  size_t i = 0, n = text.size();
  while (i < n && text[i] == ' ') ++i;
  size_t start = i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < n && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exp_digits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') ++i, ++exp_digits;
    if (exp_digits == 0) return std::nullopt;
  }
  if (i != n) return std::nullopt;
  std::string copy(text.substr(start));
  errno = 0;
  char* end = nullptr;
  double v = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

void ApplyCurrency(std::string& word_part, std::string& suffix) {
  if (word_part.size() <= 3) return;
  std::string lower = cp1250::LowerCase(word_part);
  static const std::string kc = Cp(" kč");
  if (lower.compare(lower.size() - 4, 3, kc) != 0) return;
  word_part.resize(word_part.size() - 3);
  if (kLocaleDecimalSeparator == ',')
    for (char& c : word_part)
      if (c == ',') c = '.';
  suffix = Cp(" Kč") + suffix;
}

void ApplyNumber(std::string& word_part) {
  std::string_view trimmed = Trim(word_part);
  if (auto v = ReadFloat(trimmed)) {
    size_t lead = size_t(trimmed.data() - word_part.data());
    word_part =
        word_part.substr(0, lead) + NumberToWords(*v) + word_part.substr(lead + trimmed.size());
  } else if (kLocaleDecimalSeparator == ',') {
    std::string again;
    for (char c : word_part) {
      if (c == ' ') continue;
      again += c == ',' ? '.' : c;
    }
    if (auto v2 = ReadFloat(again)) {
      word_part = NumberToWords(*v2);
    } else {
      return;
    }
  } else {
    return;
  }
  if (IsBlankText(word_part)) word_part = "0";
}

void ApplyDigitsAndSymbols(std::string& word_part) {
  for (const auto& [from, to] : W().pass) word_part = ReplaceAll(std::move(word_part), from, to);
}

}  // namespace kv::frontend
