#include "TextBuffer.h"

#include <algorithm>
#include <cstring>

#include "Errors.h"
#include "FileClass.h"
#include "FileManager.h"
#include "Memory.h"
#include "NumberText.h"
#include "ResultCodes.h"
#include "Strings.h"

namespace {

constexpr UInt32 kGrowStep = 32768;
constexpr UInt32 kMaxLength = 0x7FFFFFFF;
constexpr char kNilBuffer[] = "The text buffer is \"nil.\"";
constexpr char kNilFile[] = "The import text file is \"nil.\"";
constexpr char kClosedFile[] = "The import text file is closed.";

bool IsWordChar(UInt8 c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

UInt8 FoldCase(UInt8 c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<UInt8>(c + ('a' - 'A')) : c;
}

bool IsDigit(UInt8 c) {
  return c >= '0' && c <= '9';
}

}  // namespace

TextBuffer::TextBuffer() : skipChar(0, PStr("skipChar").GetPtr()) {
  SetBufferSize(kGrowStep);
  ResetSkipChars();
}

TextBuffer::~TextBuffer() {
  if (dataStart) DisposePtrBlock(dataStart);
  dataStart = capacityEnd = cursor = dataEnd = nullptr;
}

void TextBuffer::RequireStorage(const char* location) const {
  if (!dataStart) FatalError(kNilBuffer, location);
}

void TextBuffer::SetBufferSize(UInt32 capacity) {
  if (dataStart) DisposePtrBlock(dataStart);
  dataStart = capacityEnd = cursor = dataEnd = nullptr;
  // A block of at least one byte, so an empty buffer still has storage.
  UInt8* block = reinterpret_cast<UInt8*>(NewPtrBlockClear(std::max<UInt32>(capacity, 1)));
  if (!block) FatalError("Not enough memory to initialize text buffer.", "");
  SetPtrBlockSize(block, static_cast<SInt32>(std::min(capacity, kMaxLength)));
  dataStart = cursor = dataEnd = block;
  capacityEnd = block + capacity;
}

SInt32 TextBuffer::SetData(const void* bytes, SInt32 count) {
  count = std::max<SInt32>(count, 0);
  SetBufferSize(static_cast<UInt32>(count));
  if (count > 0) std::memcpy(dataStart, bytes, static_cast<size_t>(count));
  dataEnd = dataStart + count;
  return 0;
}

void TextBuffer::ResetSkipChars() {
  skipChar.Dispose();
  skipChar.SetName(PStr("skipChar").GetPtr(), -1);
  for (char c : {',', ';', ' ', static_cast<char>(0xCA), '\t'}) AddSkipChar(c);
}

void TextBuffer::AddSkipChar(char c) {
  skipChar.Resize(skipChar.count + 1, 0);
  skipChar.data[skipChar.count - 1] = c;
}

void TextBuffer::RemoveSkipChar(char c) {
  for (UInt32 i = 0; i < skipChar.count; ++i) {
    if (skipChar.data[i] == c) {
      skipChar.RemoveEntries(static_cast<SInt32>(i), 1);
      return;
    }
  }
}

bool TextBuffer::IsSkipChar(char c) const {
  for (UInt32 i = 0; i < skipChar.count; ++i)
    if (skipChar.data[i] == c) return true;
  return false;
}

UInt32 TextBuffer::GetCapacity() const {
  return dataStart ? static_cast<UInt32>(capacityEnd - dataStart) : 0;
}

UInt32 TextBuffer::GetLength() const {
  return dataStart ? static_cast<UInt32>(dataEnd - dataStart) : 0;
}

SInt32 TextBuffer::GetCursor() const {
  return dataStart ? static_cast<SInt32>(cursor - dataStart) : -1;
}

void TextBuffer::SetCursor(SInt32 offset) {
  if (!dataStart) return;
  cursor = dataStart + std::clamp<SInt64>(offset, 0, dataEnd - dataStart);
}

void TextBuffer::MoveCursor(SInt32 delta) {
  if (!dataStart) return;
  cursor = dataStart + std::clamp<SInt64>((cursor - dataStart) + static_cast<SInt64>(delta), 0, dataEnd - dataStart);
}

void TextBuffer::CursorToEnd() {
  cursor = dataEnd;
}

void TextBuffer::SetCursorPtr(UInt8* pointer) {
  if (dataStart) cursor = pointer;
}

UInt8 TextBuffer::ReadChar() {
  RequireStorage("TextBuffer::ReadChar()");
  if (cursor >= dataEnd) return 0;
  return *cursor++;
}

SInt32 TextBuffer::ReadChars(void* destination, SInt32 n) {
  RequireStorage("TextBuffer::ReadChar()");
  SInt32 count = static_cast<SInt32>(std::min<SInt64>(std::max<SInt32>(n, 0), dataEnd - cursor));
  if (destination && count > 0) std::memcpy(destination, cursor, static_cast<size_t>(count));
  cursor += count;
  return count;
}

SInt32 TextBuffer::CheckDataSize() {
  RequireStorage("TextBuffer::CheckDataSize()");
  UInt8* p = cursor;
  while (p < dataEnd && !IsSkipChar(static_cast<char>(*p))) ++p;
  return static_cast<SInt32>(p - cursor);
}

UInt8* TextBuffer::SkipChars(UInt8** pointer) {
  if (!dataStart) return nullptr;
  if (pointer) cursor = *pointer;
  while (cursor < dataEnd && IsSkipChar(static_cast<char>(*cursor))) ++cursor;
  if (pointer) *pointer = cursor;
  return cursor;
}

void TextBuffer::ReadText(StringPtr destination, UInt8 keepSkipChars) {
  RequireStorage("TextBuffer::ReadText()");
  UInt8 length = 0;
  while (cursor < dataEnd && length < 254) {
    UInt8 c = *cursor;
    if (c == 13 || c == 10 || (!keepSkipChars && IsSkipChar(static_cast<char>(c)))) break;
    destination[++length] = c;
    ++cursor;
  }
  destination[0] = length;
}

SInt32 TextBuffer::ReadNum() {
  RequireStorage("TextBuffer::ReadNum()");
  while (cursor < dataEnd && !IsDigit(*cursor)) ++cursor;
  Str255 digits;
  digits[0] = 0;
  while (cursor < dataEnd && IsDigit(*cursor)) {
    if (digits[0] < 255) digits[++digits[0]] = *cursor;
    ++cursor;
  }
  return PStrToNum(digits);
}

SInt32 TextBuffer::FindText(ConstStr255Param pattern, UInt8 wholeWord, UInt8 moveCursor, UInt8 caseSensitive) {
  RequireStorage("TextBuffer::FindText()");
  const SInt32 length = pattern[0];
  if (length > 31) return -1;
  for (UInt8* p = cursor; dataEnd - p >= length; ++p) {
    SInt32 i = 0;
    if (caseSensitive) {
      while (i < length && p[i] == pattern[i + 1]) ++i;
    } else {
      while (i < length && FoldCase(p[i]) == FoldCase(pattern[i + 1])) ++i;
    }
    if (i < length) continue;
    if (wholeWord) {
      if (p > dataStart && IsWordChar(p[-1])) continue;
      if (p + length < dataEnd && IsWordChar(p[length])) continue;
    }
    if (moveCursor) cursor = p + length;
    return static_cast<SInt32>(p + length - dataStart);
  }
  return -1;
}

SInt32 TextBuffer::FindChar(char c, UInt8 moveCursor) {
  RequireStorage("TextBuffer::FindChar()");
  if (cursor >= dataEnd) return -1;
  auto* found = static_cast<UInt8*>(std::memchr(cursor, static_cast<UInt8>(c), static_cast<size_t>(dataEnd - cursor)));
  if (!found) return -1;
  if (moveCursor) cursor = found + 1;
  return static_cast<SInt32>(found + 1 - dataStart);
}

UInt8* TextBuffer::WriteData(const void* bytes, SInt32 n) {
  RequireStorage("TextBuffer::WriteData()");
  if (n <= 0) return nullptr;
  const UInt64 length = static_cast<UInt64>(dataEnd - dataStart);
  const UInt64 newLength = length + static_cast<UInt64>(n);
  if (newLength > kMaxLength) FatalError("Not enough memory to expand buffer size.", "TextBuffer::WriteData()");
  if (newLength <= GetCapacity()) {
    std::memmove(cursor + n, cursor, static_cast<size_t>(dataEnd - cursor));
  } else {
    UInt64 capacity = GetCapacity();
    while (capacity < newLength) capacity += kGrowStep;
    capacity = std::min<UInt64>(capacity, kMaxLength);
    auto* block = reinterpret_cast<UInt8*>(NewPtrBlockClear(static_cast<UInt32>(capacity)));
    if (!block) FatalError("Not enough memory to expand buffer size.", "TextBuffer::WriteData()");
    const size_t head = static_cast<size_t>(cursor - dataStart);
    const size_t tail = static_cast<size_t>(dataEnd - cursor);
    std::memcpy(block, dataStart, head);
    std::memcpy(block + head + n, cursor, tail);
    DisposePtrBlock(dataStart);
    dataStart = block;
    capacityEnd = block + capacity;
    cursor = block + head;
    dataEnd = block + head + tail;
  }
  std::memcpy(cursor, bytes, static_cast<size_t>(n));
  dataEnd += n;
  cursor += n;
  return cursor;
}

void TextBuffer::WritePStr(ConstStr255Param text) {
  WriteData(text + 1, text[0]);
}

void TextBuffer::WriteChar(UInt8 c) {
  WriteData(&c, 1);
}

void TextBuffer::WriteNum(SInt32 number) {
  Str255 text;
  NumToPStr(number, text);
  WritePStr(text);
}

void TextBuffer::DeleteChars(UInt32 n) {
  RequireStorage("TextBuffer::DeleteChars()");
  const size_t count = std::min<size_t>(n, static_cast<size_t>(dataEnd - cursor));
  std::memmove(cursor, cursor + count, static_cast<size_t>(dataEnd - cursor) - count);
  dataEnd -= count;
}

void TextBuffer::DeleteNum() {
  RequireStorage("TextBuffer::DeleteNum()");
  while (cursor < dataEnd && !IsDigit(*cursor)) ++cursor;
  UInt8* end = cursor;
  while (end < dataEnd && IsDigit(*end)) ++end;
  DeleteChars(static_cast<UInt32>(end - cursor));
}

OSErr TextBuffer::LoadFile(FILE* file, UInt32 length) {
  if (!file) FatalError(kNilFile, "TextBuffer::LoadFile()");
  RequireStorage("TextBuffer::LoadFile()");
  OSErr result = noErr;
  const bool wholeFile = length == 0;
  if (wholeFile) {
    std::rewind(file);
  } else if (length == 0xFFFFFFFF) {
    UInt8 prefix[4];
    if (std::fread(prefix, 1, 4, file) == 4) {
      length = (UInt32(prefix[0]) << 24) | (UInt32(prefix[1]) << 16) | (UInt32(prefix[2]) << 8) | prefix[3];
    } else {
      length = 0;
      result = kErrIO;
    }
  }
  // The bytes left in the file bound what is read: a length from the file is
  // not trusted with an allocation.
  SInt64 available = -1;
  const long here = std::ftell(file);
  if (here >= 0 && std::fseek(file, 0, SEEK_END) == 0) {
    const long end = std::ftell(file);
    std::fseek(file, here, SEEK_SET);
    if (end >= here) available = end - here;
  }
  UInt64 wanted = length;
  if (wholeFile) wanted = available >= 0 ? static_cast<UInt64>(available) : kMaxLength;
  if (available >= 0 && wanted > static_cast<UInt64>(available)) {
    wanted = static_cast<UInt64>(available);
    result = kErrIO;
  }
  if (wanted > kMaxLength) {
    wanted = kMaxLength;
    result = kErrIO;
  }
  if (available >= 0) {
    SetBufferSize(static_cast<UInt32>(wanted));
    const size_t got = std::fread(dataStart, 1, static_cast<size_t>(wanted), file);
    dataEnd = dataStart + got;
    if (got < wanted) result = kErrIO;
  } else {
    // A stream that cannot seek: read in steps, never trusting the length.
    SetBufferSize(kGrowStep);
    UInt8 chunk[4096];
    UInt64 got = 0;
    while (got < wanted) {
      const size_t n = std::fread(chunk, 1, static_cast<size_t>(std::min<UInt64>(sizeof chunk, wanted - got)), file);
      if (n == 0) break;
      WriteData(chunk, static_cast<SInt32>(n));
      got += n;
    }
    if (got < wanted && !wholeFile) result = kErrIO;
  }
  cursor = dataStart;
  return result;
}

OSErr TextBuffer::SaveToStdFile(FILE* file) {
  if (!file) FatalError(kNilFile, "TextBuffer::LoadFile()");
  RequireStorage("SaveTextBuffer()");
  std::rewind(file);
  const size_t length = static_cast<size_t>(dataEnd - dataStart);
  const size_t written = length ? std::fwrite(dataStart, 1, length, file) : 0;
  if (written != length || std::fflush(file) != 0 || std::ferror(file)) return kErrIO;
  return noErr;
}

OSErr TextBuffer::LoadFileClass(FileClass* file) {
  if (!file) FatalError(kNilFile, "TextBuffer::LoadFile()");
  if (!file->isOpen) FatalError(kClosedFile, "TextBuffer::LoadFile()");
  RequireStorage("TextBuffer::LoadFile()");
  UInt32 length = 0;
  OSErr err = GetFileEOF(file->forkRefNum, &length);
  if (err != noErr) return err;
  err = SetFPos(file->forkRefNum, fsFromStart, 0);
  if (err != noErr) return err;
  const UInt32 wanted = std::min(length, kMaxLength);
  SetBufferSize(wanted);
  UInt32 count = wanted;
  err = ReadFork(file->forkRefNum, &count, dataStart);
  dataEnd = dataStart + std::min(count, wanted);
  cursor = dataStart;
  if (err == noErr && count < length) err = kErrIO;
  return err;
}

OSErr TextBuffer::SaveFile(FileClass* file) {
  RequireStorage("SaveTextBuffer()");
  if (!file) FatalError(kNilFile, "TextBuffer::SaveFile()");
  if (!file->isOpen) FatalError(kClosedFile, "TextBuffer::SaveFile()");
  return ReplaceForkContents(file->forkRefNum, dataStart, static_cast<UInt32>(dataEnd - dataStart));
}
