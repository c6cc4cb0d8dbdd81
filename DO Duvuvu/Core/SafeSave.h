// Whole-file saves that never leave a half-written file: the new text goes to
// a temporary file beside the target, which replaces the target only once
// every byte is on disk.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "MacTypes.h"

class SafeSave {
 public:
  SafeSave() = default;
  // Abandons a save that was not committed.
  ~SafeSave();
  SafeSave(const SafeSave&) = delete;
  SafeSave& operator=(const SafeSave&) = delete;

  // Opens a temporary file in the target's folder, after removing the ones
  // earlier saves of the same target left behind; nil on failure.
  std::FILE* Open(const char* targetPath);
  std::FILE* stream() const { return stream_; }
  // Flushes, syncs and closes the stream, renames it over the target and
  // syncs the folder. 0, or -36 with the temporary file removed and the old
  // target untouched.
  OSErr Commit();
  // Closes and removes the temporary file.
  void Abandon();

 private:
  std::FILE* stream_ = nullptr;
  std::string target_;
  std::string temporary_;
};

// Saves size bytes as the whole of the file at path. 0 or -36.
OSErr SafeSaveBytes(const char* path, const void* data, size_t size);
