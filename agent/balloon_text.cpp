#include "agent/balloon_text.h"

namespace kv::agent {

namespace {

bool IsBreak(char c) {
  return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// The end (after "}") of a brace tag beginning at `at`, or npos: a tag closes within its word.
size_t BraceTagEnd(const std::string& text, size_t at) {
  for (size_t i = at + 1; i < text.size() && !IsBreak(text[i]); ++i)
    if (text[i] == '}') return i + 1;
  return std::string::npos;
}

}  // namespace

BalloonText::BalloonText(const std::string& text) {
  bool inTag = false;     // between backslashes: neither shown nor counted
  bool wordOpen = false;  // a space after it counts
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool space = IsBreak(c);  // the speaker hands line breaks on as spaces
    if (space) inTag = false;       // a tag ends with its word
    if (c == '\\') {
      inTag = !inTag;
      continue;
    }
    if (inTag) continue;
    if (const size_t end = c == '{' ? BraceTagEnd(text, i) : std::string::npos;
        end != std::string::npos) {
      shownAt_.insert(shownAt_.end(), end - i, shown_.size());  // counted, not shown
      i = end - 1;
      continue;
    }
    if (!space || wordOpen) shownAt_.push_back(shown_.size());
    wordOpen = !space;
    shown_ += c;
  }
  for (size_t i = 0; i < shown_.size(); ++i)
    if (!IsBreak(shown_[i]) && (i + 1 == shown_.size() || IsBreak(shown_[i + 1])))
      wordEnds_.push_back(i + 1);
}

std::string BalloonText::UpTo(size_t position) const {
  const size_t at = position < shownAt_.size() ? shownAt_[position] : shown_.size();
  for (size_t end : wordEnds_)
    if (end > at) return shown_.substr(0, end);
  return shown_;
}

std::string BalloonText::FirstWords(size_t n) const {
  if (n == 0) return {};
  return n > wordEnds_.size() ? shown_ : shown_.substr(0, wordEnds_[n - 1]);
}

}  // namespace kv::agent
