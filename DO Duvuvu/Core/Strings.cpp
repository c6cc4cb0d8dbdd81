// Length-prefixed strings and the PStr / CStr holders.
#include "Strings.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "ResultCodes.h"

namespace {

bool IsSpace(unsigned char c) { return c == 0x20 || c == 0xCA; }

unsigned char Fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

// Copies up to limit characters of C text into a length-prefixed string
// (the buffers may overlap).
void CToPStrLimited(const char* text, StringPtr destination, size_t limit) {
  size_t length = text ? strnlen(text, limit) : 0;
  if (length) std::memmove(destination + 1, text, length);
  destination[0] = static_cast<unsigned char>(length);
}

}  // namespace

// Holders ---------------------------------------------------------------------

StringPtr PStr::FromCStr(const char* text) {
  CToPStrLimited(text, str_, 255);
  return str_;
}

char* CStr::FromPStr(ConstStringPtr string) {
  if (!string) return Clear();
  std::memmove(str_, string + 1, string[0]);
  str_[string[0]] = 0;
  return str_;
}

char* CStr::FromCStr(const char* text) {
  if (!text) return Clear();
  size_t length = strnlen(text, 255);
  std::memmove(str_, text, length);
  str_[length] = 0;
  return str_;
}

// Copying and joining ---------------------------------------------------------

SInt32 PStrCopy31(ConstStringPtr source, StringPtr destination) {
  if (!source || !destination || source[0] > 31) return kErrFailed;
  std::memmove(destination, source, source[0] + 1u);
  return 0;
}

SInt32 PStrAppend31(ConstStringPtr source, StringPtr destination) {
  if (!source || !destination || source[0] + destination[0] > 31) return kErrFailed;
  return PStrAppend(source, destination);
}

SInt32 PStrAppendChar31(unsigned char character, StringPtr destination) {
  if (!destination || destination[0] >= 31) return kErrFailed;
  destination[++destination[0]] = character;
  return 0;
}

SInt32 PStrCopy(ConstStringPtr source, StringPtr destination) {
  if (!source || !destination) return kErrFailed;
  std::memmove(destination, source, source[0] + 1u);
  return 0;
}

SInt32 PStrAppend(ConstStringPtr source, StringPtr destination) {
  if (!source || !destination) return kErrFailed;
  // Beyond 255 there is no room in a Str255: the rest is dropped.
  unsigned length = destination[0];
  unsigned count = source[0];
  if (count > 255 - length) count = 255 - length;
  std::memmove(destination + 1 + length, source + 1, count);
  destination[0] = static_cast<unsigned char>(length + count);
  return 0;
}

void JoinPStrs(StringPtr destination, ...) {
  destination[0] = 0;
  va_list args;
  va_start(args, destination);
  while (ConstStringPtr piece = va_arg(args, ConstStringPtr)) PStrAppend(piece, destination);
  va_end(args);
}

SInt32 PStrClear(StringPtr string) {
  if (!string) return kErrFailed;
  string[0] = 0;
  return 0;
}

// Converting between the forms -----------------------------------------------

void CToPStr(const char* text, StringPtr destination) { CToPStrLimited(text, destination, 255); }

void PToCStr(ConstStringPtr string, char* destination) {
  unsigned length = string[0];
  std::memmove(destination, string + 1, length);
  destination[length] = 0;
}

char* PToCStrBuf(char* destination, ConstStringPtr string) {
  if (reinterpret_cast<const void*>(destination) != reinterpret_cast<const void*>(string))
    PToCStr(string, destination);
  return destination;
}

// Comparing -------------------------------------------------------------------

UInt8 PStrEqual(ConstStringPtr a, ConstStringPtr b) {
  return a[0] == b[0] && std::memcmp(a + 1, b + 1, a[0]) == 0;
}

UInt8 PStrEqual(const PStr& a, const PStr& b) { return PStrEqual(a.GetPtr(), b.GetPtr()); }

SInt32 PStrCompareNoCase(ConstStringPtr a, ConstStringPtr b) {
  unsigned lengthA = a[0], lengthB = b[0];
  if (lengthA == 0) return lengthB ? -1 : 0;
  if (lengthB == 0) return 1;
  if (a[1] != b[1]) return a[1] < b[1] ? -1 : 1;
  unsigned i = 1;
  while (i <= lengthA && i <= lengthB && Fold(a[i]) == Fold(b[i])) ++i;
  if (i > lengthA || i > lengthB) {
    if (lengthA == lengthB) return 0;
    return lengthA < lengthB ? -1 : 1;
  }
  return Fold(a[i]) < Fold(b[i]) ? -1 : 1;
}

UInt8 PStrEqualsCStr(ConstStringPtr string, const char* text) {
  size_t length = string[0];
  return strnlen(text, length + 1) == length && std::memcmp(string + 1, text, length) == 0;
}

