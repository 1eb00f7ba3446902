// Fixed arrays indexed from 1, as the synthesizer's tables are. Every access is checked: an
// index outside 1..N throws std::out_of_range instead of overrunning the array.
#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>

namespace kv {

template <class T, size_t N>
class OneBased {
 public:
  static constexpr int kSize = int(N);
  T& operator[](long i) {
    if (i < 1 || i > long(N)) throw std::out_of_range("index outside a fixed array");
    return items_[size_t(i - 1)];
  }
  const T& operator[](long i) const {
    if (i < 1 || i > long(N)) throw std::out_of_range("index outside a fixed array");
    return items_[size_t(i - 1)];
  }
  void Fill(const T& v) { items_.fill(v); }
  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::array<T, N> items_{};
};

}  // namespace kv
