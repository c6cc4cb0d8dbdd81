#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FileClass.h"
#include "Memory.h"
#include "PlistTag.h"
#include "ResultCodes.h"
#include "Strings.h"
#include "TestSupport.h"
#include "TextBuffer.h"

namespace {

const std::string kDataDir = std::string(DUVUVU_TESTS_DIR) + "/DO Duvuvu/Core/data/";

std::string Text(ConstStringPtr s) {
  return std::string(reinterpret_cast<const char*>(s + 1), s[0]);
}

// One line per node: depth, type, name, value and data text.
void Dump(const PlistTag* tag, int depth, std::string* out) {
  *out += std::to_string(depth) + " " + Text(tag->type) + " [" + Text(tag->name) + "] = [" + Text(tag->value) + "]";
  if (tag->data) *out += " data " + std::string(tag->data, static_cast<size_t>(GetPtrBlockSize(tag->data)));
  *out += "\n";
  for (UInt32 i = 0; i < tag->child.count; ++i) Dump(tag->child.data[i], depth + 1, out);
}

std::string Dump(const PlistTag& root) {
  std::string out;
  Dump(&root, 0, &out);
  return out;
}

std::string Write(PlistTag* root) {
  TextBuffer buffer;
  PlistTag::WriteBuffer(root, &buffer);
  return std::string(reinterpret_cast<const char*>(buffer.GetDataPtr()), buffer.GetLength());
}

SInt32 Read(PlistTag* root, const std::string& text) {
  TextBuffer buffer;
  buffer.SetData(text.data(), static_cast<SInt32>(text.size()));
  return PlistTag::ReadBuffer(root, &buffer);
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
  return text;
}

void BuildExample(PlistTag* root) {
  PlistTag::NewTag(root, "integer", "Monitor Mode", "1");
  PlistTag::NewTag(root, "boolean", "Full Screen", "true/");
  PlistTag* scores = PlistTag::NewTag(root, "array", "Scores", "");
  PlistTag* row = PlistTag::NewTag(scores, "dict", "", "");
  PlistTag::NewTag(row, "string", "Name", "Ann");
  PlistTag::NewTag(row, "integer", "Score", "1200");
  PlistTag::SetData(root, "Icon", "\x01\x02\x03", 3, 0);
}

// data/example.plist holds the expected 17 lines, CR-separated.
TEST(PlistFormatTest, WritesTheGoldenExampleAndReadsItBack) {
  PlistTag root;
  BuildExample(&root);
  const std::string golden = testsupport::ReadFile(kDataDir + "example.plist");
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(Write(&root), golden);

  PlistTag again;
  ASSERT_EQ(Read(&again, golden), 0);
  EXPECT_EQ(Dump(again), Dump(root));
  EXPECT_EQ(Write(&again), golden);

  // Another writer's framing and line ends read into the same tree.
  const std::string framed = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<plist version=\"1.0\">\r\n" +
                             ReplaceAll(golden, "\r", "\r\n") + "\r\n</plist>\r\n";
  PlistTag wrapped;
  ASSERT_EQ(Read(&wrapped, framed), 0);
  EXPECT_EQ(Dump(wrapped), Dump(root));

  PlistTag empty;
  EXPECT_EQ(Write(&empty), "<dict>\r</dict>");
}

// data/python-plistlib.plist was written once by Debian's python3 3.11
// plistlib: plistlib.dumps(tree, fmt=plistlib.FMT_XML, sort_keys=False) of a
// dict holding exactly the tree expected below (the blob is bytes(range(100)),
// the date datetime(2024, 5, 6, 7, 8, 9)).
TEST(PlistFormatTest, ReadsAnotherWritersFile) {
  const std::string text = testsupport::ReadFile(kDataDir + "python-plistlib.plist");
  ASSERT_FALSE(text.empty());
  PlistTag root;
  ASSERT_EQ(Read(&root, text), 0);
  const std::string expected =
      "0 dict [] = []\n"
      "1 dict [Empty Dict] = []\n"
      "1 array [Empty Array] = []\n"
      "1 string [Empty String] = []\n"
      "1 string [Markup] = [R&D <1> & \"q\"]\n"
      "1 data [Blob] = [] data "
      "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJygpKissLS4vMDEy"
      "MzQ1Njc4OTo7PD0+P0BBQkNERUZHSElKS0xNTk9QUVJTVFVWV1hZWltcXV5fYGFiYw==\n"
      "1 real [Pi] = [3.25]\n"
      "1 date [When] = [2024-05-06T07:08:09Z]\n"
      "1 boolean [Off] = [false/]\n"
      "1 boolean [On] = [true/]\n"
      "1 integer [Count] = [42]\n"
      "1 array [Grid] = []\n"
      "2 array [] = []\n"
      "3 integer [] = [1]\n"
      "3 integer [] = [2]\n"
      "2 array [] = []\n"
      "3 string [] = [a]\n"
      "3 array [] = []\n"
      "1 dict [Nested] = []\n"
      "2 dict [Inner] = []\n"
      "3 string [Deep] = [yes]\n";
  EXPECT_EQ(Dump(root), expected);

  Ptr block = nullptr;
  SInt32 length = 0;
  ASSERT_EQ(PlistTag::GetData(&root, "Blob", &block, &length, 0), 0);
  ASSERT_EQ(length, 100);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(static_cast<UInt8>(block[i]), i);
  DisposePtrBlock(block);

  // Written back in this dialect (nested arrays included), it reads the same.
  PlistTag again;
  ASSERT_EQ(Read(&again, Write(&root)), 0);
  EXPECT_EQ(Dump(again), expected);
}

TEST(PlistFormatTest, EscapesMarkupLineEndsAndHighBytes) {
  PlistTag root;
  PlistTag::NewTag(&root, "string", "R&D", "a<b>&c");
  PlistTag::NewTag(&root, "string", "Lines", "one\ttwo\nthree\rfour");
  PlistTag::NewTag(&root, "string", "Caf\xE9", "\x01 bell");
  const std::string text = Write(&root);
  EXPECT_NE(text.find("<key>R&amp;D</key>"), std::string::npos) << text;
  EXPECT_NE(text.find("<string>a&lt;b&gt;&amp;c</string>"), std::string::npos) << text;
  EXPECT_NE(text.find("<string>one&#9;two&#10;three&#13;four</string>"), std::string::npos) << text;
  EXPECT_NE(text.find("<key>Caf&#233;</key>"), std::string::npos) << text;
  EXPECT_NE(text.find("<string> bell</string>"), std::string::npos) << "control bytes cannot be XML";

  PlistTag back;
  ASSERT_EQ(Read(&back, text), 0);
  EXPECT_EQ(Text(PlistTag::FindTag(&back, "string", "R&D", 0)->value), "a<b>&c");
  EXPECT_EQ(Text(PlistTag::FindTag(&back, "string", "Lines", 0)->value), "one\ttwo\nthree\rfour");
  EXPECT_NE(PlistTag::FindTag(&back, "string", "Caf\xE9", 0), nullptr);
  EXPECT_EQ(Write(&back), text) << "writing twice gives the same text";

  // A name whose escaped text passes 31 characters is still written whole.
  PlistTag longKey;
  const std::string name = std::string(27, 'k') + "&&&&";
  PlistTag::NewTag(&longKey, "integer", name.c_str(), "1");
  PlistTag longBack;
  ASSERT_EQ(Read(&longBack, Write(&longKey)), 0);
  EXPECT_NE(PlistTag::FindTag(&longBack, "integer", name.c_str(), 0), nullptr);
}

TEST(PlistFormatTest, DecodesEntitiesOneByteACharacter) {
  struct Case {
    const char* text;
    const char* value;
  } cases[] = {
      {"&amp;&lt;&gt;&quot;&apos;", "&<>\"'"},
      {"&#38;&#x26;&#233;", "&&\xE9"},
      {"&#8364;", "?"},
      {"\xE9 raw", "\xE9 raw"},
      {"&bogus; &#xZZ; & alone", "&bogus; &#xZZ; & alone"},
      {"&amp", "&amp"},
  };
  for (const Case& c : cases) {
    PlistTag root;
    ASSERT_EQ(Read(&root, std::string("<dict><key>k</key><string>") + c.text + "</string></dict>"), 0);
    PlistTag* tag = PlistTag::FindTag(&root, "string", "k", 0);
    ASSERT_NE(tag, nullptr) << c.text;
    EXPECT_EQ(Text(tag->value), c.value);
  }
}

// Text is UTF-8 when each high byte belongs to a well-formed sequence, else
// Latin-1 as the bytes stand; references keep naming one byte each.
TEST(PlistFormatTest, ReadsUtf8TextAsLatin1) {
  struct Case {
    const char* what;
    const char* text;
    const char* value;
  } cases[] = {
      {"two-byte characters", "Zo\xC3\xAB \xC3\x86r\xC3\xB8", "Zo\xEB \xC6r\xF8"},
      {"beyond Latin-1", "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80 \xE2\x82\xAC", "?? ? ?"},
      {"references as written by the engine", "Zo&#195;&#171;", "Zo\xC3\xAB"},
      {"references beside UTF-8", "\xC3\xA9&#233;&amp;", "\xE9\xE9&"},
      {"Latin-1 byte", "Caf\xE9", "Caf\xE9"},
      {"Latin-1 byte beside UTF-8", "\xC3\xA9 \xE9", "\xC3\xA9 \xE9"},
      {"cut sequence", "Caf\xC3", "Caf\xC3"},
      {"stray continuation", "\x80" "a", "\x80" "a"},
      {"overlong", "\xC0\xA9 \xE0\x80\xA9", "\xC0\xA9 \xE0\x80\xA9"},
      {"surrogate", "\xED\xA0\x80", "\xED\xA0\x80"},
      {"past U+10FFFF", "\xF4\x90\x80\x80", "\xF4\x90\x80\x80"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PlistTag root;
    ASSERT_EQ(Read(&root, std::string("<dict><key>k") + c.text + "</key><string>" + c.text + "</string></dict>"), 0);
    ASSERT_EQ(root.child.count, 1u);
    EXPECT_EQ(Text(root.child.data[0]->name), std::string("k") + c.value);
    EXPECT_EQ(Text(root.child.data[0]->value), c.value);
  }

  // 254 characters of two bytes each all fit the value.
  std::string wide;
  for (int i = 0; i < 254; ++i) wide += "\xC3\xA9";
  PlistTag root;
  ASSERT_EQ(Read(&root, "<dict><key>k</key><string>" + wide + "</string></dict>"), 0);
  EXPECT_EQ(Text(root.child.data[0]->value), std::string(254, '\xE9'));
  // Base64 text is not decoded.
  ASSERT_EQ(Read(&root, "<dict><key>d</key><data>QQ\xC3\xA9==</data></dict>"), 0);
  ASSERT_NE(root.child.data[0]->data, nullptr);
  EXPECT_EQ(std::string(root.child.data[0]->data, static_cast<size_t>(GetPtrBlockSize(root.child.data[0]->data))),
            "QQ\xC3\xA9==");
}

// The writer cannot keep control bytes in a key; read as they stand, a key
// would name another entry after a save (two keys becoming one).
TEST(PlistFormatTest, KeysReadAsTheWriterWritesThem) {
  PlistTag root;
  ASSERT_EQ(Read(&root, "<dict><key>Score</key><integer>75</integer><key>Score&#15;</key><integer>20</integer>"
                        "<key>Le\x01v\x1F" "el</key><integer>3</integer>"
                        "<key>Tab&#9;Line&#10;</key><string>kept</string></dict>"),
            0);
  EXPECT_EQ(Dump(root), "0 dict [] = []\n1 integer [Score] = [20]\n1 integer [Level] = [3]\n"
                        "1 string [Tab\tLine\n] = [kept]\n");
  PlistTag back;
  ASSERT_EQ(Read(&back, Write(&root)), 0);
  EXPECT_EQ(Dump(back), Dump(root));
}

TEST(PlistFormatTest, ReaderCutsLongTextsToTheirFields) {
  PlistTag root;
  const std::string value(255, 'v');
  const std::string key(300, 'k');
  ASSERT_EQ(Read(&root, "<dict><key>" + key + "</key><string>" + value + "</string></dict>"), 0);
  ASSERT_EQ(root.child.count, 1u);
  EXPECT_EQ(Text(root.child.data[0]->name), std::string(31, 'k'));
  EXPECT_EQ(Text(root.child.data[0]->value), std::string(254, 'v'));
}

TEST(PlistFormatTest, ReaderForms) {
  struct Case {
    const char* text;
    SInt32 result;
    const char* tree;
  } cases[] = {
      {"<dict><key>A</key><integer>5</integer></dict>", 0, "0 dict [] = []\n1 integer [A] = [5]\n"},
      {"no root here", -1, "0 dict [] = []\n"},
      {"a<dict>b<key>A</key><integer>5</integer>", -1, "0 dict [] = []\n"},
      {"<plist><dict/></plist>", 0, "0 dict [] = []\n"},
      {"<dict><key></key><string>x</string></dict>", 0, "0 dict [] = []\n1 string [] = [x]\n"},
      {"<dict><key>A</key><true /><key>B</key><false/></dict>", 0,
       "0 dict [] = []\n1 boolean [A] = [true/]\n1 boolean [B] = [false/]\n"},
      // The key is kept for following values; a second pair updates the first.
      {"<dict><key>A</key><integer>1</integer><integer>2</integer></dict>", 0, "0 dict [] = []\n1 integer [A] = [2]\n"},
      // A key inside an array names nothing.
      {"<dict><key>L</key><array><key>x</key><integer>1</integer></array></dict>", 0,
       "0 dict [] = []\n1 array [L] = []\n2 integer [] = [1]\n"},
      // Text that ends inside containers keeps what was read.
      {"<dict><key>D</key><dict><key>A</key><string>par", 0,
       "0 dict [] = []\n1 dict [D] = []\n2 string [A] = [par]\n"},
      {"<dict><!-- <key>C</key> --><?pi x?><key>A</key><data/><key>S</key><string/></dict>", 0,
       "0 dict [] = []\n1 data [A] = []\n1 string [S] = []\n"},
      {"<dict>\r\n\t<key>A&amp;B</key>\r\n\t<string>x</string></dict><key>after</key><string>y</string>", 0,
       "0 dict [] = []\n1 string [A&B] = [x]\n"},
  };
  for (const Case& c : cases) {
    PlistTag root;
    PlistTag::NewTag(&root, "string", "stale", "");
    EXPECT_EQ(Read(&root, c.text), c.result) << c.text;
    EXPECT_EQ(Dump(root), c.tree) << c.text;
  }
}

TEST(PlistFormatTest, DamagedInputBreakingALimitEmptiesTheRoot) {
  std::string deep;
  for (int i = 0; i < 600; ++i) deep += "<dict><key>d</key>";
  PlistTag root;
  EXPECT_EQ(Read(&root, deep), kErrFailed);
  EXPECT_EQ(root.child.count, 0u);

  std::string wide = "<dict>";
  for (int i = 0; i < 40000; ++i) wide += "<key>" + std::to_string(i) + "</key><true/>";
  wide += "</dict>";
  EXPECT_EQ(Read(&root, wide), kErrFailed);
  EXPECT_EQ(root.child.count, 0u);

  // At the limit itself the text is fine.
  std::string nested;
  for (int i = 0; i < PlistTag::kMaxDepth; ++i) nested += "<dict><key>d</key>";
  EXPECT_EQ(Read(&root, nested), 0);
  EXPECT_EQ(root.child.count, 1u);
}

TEST(PlistFormatTest, WriterIndentsNestedArraysAndStopsAtThirtyOneTabs) {
  PlistTag root;
  PlistTag* outer = PlistTag::NewTag(&root, "array", "Grid", "");
  PlistTag* inner = PlistTag::NewTag(outer, "array", "", "");
  PlistTag::NewTag(inner, "integer", "", "1");
  PlistTag::NewTag(root.child.data[0], "data", "", "");  // no name, parent is an array
  EXPECT_EQ(Write(&root),
            "<dict>\r\t<key>Grid</key>\r\t<array>\r\t\t<array>\r\t\t\t<integer>1</integer>\r\t\t</array>\r"
            "\t\t<data></data>\r\t</array>\r</dict>");

  PlistTag deep;
  PlistTag* at = &deep;
  for (int i = 0; i < 40; ++i) at = PlistTag::NewTag(at, "dict", "d", "");
  const std::string text = Write(&deep);
  EXPECT_NE(text.find(std::string(31, '\t') + "<key>d</key>"), std::string::npos);
  EXPECT_EQ(text.find(std::string(32, '\t')), std::string::npos);
  PlistTag back;
  ASSERT_EQ(Read(&back, text), 0);
  EXPECT_EQ(Dump(back), Dump(deep));
}

TEST(PlistFormatTest, AnUnnamedArrayInADictIsFatal) {
  auto result = testsupport::RunInChild([] {
    PlistTag root;
    PlistTag::NewTag(&root, "array", "", "");
    Write(&root);
  });
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.stderrText.find("Error: PlistTag::WriteTag() failed because an array was unnamed."),
            std::string::npos)
      << result.stderrText;
}

TEST(PlistFormatTest, TheDesktopFilesEndTheProgram) {
  // There is no desktop folder here, so both fixed-file routines stop there.
  for (bool save : {true, false}) {
    auto result = testsupport::RunInChild([&] {
      PlistTag root;
      if (save)
        PlistTag::SavePlistFile(&root, "out");
      else
        PlistTag::ReadVersionPlist(&root);
    });
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.stderrText.find("-108: Error: Unable to locate the Desktop folder."), std::string::npos)
        << result.stderrText;
  }
  PlistTag root;
  PlistTag::SavePlistFile(&root, nullptr);  // no name: nothing happens
}

