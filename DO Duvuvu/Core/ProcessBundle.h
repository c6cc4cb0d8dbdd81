// The current process's bundle: its folder and name.
#pragma once

#include "FileSpec.h"
#include "MacTypes.h"
#include "System.h"

// The fields a process query fills.
struct ProcessInfoRec {
  StringPtr processName;  // 64 bytes, or nil
  FileSpec* processAppSpec;  // or nil
};

// The bundle folder of the current process; -43 for another process or when
// there is no bundle.
OSErr GetProcessBundleSpec(const ProcessSerialNumber* process, FileSpec* outSpec);
// The bundle's spec and its name (at most 63 characters); 0 or -43.
OSErr GetProcessInfo(const ProcessSerialNumber* process, ProcessInfoRec* info);
