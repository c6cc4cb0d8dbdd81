// The property-list text: the tree written as XML with TAB indents and CR line
// ends, and a tolerant reader for that text and for other writers' files.
#include <algorithm>
#include <cstring>
#include <string>

#include "Errors.h"
#include "FileClass.h"
#include "Memory.h"
#include "PlistBlock.h"
#include "PlistTag.h"
#include "ResultCodes.h"
#include "Strings.h"
#include "TextBuffer.h"

namespace {

constexpr UInt8 kCR = 13;
constexpr SInt32 kMaxIndent = 31;
constexpr size_t kMaxValue = 254;

// The writer's state, reset by each WriteBuffer.
SInt32 gIndentLevel;
bool gAtRoot;

bool IsType(const PlistTag* tag, const char* type) {
  const size_t length = std::strlen(type);
  return tag->type[0] == length && std::memcmp(tag->type + 1, type, length) == 0;
}

bool IsContainer(const PlistTag* tag) {
  return IsType(tag, "dict") || IsType(tag, "array");
}

void WriteText(TextBuffer* buffer, const char* text) {
  buffer->WriteData(text, static_cast<SInt32>(std::strlen(text)));
}

void WriteIndent(TextBuffer* buffer) {
  static const char tabs[kMaxIndent + 1] = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
  buffer->WriteData(tabs, gIndentLevel < kMaxIndent ? gIndentLevel : kMaxIndent);
}

// Control bytes other than tab and the line ends cannot be XML, not even as
// references; the writer drops them.
bool CannotBeXml(UInt8 c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r'; }

// Markup characters and line ends as entities; bytes above 0x7F as numeric
// references so files stay ASCII.
void WriteEscaped(TextBuffer* buffer, const UInt8* text, size_t length) {
  std::string out;
  out.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    const UInt8 c = text[i];
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c == '\t' || c == '\n' || c == '\r' || c >= 0x80) {
      out += "&#" + std::to_string(c) + ";";
    } else if (!CannotBeXml(c)) {
      out += static_cast<char>(c);
    }
  }
  buffer->WriteData(out.data(), static_cast<SInt32>(out.size()));
}

void WriteEscapedP(TextBuffer* buffer, ConstStringPtr text) {
  WriteEscaped(buffer, text + 1, text[0]);
}

void WriteTypeTag(TextBuffer* buffer, const PlistTag* tag, bool closing) {
  WriteText(buffer, closing ? "</" : "<");
  buffer->WriteData(tag->type + 1, tag->type[0]);
  buffer->WriteChar('>');
}

// Reading ---------------------------------------------------------------------

struct ReadState {
  bool failed = false;
};

