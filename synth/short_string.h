// Short strings of at most N characters (Windows-1250 bytes), as the unit entries hold them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

template <size_t N>
class ShortString {
 public:
  ShortString() = default;
  ShortString(std::string_view s) { Assign(s); }  // NOLINT: assigned like a string
  ShortString& operator=(std::string_view s) {
    Assign(s);
    return *this;
  }
  // Keeps the first N characters.
  void Assign(std::string_view s) {
    len_ = uint8_t(s.size() < N ? s.size() : N);
    for (size_t i = 0; i < len_; ++i) chars_[i] = s[i];
  }
  std::string_view View() const { return std::string_view(chars_, len_); }
  std::string Str() const { return std::string(View()); }
  size_t Length() const { return len_; }
  bool Empty() const { return len_ == 0; }
  // First character, or '\0' when empty.
  char First() const { return len_ ? chars_[0] : '\0'; }
  bool operator==(std::string_view s) const { return View() == s; }

 private:
  uint8_t len_ = 0;
  char chars_[N] = {};
};

using Str2 = ShortString<2>;

}  // namespace kv