TEST(PlistFormatTest, StdFilesRoundTrip) {
  testsupport::TempDir dir;
  PlistTag root;
  BuildExample(&root);
  FILE* out = std::fopen((dir / "t.plist").c_str(), "wb");
  EXPECT_EQ(PlistTag::WriteStdFile(&root, out), 0);
  std::fclose(out);
  FILE* in = std::fopen((dir / "t.plist").c_str(), "rb");
  PlistTag back;
  EXPECT_EQ(PlistTag::ReadStdFile(&back, in), 0);
  std::fclose(in);
  EXPECT_EQ(Dump(back), Dump(root));

  // Through a FileClass the new text replaces a longer old file.
  const std::string path = dir / "fc.plist";
  ASSERT_TRUE(testsupport::WriteFile(path, std::string(2000, 'x')));
  FileClass file;
  FileClassFromPath(&file, path.c_str());
  ASSERT_EQ(FileClass::Open(&file, 1), 0);
  EXPECT_EQ(PlistTag::WriteFileClass(&root, &file), 0);
  PlistTag fromFile;
  EXPECT_EQ(PlistTag::ReadFileClass(&fromFile, &file), 0);
  FileClass::Close(&file);
  EXPECT_EQ(Dump(fromFile), Dump(root));
  EXPECT_EQ(testsupport::ReadFile(path), Write(&root));
}

