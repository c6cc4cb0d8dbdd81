// One node of a property-list tree: a typed, named value with children. The
// same class reads and writes the tree as XML property-list text.
#pragma once

#include <cstdint>
#include <cstdio>

#include "MacTypes.h"
#include "NamedArray.h"

class TextBuffer;
struct FileClass;

class PlistTag {
 public:
  // A fresh node is an empty root "dict".
  PlistTag();
  // Releases the children and the data block (a caller-owned root's cleanup).
  ~PlistTag();
  PlistTag(const PlistTag&) = delete;
  PlistTag& operator=(const PlistTag&) = delete;

  Str31 type;           // "dict", "array", "integer", "real", "string", "boolean", "data", ...
  Str31 name;           // key in the parent dict; empty in arrays and for a root
  Str255 value;         // value text; empty for containers and "data"
  Ptr data = nullptr;   // "data" nodes: the Base64 text (memory-manager block)
  PlistTag* parent = nullptr;
  NamedArray<PlistTag*> child;

  // The tree ----------------------------------------------------------------

  static PlistTag* NewTag(PlistTag* parent, const char* type, const char* name, const char* value);
  static PlistTag* FindTag(PlistTag* tag, const char* type, const char* name, UInt8 create);
  static PlistTag* FindTagValue(PlistTag* tag, const char* type, const char* name, StringPtr valueOut,
                                UInt8 create);
  static void Delete(PlistTag* tag);
  static SInt32 DeleteChild(PlistTag* tag, const char* name);
  static void DeleteChildren(PlistTag* tag);
  static void PruneEmpty(PlistTag* tag);
  static void CopyTag(PlistTag* source, PlistTag* destination);

  // The node's value text from C text: at most 31 characters (longer is
  // fatal), or at most 255 (longer is cut).
  void SetString(const char* text);
  void SetString255(const char* text);

  // "data" children ----------------------------------------------------------

  // length -1 takes the size of the memory-manager block bytes.
  static SInt32 SetData(PlistTag* tag, const char* name, const void* bytes, SInt32 length, UInt8 pack);
  // A new memory-manager block the caller releases. -1 with the outputs
  // untouched when there is no such child or the packed data is damaged.
  static SInt32 GetData(PlistTag* tag, const char* name, Ptr* block, SInt32* length, UInt8 unpack);
  static void SetDataArray8(PlistTag* tag, const char* name, NamedArray<uint8_t>* array, UInt8 pack);
  static void GetDataArray8(PlistTag* tag, const char* name, NamedArray<uint8_t>* array, UInt8 unpack);
  static void SetDataArray16(PlistTag* tag, const char* name, NamedArray<int16_t>* array, UInt8 pack);
  static void GetDataArray16(PlistTag* tag, const char* name, NamedArray<int16_t>* array, UInt8 unpack);

  // Text ----------------------------------------------------------------------

  static void WriteTag(PlistTag* tag, TextBuffer* buffer);
  static void WriteBuffer(PlistTag* root, TextBuffer* buffer);
  // 0, or -36 when the stream fails.
  static OSErr WriteStdFile(PlistTag* root, FILE* file);
  // Replaces the file's contents; the file manager's status.
  static OSErr WriteFileClass(PlistTag* root, FileClass* file);
  static void SavePlistFile(PlistTag* root, const char* fileName);
  // 0, or -1 when the text holds no root dict or breaks a reader's limit
  // (the root is then left empty).
  static SInt32 ReadBuffer(PlistTag* root, TextBuffer* buffer);
  static void ParseTags(PlistTag* tag, TextBuffer* buffer);
  static SInt32 ReadStdFile(PlistTag* root, FILE* file);
  static SInt32 ReadFileClass(PlistTag* root, FileClass* file);
  static void ReadVersionPlist(PlistTag* root);

  // What the reader holds at most.
  static constexpr SInt32 kMaxChildren = 32767;
  static constexpr SInt32 kMaxDepth = 512;
};
