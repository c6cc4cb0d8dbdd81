#include "TextConversion.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(TextConversionTest, AllLatin1BytesRoundTrip) {
  TextConverter* toUnicode = nullptr;
  TextConverter* toText = nullptr;
  ASSERT_EQ(CreateTextToUnicodeConverter(0, &toUnicode), 0);
  ASSERT_EQ(CreateUnicodeToTextConverter(0, &toText), 0);
  EXPECT_EQ(toUnicode->base, 256u);
  EXPECT_EQ(toUnicode->encoding, 0u);
  EXPECT_EQ(toUnicode->unitSize, 4u);

  // Every byte value, in two strings (255 characters at most each).
  for (int start : {0, 128}) {
    Str255 text;
    text[0] = 128;
    for (int i = 0; i < 128; ++i) text[1 + i] = static_cast<UInt8>(start + i);
    UInt16 units[255] = {};
    UInt32 length = 0;
    EXPECT_EQ(ConvertTextToUnicode(toUnicode, text, 255, &length, units), 0);
    ASSERT_EQ(length, 128u);
    for (int i = 0; i < 128; ++i) EXPECT_EQ(units[i], start + i);

    Str255 back = {};
    EXPECT_EQ(ConvertUnicodeToText(toText, length * 2, units, back), 0);
    EXPECT_EQ(0, memcmp(back, text, 129));
  }
  DisposeTextToUnicodeConverter(&toUnicode);
  DisposeUnicodeToTextConverter(&toText);
}

TEST(TextConversionTest, CharactersOutsideLatin1BecomeZero) {
  TextConverter converter{256, 0, 4};
  // 'A', U+0100, U+20AC, a surrogate pair (one character), 'z'.
  const UInt16 units[] = {0x41, 0x100, 0x20AC, 0xD83D, 0xDE00, 0x7A};
  Str255 text;
  EXPECT_EQ(ConvertUnicodeToText(&converter, sizeof units, units, text), 0);
  ASSERT_EQ(text[0], 5);
  EXPECT_EQ(0, memcmp(text + 1, "A\0\0\0z", 5));

  EXPECT_EQ(ConvertUnicodeToText(&converter, 0, units, text), 0);
  EXPECT_EQ(text[0], 0);
}

TEST(TextConversionTest, LimitsAndOtherEncodings) {
  TextConverter converter{256, 0, 4};
  Str255 text = {5, 'h', 'e', 'l', 'l', 'o'};
  UInt16 units[8] = {};
  UInt32 length = 99;
  EXPECT_EQ(ConvertTextToUnicode(&converter, text, 3, &length, units), 0);
  EXPECT_EQ(length, 3u);
  EXPECT_EQ(units[2], 'l');
  EXPECT_EQ(units[3], 0);

  std::vector<UInt16> many(300, 'x');
  Str255 cut;
  ConvertUnicodeToText(&converter, 600, many.data(), cut);
  EXPECT_EQ(cut[0], 255);

  // Only encoding 0 converts; the others write nothing and still answer 0.
  TextConverter* other = nullptr;
  const TextConverter info{256, 0x0600, 4};
  CreateTextToUnicodeConverterFromInfo(&info, &other);
  EXPECT_EQ(other->encoding, 0x0600u);
  length = 99;
  EXPECT_EQ(ConvertTextToUnicode(other, text, 8, &length, units), 0);
  EXPECT_EQ(length, 99u);
  Str255 untouched = {3, 'a', 'b', 'c'};
  EXPECT_EQ(ConvertUnicodeToText(other, 4, units, untouched), 0);
  EXPECT_EQ(untouched[0], 3);
  DisposeTextToUnicodeConverter(&other);
}

TEST(TextConversionTest, UniStr255RoundTrip) {
  Str255 text = {4, 'D', 0xE9, 'j', 0xE0};
  UniStr255 unicode;
  PStrToUniStr255(text, &unicode);
  ASSERT_EQ(unicode.length, 4);
  EXPECT_EQ(unicode.unicode[1], 0xE9);
  Str255 back = {};
  UniStr255ToPStr(unicode, back);
  EXPECT_EQ(0, memcmp(back, text, 5));

  // A damaged length never reads past the record.
  unicode.length = 1000;
  UniStr255ToPStr(unicode, back);
  EXPECT_EQ(back[0], 255);
}

}  // namespace
