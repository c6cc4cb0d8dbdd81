// The property-list reader on arbitrary text; what it reads must write and
// read again.
#include <cstdint>
#include <cstdlib>

#include "PlistTag.h"
#include "TextBuffer.h"

namespace {

// The writer refuses an unnamed array outside an array; the reader may make one.
bool Writable(const PlistTag* tag, bool inArray) {
  const bool isArray = tag->type[0] == 5 && __builtin_memcmp(tag->type + 1, "array", 5) == 0;
  if (isArray && tag->name[0] == 0 && !inArray) return false;
  for (UInt32 i = 0; i < tag->child.count; ++i)
    if (!Writable(tag->child.data[i], isArray)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  TextBuffer buffer;
  buffer.SetData(data, static_cast<SInt32>(size));
  PlistTag root;
  if (PlistTag::ReadBuffer(&root, &buffer) != 0) {
    if (root.child.count != 0) std::abort();
    return 0;
  }
  if (!Writable(&root, false)) return 0;
  TextBuffer written;
  PlistTag::WriteBuffer(&root, &written);
  PlistTag again;
  if (PlistTag::ReadBuffer(&again, &written) != 0) std::abort();
  return 0;
}
