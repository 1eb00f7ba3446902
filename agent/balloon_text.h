// What the speech balloon shows of a text being spoken: the text without its inline tags
// (\ton=1\, {spd=120}), and how far it reaches at each word the engine reports.
//
// The engine reports a word by the count of the characters spoken before it in the text: tags
// between backslashes do not count, tags in braces do, and a run of spaces counts once (the
// blank words between them are skipped). Words end at spaces and at line breaks, which the
// speaker hands to the engine as spaces.
#pragma once

#include <string>
#include <vector>

namespace kv::agent {

class BalloonText {
 public:
  explicit BalloonText(const std::string& text);  // Windows-1250

  // The whole text as shown.
  const std::string& Shown() const { return shown_; }
  // The shown text up to the end of the word at the engine's position.
  std::string UpTo(size_t position) const;
  // The shown text up to the end of its first n words.
  std::string FirstWords(size_t n) const;
  size_t WordCount() const { return wordEnds_.size(); }

 private:
  std::string shown_;
  std::vector<size_t> shownAt_;   // engine position -> offset in shown_
  std::vector<size_t> wordEnds_;  // offset in shown_ after each word
};

}  // namespace kv::agent
