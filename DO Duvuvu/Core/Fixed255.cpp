// The fixed 255-character text classes.
#include <cctype>
#include <cstring>

#include "Strings.h"

namespace {

constexpr size_t kLimit = 255;
constexpr SInt32 kDefaultReplaceCount = 0x7FFFFFF;

// Fills a 256-byte buffer piece by piece, never past 255 characters.
class Writer {
 public:
  explicit Writer(char* buffer) : buffer_(buffer) { buffer_[0] = 0; }
  void Put(char c) {
    if (length_ < kLimit) buffer_[length_++] = c;
    buffer_[length_] = 0;
  }
  void Put(const char* text, size_t count) {
    if (count > kLimit - length_) count = kLimit - length_;
    std::memmove(buffer_ + length_, text, count);
    length_ += count;
    buffer_[length_] = 0;
  }
  bool Full() const { return length_ >= kLimit; }

 private:
  char* buffer_;
  size_t length_ = 0;
};

size_t LimitedLength(const char* text) { return strnlen(text, kLimit); }

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

int Upper(int c) { return std::toupper(c); }
int Lower(int c) { return std::tolower(c); }

template <int (*Change)(int)>
void ChangeAll(char* buffer, const char* text) {
  Writer out(buffer);
  for (size_t i = 0, n = LimitedLength(text); i < n; ++i) out.Put(static_cast<char>(Change(Byte(text[i]))));
}

template <int (*Change)(int)>
void ChangeFirst(char* buffer, const char* text) {
  Writer out(buffer);
  out.Put(text, LimitedLength(text));
  if (buffer[0]) buffer[0] = static_cast<char>(Change(Byte(buffer[0])));
}

template <int (*Change)(int)>
void ChangeWords(char* buffer, const char* text, char separator) {
  Writer out(buffer);
  char previous = separator ? separator : ' ';
  for (size_t i = 0, n = LimitedLength(text); i < n; ++i) {
    char c = text[i];
    bool follows = separator ? previous == separator && c != separator
                             : IsSpaceChar(Byte(previous)) && !IsSpaceChar(Byte(c));
    out.Put(follows ? static_cast<char>(Change(Byte(c))) : c);
    previous = c;
  }
}

bool Trimmed(char c, char character) { return character ? c == character : IsSpaceChar(Byte(c)) != 0; }

void Pad(Writer& out, SInt32 count, char fill) {
  for (SInt32 i = 0; i < count && !out.Full(); ++i) out.Put(fill);
}

SInt32 ReplaceLimit(const SInt32* count) { return count ? *count : kDefaultReplaceCount; }

}  // namespace

void Fixed255Assign(Fixed255& destination, const Fixed255& source) {
  std::memcpy(destination.GetPtr(), source.GetPtr(), 256);
}

Fixed255SetChar::Fixed255SetChar(char character) {
  text_[0] = character;
  text_[1] = 0;
}

Fixed255Upper::Fixed255Upper(const char* text) { ChangeAll<Upper>(text_, text); }
Fixed255Lower::Fixed255Lower(const char* text) { ChangeAll<Lower>(text_, text); }
Fixed255UpperFirst::Fixed255UpperFirst(const char* text) { ChangeFirst<Upper>(text_, text); }
Fixed255LowerFirst::Fixed255LowerFirst(const char* text) { ChangeFirst<Lower>(text_, text); }

Fixed255UpperWords::Fixed255UpperWords(const char* text, char separator) {
  ChangeWords<Upper>(text_, text, separator);
}
Fixed255LowerWords::Fixed255LowerWords(const char* text, char separator) {
  ChangeWords<Lower>(text_, text, separator);
}

Fixed255TrimLeft::Fixed255TrimLeft(const char* text, char character) {
  size_t n = LimitedLength(text), from = 0;
  while (from < n && Trimmed(text[from], character)) ++from;
  Writer(text_).Put(text + from, n - from);
}

Fixed255TrimRight::Fixed255TrimRight(const char* text, char character) {
  size_t n = LimitedLength(text);
  while (n > 0 && Trimmed(text[n - 1], character)) --n;
  Writer(text_).Put(text, n);
}

Fixed255PadLeft::Fixed255PadLeft(const char* text, SInt32 count, char fill) {
  Writer out(text_);
  Pad(out, count, fill);
  out.Put(text, LimitedLength(text));
}

Fixed255PadRight::Fixed255PadRight(const char* text, SInt32 count, char fill) {
  Writer out(text_);
  out.Put(text, LimitedLength(text));
  Pad(out, count, fill);
}

Fixed255Repeat::Fixed255Repeat(const char* text, SInt32 times) {
  Writer out(text_);
  size_t n = LimitedLength(text);
  for (SInt32 i = 0; i < times && n > 0 && !out.Full(); ++i) out.Put(text, n);
}

Fixed255ReplaceChar::Fixed255ReplaceChar(const char* text, char oldChar, char newChar, SInt32* count) {
  Writer out(text_);
  SInt32 limit = ReplaceLimit(count), made = 0;
  for (size_t i = 0, n = LimitedLength(text); i < n; ++i) {
    bool replace = text[i] == oldChar && made < limit;
    if (replace) ++made;
    out.Put(replace ? newChar : text[i]);
  }
  if (count) *count = made;
}

Fixed255ReplaceString::Fixed255ReplaceString(const char* text, const char* oldText, const char* newText,
                                             SInt32* count) {
  Writer out(text_);
  SInt32 limit = ReplaceLimit(count), made = 0;
  size_t n = LimitedLength(text), oldLength = std::strlen(oldText), newLength = std::strlen(newText);
  size_t i = 0;
  while (i < n) {
    if (oldLength && made < limit && i + oldLength <= n && std::memcmp(text + i, oldText, oldLength) == 0) {
      out.Put(newText, newLength);
      i += oldLength;
      ++made;
    } else {
      out.Put(text[i++]);
    }
  }
  if (count) *count = made;
}

Fixed255Reverse::Fixed255Reverse(const char* text) {
  Writer out(text_);
  for (size_t n = LimitedLength(text); n > 0; --n) out.Put(text[n - 1]);
}

CStrSubstring::CStrSubstring(const char* text, SInt32 start, SInt32 count) {
  Writer out(text_);
  SInt64 length = static_cast<SInt64>(std::strlen(text));
  SInt64 from = start < 0 ? length + start : start;
  if (from < 0) from = 0;
  if (from >= length) return;
  SInt64 to = count < 0 ? length + count : from + count;
  if (to > length) to = length;
  if (to > from) out.Put(text + from, static_cast<size_t>(to - from));
}

Fixed255Path::Fixed255Path(const char* text) {
  if (!text) {
    text_[0] = '/';
    text_[1] = 0;
    return;
  }
  ConvertPathSeparators(text, text_, 255);
}
