// Length-prefixed and C strings: copying, joining, comparing, searching and
// cutting both forms within their fixed limits, and the PStr / CStr holders
// that hand a text from one form to the other.
//
// Length-prefixed operations take the source first and the destination
// second; C buffer operations take the destination first. Operations that can
// refuse return 0 for done and -1 for refused, leaving the destination as it
// was. A "space" is 0x20 or 0xCA (the non-breaking space of the character set);
// "white space" is 0x20, TAB, LF, VT, FF and CR.
#pragma once

#include "MacTypes.h"

// Holders ---------------------------------------------------------------------

// One Str255, usually on the caller's stack, for passing a literal where a
// length-prefixed string is expected.
class PStr {
 public:
  PStr() { str_[0] = 0; }
  explicit PStr(const char* text) { FromCStr(text); }
  // At most 255 characters of the text (nil gives the empty string).
  StringPtr FromCStr(const char* text);
  StringPtr GetPtr() { return str_; }
  ConstStringPtr GetPtr() const { return str_; }
  StringPtr Clear() {
    str_[0] = 0;
    return str_;
  }

 private:
  Str255 str_;
};

// One C string of at most 255 characters and the NUL.
class CStr {
 public:
  CStr() { str_[0] = 0; }
  explicit CStr(const char* text) { FromCStr(text); }
  explicit CStr(ConstStringPtr string) { FromPStr(string); }
  // Both fill from at most 255 characters (nil gives the empty string).
  char* FromPStr(ConstStringPtr string);
  char* FromCStr(const char* text);
  char* GetPtr() { return str_; }
  const char* GetPtr() const { return str_; }
  char* Clear() {
    str_[0] = 0;
    return str_;
  }

 private:
  char str_[256];
};

// Length-prefixed strings -----------------------------------------------------

// -1 when either is nil or the source holds more than 31 characters.
SInt32 PStrCopy31(ConstStringPtr source, StringPtr destination);
// -1 when either is nil or the joined length would pass 31.
SInt32 PStrAppend31(ConstStringPtr source, StringPtr destination);
// -1 when the destination is nil or already full.
SInt32 PStrAppendChar31(unsigned char character, StringPtr destination);
// No limit test; -1 on nil.
SInt32 PStrCopy(ConstStringPtr source, StringPtr destination);
// -1 on nil; stops at 255 characters.
SInt32 PStrAppend(ConstStringPtr source, StringPtr destination);
// Destination emptied, then every string up to the nil appended (PStrAppend).
void JoinPStrs(StringPtr destination, ...);
// -1 on nil.
SInt32 PStrClear(StringPtr string);

// At most 255 characters.
void CToPStr(const char* text, StringPtr destination);
// The characters and a NUL: the buffer holds length + 1 bytes.
void PToCStr(ConstStringPtr string, char* destination);
// As PToCStr the other way round; nothing when both are one buffer.
char* PToCStrBuf(char* destination, ConstStringPtr string);

// 1 when the lengths and all characters match, else 0.
UInt8 PStrEqual(ConstStringPtr a, ConstStringPtr b);
UInt8 PStrEqual(const PStr& a, const PStr& b);
// The sort key of alphabetic menus: the first characters compare as raw bytes,
// the rest folded A-Z to a-z. -1, 0 or 1.
SInt32 PStrCompareNoCase(ConstStringPtr a, ConstStringPtr b);
// 1 when the C text has exactly the string's length and characters.
UInt8 PStrEqualsCStr(ConstStringPtr string, const char* text);
UInt8 CStrEqualsPStr(const char* text, ConstStringPtr string);

// A 4-character string, most significant byte first.
void CodeToPStr(StringPtr destination, FourCharCode code);
// The first four characters, missing ones filled with 0x20.
FourCharCode PStrToCode(ConstStringPtr string);

// In place: a-z to A-Z.
void PStrUpperCase(StringPtr string);
// In place: a letter that starts the string or follows a space goes up, a
// letter that follows anything else goes down.
void PStrTitleCase(StringPtr string);
// In place: no leading or trailing spaces, each inner run one 0x20.
void PStrCollapseSpaces(StringPtr string);
// Runs of characters other than 0x20.
SInt32 PStrCountWords(ConstStringPtr string);
// Appends the n-th (1-based, 0x20-separated) word, never past 255 characters;
// nothing when n is 0 or beyond the last word. Returns the word count.
SInt32 PStrAppendWord(SInt32 n, ConstStringPtr string, StringPtr destination);
// Everything after the first occurrence (empty when absent).
void PStrCopyAfterChar(ConstStringPtr string, StringPtr destination, unsigned char character);
// Length cut to just before the first occurrence.
void PStrCutAtChar(StringPtr string, unsigned char character);
// 'name[3]' back to 'name'.
void PStrCutAtBracket(StringPtr string);
// Number of '[' when it matches the number of ']', else -2; -1 on nil.
SInt32 PStrCountBrackets(ConstStringPtr string);
// The decimal number inside the n-th (0-based) brackets; -1 on nil, the
// bracket count when it is below 1, -3 when n is out of range.
SInt32 PStrBracketNumber(ConstStringPtr string, SInt32 n);

// C strings and fixed buffers -------------------------------------------------