// The names of a scores file written by python3's plistlib (as UTF-8), read
// and saved through the routines the scores file uses, then read back by
// plistlib.
class PlistUtf8ScoresTest : public ::testing::Test {
 protected:
  static std::vector<std::string> Names(PlistTag* root) {
    std::vector<std::string> names;
    PlistTag* table = PlistTag::FindTag(root, "array", "Scores", 0);
    if (!table) return names;
    for (UInt32 i = 0; i < table->child.count; ++i)
      if (PlistTag* name = PlistTag::FindTag(table->child.data[i], "string", "Name", 0))
        names.push_back(Text(name->value));
    return names;
  }
  // Loads the plistlib file and saves it again as the game would.
  void LoadAndSave() {
    FILE* in = std::fopen((kDataDir + "plistlib-utf8-scores.plist").c_str(), "rb");
    ASSERT_NE(in, nullptr);
    ASSERT_EQ(PlistTag::ReadStdFile(&loaded_, in), 0);
    std::fclose(in);
    FILE* out = std::fopen(saved_.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(PlistTag::WriteStdFile(&loaded_, out), 0);
    ASSERT_EQ(std::fclose(out), 0);
  }

  const std::vector<std::string> latin1_ = {"Zo\xEB", "\xC6r\xF8", "Caf\xE9", "??"};
  testsupport::TempDir dir_;
  const std::string saved_ = dir_ / "Scores.plist";
  PlistTag loaded_;
};

TEST_F(PlistUtf8ScoresTest, NamesRoundTripAsLatin1) {
  LoadAndSave();
  EXPECT_EQ(Names(&loaded_), latin1_);
  const std::string text = testsupport::ReadFile(saved_);
  EXPECT_NE(text.find("<string>Zo&#235;</string>"), std::string::npos) << text;
  EXPECT_NE(text.find("<string>&#198;r&#248;</string>"), std::string::npos) << text;
  PlistTag again;
  FILE* in = std::fopen(saved_.c_str(), "rb");
  ASSERT_NE(in, nullptr);
  ASSERT_EQ(PlistTag::ReadStdFile(&again, in), 0);
  std::fclose(in);
  EXPECT_EQ(Names(&again), latin1_);
}

TEST_F(PlistUtf8ScoresTest, PlistlibReadsTheSavedNames) {
  LoadAndSave();
  const testsupport::PlistlibResult read =
      testsupport::ReadWithPlistlib(saved_, "'|'.join(r['Name'] for r in d['Scores'])");
  if (!read.available) GTEST_SKIP() << "python3 is not installed";
  ASSERT_EQ(read.status, 0) << read.out;
  EXPECT_EQ(read.out, "Zo\xC3\xAB|\xC3\x86r\xC3\xB8|Caf\xC3\xA9|??");
}

}  // namespace