UInt8 CStrEqualsPStr(const char* text, ConstStringPtr string) { return PStrEqualsCStr(string, text); }

// Four-character codes --------------------------------------------------------

void CodeToPStr(StringPtr destination, FourCharCode code) {
  destination[0] = 4;
  for (int i = 0; i < 4; ++i) destination[1 + i] = static_cast<unsigned char>(code >> (24 - 8 * i));
}

FourCharCode PStrToCode(ConstStringPtr string) {
  FourCharCode code = 0;
  for (unsigned i = 1; i <= 4; ++i) code = (code << 8) | (i <= string[0] ? string[i] : 0x20u);
  return code;
}

// Case and spaces -------------------------------------------------------------

void PStrUpperCase(StringPtr string) {
  for (unsigned i = 1; i <= string[0]; ++i)
    if (string[i] >= 'a' && string[i] <= 'z') string[i] = static_cast<unsigned char>(string[i] - 32);
}

void PStrTitleCase(StringPtr string) {
  for (unsigned i = 1; i <= string[0]; ++i) {
    unsigned char& c = string[i];
    bool startsWord = i == 1 || IsSpace(string[i - 1]);
    if (startsWord && c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 32);
    else if (!startsWord && c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + 32);
  }
}

void PStrCollapseSpaces(StringPtr string) {
  unsigned out = 0;
  bool pendingSpace = false;
  for (unsigned i = 1; i <= string[0]; ++i) {
    if (IsSpace(string[i])) {
      pendingSpace = out > 0;
      continue;
    }
    if (pendingSpace) string[++out] = 0x20;
    pendingSpace = false;
    string[++out] = string[i];
  }
  string[0] = static_cast<unsigned char>(out);
}

// Words and brackets ----------------------------------------------------------

SInt32 PStrCountWords(ConstStringPtr string) {
  SInt32 words = 0;
  for (unsigned i = 1; i <= string[0]; ++i)
    if (string[i] != 0x20 && (i == 1 || string[i - 1] == 0x20)) ++words;
  return words;
}

SInt32 PStrAppendWord(SInt32 n, ConstStringPtr string, StringPtr destination) {
  SInt32 words = PStrCountWords(string);
  if (n <= 0 || n > words) return words;
  unsigned length = string[0];
  unsigned i = 1;
  while (i <= length && string[i] == 0x20) ++i;
  for (SInt32 skip = 1; skip < n; ++skip) {
    while (i <= length && string[i] != 0x20) ++i;
    while (i <= length && string[i] == 0x20) ++i;
  }
  unsigned out = destination[0];
  while (i <= length && string[i] != 0x20 && out < 255) destination[++out] = string[i++];
  destination[0] = static_cast<unsigned char>(out);
  return words;
}

void PStrCopyAfterChar(ConstStringPtr string, StringPtr destination, unsigned char character) {
  const void* hit = std::memchr(string + 1, character, string[0]);
  if (!hit) {
    destination[0] = 0;
    return;
  }
  unsigned start = static_cast<unsigned>(static_cast<const unsigned char*>(hit) - string) + 1;
  unsigned count = string[0] + 1u - start;
  std::memmove(destination + 1, string + start, count);
  destination[0] = static_cast<unsigned char>(count);
}

void PStrCutAtChar(StringPtr string, unsigned char character) {
  const void* hit = std::memchr(string + 1, character, string[0]);
  if (hit) string[0] = static_cast<unsigned char>(static_cast<const unsigned char*>(hit) - string - 1);
}

void PStrCutAtBracket(StringPtr string) { PStrCutAtChar(string, '['); }

SInt32 PStrCountBrackets(ConstStringPtr string) {
  if (!string) return kErrFailed;
  SInt32 open = 0, close = 0;
  for (unsigned i = 1; i <= string[0]; ++i) {
    if (string[i] == '[') ++open;
    else if (string[i] == ']') ++close;
  }
  return open == close ? open : kErrUnbalancedBrackets;
}

SInt32 PStrBracketNumber(ConstStringPtr string, SInt32 n) {
  if (!string) return kErrFailed;
  SInt32 brackets = PStrCountBrackets(string);
  if (brackets < 1) return brackets;
  if (n < 0 || n >= brackets) return kErrNoSuchBracket;
  unsigned length = string[0];
  unsigned i = 1;
  for (SInt32 seen = -1; i <= length; ++i)
    if (string[i] == '[' && ++seen == n) break;
  char digits[256];
  unsigned count = 0;
  for (++i; i <= length && string[i] != ']'; ++i) digits[count++] = static_cast<char>(string[i]);
  digits[count] = 0;
  return static_cast<SInt32>(std::strtol(digits, nullptr, 10));
}
