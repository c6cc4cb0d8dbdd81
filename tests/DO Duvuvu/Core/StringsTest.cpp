#include "Strings.h"
#include "ResultCodes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Text(ConstStringPtr s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

// A Str255 holding the given bytes (embedded 0xCA and the like allowed).
struct P {
  Str255 s;
  explicit P(const std::string& text) {
    s[0] = static_cast<unsigned char>(text.size());
    std::memcpy(s + 1, text.data(), text.size());
  }
  operator StringPtr() { return s; }
};

// Length-prefixed limits ------------------------------------------------------

TEST(PStrLimits, Copy31RefusesPast31AndLeavesTheDestination) {
  struct Row {
    size_t sourceLength;
    SInt32 result;
  } rows[] = {{31, 0}, {32, -1}, {0, 0}};
  for (const Row& row : rows) {
    P source(std::string(row.sourceLength, 'x'));
    P destination("old");
    EXPECT_EQ(PStrCopy31(source, destination), row.result) << row.sourceLength;
    EXPECT_EQ(Text(destination.s), row.result == 0 ? std::string(row.sourceLength, 'x') : "old");
  }
  P some("a");
  EXPECT_EQ(PStrCopy31(nullptr, some), kErrFailed);
  EXPECT_EQ(PStrCopy31(some, nullptr), kErrFailed);
}

TEST(PStrLimits, Append31AndAppendChar31StopAt31) {
  struct Row {
    size_t destinationLength;
    SInt32 result;
  } rows[] = {{28, 0}, {29, -1}, {0, 0}};
  for (const Row& row : rows) {
    P destination(std::string(row.destinationLength, 'd'));
    EXPECT_EQ(PStrAppend31(P("abc"), destination), row.result) << row.destinationLength;
    EXPECT_EQ(Text(destination.s),
              std::string(row.destinationLength, 'd') + (row.result == 0 ? "abc" : "")) << row.destinationLength;
  }

  P thirty(std::string(30, 'd'));
  EXPECT_EQ(PStrAppendChar31('z', thirty), 0);
  EXPECT_EQ(Text(thirty.s), std::string(30, 'd') + "z");
  EXPECT_EQ(PStrAppendChar31('z', thirty), kErrFailed);
  EXPECT_EQ(thirty.s[0], 31);
  EXPECT_EQ(PStrAppendChar31('z', nullptr), kErrFailed);
  EXPECT_EQ(PStrAppend31(nullptr, thirty), kErrFailed);
}

TEST(PStrLimits, AppendAndJoinStopAt255WithoutWritingPastTheString) {
  struct Guarded {
    Str255 s;
    unsigned char guard[8];
  } g;
  std::memset(g.guard, 0xEE, sizeof g.guard);
  P big(std::string(200, 'a'));
  PStrCopy(big, g.s);
  EXPECT_EQ(PStrAppend(P(std::string(100, 'b')), g.s), 0);
  EXPECT_EQ(Text(g.s), std::string(200, 'a') + std::string(55, 'b'));
  for (unsigned char c : g.guard) EXPECT_EQ(c, 0xEE);

  P one("one "), two(std::string(255, 't'));
  JoinPStrs(g.s, static_cast<StringPtr>(one), static_cast<StringPtr>(two), static_cast<StringPtr>(nullptr));
  EXPECT_EQ(Text(g.s), "one " + std::string(251, 't'));
  for (unsigned char c : g.guard) EXPECT_EQ(c, 0xEE);

  JoinPStrs(g.s, static_cast<StringPtr>(P("a")), static_cast<StringPtr>(P("bc")), static_cast<StringPtr>(nullptr));
  EXPECT_EQ(Text(g.s), "abc");
  EXPECT_EQ(PStrAppend(nullptr, g.s), kErrFailed);
  EXPECT_EQ(PStrClear(g.s), 0);
  EXPECT_EQ(g.s[0], 0);
  EXPECT_EQ(PStrClear(nullptr), kErrFailed);
}

// Conversions and holders -----------------------------------------------------

