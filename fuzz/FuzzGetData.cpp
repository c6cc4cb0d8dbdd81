// "data" children from untrusted files: the first byte picks whether the
// rest is the packed block itself or the Base64 text of a node.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Memory.h"
#include "PlistBlock.h"
#include "PlistTag.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 1 << 20) return 0;
  const bool asText = data[0] & 1;
  ++data;
  --size;
  PlistTag root;
  if (asText) {
    PlistTag* node = PlistTag::NewTag(&root, "data", "d", "");
    node->data = NewPlistBlock(static_cast<SInt32>(size), "fuzz");
    if (size) std::memcpy(node->data, data, size);
  } else {
    PlistTag::SetData(&root, "d", data, static_cast<SInt32>(size), 0);
  }
  Ptr block = nullptr;
  SInt32 length = 0;
  if (PlistTag::GetData(&root, "d", &block, &length, 1) != 0) return 0;
  if (GetPtrBlockSize(block) != length) std::abort();
  // What unpacked must pack and unpack to the same bytes.
  PlistTag::SetData(&root, "again", block, length, 1);
  Ptr back = nullptr;
  SInt32 backLength = 0;
  if (PlistTag::GetData(&root, "again", &back, &backLength, 1) != 0) std::abort();
  if (backLength != length || std::memcmp(back, block, static_cast<size_t>(length)) != 0) std::abort();
  DisposePtrBlock(block);
  DisposePtrBlock(back);
  return 0;
}
