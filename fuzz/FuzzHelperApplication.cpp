// Helper-application records from an untrusted preference store: the stored
// bytes come back as the record, whatever their size or length byte.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ShellServices.h"
#include "SystemCalls.h"

namespace {
std::vector<uint8_t> gStored;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 16) return 0;
  gStored.assign(data, data + size);
  gSystemCalls.getInternetPref = [](void*, ConstStr255Param, UInt32*, void* buffer, SInt32* ioSize) -> OSStatus {
    // The store may claim any size; it never writes past the room it was given.
    const SInt32 room = *ioSize;
    const size_t count = std::min<size_t>(gStored.size(), static_cast<size_t>(room));
    // An empty store has no data pointer to copy from.
    if (count > 0) std::memcpy(buffer, gStored.data(), count);
    *ioSize = static_cast<SInt32>(gStored.size());
    return 0;
  };
  static const UInt8 scheme[] = {6, 'm', 'a', 'i', 'l', 't', 'o'};
  Str31 name;
  OSType creator = 0;
  if (GetHelperApplication(scheme, name, &creator) != 0) std::abort();
  if (name[0] > 31) std::abort();
  SetHelperApplication(scheme, nullptr, 0);
  SetHelperApplication(scheme, name, creator);
  DeleteHelperApplication(scheme);
  return 0;
}
