#include "synth/frontend/pending_text.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace kv {

uint64_t PendingTextBuffer::NextId() {
  static std::atomic<uint64_t> next{1};
  return next++;
}

PendingTextBuffer& PendingTextBuffer::Assign(std::string_view text) {
  // text may point into this buffer.
  std::string copy(text);
  buf_.swap(copy);
  pos_ = 0;
  ++version_;
  return *this;
}

void PendingTextBuffer::Consume(size_t n) {
  pos_ += std::min(n, size());
  // Compact once most of the buffer is spent, so the cost stays linear overall.
  if (pos_ > 65536 && pos_ > buf_.size() / 2) {
    buf_.erase(0, pos_);
    pos_ = 0;
  }
}

void PendingTextBuffer::Prepend(std::string_view text) {
  if (text.empty()) return;
  if (pos_ >= text.size()) {
    pos_ -= text.size();
    std::memmove(buf_.data() + pos_, text.data(), text.size());
    return;
  }
  size_t gap = std::max<size_t>(1024, 2 * text.size());
  std::string fresh;
  fresh.reserve(gap + text.size() + size());
  fresh.append(gap, '\0');
  fresh.append(text);
  fresh.append(View());
  buf_.swap(fresh);
  pos_ = gap;
}

void PendingTextBuffer::ReplaceInternal(std::string_view text) {
  std::string copy(text);
  buf_.swap(copy);
  pos_ = 0;
}

void PendingTextBuffer::TrimInternal() {
  size_t end = buf_.size();
  while (end > pos_ && static_cast<unsigned char>(buf_[end - 1]) < 33) --end;
  buf_.resize(end);
  while (pos_ < buf_.size() && static_cast<unsigned char>(buf_[pos_]) < 33) ++pos_;
}

}  // namespace kv
