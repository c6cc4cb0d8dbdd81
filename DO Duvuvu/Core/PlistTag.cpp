#include "PlistTag.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "Errors.h"
#include "Memory.h"
#include "NumberText.h"
#include "PackBits.h"
#include "PlistBlock.h"
#include "ResultCodes.h"
#include "Strings.h"

namespace {

constexpr SInt32 kChunk = 127;

// Byte-for-byte, with the length: what PStrEqual answers, without the call
// in the children scan that every NewTag makes.
// A plain loop: the texts are at most 255 bytes, and a dictionary of many
// keys calls this for every child on every insert.
bool SameText(ConstStringPtr a, const char* text, size_t length) {
  if (a[0] != length) return false;
  for (size_t i = 0; i < length; ++i)
    if (a[1 + i] != static_cast<UInt8>(text[i])) return false;
  return true;
}

bool IsType(const PlistTag* tag, const char* type) {
  return SameText(tag->type, type, std::strlen(type));
}

// Copies the C text when it fits in limit characters; else leaves the field.
void CopyLimited(StringPtr field, const char* text, size_t limit) {
  const size_t length = std::strlen(text);
  if (length > limit) return;
  field[0] = static_cast<UInt8>(length);
  std::memcpy(field + 1, text, length);
}

void CopyCut(StringPtr field, const char* text, size_t limit) {
  const size_t length = std::min(std::strlen(text), limit);
  field[0] = static_cast<UInt8>(length);
  std::memcpy(field + 1, text, length);
}

PlistTag* AppendChild(PlistTag* parent) {
  auto* child = new PlistTag;
  child->parent = parent;
  parent->child.Resize(parent->child.count + 1, 0);
  parent->child.data[parent->child.count - 1] = child;
  return child;
}

void ReplaceData(PlistTag* tag, Ptr block) {
  if (tag->data) DisposePtrBlock(tag->data);
  tag->data = block;
}

}  // namespace

// At least one real byte, so that an empty block is still a block.
Ptr NewPlistBlock(SInt32 size, const char* location) {
  Ptr block = NewPtrBlockClear(static_cast<UInt32>(std::max<SInt32>(size, 1)));
  if (!block) FatalError("Fatal memory error!", location);
  SetPtrBlockSize(block, size);
  return block;
}

PlistTag::PlistTag() : child(0, PStr("child").GetPtr()) {
  CToPStr("dict", type);
  name[0] = 0;
  value[0] = 0;
}

PlistTag::~PlistTag() {
  DeleteChildren(this);
  ReplaceData(this, nullptr);
}

PlistTag* PlistTag::NewTag(PlistTag* parent, const char* type, const char* name, const char* value) {
  if (!parent) FatalError("PlistTag::NewTag() failed because the PlistTag is nil.", "");
  if (!type) type = "";
  if (!name) name = "";
  if (!value) value = "";
  PlistTag* existing = nullptr;
  if (IsType(parent, "array")) {
    if (*name) FatalError("PlistTag::NewTag() failed because array children can't have names.", "");
    if (std::strcmp(type, "dict") == 0) return AppendChild(parent);
  } else {
    existing = FindTag(parent, type, name, 0);
    if (existing && std::strcmp(type, "data") == 0) {
      CopyCut(existing->value, value, 255);
      return existing;
    }
  }
  // Names and values may hold '<' and '>' (the writer escapes them); an
  // element name cannot.
  if (std::strpbrk(type, "<>")) FatalError("Illegal character '<' or '>' in type string.", "PlistTag::NewTag()");
  if (!IsType(parent, "dict") && !IsType(parent, "array")) {
    std::string message = "Can't create a plist child from a \"";
    message.append(reinterpret_cast<const char*>(parent->type + 1), parent->type[0]);
    message += "\" tag.";
    FatalError(message.c_str(), "PlistTag::NewTag()");
  }
  PlistTag* tag = existing ? existing : AppendChild(parent);
  CopyLimited(tag->type, type, 31);
  CopyLimited(tag->name, name, 31);
  CopyCut(tag->value, value, 255);
  return tag;
}

PlistTag* PlistTag::FindTag(PlistTag* tag, const char* type, const char* name, UInt8 create) {
  if (!tag) return nullptr;
  if (!type) type = "";
  if (!name) name = "";
  const size_t typeLength = std::strlen(type);
  const size_t nameLength = std::strlen(name);
  for (UInt32 i = 0; i < tag->child.count; ++i) {
    PlistTag* c = tag->child.data[i];
    // The name first: siblings mostly share a type.
    if (SameText(c->name, name, nameLength) && SameText(c->type, type, typeLength)) return c;
  }
  if (!create) return nullptr;
  const char* initial = "";
  if (std::strcmp(type, "integer") == 0 || std::strcmp(type, "real") == 0)
    initial = "0";
  else if (std::strcmp(type, "boolean") == 0)
    initial = "false/";
  PlistTag* made = NewTag(tag, type, name, initial);
  if (!made) FatalError("NewTag() failed!", "");
  return made;
}

