// A preferences folder of the fuzz target's own, made once and removed at
// exit; AppData names it. In memory where there is a memory file system:
// every save syncs its file.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

inline const char* MakeFuzzPrefsFolder() {
  // Plain storage: the folder is removed after static strings are gone.
  static char memoryFolder[] = "/dev/shm/fuzz-prefs-XXXXXX";
  static char diskFolder[] = "/tmp/fuzz-prefs-XXXXXX";
  static const char* folder = nullptr;
  folder = mkdtemp(memoryFolder);
  if (!folder) folder = mkdtemp(diskFolder);
  if (!folder) std::abort();
  setenv("AppData", folder, 1);
  std::atexit([] { std::filesystem::remove_all(folder); });
  return folder;
}
