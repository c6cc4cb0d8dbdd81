#include "NumberText.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ResultCodes.h"
#include "Strings.h"

namespace {

std::string Text(ConstStringPtr s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

struct P {
  Str255 s;
  explicit P(const std::string& text) {
    s[0] = static_cast<unsigned char>(text.size());
    std::memcpy(s + 1, text.data(), text.size());
  }
  operator StringPtr() { return s; }
};

// Numbers and text ------------------------------------------------------------

TEST(NumberText, DecimalTextBothWays) {
  Str255 s;
  NumToPStr(-42, s);
  EXPECT_EQ(Text(s), "-42");
  IntToPStr(2147483647, s);
  EXPECT_EQ(Text(s), "2147483647");

  struct Row {
    const char* text;
    SInt32 value;
  } rows[] = {{" 12abc", 12}, {"-7", -7}, {"+3", 3}, {"x", 0}, {"", 0}, {"\t\n 99", 99}};
  for (const Row& row : rows) {
    SInt32 out = 12345;
    EXPECT_EQ(PStrToNum(P(row.text), &out), row.value) << row.text;
    EXPECT_EQ(out, row.value) << row.text;
    EXPECT_EQ(PStrToNum(P(row.text)), row.value) << row.text;
    EXPECT_EQ(PStrToNum(row.text, nullptr), row.value) << row.text;
  }
}

TEST(NumberText, AppendNumRefusesPastTheLimit) {
  struct Row {
    size_t length;
    SInt32 number;
    SInt32 (*append)(SInt32, StringPtr);
    SInt32 result;
  } rows[] = {{27, 12345, PStrAppendNum31, -1},  {26, 12345, PStrAppendNum31, 0}, {29, -5, PStrAppendNum31, 0},
              {30, -5, PStrAppendNum31, -1},     {250, 12345, PStrAppendNum255, 0},
              {251, 12345, PStrAppendNum255, -1}};
  for (const Row& row : rows) {
    P s(std::string(row.length, 'n'));
    EXPECT_EQ(row.append(row.number, s), row.result) << row.length;
    std::string expected = std::string(row.length, 'n') + (row.result == 0 ? std::to_string(row.number) : "");
    EXPECT_EQ(Text(s.s), expected) << row.length;
  }
  EXPECT_EQ(PStrAppendNum31(1, nullptr), -1);
  EXPECT_EQ(PStrAppendNum255(1, nullptr), -1);
}

TEST(NumberText, StrictIntegers) {
  struct Row {
    const char* text;
    SInt32 value;
    UInt8 ok;
  } rows[] = {{"+007", 7, 1}, {"12a", 0, 0},  {" \t\r\n-15", -15, 1}, {"000", 0, 1},
              {"--5", 0, 0},  {"1 2", 0, 0},  {"-", 0, 1},          {"", 0, 1}};
  for (const Row& row : rows) {
    UInt8 ok = 9;
    EXPECT_EQ(CStrToIntStrict(row.text, &ok), row.value) << row.text;
    EXPECT_EQ(ok, row.ok) << row.text;
  }
  EXPECT_EQ(CStrToIntStrict("42", nullptr), 42);
  UInt8 ok = 9;
  EXPECT_EQ(CStrToIntStrict(nullptr, &ok), 0);
  EXPECT_EQ(ok, 0);
}

TEST(NumberText, ZeroPadded) {
  char buffer[12];
  char* digits = NumToZeroPadded(42, buffer, 5);
  EXPECT_STREQ(buffer, "00042");
  EXPECT_EQ(digits, buffer + 3);
  EXPECT_STREQ(NumToZeroPadded(12345, buffer, 3), "12345");
  NumToZeroPadded(42, buffer, 40);
  EXPECT_STREQ(buffer, "00000000042");
}

TEST(NumberText, FloatToPStrTrimsZerosThenThePoint) {
  struct Row {
    double value;
    SInt32 decimals;
    const char* text;
    SInt32 result;
  } rows[] = {{1.0, 3, "1", 2},     {2.5, 2, "2.5", 3},   {3.0, 0, "3", 1},   {10.0, 2, "10", 3},
              {2.50, 1, "2.5", 3},  {100.0, -2, "100", 3}, {-0.25, 2, "-0.25", 5}, {0.001, 2, "0", 2}};
  for (const Row& row : rows) {
    P s("old");
    EXPECT_EQ(FloatToPStr(row.value, row.decimals, s), row.result) << row.value << "/" << row.decimals;
    EXPECT_EQ(Text(s.s), row.text) << row.value << "/" << row.decimals;
  }
  P nan("old");
  FloatToPStr(std::nan(""), 2, nan);
  EXPECT_EQ(Text(nan.s), "");

  // Too long for 31 characters: the old text stays whole, not trimmed.
  P old("5.000");
  EXPECT_EQ(FloatToPStr(1e40, 2, old), kErrFailed);
  EXPECT_EQ(Text(old.s), "5.000");

  P first("x");
  FloatToPStr(first, 0.5, 1);
  EXPECT_EQ(Text(first.s), "0.5");
}

TEST(NumberText, PStrToFloat) {
  double value = 7.0;
  EXPECT_EQ(PStrToFloat(P(""), &value), 1);
  EXPECT_EQ(std::bit_cast<UInt64>(value), 0x7FF8000000000000ull);
  value = 7.0;
  EXPECT_EQ(PStrToFloat(static_cast<ConstStringPtr>(nullptr), &value), 1);
  EXPECT_EQ(std::bit_cast<UInt64>(value), 0x7FF8000000000000ull);

  struct Row {
    const char* text;
    double value;
    SInt32 result;
  } rows[] = {{".", 0.0, 1}, {"2.5x", 2.5, 1}, {" -1e3", -1000.0, 1}, {"abc", 0.0, 0}};
  for (const Row& row : rows) {
    value = 7.0;
    EXPECT_EQ(PStrToFloat(P(row.text), &value), row.result) << row.text;
    EXPECT_EQ(value, row.value) << row.text;
    EXPECT_EQ(PStrToFloat(P(row.text)), row.value) << row.text;
    EXPECT_EQ(PStrToFloat(row.text, &value), row.result) << row.text;
  }
}

// Formatting and joining ------------------------------------------------------

TEST(Formatting, CStrNumByValueWidth) {
  char buffer[256];
  EXPECT_STREQ(CStrNum(buffer, "%d", static_cast<SInt16>(-43)), "-43");
  EXPECT_STREQ(CStrNum(buffer, "%d", static_cast<UInt8>(200)), "200");
  EXPECT_STREQ(CStrNum(buffer, "[%c]", 'A'), "[A]");
  EXPECT_STREQ(CStrNum(buffer, "%u", 4000000000u), "4000000000");
  EXPECT_STREQ(CStrNum(buffer, "%.2f", 2.5), "2.50");
  EXPECT_STREQ(CStrNum(buffer, "%.1f", 1.25f), "1.2");
  EXPECT_STREQ(CStrNum(buffer, "<%s>", "text"), "<text>");
  std::string wide = "%0300d";
  EXPECT_EQ(std::strlen(CStrNum(buffer, wide.c_str(), 5)), 255u);

  std::strcpy(buffer, "%d");
  EXPECT_STREQ(CStrNum(buffer, buffer, 5), "%d");
}

TEST(Formatting, JoinAssignAndSubstitute) {
  char buffer[256] = "leftover";
  JoinCStrs(buffer, "a", "bc", "", "d", static_cast<const char*>(nullptr));
  EXPECT_STREQ(buffer, "abcd");
  std::string long200(200, 'l');
  JoinCStrs(buffer, long200.c_str(), long200.c_str(), static_cast<const char*>(nullptr));
  EXPECT_EQ(std::string(buffer), std::string(255, 'l'));

  EXPECT_STREQ(CStrAssign(buffer, "plain"), "plain");
  EXPECT_STREQ(CStrAssign(buffer, static_cast<ConstStringPtr>(P("pascal"))), "pascal");

  struct Row {
    const char* text;
    const char* s[4];
    const char* out;
  } rows[] = {
      {"a^1b^0", {"X", "Y", nullptr, nullptr}, "aYbX"},
      {"^0!", {"<^2>", "one", "two", nullptr}, "<two>!"},
      {"^0 ^1 ^2", {"a", nullptr, "c", nullptr}, "a ^1 ^2"},
      {"^0^0", {"z", nullptr, nullptr, nullptr}, "z^0"},
      {"^3^2^1^0", {"0", "1", "2", "3"}, "3210"},
  };
  for (const Row& row : rows) {
    std::string text = row.text;
    SubstituteParams(&text, row.s[0], row.s[1], row.s[2], row.s[3]);
    EXPECT_EQ(text, row.out) << row.text;
  }
  SubstituteParams(nullptr, "x");
}

// Encodings -------------------------------------------------------------------

TEST(Encodings, Hex) {
  EXPECT_EQ(ByteToHex(0xAB), ('A' << 8) | 'B');
  EXPECT_EQ(ByteToHex(0x05), ('0' << 8) | '5');
  for (int b = 0; b < 256; ++b) {
    UInt16 pair = ByteToHex(static_cast<UInt8>(b));
    EXPECT_EQ(HexToByte(pair), b);
    EXPECT_EQ(HexToByte(static_cast<UInt16>(pair | 0x2020)), b) << "lower case";
  }
  const UInt8 bytes[] = {0x00, 0x7F, 0xFE, 0x10};
  char text[16];
  EXPECT_EQ(BytesToHex(bytes, 4, text), 8);
  EXPECT_STREQ(text, "007FFE10");
  UInt8 back[4] = {};
  EXPECT_EQ(HexToBytes("007ffe10", 8, back), 4);
  EXPECT_EQ(std::memcmp(back, bytes, 4), 0);
}

TEST(Encodings, URLEncodeAndDecode) {
  char out[64];
  EXPECT_EQ(URLEncode("a b-c_d/\xE9", out), 9);
  EXPECT_STREQ(out, "a%20b-c_d%2F%E9");
  // With the default limit a text of nothing but escapes still fits whole.
  EXPECT_EQ(URLEncode("///", out), 3);
  EXPECT_STREQ(out, "%2F%2F%2F");

  struct Row {
    SInt32 limit;
    SInt32 consumed;
    const char* out;
  } rows[] = {{5, 2, "ab"}, {6, 3, "ab%20"}, {1, 0, ""}};
  for (const Row& row : rows) {
    std::memset(out, 'Z', sizeof out);
    EXPECT_EQ(URLEncode("ab cd", out, -1, row.limit), row.consumed) << row.limit;
    EXPECT_STREQ(out, row.out) << row.limit;
  }
  EXPECT_EQ(URLEncode("abc", out, 2), 2);
  EXPECT_STREQ(out, "ab");

  struct DecodeRow {
    const char* in;
    SInt32 limit;
    SInt32 consumed;
    std::string out;
  } decodeRows[] = {{"a+b%41%4a", -1, 9, "a bAJ"}, {"%4", -1, 2, std::string(1, '\x04')},
                    {"ab%", -1, 3, "ab"},         {"abcdef", 4, 3, "abc"},
                    {"%41bc", 2, 3, "A"}};
  for (const DecodeRow& row : decodeRows) {
    std::memset(out, 'Z', sizeof out);
    EXPECT_EQ(URLDecode(row.in, out, -1, row.limit), row.consumed) << row.in;
    EXPECT_EQ(std::string(out), row.out) << row.in;
  }
}

TEST(Encodings, BackslashEscapesRoundTrip) {
  const char source[] = "a'b\"c\\d\0e";
  char escaped[64];
  EXPECT_EQ(CStrEscape(source, escaped, 9, 64), 13);
  EXPECT_STREQ(escaped, "a\\'b\\\"c\\\\d\\0e");
  char back[64];
  EXPECT_EQ(CStrUnescape(escaped, back, 64), 9);
  EXPECT_EQ(std::memcmp(back, source, 10), 0);

  // A piece that would reach the limit is left out whole.
  EXPECT_EQ(CStrEscape("ab'c", escaped, 4, 4), 2);
  EXPECT_STREQ(escaped, "ab");
  std::strcpy(escaped, "junk");
  EXPECT_EQ(CStrEscape("abc", escaped, 0, 64), 0);
  EXPECT_STREQ(escaped, "");
  EXPECT_EQ(CStrUnescape("abc\\", back, 64), 3);
  EXPECT_STREQ(back, "abc");
  EXPECT_EQ(CStrUnescape("abcdef", back, 3), 2);
  EXPECT_STREQ(back, "ab");
}

// Written differently from the engine's: through a string of bits.
std::string ReferenceBase64(const std::vector<UInt8>& bytes) {
  static const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bits;
  for (UInt8 b : bytes)
    for (int i = 7; i >= 0; --i) bits += ((b >> i) & 1) ? '1' : '0';
  while (bits.size() % 6) bits += '0';
  std::string text;
  for (size_t i = 0; i < bits.size(); i += 6) text += alphabet[std::stoi(bits.substr(i, 6), nullptr, 2)];
  while (text.size() % 4) text += '=';
  return text;
}

TEST(Base64, Sizes) {
  struct Row {
    SInt32 n, encoded, decoded;
  } rows[] = {{0, 0, 0}, {1, 6, 3}, {3, 9, 5}, {4, 10, 6}, {300, 405, 228}};
  for (const Row& row : rows) {
    EXPECT_EQ(Base64EncodedSize(row.n), row.encoded) << row.n;
    EXPECT_EQ(Base64DecodedSize(row.n), row.decoded) << row.n;
  }
  EXPECT_EQ(kBase64DefaultLimit, 134217727);
  EXPECT_EQ(Base64Alphabet().size(), 64u);
}

TEST(Base64, RandomInputsMatchAReferenceAndRoundTrip) {
  std::mt19937 random(20240611);
  for (int n = 0; n <= 300; ++n) {
    std::vector<UInt8> bytes(static_cast<size_t>(n));
    for (UInt8& b : bytes) b = static_cast<UInt8>(random());
    std::vector<char> text(static_cast<size_t>(Base64EncodedSize(n) + 1), 'Z');
    std::string expected = ReferenceBase64(bytes);
    ASSERT_EQ(Base64Encode(bytes.data(), text.data(), n, Base64EncodedSize(n) + (n == 0)),
              static_cast<SInt32>(expected.size()))
        << n;
    ASSERT_EQ(std::string(text.data()), expected) << n;

    std::vector<UInt8> back(static_cast<size_t>(Base64DecodedSize(static_cast<SInt32>(expected.size()))) + 1);
    ASSERT_EQ(Base64Decode(text.data(), back.data()), n) << n;
    back.resize(static_cast<size_t>(n));
    ASSERT_EQ(back, bytes) << n;
  }
}

TEST(Base64, LimitsAndStops) {
  char text[16];
  std::strcpy(text, "junk");
  EXPECT_EQ(Base64Encode("Man", text, 3, 3), kErrFailed);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(Base64Encode("Man", text), 4);
  EXPECT_STREQ(text, "TWFu");

  struct Row {
    const char* text;
    SInt32 count, limit;
    SInt32 result;
    std::string bytes;
  } rows[] = {
      {"TWFu TWFu", -1, -1, 3, "Man"},     {"TWE=TWFu", -1, -1, 2, "Ma"},  {"TWFuTWFu", -1, 4, -1, "ManM"},
      {"TWFuTW\nFu", -1, -1, 4, "ManM"},   {"TWFu", 2, -1, 1, "M"},        {"T", -1, -1, 0, ""},
  };
  for (const Row& row : rows) {
    char out[16] = {};
    EXPECT_EQ(Base64Decode(row.text, out, row.count, row.limit), row.result) << row.text;
    EXPECT_EQ(std::string(out), row.bytes) << row.text;
  }
}

TEST(Base64, AlphabetComesAndGoesWithTheStartUpEntry) {
  ReleaseBase64Alphabet();
  InitBase64Alphabet();
  EXPECT_EQ(Base64Alphabet().substr(60), "89+/");
  ReleaseBase64Alphabet();
  // A call before start-up still finds the alphabet.
  char text[8];
  EXPECT_EQ(Base64Encode("a", text, 1, 8), 4);
  EXPECT_STREQ(text, "YQ==");
}

// URLs ------------------------------------------------------------------------

TEST(SplitURL, PartsAreCutInPlace) {
  struct Row {
    const char* url;
    const char* parts[8];  // scheme, host, port, user, password, path, query, fragment
  } rows[] = {
      {"scheme://server:80/dir/f?q=1#top", {"scheme", "server", "80", nullptr, nullptr, "dir/f", "q=1", "top"}},
      {"http://u:p@h/x", {"http", "h", nullptr, "u", "p", "x", nullptr, nullptr}},
      {"ftp://anon@host:21/", {"ftp", "host", "21", "anon", nullptr, "", nullptr, nullptr}},
      {"host:8080", {nullptr, "host", "8080", nullptr, nullptr, nullptr, nullptr, nullptr}},
      {"s://h/p#f?q", {"s", "h", nullptr, nullptr, nullptr, "p", "q", "f"}},
  };
  for (const Row& row : rows) {
    std::string copy = row.url;
    char* got[8];
    EXPECT_EQ(SplitURL(copy.data(), &got[0], &got[1], &got[2], &got[3], &got[4], &got[5], &got[6], &got[7]), 1);
    for (int i = 0; i < 8; ++i) {
      if (row.parts[i]) {
        ASSERT_NE(got[i], nullptr) << row.url << " part " << i;
        EXPECT_STREQ(got[i], row.parts[i]) << row.url << " part " << i;
        EXPECT_GE(got[i], copy.data());
        EXPECT_LT(got[i], copy.data() + copy.size());
      } else {
        EXPECT_EQ(got[i], nullptr) << row.url << " part " << i;
      }
    }
  }
  std::string url = "a://b/c";
  char* host = nullptr;
  SplitURL(url.data(), nullptr, &host, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_STREQ(host, "b");
}

}  // namespace
