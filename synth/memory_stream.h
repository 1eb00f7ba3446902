// A growable in-memory byte stream with a position, as the synthesizer's buffers use it.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace kv {

class MemoryStream {
 public:
  size_t Size() const { return data_.size(); }
  size_t Position() const { return pos_; }
  void Seek(size_t pos) { pos_ = pos; }
  void Clear() {
    data_.clear();
    pos_ = 0;
  }
  // Sets the size; growing appends zero bytes.
  void SetSize(size_t size) {
    data_.resize(size);
    if (pos_ > size) pos_ = size;
  }
  // Buffer use: makes room for at least `size` bytes (never shrinks) and positions at 0.
  void Reserve(size_t size) {
    if (data_.size() < size) data_.resize(size);
    pos_ = 0;
  }
  // Writes at the position, growing the stream as needed.
  void Write(const void* src, size_t n) {
    if (n == 0) return;
    if (pos_ + n > data_.size()) data_.resize(pos_ + n);
    std::memcpy(data_.data() + pos_, src, n);
    pos_ += n;
  }
  void Write(std::span<const uint8_t> bytes) { Write(bytes.data(), bytes.size()); }
  void WriteZeros(size_t n) {
    if (pos_ + n > data_.size()) data_.resize(pos_ + n);
    std::memset(data_.data() + pos_, 0, n);
    pos_ += n;
  }
  // Writes at the end, wherever the position is.
  void Append(const void* src, size_t n) {
    pos_ = data_.size();
    Write(src, n);
  }

  uint8_t* Data() { return data_.data(); }
  const uint8_t* Data() const { return data_.data(); }
  std::span<const uint8_t> Bytes() const { return data_; }

  int16_t Sample(size_t index0) const {
    int16_t s;
    std::memcpy(&s, data_.data() + 2 * index0, 2);
    return s;
  }
  void SetSample(size_t index0, int16_t s) { std::memcpy(data_.data() + 2 * index0, &s, 2); }
  void PutU32(size_t offset, uint32_t v) {
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    std::memcpy(data_.data() + offset, b, 4);
  }
  uint32_t GetU32(size_t offset) const {
    const uint8_t* p = data_.data() + offset;
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
  }

 private:
  std::vector<uint8_t> data_;
  size_t pos_ = 0;
};

}  // namespace kv
