#include "SafeSave.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "FileSpec.h"

namespace {

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The new file gets the old one's permissions, or what a plain create gives.
mode_t ModeFor(const std::string& target) {
  struct stat info;
  if (stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

SafeSave::~SafeSave() { Abandon(); }

std::FILE* SafeSave::Open(const char* targetPath) {
  Abandon();
  if (!targetPath || !targetPath[0]) return nullptr;
  target_ = targetPath;
  std::string pattern = FolderOf(target_) + "/.";
  size_t slash = target_.rfind('/');
  pattern += (slash == std::string::npos) ? target_ : target_.substr(slash + 1);
  pattern += ".XXXXXX";
  if (pattern.size() >= kPathBufferSize) return nullptr;
  int fd = mkstemp(pattern.data());
  if (fd < 0) return nullptr;
  temporary_ = pattern;
  fchmod(fd, ModeFor(target_));
  stream_ = fdopen(fd, "wb");
  if (!stream_) {
    close(fd);
    unlink(temporary_.c_str());
    temporary_.clear();
  }
  return stream_;
}

OSErr SafeSave::Commit() {
  if (!stream_) return kErrIO;
  bool ok = !std::ferror(stream_);
  ok = std::fflush(stream_) == 0 && ok;
  ok = fsync(fileno(stream_)) == 0 && ok;
  ok = std::fclose(stream_) == 0 && ok;
  stream_ = nullptr;
  if (ok) ok = std::rename(temporary_.c_str(), target_.c_str()) == 0;
  if (!ok) {
    unlink(temporary_.c_str());
    temporary_.clear();
    return kErrIO;
  }
  temporary_.clear();
  int folder = open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY);
  if (folder >= 0) {
    // The rename is done; a folder that cannot be synced loses nothing old.
    fsync(folder);
    close(folder);
  }
  return noErr;
}

void SafeSave::Abandon() {
  if (stream_) {
    std::fclose(stream_);
    stream_ = nullptr;
  }
  if (!temporary_.empty()) {
    unlink(temporary_.c_str());
    temporary_.clear();
  }
}

OSErr SafeSaveBytes(const char* path, const void* data, size_t size) {
  SafeSave save;
  std::FILE* stream = save.Open(path);
  if (!stream) return kErrIO;
  if (size && std::fwrite(data, 1, size, stream) != size) {
    save.Abandon();
    return kErrIO;
  }
  return save.Commit();
}
