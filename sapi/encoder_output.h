// The file end of libsndfile's encoders: its virtual I/O onto our descriptor. Every write is
// checked here, so a full disk is reported with the system's reason (the encoders themselves
// may not say, or say something else). On a stream, what an encoder would go back and rewrite
// at the end (the FLAC stream information, say) is dropped: a pipe cannot take it in place,
// and appended it would corrupt the file.
#pragma once

#include <sndfile.h>

namespace kv::sapi {

class EncoderOutput {
 public:
  // Writes to the descriptor from its current end; `seekable`: a regular file.
  EncoderOutput(int fd, bool seekable) : fd_(fd), seekable_(seekable) {}
  // The callbacks for sf_open_virtual, with this object as their user data.
  static SF_VIRTUAL_IO* Callbacks();
  // The errno of the first failed write or seek; 0 while all went well.
  int Error() const { return error_; }

 private:
  sf_count_t Seek(sf_count_t offset, int whence);
  sf_count_t Read(void* buffer, sf_count_t count);
  sf_count_t Write(const void* data, sf_count_t count);

  int fd_;
  bool seekable_;
  sf_count_t position_ = 0, end_ = 0;
  int error_ = 0;
};

}  // namespace kv::sapi