UInt8 CStrEqual(const char* a, const char* b);
SInt32 CStrLength(const char* text);
UInt8 CStrContainsChar(char character, const char* text);
// 1 when the first n characters differ (a NUL common to both ends the test).
UInt8 CStrDiffersN(const char* a, const char* b, SInt32 n);
// At most n characters and a NUL; returns the resulting length.
SInt32 CStrCopyN(char* destination, const char* source, SInt32 n);
// Exactly n characters (the source must hold them), then a NUL at n.
SInt32 CStrCopyExactN(char* destination, const char* source, SInt32 n);
// Appends what keeps the destination's length at most size; the new length.
SInt32 CStrAppendBounded(char* destination, const char* source, SInt32 size);
// At most 255 characters and the NUL; nothing when both are one buffer.
void CStrCopy255(char* destination, const char* source);
// Up to and including the NUL; -1 when either is nil.
SInt32 CStrCopyChecked(const char* source, char* destination);

// Searches start at index start (a negative start counts as 0); -1 when absent.
SInt32 CStrFindChar(const char* text, char character, SInt32 start);
SInt32 CStrFindString(const char* text, const char* needle, SInt32 start);
SInt32 CStrFindLastChar(const char* text, char character, SInt32 start);
SInt32 CStrFindLastString(const char* text, const char* needle, SInt32 start);
// Non-overlapping occurrences at or after start (an empty needle counts 0).
SInt32 CStrCountChar(const char* text, char character, SInt32 start);
SInt32 CStrCountString(const char* text, const char* needle, SInt32 start);

// Tokeniser with one hidden position (not re-entrant): a non-nil text
// restarts it. Each call cuts at the next delimiter string and returns the
// piece; nil when nothing is left.
char* CStrNextToken(char* text, const char* delimiter);
// The next '<'-token that is not a closing tag and holds a '>', cut at the
// '>'; the position behind the '>' through end. Nil text goes on in the
// previous text; nil when nothing is left.
char* CStrNextOpenTag(char* text, char** end);

// 1 for white space.
UInt8 IsSpaceChar(int character);
// Copies with '\\' turned into '/' until the source's NUL or limit characters,
// then writes a NUL (the destination holds limit + 1 bytes).
void ConvertPathSeparators(const char* source, char* destination, SInt32 limit);
char PathSeparatorChar();

// Fixed 255-character texts ---------------------------------------------------
// Each class fills one 256-byte buffer from its arguments, cut at 255
// characters.

class Fixed255 {
 public:
  Fixed255() { text_[0] = 0; }
  char* GetPtr() { return text_; }
  const char* GetPtr() const { return text_; }

 protected:
  char text_[256];
};

// Copies the whole 256-byte buffer.
void Fixed255Assign(Fixed255& destination, const Fixed255& source);

class Fixed255SetChar : public Fixed255 {
 public:
  explicit Fixed255SetChar(char character);
};

// toupper / tolower of every character.
class Fixed255Upper : public Fixed255 {
 public:
  explicit Fixed255Upper(const char* text);
};
class Fixed255Lower : public Fixed255 {
 public:
  explicit Fixed255Lower(const char* text);
};
// Only the first character changed.
class Fixed255UpperFirst : public Fixed255 {
 public:
  explicit Fixed255UpperFirst(const char* text);
};
class Fixed255LowerFirst : public Fixed255 {
 public:
  explicit Fixed255LowerFirst(const char* text);
};
// Each character that follows the separator (white space when it is 0) is
// changed; the first character counts as following one.
class Fixed255UpperWords : public Fixed255 {
 public:
  Fixed255UpperWords(const char* text, char separator);
};
class Fixed255LowerWords : public Fixed255 {
 public:
  Fixed255LowerWords(const char* text, char separator);
};
// Without the leading / trailing run of the character (white space when 0).
class Fixed255TrimLeft : public Fixed255 {
 public:
  Fixed255TrimLeft(const char* text, char character);
};
class Fixed255TrimRight : public Fixed255 {
 public:
  Fixed255TrimRight(const char* text, char character);
};
// count fill characters, then the text / the text, then count fill characters.
class Fixed255PadLeft : public Fixed255 {
 public:
  Fixed255PadLeft(const char* text, SInt32 count, char fill);
};
class Fixed255PadRight : public Fixed255 {
 public:
  Fixed255PadRight(const char* text, SInt32 count, char fill);
};
class Fixed255Repeat : public Fixed255 {
 public:
  Fixed255Repeat(const char* text, SInt32 times);
};
// At most *count replacements (nil: 134,217,727; below 1: none); the number
// made is written back through count.
class Fixed255ReplaceChar : public Fixed255 {
 public:
  Fixed255ReplaceChar(const char* text, char oldChar, char newChar, SInt32* count);
};
// The same for substrings; each search goes on behind the previous
// replacement. An empty old text replaces nothing.
class Fixed255ReplaceString : public Fixed255 {
 public:
  Fixed255ReplaceString(const char* text, const char* oldText, const char* newText, SInt32* count);
};
class Fixed255Reverse : public Fixed255 {
 public:
  explicit Fixed255Reverse(const char* text);
};
// A negative start counts back from the end; a negative count stops that many
// characters before the end.
class CStrSubstring : public Fixed255 {
 public:
  CStrSubstring(const char* text, SInt32 start, SInt32 count);
};
// ConvertPathSeparators with limit 255; nil gives "/".
class Fixed255Path : public Fixed255 {
 public:
  explicit Fixed255Path(const char* text);
};
