#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "FileClass.h"
#include "ResultCodes.h"
#include "Strings.h"
#include "TestSupport.h"
#include "TextBuffer.h"

namespace {

std::string Contents(const TextBuffer& buffer) {
  return std::string(reinterpret_cast<const char*>(buffer.GetDataPtr()), buffer.GetLength());
}

std::string Text(ConstStringPtr s) {
  return std::string(reinterpret_cast<const char*>(s + 1), s[0]);
}

void Load(TextBuffer* buffer, const std::string& text) {
  buffer->SetData(text.data(), static_cast<SInt32>(text.size()));
}

// The skip set ReadBuffer leaves: TAB '<' '>'.
void UseReaderSkipSet(TextBuffer* buffer) {
  buffer->AddSkipChar('<');
  buffer->AddSkipChar('>');
  for (char c : {' ', ',', static_cast<char>(0xCA), ';'}) buffer->RemoveSkipChar(c);
}

TEST(TextBufferTest, StartsEmptyWithTheDefaultSkipSet) {
  TextBuffer buffer;
  EXPECT_EQ(buffer.GetCapacity(), 32768u);
  EXPECT_EQ(buffer.GetLength(), 0u);
  EXPECT_EQ(buffer.GetCursor(), 0);
  for (char c : {',', ';', ' ', static_cast<char>(0xCA), '\t'}) EXPECT_TRUE(buffer.IsSkipChar(c)) << int(c);
  EXPECT_FALSE(buffer.IsSkipChar('<'));
  EXPECT_EQ(buffer.ReadChar(), 0) << "at the data end";
  EXPECT_EQ(buffer.GetCursor(), 0);
}

TEST(TextBufferTest, InsertionGrowsInStepsAndLeavesTheCursorAfterIt) {
  TextBuffer buffer;
  std::string big(40000, 'q');
  UInt8* end = buffer.WriteData(big.data(), 40000);
  EXPECT_EQ(buffer.GetCapacity(), 65536u);
  EXPECT_EQ(buffer.GetCursor(), 40000);
  EXPECT_EQ(end, buffer.GetCursorPtr());
  EXPECT_EQ(Contents(buffer), big);

  Load(&buffer, "abc");
  buffer.SetCursor(1);
  buffer.WriteData("XY", 2);
  EXPECT_EQ(Contents(buffer), "aXYbc");
  EXPECT_EQ(buffer.GetCursor(), 3);
  EXPECT_EQ(buffer.WriteData("Z", 0), nullptr);

  // Growing in the middle keeps head and tail.
  Load(&buffer, "head|tail");
  buffer.SetCursor(5);
  buffer.WriteData(big.data(), 40000);
  EXPECT_EQ(Contents(buffer), "head|" + big + "tail");
  EXPECT_EQ(buffer.GetCursor(), 40005);
}

TEST(TextBufferTest, CursorMovesAreClamped) {
  TextBuffer buffer;
  Load(&buffer, "hello");
  buffer.SetCursor(99);
  EXPECT_EQ(buffer.GetCursor(), 5);
  buffer.MoveCursor(-100);
  EXPECT_EQ(buffer.GetCursor(), 0);
  buffer.MoveCursor(2);
  EXPECT_EQ(buffer.GetCursor(), 2);
  char rest[10];
  EXPECT_EQ(buffer.ReadChars(rest, 10), 3);
  EXPECT_EQ(std::string(rest, 3), "llo");
  EXPECT_EQ(buffer.GetCursor(), 5);
}

TEST(TextBufferTest, ReadTextStopsBeforeStoppers) {
  TextBuffer buffer;
  UseReaderSkipSet(&buffer);
  Str255 text;

  Load(&buffer, "name<rest");
  buffer.ReadText(text);
  EXPECT_EQ(Text(text), "name");
  EXPECT_EQ(buffer.GetCursor(), 4);
  buffer.SetCursor(0);
  buffer.ReadText(text, 1);
  EXPECT_EQ(Text(text), "name<rest");

  Load(&buffer, "line\rnext");
  buffer.ReadText(text, 1);
  EXPECT_EQ(Text(text), "line");
  EXPECT_EQ(buffer.GetCursor(), 4);

  std::string letters(300, 'a');
  letters[254] = 'B';
  Load(&buffer, letters);
  buffer.ReadText(text);
  EXPECT_EQ(text[0], 254);
  EXPECT_EQ(buffer.GetCursor(), 254);
  EXPECT_EQ(buffer.ReadChar(), 'B') << "the next read starts at the 255th";
}

TEST(TextBufferTest, ReadNumSkipsToDigitsAndIgnoresSigns) {
  struct Case {
    const char* data;
    SInt32 number;
    SInt32 cursor;
  } cases[] = {
      {"ab 42x", 42, 5},
      {"abc", 0, 3},
      {"-12", 12, 3},
      {"7", 7, 1},
  };
  TextBuffer buffer;
  for (const Case& c : cases) {
    Load(&buffer, c.data);
    EXPECT_EQ(buffer.ReadNum(), c.number) << c.data;
    EXPECT_EQ(buffer.GetCursor(), c.cursor) << c.data;
  }
  // More than 255 digits: the first 255 count, the run is passed over.
  Load(&buffer, std::string(300, '0') + "x");
  EXPECT_EQ(buffer.ReadNum(), 0);
  EXPECT_EQ(buffer.ReadChar(), 'x');
}

TEST(TextBufferTest, FindTextHonoursWholeWordsAndCase) {
  struct Case {
    const char* data;
    const char* pattern;
    UInt8 wholeWord;
    UInt8 caseSensitive;
    SInt32 result;
  } cases[] = {
      {"a<dict>b", "<dict>", 1, 1, -1},
      {" <dict>\r", "<dict>", 1, 1, 7},
      {"a<dict>b", "<dict>", 0, 1, 7},
      {"<dict>", "<dict>", 1, 1, 6},
      {"x_<dict> <dict>", "<dict>", 1, 1, 15},
      {"<DICT>", "<dict>", 0, 1, -1},
      {"<DICT>", "<dict>", 0, 0, 6},
      {"abc", "abcd", 0, 1, -1},
  };
  TextBuffer buffer;
  for (const Case& c : cases) {
    Load(&buffer, c.data);
    EXPECT_EQ(buffer.FindText(PStr(c.pattern).GetPtr(), c.wholeWord, 1, c.caseSensitive), c.result) << c.data;
    EXPECT_EQ(buffer.GetCursor(), c.result < 0 ? 0 : c.result);
  }
  Load(&buffer, std::string(40, 'a'));
  EXPECT_EQ(buffer.FindText(PStr(std::string(32, 'a').c_str()).GetPtr(), 0, 0, 1), -1) << "over 31 characters";
}

TEST(TextBufferTest, FindCharReturnsTheOffsetAfterTheByte) {
  TextBuffer buffer;
  Load(&buffer, "ab<cd");
  EXPECT_EQ(buffer.FindChar('<', 0), 3);
  EXPECT_EQ(buffer.GetCursor(), 0);
  EXPECT_EQ(buffer.FindChar('<', 1), 3);
  EXPECT_EQ(buffer.GetCursor(), 3);
  EXPECT_EQ(buffer.FindChar('<', 1), -1);
  EXPECT_EQ(buffer.GetCursor(), 3);
}

TEST(TextBufferTest, DeletingAndNumbers) {
  TextBuffer buffer;
  Load(&buffer, "abcdef");
  buffer.SetCursor(2);
  buffer.DeleteChars(2);
  EXPECT_EQ(Contents(buffer), "abef");
  buffer.DeleteChars(100);
  EXPECT_EQ(Contents(buffer), "ab") << "past the end deletes up to the end";

  Load(&buffer, "x=123;");
  buffer.DeleteNum();
  EXPECT_EQ(Contents(buffer), "x=;");
  EXPECT_EQ(buffer.GetCursor(), 2);
  buffer.WriteNum(-45);
  buffer.WritePStr(PStr("!").GetPtr());
  buffer.WriteChar('?');
  EXPECT_EQ(Contents(buffer), "x=-45!?;");
}

TEST(TextBufferTest, SkipSetEditing) {
  TextBuffer buffer;
  buffer.RemoveSkipChar(' ');
  EXPECT_FALSE(buffer.IsSkipChar(' '));
  buffer.RemoveSkipChar('#');  // absent: nothing
  buffer.AddSkipChar('#');
  Load(&buffer, "##,x");
  EXPECT_EQ(*buffer.SkipChars(), 'x');
  EXPECT_EQ(buffer.GetCursor(), 3);
  buffer.SetCursor(0);
  Load(&buffer, "ab cd#e");
  EXPECT_EQ(buffer.CheckDataSize(), 5);
  buffer.ResetSkipChars();
  EXPECT_TRUE(buffer.IsSkipChar(' '));
  EXPECT_FALSE(buffer.IsSkipChar('#'));
}

// LoadFile with each length form, over a file of the given bytes.
TEST(TextBufferTest, LoadFileTrustsNoLengthFromTheFile) {
  struct Case {
    std::string bytes;
    UInt32 length;
    std::string data;
    OSErr result;
  } cases[] = {
      {std::string("\0\0\0\5hello", 9), 0xFFFFFFFF, "hello", 0},
      {std::string("\0\0\x10\0hi", 6), 0xFFFFFFFF, "hi", -36},
      {std::string("\xFF\xFF\xFF\xFFxyz", 7), 0xFFFFFFFF, "xyz", -36},
      {std::string("\0\0", 2), 0xFFFFFFFF, "", -36},
      {"whole file", 0, "whole file", 0},
      {"abcdef", 3, "abc", 0},
      {"abc", 10, "abc", -36},
  };
  testsupport::TempDir dir;
  for (const Case& c : cases) {
    ASSERT_TRUE(testsupport::WriteFile(dir / "f", c.bytes));
    FILE* file = std::fopen((dir / "f").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    TextBuffer buffer;
    EXPECT_EQ(buffer.LoadFile(file, c.length), c.result) << c.data;
    EXPECT_EQ(Contents(buffer), c.data);
    EXPECT_EQ(buffer.GetCursor(), 0);
    std::fclose(file);
  }
}

TEST(TextBufferTest, SaveToStdFileReportsStreamErrors) {
  testsupport::TempDir dir;
  TextBuffer buffer;
  Load(&buffer, "saved");
  FILE* file = std::fopen((dir / "out").c_str(), "wb");
  EXPECT_EQ(buffer.SaveToStdFile(file), 0);
  std::fclose(file);
  EXPECT_EQ(testsupport::ReadFile(dir / "out"), "saved");

  FILE* full = std::fopen("/dev/full", "wb");
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(buffer.SaveToStdFile(full), kErrIO);
  std::fclose(full);
}

TEST(TextBufferTest, FileClassLoadAndSave) {
  testsupport::TempDir dir;
  const std::string path = dir / "doc.txt";
  ASSERT_TRUE(testsupport::WriteFile(path, "a much longer old text"));
  FileClass file;
  FileClassFromPath(&file, path.c_str());
  ASSERT_EQ(FileClass::Open(&file, 1), 0);
  TextBuffer buffer;
  EXPECT_EQ(buffer.LoadFileClass(&file), 0);
  EXPECT_EQ(Contents(buffer), "a much longer old text");
  Load(&buffer, "short");
  EXPECT_EQ(buffer.SaveFile(&file), 0);
  EXPECT_EQ(FileClass::Close(&file), 0);
  EXPECT_EQ(testsupport::ReadFile(path), "short") << "the file is cut to the data";
}

TEST(TextBufferTest, FileClassMisuseIsFatal) {
  struct Case {
    bool nilFile;
    bool save;
    const char* expected;
  } cases[] = {
      {true, false, "TextBuffer::LoadFile(): Error: The import text file is \"nil.\""},
      {false, false, "TextBuffer::LoadFile(): Error: The import text file is closed."},
      {true, true, "TextBuffer::SaveFile(): Error: The import text file is \"nil.\""},
      {false, true, "TextBuffer::SaveFile(): Error: The import text file is closed."},
  };
  for (const Case& c : cases) {
    auto result = testsupport::RunInChild([&] {
      FileClass closed{};
      TextBuffer buffer;
      FileClass* file = c.nilFile ? nullptr : &closed;
      if (c.save)
        buffer.SaveFile(file);
      else
        buffer.LoadFileClass(file);
    });
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.stderrText.find(c.expected), std::string::npos) << result.stderrText;
  }
}

}  // namespace