bool IsBlank(UInt8 c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

const UInt8* Find(const UInt8* p, const UInt8* end, const char* text) {
  const size_t length = std::strlen(text);
  for (; end - p >= static_cast<ptrdiff_t>(length); ++p)
    if (std::memcmp(p, text, length) == 0) return p;
  return nullptr;
}

// Past the next occurrence of text, or the end.
const UInt8* SkipPast(const UInt8* p, const UInt8* end, const char* text) {
  const UInt8* found = Find(p, end, text);
  return found ? found + std::strlen(text) : end;
}

// An element name ends at white space, '/', '>' or '<'; kept to 31 bytes.
const UInt8* ReadName(const UInt8* p, const UInt8* end, std::string* name) {
  const UInt8* start = p;
  while (p < end && !IsBlank(*p) && *p != '/' && *p != '>' && *p != '<') ++p;
  name->assign(reinterpret_cast<const char*>(start), static_cast<size_t>(std::min<ptrdiff_t>(p - start, 31)));
  return p;
}

bool ParseNumber(const std::string& digits, bool hex, UInt32* value) {
  if (digits.empty()) return false;
  UInt32 v = 0;
  for (char ch : digits) {
    UInt32 d;
    if (ch >= '0' && ch <= '9')
      d = static_cast<UInt32>(ch - '0');
    else if (hex && ch >= 'a' && ch <= 'f')
      d = static_cast<UInt32>(ch - 'a' + 10);
    else if (hex && ch >= 'A' && ch <= 'F')
      d = static_cast<UInt32>(ch - 'A' + 10);
    else
      return false;
    v = v > 0x10FFFF ? v : v * (hex ? 16 : 10) + d;
  }
  *value = v;
  return true;
}

// The length of the well-formed UTF-8 sequence at p, with its character in
// *character; 0 for a lone or stray byte, an overlong form, a surrogate or a
// character past U+10FFFF.
size_t Utf8Sequence(const UInt8* p, const UInt8* end, UInt32* character) {
  size_t length;
  UInt32 c;
  UInt32 least;
  if (*p >= 0xC2 && *p <= 0xDF) {
    length = 2;
    c = *p & 0x1Fu;
    least = 0x80;
  } else if (*p >= 0xE0 && *p <= 0xEF) {
    length = 3;
    c = *p & 0x0Fu;
    least = 0x800;
  } else if (*p >= 0xF0 && *p <= 0xF4) {
    length = 4;
    c = *p & 0x07u;
    least = 0x10000;
  } else {
    return 0;
  }
  if (end - p < static_cast<ptrdiff_t>(length)) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    c = c << 6 | (p[i] & 0x3Fu);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  *character = c;
  return length;
}

// Text whose every byte above 0x7F belongs to a well-formed UTF-8 sequence
// came from a UTF-8 writer (XML's own encoding); anything else is taken as
// Latin-1, byte for byte, as this engine's older files may hold.
bool IsUtf8Text(const UInt8* p, const UInt8* end) {
  while (p < end) {
    if (*p < 0x80) {
      ++p;
      continue;
    }
    UInt32 character;
    const size_t length = Utf8Sequence(p, end, &character);
    if (length == 0) return false;
    p += length;
  }
  return true;
}

// The five named entities and numeric references; anything else stays as it
// was written. One byte a character: references and UTF-8 characters above
// 255 become '?'. utf8: the raw text's high bytes are UTF-8 sequences
// (references always name one Latin-1 byte, as the writer makes them).
std::string DecodeText(const UInt8* p, const UInt8* end, bool utf8) {
  std::string out;
  out.reserve(static_cast<size_t>(end - p));
  while (p < end) {
    if (utf8 && *p >= 0x80) {
      UInt32 character = 0;
      p += Utf8Sequence(p, end, &character);
      out += character <= 255 ? static_cast<char>(character) : '?';
      continue;
    }
    if (*p != '&') {
      out += static_cast<char>(*p++);
      continue;
    }
    const UInt8* semi = static_cast<const UInt8*>(std::memchr(p, ';', static_cast<size_t>(std::min<ptrdiff_t>(end - p, 32))));
    char decoded = 0;
    bool known = false;
    if (semi) {
      const std::string entity(reinterpret_cast<const char*>(p + 1), static_cast<size_t>(semi - p - 1));
      static const struct {
        const char* name;
        char c;
      } kNamed[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
      for (const auto& named : kNamed) {
        if (entity == named.name) {
          decoded = named.c;
          known = true;
        }
      }
      UInt32 number = 0;
      if (!known && entity.size() > 1 && entity[0] == '#') {
        const bool hex = entity[1] == 'x';
        if (ParseNumber(entity.substr(hex ? 2 : 1), hex, &number)) {
          decoded = number <= 255 ? static_cast<char>(number) : '?';
          known = true;
        }
      }
    }
    if (known) {
      out += decoded;
      p = semi + 1;
    } else {
      out += static_cast<char>(*p++);
    }
  }
  return out;
}

// The character data from the cursor up to the next '<', decoded; text (not
// Base64) is read as UTF-8 when it is well-formed UTF-8.
std::string ReadCharData(TextBuffer* buffer, bool text) {
  const UInt8* p = buffer->GetCursorPtr();
  const UInt8* end = buffer->GetEndPtr();
  const auto* lt = static_cast<const UInt8*>(std::memchr(p, '<', static_cast<size_t>(end - p)));
  if (!lt) lt = end;
  buffer->SetCursorPtr(const_cast<UInt8*>(lt));
  return DecodeText(p, lt, text && IsUtf8Text(p, lt));
}

void SetValueText(PlistTag* tag, const std::string& text) {
  const size_t length = std::min(text.size(), kMaxValue);
  tag->value[0] = static_cast<UInt8>(length);
  std::memcpy(tag->value + 1, text.data(), length);
}

void SetDataText(PlistTag* tag, const std::string& text) {
  std::string base64;
  for (char c : text)
    if (!IsBlank(static_cast<UInt8>(c))) base64 += c;
  Ptr block = nullptr;
  if (!base64.empty()) {
    block = NewPlistBlock(static_cast<SInt32>(base64.size()), "PlistTag::ParseTags()");
    std::memcpy(block, base64.data(), base64.size());
  }
  if (tag->data) DisposePtrBlock(tag->data);
  tag->data = block;
}

void ParseContainer(PlistTag* tag, TextBuffer* buffer, SInt32 depth, ReadState* state) {
  const bool inArray = IsType(tag, "array");
  std::string key;  // kept for following values without a key of their own
  const UInt8* end = buffer->GetEndPtr();
  for (;;) {
    const UInt8* p = buffer->GetCursorPtr();
    const auto* lt = static_cast<const UInt8*>(std::memchr(p, '<', static_cast<size_t>(end - p)));
    if (!lt) {
      buffer->CursorToEnd();
      return;
    }
    p = lt + 1;
    std::string element;
    if (p < end && *p == '/') {
      p = ReadName(p + 1, end, &element);
      buffer->SetCursorPtr(const_cast<UInt8*>(SkipPast(p, end, ">")));
      if (element.size() == tag->type[0] && std::memcmp(element.data(), tag->type + 1, element.size()) == 0) return;
      continue;
    }
    if (p < end && (*p == '!' || *p == '?')) {
      const char* close = *p == '?' ? "?>" : (end - p >= 3 && p[1] == '-' && p[2] == '-') ? "-->" : ">";
      buffer->SetCursorPtr(const_cast<UInt8*>(SkipPast(p + 1, end, close)));
      continue;
    }
    p = ReadName(p, end, &element);
    // Attributes are passed over; a '/' just before the '>' closes the element.
    UInt8 last = 0;
    while (p < end && *p != '>' && *p != '<') {
      if (!IsBlank(*p)) last = *p;
      ++p;
    }
    const bool selfClosing = p < end && *p == '>' && last == '/';
    if (p < end && *p == '>') ++p;
    buffer->SetCursorPtr(const_cast<UInt8*>(p));
    if (element.empty()) continue;

    if (element == "key") {
      std::string text = selfClosing ? std::string() : ReadCharData(buffer, true);
      // As a save would write it: a key keeping such bytes would name another
      // entry, or merge with one, at the next load.
      std::erase_if(text, [](char c) { return CannotBeXml(static_cast<UInt8>(c)); });
      // In an array a key names nothing: the value that follows is unnamed.
      if (!inArray) key = text.substr(0, 31);
      continue;
    }
    std::string type = element;
    const char* value = "";
    if (selfClosing && (element == "true" || element == "false")) {
      type = "boolean";
      value = element == "true" ? "true/" : "false/";
    }
    const std::string childKey = inArray ? std::string() : key;
    const bool container = type == "dict" || type == "array";
    if (tag->child.count >= static_cast<UInt32>(PlistTag::kMaxChildren) &&
        (inArray || !PlistTag::FindTag(tag, type.c_str(), childKey.c_str(), 0))) {
      state->failed = true;
      return;
    }
    if (container && depth >= PlistTag::kMaxDepth) {
      state->failed = true;
      return;
    }
    PlistTag* child = PlistTag::NewTag(tag, type.c_str(), childKey.c_str(), value);
    if (type == "boolean") continue;
    if (selfClosing) {
      if (type == "data") SetDataText(child, std::string());
      continue;
    }
    if (container) {
      ParseContainer(child, buffer, depth + 1, state);
      if (state->failed) return;
      continue;
    }
    const std::string text = ReadCharData(buffer, type != "data");
    if (type == "data")
      SetDataText(child, text);
    else
      SetValueText(child, text);
  }
}

}  // namespace

void PlistTag::WriteTag(PlistTag* tag, TextBuffer* buffer) {
  const bool isRoot = gAtRoot;
  gAtRoot = false;
  const bool inArray = !isRoot && tag->parent && IsType(tag->parent, "array");
  if (IsType(tag, "array") && tag->name[0] == 0 && !inArray)
    FatalError("PlistTag::WriteTag() failed because an array was unnamed.", "");
  SInt32 added = 0;
  if (!isRoot && tag->name[0] != 0) {
    ++gIndentLevel;
    ++added;
    WriteIndent(buffer);
    WriteText(buffer, "<key>");
    WriteEscapedP(buffer, tag->name);
    WriteText(buffer, "</key>");
    buffer->WriteChar(kCR);
  }
  if (inArray) {
    ++gIndentLevel;
    ++added;
  }
  WriteIndent(buffer);
  if (IsContainer(tag)) {
    WriteTypeTag(buffer, tag, false);
  } else if (IsType(tag, "boolean")) {
    buffer->WriteChar('<');
    buffer->WriteData(tag->value + 1, tag->value[0]);
    buffer->WriteChar('>');
  } else if (IsType(tag, "data")) {
    WriteTypeTag(buffer, tag, false);
    if (tag->data) WriteEscaped(buffer, reinterpret_cast<const UInt8*>(tag->data), static_cast<size_t>(GetPtrBlockSize(tag->data)));
    WriteTypeTag(buffer, tag, true);
  } else {
    WriteTypeTag(buffer, tag, false);
    WriteEscapedP(buffer, tag->value);
    WriteTypeTag(buffer, tag, true);
  }
  buffer->WriteChar(kCR);
  for (UInt32 i = 0; i < tag->child.count; ++i) WriteTag(tag->child.data[i], buffer);
  if (IsContainer(tag)) {
    WriteIndent(buffer);
    WriteTypeTag(buffer, tag, true);
    buffer->WriteChar(kCR);
  }
  gIndentLevel -= added;
}

void PlistTag::WriteBuffer(PlistTag* root, TextBuffer* buffer) {
  buffer->SetBufferSize(32768);
  gIndentLevel = 0;
  gAtRoot = true;
  WriteTag(root, buffer);
  const SInt32 length = static_cast<SInt32>(buffer->GetLength());
  if (length > 0 && buffer->GetDataPtr()[length - 1] == kCR) {
    buffer->SetCursor(length - 1);
    buffer->DeleteChars(1);
  }
}

OSErr PlistTag::WriteStdFile(PlistTag* root, FILE* file) {
  TextBuffer buffer;
  WriteBuffer(root, &buffer);
  return buffer.SaveToStdFile(file);
}

OSErr PlistTag::WriteFileClass(PlistTag* root, FileClass* file) {
  TextBuffer buffer;
  WriteBuffer(root, &buffer);
  return buffer.SaveFile(file);
}

SInt32 PlistTag::ReadBuffer(PlistTag* root, TextBuffer* buffer) {
  DeleteChildren(root);
  buffer->SetCursor(0);
  buffer->AddSkipChar('<');
  buffer->AddSkipChar('>');
  for (char c : {' ', ',', static_cast<char>(0xCA), ';'}) buffer->RemoveSkipChar(c);
  const SInt32 open = buffer->FindText(PStr("<dict>").GetPtr(), 1, 0, 1);
  const SInt32 empty = buffer->FindText(PStr("<dict/>").GetPtr(), 1, 0, 1);
  if (open < 0 && empty < 0) return kErrFailed;
  CToPStr("dict", root->type);
  if (empty >= 0 && (open < 0 || empty - 7 < open - 6)) return 0;
  buffer->SetCursor(open);
  ReadState state;
  ParseContainer(root, buffer, 1, &state);
  if (state.failed) {
    DeleteChildren(root);
    return kErrFailed;
  }
  return 0;
}

void PlistTag::ParseTags(PlistTag* tag, TextBuffer* buffer) {
  ReadState state;
  ParseContainer(tag, buffer, 1, &state);
}

SInt32 PlistTag::ReadStdFile(PlistTag* root, FILE* file) {
  TextBuffer buffer;
  buffer.LoadFile(file, 0);
  return ReadBuffer(root, &buffer);
}

SInt32 PlistTag::ReadFileClass(PlistTag* root, FileClass* file) {
  TextBuffer buffer;
  buffer.LoadFileClass(file);
  return ReadBuffer(root, &buffer);
}

void PlistTag::SavePlistFile(PlistTag* root, const char* fileName) {
  if (!fileName) return;
  // No desktop folder here: FindDesktopFolder ends the program.
  if (!gSaveFolder.isValid) FindDesktopFolder(&gSaveFolder);
  Str255 name;
  CToPStr(fileName, name);
  if (name[0] > 31) name[0] = 31;
  Str255 withExtension;
  PStrCopy(name, withExtension);
  if (PStrAppend31(PStr(".plist").GetPtr(), withExtension) != 0) PStrCopy(name, withExtension);
  FileClass file;
  std::memset(&file, 0, sizeof file);
  OSErr err = CreateFileNamed(&file, withExtension, &gSaveFolder);
  if (err == -48 && UniqueFileName(withExtension, &gSaveFolder, 0) == 0)
    err = CreateFileNamed(&file, withExtension, &gSaveFolder);
  if (err != noErr) FatalErrorNum("Unable to create an output file.", err);
  FileClass::Open(&file, 1);
  WriteFileClass(root, &file);
  FileClass::Close(&file);
}

void PlistTag::ReadVersionPlist(PlistTag* root) {
  if (!gSaveFolder.isValid) FindDesktopFolder(&gSaveFolder);
  FileClass file;
  std::memset(&file, 0, sizeof file);
  if (FindFileInFolderC(&file, "version.plist", &gSaveFolder, kAnyFileType, kAnyFileType, kFindAnyItem) != noErr) {
    AlertMessage("Couldn't find the specified plist file.", "", "OK");
    return;
  }
  if (FileClass::Open(&file, 0) != noErr) {
    AlertMessage("Couldn't open the specified plist file.", "", "OK");
    return;
  }
  ReadFileClass(root, &file);
  FileClass::Close(&file);
}
