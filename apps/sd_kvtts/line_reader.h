// Reads lines from a file descriptor on a thread of its own, so that a command such as STOP is
// seen while the module's thread is busy speaking. Each batch of new lines is announced through
// a callback (run on the reader thread: it posts to the module's loop); the module takes them
// with Pop. Lines longer than the limit are cut and flagged; their rest is skipped.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace kv::speechd {

class LineReader {
 public:
  struct Line {
    std::string text;        // without its line feed
    bool truncated = false;  // longer than the limit
    bool end = false;        // end of input (no text)
  };

  LineReader(int fd, size_t maxLine, std::function<void()> announce);
  // Stops the thread (it may be waiting for input) and joins it.
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  std::optional<Line> Pop();

 private:
  void Run();
  void Push(Line line);

  int fd_;
  size_t maxLine_;
  std::function<void()> announce_;
  int stopPipe_[2] = {-1, -1};
  std::mutex mutex_;
  std::deque<Line> lines_;
  std::thread thread_;
};

}  // namespace kv::speechd
