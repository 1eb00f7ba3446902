// Where an audio file goes, over the wide file calls. A file is written under a temporary name
// beside its target and moved over it once the audio is complete, as on the other face.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "platform/win32/windows_api.h"
#include "sapi/output_file.h"
#include "sapi/sound_writer.h"

namespace kv::sapi {

namespace fs = std::filesystem;

namespace {

// ".book.part-XXXXXX.wav" beside "book.wav", created only when no such file exists yet. It may
// be renamed while open (the audio is put in place before the file is closed).
int CreateTemporary(const fs::path& target, fs::path* name) {
  std::random_device seed;
  std::mt19937 draw(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    wchar_t suffix[8];
    std::swprintf(suffix, 8, L"%06X", unsigned(draw() & 0xFFFFFF));
    *name = target.parent_path() /
            (L"." + target.stem().wstring() + L".part-" + suffix + target.extension().wstring());
    HANDLE file = ::CreateFileW(name->c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      const int fd = ::_open_osfhandle(intptr_t(file), _O_BINARY);
      if (fd < 0) ::CloseHandle(file);
      return fd;
    }
    if (::GetLastError() != ERROR_FILE_EXISTS) return -1;
  }
  return -1;
}

}  // namespace

std::unique_ptr<OutputFile> OutputFile::Open(const fs::path& path, std::string* error) {
  if (path == "-") return Stdout();
  auto fail = [&](int code) -> std::unique_ptr<OutputFile> {
    if (error != nullptr)
      *error = "cannot create '" + win32::Utf8(path.wstring()) + "': " + std::strerror(code);
    return nullptr;
  };
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return fail(EISDIR);
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) return fail(EACCES);
  fs::path temporary;
  const int fd = CreateTemporary(path, &temporary);
  std::FILE* file = fd >= 0 ? ::_fdopen(fd, "wb") : nullptr;
  if (file == nullptr) {
    // A device (NUL, a console) takes the audio as it comes.
    std::FILE* direct = ::_wfopen(path.c_str(), L"wb");
    if (direct == nullptr) return fail(errno);
    if (fd >= 0) {
      ::_close(fd);
      ::_wremove(temporary.c_str());
    }
    std::unique_ptr<OutputFile> out(new OutputFile(direct, win32::Utf8(path.wstring())));
    out->seekable_ = Patchable(direct);
    return out;
  }
  std::unique_ptr<OutputFile> out(new OutputFile(file, win32::Utf8(path.wstring())));
  out->seekable_ = true;
  out->target_ = path;
  out->temporary_ = temporary;
  out->replacesOld_ = exists;
  return out;
}

std::unique_ptr<OutputFile> OutputFile::Stdout() {
  ::_setmode(::_fileno(stdout), _O_BINARY);
  return std::unique_ptr<OutputFile>(new OutputFile(stdout, "standard output"));
}

OutputFile::~OutputFile() {
  if (file_ != stdout) std::fclose(file_);
  if (!temporary_.empty()) ::_wremove(temporary_.c_str());
}

std::string OutputFile::Failure(int error) const {
  return "cannot write '" + name_ + "': " + std::strerror(error);
}

bool OutputFile::Flush(std::string* error) {
  if (std::fflush(file_) != 0 || (seekable_ && ::_commit(::_fileno(file_)) != 0)) {
    if (error != nullptr) *error = Failure(errno);
    return false;
  }
  return true;
}

bool OutputFile::Commit(std::string* error) {
  if (!Flush(error)) return false;
  if (temporary_.empty()) return true;
  if (!::MoveFileExW(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    if (error != nullptr) *error = Failure(EACCES);
    return false;
  }
  temporary_.clear();
  return true;
}

std::string OutputFile::Keep() {
  std::string problem;
  Flush(&problem);
  if (temporary_.empty()) return "the audio so far went to " + name_;
  if (!replacesOld_ && ::MoveFileExW(temporary_.c_str(), target_.c_str(), 0)) {
    temporary_.clear();
    return "'" + name_ + "' holds the audio so far";
  }
  const std::string kept = win32::Utf8(temporary_.wstring());
  temporary_.clear();
  return "the audio so far is in '" + kept + "'; '" + name_ + "' is as it was";
}

}  // namespace kv::sapi
