// A growable byte buffer with one cursor: files are loaded into it whole, read
// token by token and written by insertion at the cursor.
#pragma once

#include <cstdio>

#include "MacTypes.h"
#include "NamedArray.h"

struct FileClass;

class TextBuffer {
 public:
  TextBuffer();
  ~TextBuffer();
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;

  // Storage. Both empty the contents.
  void SetBufferSize(UInt32 capacity);
  SInt32 SetData(const void* bytes, SInt32 count);

  // The skip set: the tokeniser's separators (default ',' ';' ' ' 0xCA TAB).
  void ResetSkipChars();
  void AddSkipChar(char c);
  void RemoveSkipChar(char c);
  bool IsSkipChar(char c) const;

  // Cursor and sizes; none fails without storage.
  UInt8* GetDataPtr() const { return dataStart; }
  UInt8* GetCursorPtr() const { return cursor; }
  UInt8* GetEndPtr() const { return dataEnd; }
  UInt32 GetCapacity() const;
  UInt32 GetLength() const;
  SInt32 GetCursor() const;
  void SetCursor(SInt32 offset);
  void MoveCursor(SInt32 delta);
  void CursorToEnd();
  void SetCursorPtr(UInt8* pointer);

  // Reading. At the data end ReadChar answers 0 and stays.
  UInt8 ReadChar();
  SInt32 ReadChars(void* destination, SInt32 n);
  SInt32 CheckDataSize();
  UInt8* SkipChars(UInt8** pointer = nullptr);
  void ReadText(StringPtr destination, UInt8 keepSkipChars = 0);
  SInt32 ReadNum();
  // Offset after the match, or -1. Patterns over 31 characters never match.
  SInt32 FindText(ConstStr255Param pattern, UInt8 wholeWord, UInt8 moveCursor, UInt8 caseSensitive);
  SInt32 FindChar(char c, UInt8 moveCursor);

  // Writing and deleting, at the cursor.
  UInt8* WriteData(const void* bytes, SInt32 n);
  void WritePStr(ConstStr255Param text);
  void WriteChar(UInt8 c);
  void WriteNum(SInt32 number);
  void DeleteChars(UInt32 n);
  void DeleteNum();

  // Files. length 0: the whole file; 0xFFFFFFFF: a 4-byte big-endian length
  // prefix first. A length beyond what the file holds loads what is there and
  // answers -36 (I/O error).
  OSErr LoadFile(FILE* file, UInt32 length = 0);
  // Writes all data at the start of the file; -36 on a short write.
  OSErr SaveToStdFile(FILE* file);
  OSErr LoadFileClass(FileClass* file);
  // Replaces the file's whole contents with the data.
  OSErr SaveFile(FileClass* file);

 private:
  void RequireStorage(const char* location) const;
  UInt8* dataStart = nullptr;
  UInt8* capacityEnd = nullptr;
  UInt8* cursor = nullptr;
  UInt8* dataEnd = nullptr;
  NamedArray<char> skipChar;
};