TEST(PStrConvert, CTextIsCutAt255BothWays) {
  std::string long300(300, 'q');
  Str255 s;
  CToPStr(long300.c_str(), s);
  EXPECT_EQ(Text(s), std::string(255, 'q'));

  PStr holder(long300.c_str());
  EXPECT_EQ(holder.GetPtr()[0], 255);
  EXPECT_EQ(holder.Clear()[0], 0);

  char c[256];
  PToCStr(P("hello"), c);
  EXPECT_STREQ(c, "hello");
  EXPECT_STREQ(PToCStrBuf(c, P("bye")), "bye");

  CStr fromP(static_cast<ConstStringPtr>(P("pascal")));
  EXPECT_STREQ(fromP.GetPtr(), "pascal");
  CStr fromC(long300.c_str());
  EXPECT_EQ(std::strlen(fromC.GetPtr()), 255u);
  EXPECT_STREQ(fromC.Clear(), "");
}

TEST(PStrCompare, EqualityAndCodes) {
  EXPECT_EQ(PStrEqual(P("abc"), P("abc")), 1);
  EXPECT_EQ(PStrEqual(P("abc"), P("abd")), 0);
  EXPECT_EQ(PStrEqual(P("ab"), P("abc")), 0);
  EXPECT_EQ(PStrEqual(PStr("x"), PStr("x")), 1);
  EXPECT_EQ(PStrEqualsCStr(P("abc"), "abc"), 1);
  EXPECT_EQ(PStrEqualsCStr(P("abc"), "abcd"), 0);
  EXPECT_EQ(CStrEqualsPStr("ab", P("abc")), 0);

  Str255 s;
  CodeToPStr(s, FOUR_CHAR_CODE("KSTV"));
  EXPECT_EQ(Text(s), "KSTV");
  EXPECT_EQ(PStrToCode(s), FOUR_CHAR_CODE("KSTV"));
  EXPECT_EQ(PStrToCode(P("ab")), FOUR_CHAR_CODE("ab  "));
  EXPECT_EQ(PStrToCode(P("abcdef")), FOUR_CHAR_CODE("abcd"));
}

TEST(PStrCompare, CompareNoCaseTakesTheFirstByteRaw) {
  struct Row {
    const char* a;
    const char* b;
    SInt32 result;
  } rows[] = {
      {"Apple", "apple", -1}, {"apple", "APPLE", 1},  {"apple", "aPPLE", 0}, {"Banana", "apple", -1},
      {"", "", 0},            {"", "a", -1},          {"a", "", 1},          {"ab", "abc", -1},
      {"abc", "aB", 1},       {"abd", "abc", 1},
      // Folded 'z' is above '[', although raw 'Z' is below it.
      {"aZ", "a[", 1},        {"a\xE9", "a\x41", 1},
  };
  for (const Row& row : rows)
    EXPECT_EQ(PStrCompareNoCase(P(row.a), P(row.b)), row.result) << row.a << " vs " << row.b;
}

TEST(PStrEdit, CaseAndSpaces) {
  P upper("abc XYZ 1z");
  PStrUpperCase(upper);
  EXPECT_EQ(Text(upper.s), "ABC XYZ 1Z");

  P title("hello WORLD\xCA" "foo bAR");
  PStrTitleCase(title);
  EXPECT_EQ(Text(title.s), "Hello World\xCA" "Foo Bar");

  struct Row {
    std::string in, out;
  } rows[] = {{"  a  b ", "a b"}, {"     ", ""}, {"", ""}, {"a\xCA\xCA b\xCA", "a b"}, {"x", "x"}};
  for (const Row& row : rows) {
    P s(row.in);
    PStrCollapseSpaces(s);
    EXPECT_EQ(Text(s.s), row.out) << row.in;
  }
}

TEST(PStrEdit, WordsUseOnly0x20) {
  EXPECT_EQ(PStrCountWords(P("  one two  three ")), 3);
  EXPECT_EQ(PStrCountWords(P("")), 0);
  EXPECT_EQ(PStrCountWords(P("a\xCA" "b")), 1);

  struct Row {
    SInt32 n;
    std::string appended;
  } rows[] = {{1, "one"}, {2, "two"}, {3, "three"}, {0, ""}, {4, ""}};
  for (const Row& row : rows) {
    P destination(">");
    EXPECT_EQ(PStrAppendWord(row.n, P("  one two  three "), destination), 3);
    EXPECT_EQ(Text(destination.s), ">" + row.appended) << row.n;
  }
  P full(std::string(253, 'f'));
  PStrAppendWord(1, P("word"), full);
  EXPECT_EQ(Text(full.s), std::string(253, 'f') + "wo");
}

