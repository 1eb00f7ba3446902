// The text still waiting to be spoken. It reads and compares like a string, but the front-end
// takes words off its front without copying the rest: the buffer keeps an offset to the first
// unspoken character and compacts itself only when more than half of it is spent, so speaking
// a long text costs time in proportion to its length.
//
// Anything that changes the text from outside the front-end (assignment, appending, Trim)
// bumps Version(); the front-end compares the version with the one it left behind to see that
// a new text arrived or text was appended while speaking.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

class PendingTextBuffer {
 public:
  PendingTextBuffer() : id_(NextId()) {}
  PendingTextBuffer(std::string_view text) : buf_(text), id_(NextId()) {}  // NOLINT
  PendingTextBuffer(const PendingTextBuffer& other) : buf_(other.View()), id_(NextId()) {}
  PendingTextBuffer& operator=(const PendingTextBuffer& other) { return Assign(other.View()); }

  PendingTextBuffer& operator=(std::string_view text) { return Assign(text); }
  PendingTextBuffer& operator=(const std::string& text) { return Assign(text); }
  PendingTextBuffer& operator=(const char* text) { return Assign(text); }
  PendingTextBuffer& operator+=(std::string_view text) {
    buf_.append(text);
    ++version_;
    return *this;
  }

  std::string_view View() const { return std::string_view(buf_).substr(pos_); }
  operator std::string_view() const { return View(); }  // NOLINT: reads like a string
  // A copy of the text (also implicit, for code that takes a const std::string&: that
  // copies, so loops over words should read View() instead).
  std::string Str() const { return std::string(View()); }
  operator std::string() const { return Str(); }  // NOLINT
  size_t size() const { return buf_.size() - pos_; }
  size_t length() const { return size(); }
  bool empty() const { return pos_ == buf_.size(); }
  char operator[](size_t i) const { return buf_[pos_ + i]; }
  void clear() { Assign({}); }
  // Removes characters below 33 at both ends.
  void Trim() {
    TrimInternal();
    ++version_;
  }

  friend bool operator==(const PendingTextBuffer& a, std::string_view b) { return a.View() == b; }

  // Front-end side: changes that are not a new text.
  void Consume(size_t n);                       // drops the first n characters
  void Prepend(std::string_view text);          // puts text in front (amortised: keeps room there)
  void ReplaceInternal(std::string_view text);  // new content, same version
  void TrimInternal();
  char* MutableData() { return buf_.data() + pos_; }

  uint64_t Id() const { return id_; }
  uint64_t Version() const { return version_; }

 private:
  PendingTextBuffer& Assign(std::string_view text);
  static uint64_t NextId();

  std::string buf_;
  size_t pos_ = 0;
  uint64_t id_;
  uint64_t version_ = 0;
};

}  // namespace kv
