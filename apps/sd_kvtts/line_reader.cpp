#include "apps/sd_kvtts/line_reader.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace kv::speechd {

LineReader::LineReader(int fd, size_t maxLine, std::function<void()> announce)
    : fd_(fd), maxLine_(maxLine), announce_(std::move(announce)) {
  if (pipe(stopPipe_) != 0) stopPipe_[0] = stopPipe_[1] = -1;
  thread_ = std::thread([this] { Run(); });
}

LineReader::~LineReader() {
  if (stopPipe_[1] >= 0) {
    const char stop = 0;
    while (write(stopPipe_[1], &stop, 1) < 0 && errno == EINTR) {
    }
  }
  thread_.join();
  for (int fd : stopPipe_)
    if (fd >= 0) close(fd);
}

std::optional<LineReader::Line> LineReader::Pop() {
  std::lock_guard lock(mutex_);
  if (lines_.empty()) return std::nullopt;
  Line line = std::move(lines_.front());
  lines_.pop_front();
  return line;
}

void LineReader::Push(Line line) {
  std::lock_guard lock(mutex_);
  lines_.push_back(std::move(line));
}

void LineReader::Run() {
  Line current;
  char buffer[65536];
  for (;;) {
    pollfd fds[2] = {{fd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    if (poll(fds, stopPipe_[0] >= 0 ? 2 : 1, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[1].revents != 0) return;  // told to stop: nobody takes lines any more
    const ssize_t n = read(fd_, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) break;
    bool any = false;
    for (ssize_t i = 0; i < n; ++i) {
      if (buffer[i] == '\n') {
        Push(std::move(current));
        current = Line();
        any = true;
      } else if (current.text.size() < maxLine_) {
        current.text += buffer[i];
      } else {
        current.truncated = true;
      }
    }
    if (any) announce_();
  }
  if (!current.text.empty() || current.truncated) Push(std::move(current));
  Line end;
  end.end = true;
  Push(std::move(end));
  announce_();
}

}  // namespace kv::speechd
