// Number text, printf into fixed buffers, joins and parameter substitution.
#include "NumberText.h"

#include <bit>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ResultCodes.h"
#include "Strings.h"

namespace {

// atoi as the C runtime reads it, without its undefined overflow.
SInt32 ParseInt(const char* text) { return static_cast<SInt32>(std::strtol(text, nullptr, 10)); }

char* Format(char* buffer, const char* format, ...) {
  if (buffer == format) return buffer;
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, 256, format, args);
  va_end(args);
  return buffer;
}

template <unsigned kLimit>
SInt32 AppendNum(SInt32 number, StringPtr destination) {
  if (!destination) return kErrFailed;
  char digits[16];
  int count = std::snprintf(digits, sizeof digits, "%d", number);
  if (destination[0] + count > static_cast<int>(kLimit)) return kErrFailed;
  std::memcpy(destination + 1 + destination[0], digits, static_cast<size_t>(count));
  destination[0] = static_cast<unsigned char>(destination[0] + count);
  return 0;
}

}  // namespace

// Numbers and text ------------------------------------------------------------

void NumToPStr(SInt32 number, StringPtr destination) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%d", number);
  CToPStr(digits, destination);
}

SInt32 PStrToNum(ConstStringPtr string, SInt32* out) {
  CStr text(string);
  return PStrToNum(text.GetPtr(), out);
}

SInt32 PStrToNum(ConstStringPtr string) { return PStrToNum(string, nullptr); }

SInt32 PStrToNum(const char* text, SInt32* out) {
  SInt32 value = text ? ParseInt(text) : 0;
  if (out) *out = value;
  return value;
}

SInt32 PStrAppendNum31(SInt32 number, StringPtr destination) { return AppendNum<31>(number, destination); }
SInt32 PStrAppendNum255(SInt32 number, StringPtr destination) { return AppendNum<255>(number, destination); }

SInt32 CStrToIntStrict(const char* text, UInt8* ok) {
  if (ok) *ok = 0;
  if (!text) return 0;
  while (*text == '+' || *text == '0' || *text == ' ' || *text == '\t' || *text == '\r' || *text == '\n') ++text;
  const char* digits = *text == '-' ? text + 1 : text;
  for (const char* c = digits; *c; ++c)
    if (*c < '0' || *c > '9') return 0;
  if (ok) *ok = 1;
  return ParseInt(text);
}

char* NumToZeroPadded(SInt32 number, char* buffer, SInt32 width) {
  if (width > 11) width = 11;
  if (width < 0) width = 0;
  char digits[16];
  int count = std::snprintf(digits, sizeof digits, "%d", number);
  int zeros = width > count ? width - count : 0;
  std::memset(buffer, '0', static_cast<size_t>(zeros));
  std::memcpy(buffer + zeros, digits, static_cast<size_t>(count) + 1);
  return buffer + zeros;
}

SInt32 FloatToPStr(double value, SInt32 decimals, StringPtr destination) {
  if (std::isnan(value)) {
    destination[0] = 0;
    return 0;
  }
  char format[32];
  Format(format, "%%.%df", decimals > 0 ? decimals : 0);
  char text[256];
  CStrNum(text, format, value);
  PStr formatted(text);
  // A text that does not fit leaves the destination as it was, untrimmed.
  if (PStrCopy31(formatted.GetPtr(), destination) != 0) return kErrFailed;
  for (SInt32 i = 0; i < decimals && destination[0] > 0 && destination[destination[0]] == '0'; ++i) --destination[0];
  SInt32 length = destination[0];
  if (length > 0 && destination[length] == '.') --destination[0];
  return length;
}

SInt32 PStrToFloat(const char* text, double* out) {
  double value = 0.0;
  SInt32 read = 1;
  if (!text || !*text) {
    value = std::bit_cast<double>(0x7FF8000000000000ull);
  } else if (std::strcmp(text, ".") != 0) {
    read = std::sscanf(text, "%lf", &value);
    if (read != 1) value = 0.0;
  }
  if (out) *out = value;
  return read;
}

SInt32 PStrToFloat(ConstStringPtr string, double* out) {
  if (!string) return PStrToFloat(static_cast<const char*>(nullptr), out);
  CStr text(string);
  return PStrToFloat(text.GetPtr(), out);
}

double PStrToFloat(ConstStringPtr string) {
  double value;
  PStrToFloat(string, &value);
  return value;
}

// Formatting and joining ------------------------------------------------------

char* CStrNumChar(char* buffer, const char* format, unsigned char value) { return Format(buffer, format, value); }
char* CStrNumInt(char* buffer, const char* format, UInt32 value) { return Format(buffer, format, value); }
char* CStrNumDouble(char* buffer, const char* format, double value) { return Format(buffer, format, value); }
char* CStrNumPointer(char* buffer, const char* format, const void* value) { return Format(buffer, format, value); }

void JoinCStrs(char* buffer, ...) {
  buffer[0] = 0;
  va_list args;
  va_start(args, buffer);
  while (const char* piece = va_arg(args, const char*)) CStrAppendBounded(buffer, piece, 255);
  va_end(args);
}

char* CStrAssign(char* buffer, const char* text) {
  CStrCopy255(buffer, text);
  return buffer;
}

char* CStrAssign(char* buffer, ConstStringPtr string) { return PToCStrBuf(buffer, string); }

void SubstituteParams(std::string* text, const char* s0, const char* s1, const char* s2, const char* s3) {
  if (!text) return;
  const char* strings[4] = {s0, s1, s2, s3};
  for (int k = 0; k < 4 && strings[k]; ++k) {
    const char marker[3] = {'^', static_cast<char>('0' + k), 0};
    size_t at = text->find(marker);
    if (at != std::string::npos) text->replace(at, 2, strings[k]);
  }
}