TEST(PStrEdit, CharsAndBrackets) {
  Str255 after;
  PStrCopyAfterChar(P("key=value=x"), after, '=');
  EXPECT_EQ(Text(after), "value=x");
  PStrCopyAfterChar(P("novalue"), after, '=');
  EXPECT_EQ(Text(after), "");

  P cut("name[3]");
  PStrCutAtBracket(cut);
  EXPECT_EQ(Text(cut.s), "name");
  P unchanged("plain");
  PStrCutAtChar(unchanged, '[');
  EXPECT_EQ(Text(unchanged.s), "plain");

  EXPECT_EQ(PStrCountBrackets(P("a[1]b[2")), kErrUnbalancedBrackets);
  EXPECT_EQ(PStrCountBrackets(P("x[1][2]")), 2);
  EXPECT_EQ(PStrCountBrackets(P("")), 0);
  EXPECT_EQ(PStrCountBrackets(nullptr), kErrFailed);

  struct Row {
    const char* text;
    SInt32 n;
    SInt32 result;
  } rows[] = {{"name[12][7]", 1, 7}, {"name[12][7]", 0, 12}, {"name[12][7]", 2, -3},
              {"name", 0, 0},       {"a[1", 0, -2},        {"a[-5]", 0, -5}};
  for (const Row& row : rows) EXPECT_EQ(PStrBracketNumber(P(row.text), row.n), row.result) << row.text << row.n;
  EXPECT_EQ(PStrBracketNumber(nullptr, 0), kErrFailed);
}

// C strings -------------------------------------------------------------------

TEST(CStrings, CopyAppendAndCompare) {
  EXPECT_EQ(CStrEqual("a", "a"), 1);
  EXPECT_EQ(CStrEqual("a", "b"), 0);
  EXPECT_EQ(CStrLength("abc"), 3);
  EXPECT_EQ(CStrContainsChar('b', "abc"), 1);
  EXPECT_EQ(CStrContainsChar('z', "abc"), 0);
  EXPECT_EQ(CStrContainsChar(0, "abc"), 0);
  EXPECT_EQ(CStrDiffersN("abcX", "abcY", 3), 0);
  EXPECT_EQ(CStrDiffersN("abcX", "abcY", 4), 1);
  EXPECT_EQ(CStrDiffersN("ab", "ab", 10), 0);
  EXPECT_EQ(CStrDiffersN("a", "b", 0), 0);

  char buffer[300];
  EXPECT_EQ(CStrCopyN(buffer, "abcdef", 3), 3);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(CStrCopyN(buffer, "ab", 10), 2);
  EXPECT_STREQ(buffer, "ab");
  EXPECT_EQ(CStrCopyExactN(buffer, "abcdef", 4), 4);
  EXPECT_STREQ(buffer, "abcd");

  std::strcpy(buffer, "12345");
  EXPECT_EQ(CStrAppendBounded(buffer, "6789", 7), 7);
  EXPECT_STREQ(buffer, "1234567");
  EXPECT_EQ(CStrAppendBounded(buffer, "x", 3), 7);
  EXPECT_STREQ(buffer, "1234567");

  std::string long300(300, 'w');
  CStrCopy255(buffer, long300.c_str());
  EXPECT_EQ(std::strlen(buffer), 255u);
  CStrCopy255(buffer, buffer);
  EXPECT_EQ(std::strlen(buffer), 255u);

  EXPECT_EQ(CStrCopyChecked("src", buffer), 0);
  EXPECT_STREQ(buffer, "src");
  EXPECT_EQ(CStrCopyChecked(nullptr, buffer), kErrFailed);
  EXPECT_EQ(CStrCopyChecked("src", nullptr), kErrFailed);
}

