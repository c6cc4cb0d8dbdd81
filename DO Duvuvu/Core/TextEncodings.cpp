// Hex, percent-encoding, backslash escapes, Base64 and the URL splitter.
#include <cstring>

#include "NumberText.h"
#include "ResultCodes.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

UInt8 HexDigitValue(char c) {
  return static_cast<UInt8>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
}

bool KeptByURLEncode(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

SInt32 SourceLength(const char* text, SInt32 length) {
  return length < 0 ? static_cast<SInt32>(std::strlen(text)) : length;
}

// Closes a text output of `written` characters, when the buffer has a byte.
void Terminate(char* destination, SInt64 written, SInt64 limit) {
  if (limit >= 1) destination[written] = 0;
}

struct Base64Tables {
  std::string alphabet;
  SInt8 positions[256];
};

Base64Tables* gBase64 = nullptr;

const Base64Tables& Base64() {
  if (!gBase64) InitBase64Alphabet();
  return *gBase64;
}

}  // namespace

// Hex -------------------------------------------------------------------------

UInt16 ByteToHex(UInt8 byte) {
  return static_cast<UInt16>((kHexDigits[byte >> 4] << 8) | kHexDigits[byte & 15]);
}

UInt8 HexToByte(UInt16 pair) {
  return static_cast<UInt8>((HexDigitValue(static_cast<char>(pair >> 8)) << 4) +
                            HexDigitValue(static_cast<char>(pair & 0xFF)));
}

SInt32 BytesToHex(const void* bytes, SInt32 count, char* destination) {
  const UInt8* in = static_cast<const UInt8*>(bytes);
  SInt32 n = count > 0 ? count : 0;
  for (SInt32 i = 0; i < n; ++i) {
    UInt16 pair = ByteToHex(in[i]);
    destination[2 * i] = static_cast<char>(pair >> 8);
    destination[2 * i + 1] = static_cast<char>(pair & 0xFF);
  }
  destination[2 * n] = 0;
  return 2 * n;
}

SInt32 HexToBytes(const char* text, SInt32 count, void* destination) {
  UInt8* out = static_cast<UInt8*>(destination);
  SInt32 n = count > 0 ? count / 2 : 0;
  for (SInt32 i = 0; i < n; ++i)
    out[i] = HexToByte(static_cast<UInt16>((static_cast<UInt8>(text[2 * i]) << 8) | static_cast<UInt8>(text[2 * i + 1])));
  return n;
}

// Percent-encoding ------------------------------------------------------------

SInt32 URLEncode(const char* source, char* destination, SInt32 length, SInt32 limit) {
  SInt32 n = SourceLength(source, length);
  SInt64 room = limit < 0 ? 3 * static_cast<SInt64>(n) + 1 : limit;
  SInt64 out = 0;
  SInt32 i = 0;
  for (; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(source[i]);
    int piece = KeptByURLEncode(c) ? 1 : 3;
    if (out + piece >= room) break;
    if (piece == 1) {
      destination[out++] = static_cast<char>(c);
    } else {
      UInt16 pair = ByteToHex(c);
      destination[out++] = '%';
      destination[out++] = static_cast<char>(pair >> 8);
      destination[out++] = static_cast<char>(pair & 0xFF);
    }
  }
  Terminate(destination, out, room);
  return i;
}

SInt32 URLDecode(const char* source, char* destination, SInt32 length, SInt32 limit) {
  SInt32 n = SourceLength(source, length);
  SInt64 room = limit < 0 ? static_cast<SInt64>(n) + 1 : limit;
  SInt64 out = 0;
  SInt32 i = 0;
  while (i < n && out + 1 < room) {
    char c = source[i];
    if (c == '+') {
      destination[out++] = ' ';
      ++i;
    } else if (c != '%') {
      destination[out++] = c;
      ++i;
    } else if (n - i > 2) {
      destination[out++] = static_cast<char>(
          HexToByte(static_cast<UInt16>((static_cast<UInt8>(source[i + 1]) << 8) | static_cast<UInt8>(source[i + 2]))));
      i += 3;
    } else if (n - i == 2) {
      destination[out++] = static_cast<char>(HexDigitValue(source[i + 1]));
      i += 2;
    } else {
      ++i;  // a '%' with nothing behind it
    }
  }
  Terminate(destination, out, room);
  return i;
}

// Backslash escapes -----------------------------------------------------------

SInt32 CStrEscape(const char* source, char* destination, SInt32 length, SInt32 limit) {
  SInt32 out = 0;
  for (SInt32 i = 0; i < length && limit >= 1; ++i) {
    char c = source[i];
    bool escaped = c == '\'' || c == '"' || c == '\\' || c == 0;
    if (out + (escaped ? 2 : 1) >= limit) break;
    if (escaped) destination[out++] = '\\';
    destination[out++] = c == 0 ? '0' : c;
  }
  Terminate(destination, out, limit);
  return out;
}

SInt32 CStrUnescape(const char* source, char* destination, SInt32 limit) {
  SInt32 out = 0;
  while (*source && out + 1 < limit) {
    char c = *source++;
    if (c == '\\') {
      if (!*source) break;  // a lone backslash at the end
      c = *source++;
      if (c == '0') c = 0;
    }
    destination[out++] = c;
  }
  Terminate(destination, out, limit);
  return out;
}

