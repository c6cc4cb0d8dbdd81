#include "SafeSave.h"

#include <dirent.h>
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

bool MadeByMkstemp(const char* tail) {
  for (int i = 0; i < 6; ++i) {
    const char c = tail[i];
    const bool letterOrDigit = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (!letterOrDigit) return false;
  }
  return tail[6] == 0;
}

// A save killed mid-write leaves its temporary file behind for good; the next
// save of the same target clears them. Only names of the exact pattern Open
// makes for this target, and only regular files (never a link or a folder).
void RemoveStaleTemporaries(const std::string& folder, const std::string& prefix) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (dirent* entry = readdir(dir)) {
    const char* name = entry->d_name;
    if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0 || !MadeByMkstemp(name + prefix.size())) continue;
    struct stat info;
    if (fstatat(dirfd(dir), name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) continue;
    unlinkat(dirfd(dir), name, 0);
  }
  closedir(dir);
}

}  // namespace

SafeSave::~SafeSave() { Abandon(); }

std::FILE* SafeSave::Open(const char* targetPath) {
  Abandon();
  if (!targetPath || !targetPath[0]) return nullptr;
  target_ = targetPath;
  const std::string folder = FolderOf(target_);
  size_t slash = target_.rfind('/');
  const std::string prefix = "." + ((slash == std::string::npos) ? target_ : target_.substr(slash + 1)) + ".";
  std::string pattern = folder + "/" + prefix + "XXXXXX";
  if (pattern.size() >= kPathBufferSize) return nullptr;
  RemoveStaleTemporaries(folder, prefix);
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