TEST(CStrings, SearchAndCount) {
  const char* text = "abcabcaaaa";
  struct Row {
    SInt32 got, want;
    const char* what;
  } rows[] = {
      {CStrFindChar(text, 'c', 0), 2, "find c"},
      {CStrFindChar(text, 'c', 3), 5, "find c from 3"},
      {CStrFindChar(text, 'z', 0), -1, "find z"},
      {CStrFindChar(text, 'a', 50), -1, "start past the end"},
      {CStrFindString(text, "bc", 2), 4, "find bc from 2"},
      {CStrFindString(text, "bcd", 0), -1, "find bcd"},
      {CStrFindString(text, "a", 11), -1, "text shorter than start"},
      {CStrFindLastChar(text, 'b', 0), 4, "last b"},
      {CStrFindLastChar(text, 'b', 5), -1, "last b from 5"},
      {CStrFindLastString(text, "abc", 0), 3, "last abc"},
      {CStrFindLastString(text, "aa", 0), 8, "last aa"},
      {CStrCountChar(text, 'a', 0), 6, "count a"},
      {CStrCountChar(text, 'a', 6), 4, "count a from 6"},
      {CStrCountString(text, "aa", 0), 2, "aa without overlap"},
      {CStrCountString(text, "abc", 1), 1, "abc from 1"},
      {CStrCountString(text, "", 0), 0, "empty needle"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.got, row.want) << row.what;
}

TEST(CStrings, NextTokenCutsAtTheDelimiterStringAndReturnsTheLastPieceOnce) {
  char text[] = "a::b::::c";
  std::vector<std::string> pieces;
  for (char* piece = CStrNextToken(text, "::"); piece; piece = CStrNextToken(nullptr, "::")) pieces.push_back(piece);
  EXPECT_EQ(pieces, (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(CStrNextToken(nullptr, "::"), nullptr);

  char restart[] = "x,y";
  EXPECT_STREQ(CStrNextToken(restart, ","), "x");
}

TEST(CStrings, NextOpenTagSkipsClosingTags) {
  char text[] = "<dict><key>Name</key><string/></dict>";
  char* end = nullptr;
  std::vector<std::string> tags;
  for (char* tag = CStrNextOpenTag(text, &end); tag; tag = CStrNextOpenTag(nullptr, &end)) {
    tags.push_back(tag);
    if (tags.size() == 2) {
      EXPECT_STREQ(end, "Name");
    }
  }
  EXPECT_EQ(tags, (std::vector<std::string>{"dict", "key", "string/"}));
}

TEST(CStrings, WhiteSpaceAndPaths) {
  for (int c : {' ', '\t', '\n', '\v', '\f', '\r'}) EXPECT_EQ(IsSpaceChar(c), 1) << c;
  for (int c : {int{'a'}, 0, 0xCA, 0x1F}) EXPECT_EQ(IsSpaceChar(c), 0) << c;

  char out[16];
  ConvertPathSeparators("a\\b:c/d", out, 15);
  EXPECT_STREQ(out, "a/b:c/d");
  std::memset(out, 'Z', sizeof out);
  ConvertPathSeparators("abcdef", out, 3);
  EXPECT_EQ(std::string(out, 4), std::string("abc\0", 4));
  EXPECT_EQ(PathSeparatorChar(), '/');
  EXPECT_STREQ(Fixed255Path(nullptr).GetPtr(), "/");
  EXPECT_STREQ(Fixed255Path("x\\y").GetPtr(), "x/y");
  EXPECT_EQ(std::strlen(Fixed255Path(std::string(300, 'p').c_str()).GetPtr()), 255u);
}

// Fixed 255-character texts ---------------------------------------------------

TEST(Fixed255, CaseClasses) {
  EXPECT_STREQ(Fixed255Upper("abC1").GetPtr(), "ABC1");
  EXPECT_STREQ(Fixed255Lower("AbC1").GetPtr(), "abc1");
  EXPECT_STREQ(Fixed255UpperFirst("abc").GetPtr(), "Abc");
  EXPECT_STREQ(Fixed255LowerFirst("ABC").GetPtr(), "aBC");
  EXPECT_STREQ(Fixed255UpperFirst("").GetPtr(), "");
  EXPECT_STREQ(Fixed255UpperWords("hello  big\tworld", 0).GetPtr(), "Hello  Big\tWorld");
  EXPECT_STREQ(Fixed255UpperWords("a-b c-d", '-').GetPtr(), "A-B c-D");
  EXPECT_STREQ(Fixed255LowerWords("ABC DEF", 0).GetPtr(), "aBC dEF");
  EXPECT_STREQ(Fixed255SetChar('q').GetPtr(), "q");
}

TEST(Fixed255, TrimPadRepeatReverse) {
  EXPECT_STREQ(Fixed255TrimLeft(" \t xy ", 0).GetPtr(), "xy ");
  EXPECT_STREQ(Fixed255TrimRight(" xy \r\n", 0).GetPtr(), " xy");
  EXPECT_STREQ(Fixed255TrimLeft("--a-", '-').GetPtr(), "a-");
  EXPECT_STREQ(Fixed255TrimRight("--a--", '-').GetPtr(), "--a");
  EXPECT_STREQ(Fixed255TrimRight("----", '-').GetPtr(), "");
  EXPECT_STREQ(Fixed255PadLeft("7", 3, '0').GetPtr(), "0007");
  EXPECT_STREQ(Fixed255PadRight("7", 2, '.').GetPtr(), "7..");
  EXPECT_STREQ(Fixed255PadLeft("x", -4, '0').GetPtr(), "x");
  EXPECT_EQ(std::string(Fixed255PadLeft("tail", 300, ' ').GetPtr()), std::string(255, ' '));
  EXPECT_STREQ(Fixed255Repeat("ab", 3).GetPtr(), "ababab");
  EXPECT_STREQ(Fixed255Repeat("", 5).GetPtr(), "");
  EXPECT_STREQ(Fixed255Repeat("ab", 0).GetPtr(), "");
  EXPECT_EQ(std::strlen(Fixed255Repeat("abc", 1000).GetPtr()), 255u);
  EXPECT_STREQ(Fixed255Reverse("abc").GetPtr(), "cba");
}

TEST(Fixed255, ReplaceCountsAndLimits) {
  struct Row {
    SInt32* count;
    SInt32 in;
    const char* out;
    SInt32 made;
  };
  SInt32 count = 0;
  Row rows[] = {{nullptr, 0, "x.x.x", -1}, {&count, 2, "x.x.a", 2}, {&count, 0, "a.a.a", 0}, {&count, -3, "a.a.a", 0}};
  for (Row& row : rows) {
    if (row.count) *row.count = row.in;
    EXPECT_STREQ(Fixed255ReplaceChar("a.a.a", 'a', 'x', row.count).GetPtr(), row.out) << row.in;
    if (row.count) {
      EXPECT_EQ(*row.count, row.made) << row.in;
    }
  }

  SInt32 n = 100;
  EXPECT_STREQ(Fixed255ReplaceString("aaa", "a", "aa", &n).GetPtr(), "aaaaaa");
  EXPECT_EQ(n, 3);
  n = 1;
  EXPECT_STREQ(Fixed255ReplaceString("one two one", "one", "1", &n).GetPtr(), "1 two one");
  EXPECT_EQ(n, 1);
  n = 5;
  EXPECT_STREQ(Fixed255ReplaceString("abc", "", "x", &n).GetPtr(), "abc");
  EXPECT_EQ(n, 0);
  EXPECT_EQ(std::strlen(Fixed255ReplaceString(std::string(200, 'a').c_str(), "a", "bb", nullptr).GetPtr()), 255u);
}

TEST(Fixed255, SubstringRows) {
  struct Row {
    SInt32 start, count;
    const char* out;
  } rows[] = {{-2, 5, "ef"}, {1, -2, "bcd"}, {-10, 2, "ab"}, {6, 1, ""}, {9, 1, ""},
              {2, 0, ""},    {0, 100, "abcdef"}, {1, -10, ""}, {0, -1, "abcde"}};
  for (const Row& row : rows)
    EXPECT_STREQ(CStrSubstring("abcdef", row.start, row.count).GetPtr(), row.out) << row.start << "," << row.count;
  EXPECT_EQ(std::strlen(CStrSubstring(std::string(400, 's').c_str(), 10, 300).GetPtr()), 255u);
}

TEST(Fixed255, AssignCopiesTheWholeBuffer) {
  Fixed255Upper a("hello");
  Fixed255Reverse b("zz");
  Fixed255Assign(b, a);
  EXPECT_STREQ(b.GetPtr(), "HELLO");
  Fixed255 c;
  c = Fixed255Lower("QQ");
  EXPECT_STREQ(c.GetPtr(), "qq");
}

}  // namespace