// Base64 ----------------------------------------------------------------------

void InitBase64Alphabet() {
  if (gBase64) return;
  gBase64 = new Base64Tables;
  gBase64->alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::memset(gBase64->positions, -1, sizeof gBase64->positions);
  for (int i = 0; i < 64; ++i) gBase64->positions[static_cast<UInt8>(gBase64->alphabet[static_cast<size_t>(i)])] = static_cast<SInt8>(i);
}

void ReleaseBase64Alphabet() {
  delete gBase64;
  gBase64 = nullptr;
}

const std::string& Base64Alphabet() { return Base64().alphabet; }

SInt32 Base64EncodedSize(SInt32 count) {
  return count > 0 ? static_cast<SInt32>(static_cast<SInt64>(count) * 4 / 3 + 5) : 0;
}

SInt32 Base64DecodedSize(SInt32 count) {
  return count > 0 ? static_cast<SInt32>((static_cast<SInt64>(count) * 3 + 12) / 4) : 0;
}

SInt32 Base64Encode(const void* bytes, char* destination, SInt32 count, SInt32 limit) {
  const UInt8* in = static_cast<const UInt8*>(bytes);
  SInt64 n = count < 0 ? static_cast<SInt64>(std::strlen(static_cast<const char*>(bytes))) : count;
  SInt64 room = limit < 0 ? kBase64DefaultLimit : limit;
  SInt64 textLength = (n + 2) / 3 * 4;
  if (textLength + 1 > room) {
    Terminate(destination, 0, room);
    return kErrFailed;
  }
  const char* alphabet = Base64().alphabet.c_str();
  char* out = destination;
  for (SInt64 i = 0; i < n; i += 3) {
    UInt32 group = static_cast<UInt32>(in[i]) << 16;
    if (i + 1 < n) group |= static_cast<UInt32>(in[i + 1]) << 8;
    if (i + 2 < n) group |= in[i + 2];
    *out++ = alphabet[(group >> 18) & 63];
    *out++ = alphabet[(group >> 12) & 63];
    *out++ = i + 1 < n ? alphabet[(group >> 6) & 63] : '=';
    *out++ = i + 2 < n ? alphabet[group & 63] : '=';
  }
  *out = 0;
  return static_cast<SInt32>(textLength);
}

SInt32 Base64Decode(const char* text, void* destination, SInt32 count, SInt32 limit) {
  const SInt8* positions = Base64().positions;
  UInt8* out = static_cast<UInt8*>(destination);
  SInt32 n = SourceLength(text, count);
  SInt32 room = limit < 0 ? kBase64DefaultLimit : limit;
  SInt32 written = 0;
  UInt32 group = 0;
  int held = 0;
  // Writes the top `bytes` bytes of a group of `held` characters.
  auto emit = [&](int bytes) {
    group <<= 6 * (4 - held);
    for (int b = 0; b < bytes; ++b) {
      if (written >= room) return false;
      out[written++] = static_cast<UInt8>(group >> (16 - 8 * b));
    }
    group = 0;
    held = 0;
    return true;
  };
  for (SInt32 i = 0; i < n; ++i) {
    SInt8 position = positions[static_cast<UInt8>(text[i])];
    if (position < 0) break;  // '=' and every character outside the alphabet
    group = (group << 6) | static_cast<UInt32>(position);
    if (++held == 4 && !emit(3)) return kErrFailed;
  }
  if (held >= 2 && !emit(held - 1)) return kErrFailed;
  return written;
}

// URLs ------------------------------------------------------------------------

SInt32 SplitURL(char* url, char** scheme, char** host, char** port, char** user, char** password, char** path,
                char** query, char** fragment) {
  char* schemePart = nullptr;
  char* hostPart = url;
  if (char* separator = std::strstr(url, "://")) {
    *separator = 0;
    schemePart = url;
    hostPart = separator + 1;
    std::memmove(hostPart, separator + 3, std::strlen(separator + 3) + 1);
  }

  char* pathPart = nullptr;
  char* queryPart = nullptr;
  char* fragmentPart = nullptr;
  if (char* slash = std::strchr(hostPart, '/')) {
    *slash = 0;
    pathPart = slash + 1;
    queryPart = std::strchr(pathPart, '?');
    fragmentPart = std::strchr(pathPart, '#');
    if (queryPart) *queryPart++ = 0;
    if (fragmentPart) *fragmentPart++ = 0;
  }

  char* userPart = nullptr;
  char* passwordPart = nullptr;
  if (char* at = std::strchr(hostPart, '@')) {
    *at = 0;
    userPart = hostPart;
    hostPart = at + 1;
    if (char* colon = std::strchr(userPart, ':')) {
      *colon = 0;
      passwordPart = colon + 1;
    }
  }

  char* portPart = nullptr;
  if (char* colon = std::strchr(hostPart, ':')) {
    *colon = 0;
    portPart = colon + 1;
  }

  if (scheme) *scheme = schemePart;
  if (host) *host = hostPart;
  if (port) *port = portPart;
  if (user) *user = userPart;
  if (password) *password = passwordPart;
  if (path) *path = pathPart;
  if (query) *query = queryPart;
  if (fragment) *fragment = fragmentPart;
  return 1;
}