PlistTag* PlistTag::FindTagValue(PlistTag* tag, const char* type, const char* name, StringPtr valueOut,
                                 UInt8 create) {
  PlistTag* found = FindTag(tag, type, name, create);
  if (!found) {
    if (create) AlertMessage("Error:  FindTag() couldn't make a new tag.", name ? name : "", "OK");
    return nullptr;
  }
  if (valueOut) PStrCopy(found->value, valueOut);
  return found;
}

void PlistTag::Delete(PlistTag* tag) {
  if (!tag) return;
  if (PlistTag* parent = tag->parent) {
    NamedArray<PlistTag*>& list = parent->child;
    UInt32 i = 0;
    while (i < list.count && list.data[i] != tag) ++i;
    if (i == list.count) FatalError("Parent tag's child list does not contain \"this\"!", "PlistTag::Delete()");
    list.RemoveEntries(static_cast<SInt32>(i), 1);
    tag->parent = nullptr;
  }
  delete tag;
}

SInt32 PlistTag::DeleteChild(PlistTag* tag, const char* name) {
  if (!tag) return kErrFailed;
  const size_t length = std::strlen(name ? name : "");
  for (UInt32 i = 0; i < tag->child.count; ++i) {
    if (SameText(tag->child.data[i]->name, name ? name : "", length)) {
      Delete(tag->child.data[i]);
      return 0;
    }
  }
  return kErrFailed;
}

void PlistTag::DeleteChildren(PlistTag* tag) {
  if (!tag) return;
  // Detach them all first: removing the first child one at a time would copy
  // the list once per child.
  NamedArray<PlistTag*> children(std::move(tag->child));
  for (UInt32 i = 0; i < children.count; ++i) {
    children.data[i]->parent = nullptr;
    delete children.data[i];
  }
}

void PlistTag::PruneEmpty(PlistTag* tag) {
  if (!tag) return;
  for (UInt32 i = tag->child.count; i-- > 0;) {
    PlistTag* c = tag->child.data[i];
    PruneEmpty(c);
    if (c->child.count == 0 && (IsType(c, "dict") || IsType(c, "array"))) Delete(c);
  }
}

void PlistTag::CopyTag(PlistTag* source, PlistTag* destination) {
  if (!source || !destination || source == destination) return;
  DeleteChildren(destination);
  PStrCopy(source->type, destination->type);
  PStrCopy31(source->name, destination->name);
  PStrCopy(source->value, destination->value);
  destination->child.Reinit(source->child.count);
  destination->child.SetName(PStr("destTag->child").GetPtr(), -1);
  for (UInt32 i = 0; i < source->child.count; ++i) {
    auto* copy = new PlistTag;
    copy->parent = destination;
    destination->child.data[i] = copy;
    CopyTag(source->child.data[i], copy);
  }
}

void PlistTag::SetString(const char* text) {
  if (!text) text = "";
  if (std::strlen(text) > 31)
    FatalError("PlistTag::SetString() is limited to 31 characters.  Use SetString255() instead.", text);
  CopyCut(value, text, 31);
}

void PlistTag::SetString255(const char* text) {
  CopyCut(value, text ? text : "", 255);
}

SInt32 PlistTag::SetData(PlistTag* tag, const char* name, const void* bytes, SInt32 length, UInt8 pack) {
  PlistTag* node = FindTag(tag, "data", name, 1);
  if (length == -1) length = bytes ? GetPtrBlockSize(bytes) : 0;
  length = std::max<SInt32>(length, 0);
  const auto* source = static_cast<const UInt8*>(bytes);
  std::vector<UInt8> packed;
  if (pack) {
    // Each chunk of 127 grows by at most one flag byte.
    packed.resize(4 + static_cast<size_t>(length) + static_cast<size_t>(length) / kChunk + 1);
    UInt8* out = packed.data();
    *out++ = static_cast<UInt8>(UInt32(length) >> 24);
    *out++ = static_cast<UInt8>(UInt32(length) >> 16);
    *out++ = static_cast<UInt8>(UInt32(length) >> 8);
    *out++ = static_cast<UInt8>(length);
    auto* in = const_cast<UInt8*>(source);
    for (SInt32 left = length; left > 0; left -= kChunk)
      PackBits(&in, &out, static_cast<SInt16>(std::min(left, kChunk)));
    packed.resize(static_cast<size_t>(out - packed.data()));
    source = packed.data();
    length = static_cast<SInt32>(packed.size());
  }
  std::vector<char> text(static_cast<size_t>(Base64EncodedSize(length)) + 1);
  SInt32 textLength = Base64Encode(source, text.data(), length, static_cast<SInt32>(text.size()));
  if (textLength < 0) FatalError("Fatal memory error!", "PlistTag::SetData()");
  Ptr block = NewPlistBlock(textLength, "PlistTag::SetData()");
  std::memcpy(block, text.data(), static_cast<size_t>(textLength));
  ReplaceData(node, block);
  return 0;
}

