#include "ProcessBundle.h"

#include <cstring>

#include "RefObjects.h"

namespace {

bool IsCurrentProcess(const ProcessSerialNumber* process) {
  if (!process) return false;
  ProcessSerialNumber current;
  GetCurrentProcessSerial(&current);
  Boolean same = 0;
  SameProcessSerial(process, &current, &same);
  return same != 0;
}

}  // namespace

OSErr GetProcessBundleSpec(const ProcessSerialNumber* process, FileSpec* outSpec) {
  if (!IsCurrentProcess(process)) return kErrFileNotFound;
  BundleObject* bundle = CFBundleGetMainBundle();
  URLObject* url = bundle ? CopyBundleURL(bundle) : nullptr;
  Boolean made = url ? URLToFileSpec(url, outSpec) : 0;
  ReleaseObject(url);
  ReleaseObject(bundle);
  return made ? noErr : kErrFileNotFound;
}

OSErr GetProcessInfo(const ProcessSerialNumber* process, ProcessInfoRec* info) {
  FileSpec spec;
  OSErr err = GetProcessBundleSpec(process, &spec);
  if (err != noErr) return err;
  if (info->processAppSpec) *info->processAppSpec = spec;
  if (info->processName) std::memcpy(info->processName, spec.name, spec.name[0] + 1u);
  return noErr;
}
