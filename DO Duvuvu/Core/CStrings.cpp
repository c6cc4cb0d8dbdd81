// C strings and fixed C buffers.
#include <cstring>

#include "Strings.h"
#include "ResultCodes.h"

namespace {

size_t StartIndex(SInt32 start) { return start > 0 ? static_cast<size_t>(start) : 0; }

// Both tokenisers keep their place between calls, as their callers expect.
char* gTokenPosition = nullptr;
char* gOpenTagPosition = nullptr;

}  // namespace

UInt8 CStrEqual(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

SInt32 CStrLength(const char* text) { return static_cast<SInt32>(std::strlen(text)); }

UInt8 CStrContainsChar(char character, const char* text) {
  // strchr would also find the terminating NUL.
  return character != 0 && std::strchr(text, character) != nullptr;
}

UInt8 CStrDiffersN(const char* a, const char* b, SInt32 n) {
  return n > 0 && std::strncmp(a, b, static_cast<size_t>(n)) != 0;
}

SInt32 CStrCopyN(char* destination, const char* source, SInt32 n) {
  size_t length = strnlen(source, StartIndex(n));
  std::memmove(destination, source, length);
  destination[length] = 0;
  return static_cast<SInt32>(length);
}

SInt32 CStrCopyExactN(char* destination, const char* source, SInt32 n) {
  size_t length = StartIndex(n);
  std::memmove(destination, source, length);
  destination[length] = 0;
  return static_cast<SInt32>(length);
}

SInt32 CStrAppendBounded(char* destination, const char* source, SInt32 size) {
  size_t length = std::strlen(destination);
  size_t limit = StartIndex(size);
  if (length >= limit) return static_cast<SInt32>(length);
  size_t count = strnlen(source, limit - length);
  std::memmove(destination + length, source, count);
  destination[length + count] = 0;
  return static_cast<SInt32>(length + count);
}

void CStrCopy255(char* destination, const char* source) {
  if (destination == source) return;
  CStrCopyN(destination, source, 255);
}

SInt32 CStrCopyChecked(const char* source, char* destination) {
  if (!source || !destination) return kErrFailed;
  std::memmove(destination, source, std::strlen(source) + 1);
  return 0;
}

// Searching -------------------------------------------------------------------

SInt32 CStrFindChar(const char* text, char character, SInt32 start) {
  size_t from = StartIndex(start);
  if (from > std::strlen(text) || character == 0) return -1;
  const char* hit = std::strchr(text + from, character);
  return hit ? static_cast<SInt32>(hit - text) : -1;
}

SInt32 CStrFindString(const char* text, const char* needle, SInt32 start) {
  size_t from = StartIndex(start);
  if (from > std::strlen(text)) return -1;
  const char* hit = std::strstr(text + from, needle);
  return hit ? static_cast<SInt32>(hit - text) : -1;
}

SInt32 CStrFindLastChar(const char* text, char character, SInt32 start) {
  size_t from = StartIndex(start);
  if (from > std::strlen(text) || character == 0) return -1;
  const char* hit = std::strrchr(text + from, character);
  return hit ? static_cast<SInt32>(hit - text) : -1;
}

SInt32 CStrFindLastString(const char* text, const char* needle, SInt32 start) {
  SInt32 last = -1;
  for (SInt32 hit = CStrFindString(text, needle, start); hit >= 0; hit = CStrFindString(text, needle, hit + 1)) {
    last = hit;
    if (!*needle) break;
  }
  return last;
}

SInt32 CStrCountChar(const char* text, char character, SInt32 start) {
  SInt32 count = 0;
  for (SInt32 hit = CStrFindChar(text, character, start); hit >= 0; hit = CStrFindChar(text, character, hit + 1))
    ++count;
  return count;
}

SInt32 CStrCountString(const char* text, const char* needle, SInt32 start) {
  SInt32 step = CStrLength(needle);
  if (step == 0) return 0;
  SInt32 count = 0;
  for (SInt32 hit = CStrFindString(text, needle, start); hit >= 0; hit = CStrFindString(text, needle, hit + step))
    ++count;
  return count;
}

// Tokenisers ------------------------------------------------------------------

char* CStrNextToken(char* text, const char* delimiter) {
  if (text) gTokenPosition = text;
  char* piece = gTokenPosition;
  if (!piece) return nullptr;
  char* hit = *delimiter ? std::strstr(piece, delimiter) : nullptr;
  if (hit) {
    *hit = 0;
    gTokenPosition = hit + std::strlen(delimiter);
  } else {
    gTokenPosition = nullptr;
  }
  return piece;
}

char* CStrNextOpenTag(char* text, char** end) {
  if (!text && !gOpenTagPosition) return nullptr;
  for (char* token = strtok_r(text, "<", &gOpenTagPosition); token; token = strtok_r(nullptr, "<", &gOpenTagPosition)) {
    if (token[0] == '/') continue;
    char* close = std::strchr(token, '>');
    if (!close) continue;
    *close = 0;
    if (end) *end = close + 1;
    return token;
  }
  return nullptr;
}

// Characters and paths --------------------------------------------------------

UInt8 IsSpaceChar(int character) {
  return character == ' ' || (character >= '\t' && character <= '\r');
}

void ConvertPathSeparators(const char* source, char* destination, SInt32 limit) {
  SInt32 written = 0;
  for (; written < limit && source[written]; ++written)
    destination[written] = source[written] == '\\' ? '/' : source[written];
  destination[written] = 0;
}

char PathSeparatorChar() { return '/'; }
