#include "sapi/encoder_output.h"

#include <unistd.h>

#include <cerrno>

namespace kv::sapi {

namespace {

EncoderOutput& Of(void* user) {
  return *static_cast<EncoderOutput*>(user);
}

}  // namespace

SF_VIRTUAL_IO* EncoderOutput::Callbacks() {
  static SF_VIRTUAL_IO io = {
      [](void* user) { return Of(user).end_; },
      [](sf_count_t offset, int whence, void* user) { return Of(user).Seek(offset, whence); },
      [](void* buffer, sf_count_t count, void* user) { return Of(user).Read(buffer, count); },
      [](const void* data, sf_count_t count, void* user) { return Of(user).Write(data, count); },
      [](void* user) { return Of(user).position_; },
  };
  return &io;
}

sf_count_t EncoderOutput::Seek(sf_count_t offset, int whence) {
  sf_count_t to = offset;
  if (whence == SEEK_CUR) to += position_;
  if (whence == SEEK_END) to += end_;
  if (to < 0) return -1;
  if (seekable_ && ::lseek(fd_, off_t(to), SEEK_SET) < 0) {
    if (error_ == 0) error_ = errno;
    return -1;
  }
  position_ = to;
  return position_;
}

sf_count_t EncoderOutput::Read(void* buffer, sf_count_t count) {
  if (!seekable_) return 0;
  const ssize_t n = ::read(fd_, buffer, size_t(count));
  if (n <= 0) return 0;
  position_ += n;
  return n;
}

sf_count_t EncoderOutput::Write(const void* data, sf_count_t count) {
  if (!seekable_ && position_ < end_) {
    position_ += count;  // a rewrite of what the stream has sent: dropped
    return count;
  }
  const char* bytes = static_cast<const char*>(data);
  sf_count_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(fd_, bytes + done, size_t(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (error_ == 0) error_ = n < 0 ? errno : ENOSPC;
      break;
    }
    done += n;
  }
  position_ += done;
  if (position_ > end_) end_ = position_;
  return done;
}

}  // namespace kv::sapi
