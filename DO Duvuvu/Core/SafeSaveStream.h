// A save stream for code that writes with stdio and closes with plain fclose:
// the bytes go to a temporary file beside the target, and fclose puts them in
// place only when every one of them reached the disk.
#pragma once

#include <cstdio>

// A write-only stream whose fclose flushes, syncs and renames the temporary
// file over path, then syncs the folder. fclose returns EOF, with the old file
// untouched, when a write or the sync failed. Nil when no temporary file can
// be made.
std::FILE* OpenSafeSaveStream(const char* path);
