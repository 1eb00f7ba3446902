#include "sapi/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "sapi/sound_writer.h"

#include "sapi/sound_writer.h"

namespace kv::sapi {

namespace fs = std::filesystem;

namespace {

// The file a name stands for: a symbolic link's target, so that the link survives.
fs::path Resolved(const fs::path& path) {
  std::error_code error;
  if (!fs::is_symlink(path, error)) return path;
  const fs::path target = fs::weakly_canonical(path, error);
  return error ? path : target;
}

// ".book.part-XXXXXX.wav" beside "book.wav": hidden, and with the extension that players go by.
std::vector<char> TemporaryTemplate(const fs::path& target) {
  const std::string name = (target.parent_path() / ("." + target.stem().string() + ".part-XXXXXX" +
                                                    target.extension().string()))
                               .string();
  return std::vector<char>(name.c_str(), name.c_str() + name.size() + 1);
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

std::unique_ptr<OutputFile> OutputFile::Open(const fs::path& path, std::string* error) {
  if (path == "-") return Stdout();
  auto fail = [&](int code) -> std::unique_ptr<OutputFile> {
    if (error != nullptr) *error = "cannot create '" + path.string() + "': " + std::strerror(code);
    return nullptr;
  };
  const fs::path target = Resolved(path);
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  auto inPlace = [&]() -> std::unique_ptr<OutputFile> {
    std::FILE* file = std::fopen(target.c_str(), "wb");
    if (file == nullptr) return fail(errno);
    std::unique_ptr<OutputFile> out(new OutputFile(file, path.string()));
    out->seekable_ = Patchable(file);
    return out;
  };
  // A pipe or a device takes the audio as it comes.
  if (exists && !S_ISREG(old.st_mode)) return inPlace();
  // A file the user may not write is not replaced either.
  if (exists && ::access(target.c_str(), W_OK) != 0) return fail(errno);
  std::vector<char> name = TemporaryTemplate(target);
  const int suffix = int(target.extension().string().size());
  const int fd = ::mkostemps(name.data(), suffix, O_CLOEXEC);
  if (fd < 0) {
    // A file that may be written in a folder that may not: written in place, as it must be.
    if (exists && (errno == EACCES || errno == EROFS || errno == EPERM)) return inPlace();
    return fail(errno);
  }
  ::fchmod(fd, exists ? (old.st_mode & 07777) : NewFileMode());
  std::FILE* file = ::fdopen(fd, "wb");
  if (file == nullptr) {
    const int code = errno;
    ::close(fd);
    ::unlink(name.data());
    return fail(code);
  }
  std::unique_ptr<OutputFile> out(new OutputFile(file, path.string()));
  out->seekable_ = true;
  out->target_ = target;
  out->temporary_ = name.data();
  out->replacesOld_ = exists;
  return out;
}

std::unique_ptr<OutputFile> OutputFile::Stdout() {
  return std::unique_ptr<OutputFile>(new OutputFile(stdout, "standard output"));
}

OutputFile::~OutputFile() {
  if (file_ != stdout) std::fclose(file_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

std::string OutputFile::Failure(int error) const {
  return "cannot write '" + name_ + "': " + std::strerror(error);
}

bool OutputFile::Flush(std::string* error) {
  // The data must be on the disk before the name points at it: a full disk or a lost device
  // shows here, too, and not only when the file is closed.
  if (std::fflush(file_) != 0 || (seekable_ && ::fsync(fileno(file_)) != 0)) {
    if (error != nullptr) *error = Failure(errno);
    return false;
  }
  return true;
}

bool OutputFile::Commit(std::string* error) {
  if (!Flush(error)) return false;
  if (temporary_.empty()) return true;
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
    if (error != nullptr) *error = Failure(errno);
    return false;
  }
  temporary_.clear();
  return true;
}

std::string OutputFile::Keep() {
  std::string problem;
  Flush(&problem);
  if (temporary_.empty()) return "the audio so far went to " + name_;
  if (!replacesOld_ && ::rename(temporary_.c_str(), target_.c_str()) == 0) {
    temporary_.clear();
    return "'" + name_ + "' holds the audio so far";
  }
  const std::string kept = temporary_.string();
  temporary_.clear();
  return "the audio so far is in '" + kept + "'; '" + name_ + "' is as it was";
}

}  // namespace kv::sapi