namespace {

// The packed form: a 4-byte big-endian count, then PackBits chunks of 127
// output bytes. Untrusted: -1 for anything that does not add up.
SInt32 UnpackData(const UInt8* packed, SInt32 size, Ptr* out, SInt32* outLength) {
  if (size < 4) return kErrFailed;
  const UInt32 count =
      (UInt32(packed[0]) << 24) | (UInt32(packed[1]) << 16) | (UInt32(packed[2]) << 8) | UInt32(packed[3]);
  // Two bytes of PackBits make at most 128: more than 64 per byte is a lie.
  if (static_cast<UInt64>(count) > 64ull * static_cast<UInt64>(size - 4) || count > 0x7FFFFFFF) return kErrFailed;
  Ptr block = NewPlistBlock(static_cast<SInt32>(count), "PlistTag::GetData()");
  const UInt8* s = packed + 4;
  auto* d = reinterpret_cast<UInt8*>(block);
  for (UInt32 left = count; left > 0;) {
    const UInt32 chunk = std::min<UInt32>(left, kChunk);
    if (UnpackBitsBounded(&s, packed + size, &d, static_cast<SInt32>(chunk)) != 0) {
      DisposePtrBlock(block);
      return kErrFailed;
    }
    left -= chunk;
  }
  *out = block;
  *outLength = static_cast<SInt32>(count);
  return 0;
}

}  // namespace

SInt32 PlistTag::GetData(PlistTag* tag, const char* name, Ptr* block, SInt32* length, UInt8 unpack) {
  PlistTag* node = FindTag(tag, "data", name, 0);
  if (!node) return kErrFailed;
  const SInt32 textLength = node->data ? GetPtrBlockSize(node->data) : 0;
  Ptr decoded = NewPlistBlock(Base64DecodedSize(textLength), "PlistTag::GetData()");
  SInt32 count = textLength > 0 ? Base64Decode(node->data, decoded, textLength, Base64DecodedSize(textLength)) : 0;
  if (count < 0) count = 0;
  SetPtrBlockSize(decoded, count);
  Ptr result = decoded;
  SInt32 resultLength = count;
  if (unpack && node->data) {
    SInt32 status = UnpackData(reinterpret_cast<UInt8*>(decoded), count, &result, &resultLength);
    DisposePtrBlock(decoded);
    if (status != 0) return kErrFailed;
  }
  if (block) *block = result;
  else DisposePtrBlock(result);
  if (length) *length = resultLength;
  return 0;
}

void PlistTag::SetDataArray8(PlistTag* tag, const char* name, NamedArray<uint8_t>* array, UInt8 pack) {
  SetData(tag, name, array->data, static_cast<SInt32>(array->count), pack);
}

void PlistTag::SetDataArray16(PlistTag* tag, const char* name, NamedArray<int16_t>* array, UInt8 pack) {
  std::vector<UInt8> bytes(static_cast<size_t>(array->count) * 2);
  for (UInt32 i = 0; i < array->count; ++i) {
    const auto v = static_cast<UInt16>(array->data[i]);
    bytes[2 * i] = static_cast<UInt8>(v >> 8);
    bytes[2 * i + 1] = static_cast<UInt8>(v);
  }
  SetData(tag, name, bytes.data(), static_cast<SInt32>(bytes.size()), pack);
}

namespace {

// Decodes the named data child and hands each element's bytes to store.
template <typename T, typename Store>
void GetDataArray(PlistTag* tag, const char* name, NamedArray<T>* array, UInt8 unpack, Store store) {
  Ptr block = nullptr;
  SInt32 length = 0;
  if (PlistTag::GetData(tag, name, &block, &length, unpack) != 0) {
    array->Dispose();
    return;
  }
  const UInt32 count = static_cast<UInt32>(length) / sizeof(T);
  array->Reinit(count);
  array->SetName(PStr("(*array)").GetPtr(), -1);
  const auto* bytes = reinterpret_cast<const UInt8*>(block);
  for (UInt32 i = 0; i < count; ++i) array->data[i] = store(bytes + i * sizeof(T));
  DisposePtrBlock(block);
}

}  // namespace

void PlistTag::GetDataArray8(PlistTag* tag, const char* name, NamedArray<uint8_t>* array, UInt8 unpack) {
  GetDataArray(tag, name, array, unpack, [](const UInt8* p) { return *p; });
}

void PlistTag::GetDataArray16(PlistTag* tag, const char* name, NamedArray<int16_t>* array, UInt8 unpack) {
  GetDataArray(tag, name, array, unpack,
               [](const UInt8* p) { return static_cast<int16_t>(static_cast<UInt16>((p[0] << 8) | p[1])); });
}
