#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Memory.h"
#include "PlistTag.h"
#include "ResultCodes.h"
#include "Strings.h"
#include "TestSupport.h"

namespace {

std::string Text(ConstStringPtr s) {
  return std::string(reinterpret_cast<const char*>(s + 1), s[0]);
}

std::string DataText(const PlistTag* tag) {
  return tag->data ? std::string(tag->data, static_cast<size_t>(GetPtrBlockSize(tag->data))) : std::string();
}

// Runs body in a child and expects a fatal error with that box line.
void ExpectFatal(const std::function<void()>& body, const std::string& line) {
  auto result = testsupport::RunInChild(body);
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.stderrText.find(line), std::string::npos) << result.stderrText;
}

TEST(PlistTest, NewTagUpdatesAnExistingPairInADict) {
  PlistTag root;
  PlistTag* a = PlistTag::NewTag(&root, "integer", "Level", "1");
  PlistTag* b = PlistTag::NewTag(&root, "integer", "Level", "2");
  EXPECT_EQ(a, b);
  EXPECT_EQ(Text(a->value), "2");
  PlistTag* s = PlistTag::NewTag(&root, "string", "Level", "x");
  EXPECT_NE(s, a) << "another type is another child";
  EXPECT_EQ(root.child.count, 2u);
  EXPECT_EQ(a->parent, &root);

  PlistTag* tooLong = PlistTag::NewTag(&root, "string", std::string(32, 'n').c_str(), "v");
  EXPECT_EQ(tooLong->name[0], 0) << "a 32-character name is refused";

  // Names and values may hold markup characters now.
  PlistTag* markup = PlistTag::NewTag(&root, "string", "a<b>", "c>d<");
  EXPECT_EQ(Text(markup->name), "a<b>");
  EXPECT_EQ(Text(markup->value), "c>d<");
}

TEST(PlistTest, ArrayChildrenAreUnnamedAndDictsIgnoreTheValue) {
  PlistTag root;
  PlistTag* array = PlistTag::NewTag(&root, "array", "List", "");
  PlistTag* d = PlistTag::NewTag(array, "dict", "", "ignored");
  EXPECT_EQ(Text(d->type), "dict");
  EXPECT_EQ(d->value[0], 0);
  PlistTag::NewTag(array, "integer", "", "1");
  PlistTag::NewTag(array, "integer", "", "1");
  EXPECT_EQ(array->child.count, 3u) << "arrays never merge";
}

TEST(PlistTest, NewTagMisuseIsFatal) {
  ExpectFatal([] { PlistTag::NewTag(nullptr, "string", "a", "b"); },
              "Error: PlistTag::NewTag() failed because the PlistTag is nil.");
  ExpectFatal(
      [] {
        PlistTag root;
        PlistTag::NewTag(PlistTag::NewTag(&root, "array", "A", ""), "integer", "n", "1");
      },
      "Error: PlistTag::NewTag() failed because array children can't have names.");
  ExpectFatal(
      [] {
        PlistTag root;
        PlistTag::NewTag(&root, "str<ing", "a", "b");
      },
      "PlistTag::NewTag(): Error: Illegal character '<' or '>' in type string.");
  ExpectFatal(
      [] {
        PlistTag root;
        PlistTag::NewTag(PlistTag::NewTag(&root, "string", "s", ""), "string", "a", "b");
      },
      "PlistTag::NewTag(): Error: Can't create a plist child from a \"string\" tag.");
}

TEST(PlistTest, FindTagCreatesWithDefaultValues) {
  PlistTag root;
  struct Case {
    const char* type;
    const char* value;
  } cases[] = {{"integer", "0"}, {"real", "0"}, {"boolean", "false/"}, {"string", ""}, {"dict", ""}};
  for (const Case& c : cases) {
    EXPECT_EQ(PlistTag::FindTag(&root, c.type, "k", 0), nullptr);
    PlistTag* made = PlistTag::FindTag(&root, c.type, "k", 1);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(Text(made->value), c.value) << c.type;
    EXPECT_EQ(PlistTag::FindTag(&root, c.type, "k", 0), made);
  }
  EXPECT_EQ(PlistTag::FindTag(&root, "integer", "K", 0), nullptr) << "case-sensitive";

  Str255 value;
  CToPStr("untouched", value);
  EXPECT_EQ(PlistTag::FindTagValue(&root, "string", "missing", value, 0), nullptr);
  EXPECT_EQ(Text(value), "untouched");
  PlistTag::NewTag(&root, "string", "present", "hello");
  EXPECT_NE(PlistTag::FindTagValue(&root, "string", "present", value, 0), nullptr);
  EXPECT_EQ(Text(value), "hello");
}

TEST(PlistTest, DeletePruneAndCopy) {
  PlistTag root;
  PlistTag::NewTag(&root, "array", "Empty", "");
  PlistTag* outer = PlistTag::NewTag(&root, "dict", "Outer", "");
  PlistTag::NewTag(outer, "dict", "Inner", "");
  PlistTag::NewTag(&root, "string", "Keep", "");
  PlistTag::PruneEmpty(&root);
  ASSERT_EQ(root.child.count, 1u);
  EXPECT_EQ(Text(root.child.data[0]->name), "Keep");

  EXPECT_EQ(PlistTag::DeleteChild(&root, "Nope"), kErrFailed);
  EXPECT_EQ(PlistTag::DeleteChild(&root, "Keep"), 0);
  EXPECT_EQ(root.child.count, 0u);

  PlistTag source;
  PlistTag* list = PlistTag::NewTag(&source, "array", "List", "");
  PlistTag::NewTag(PlistTag::NewTag(list, "dict", "", ""), "integer", "N", "7");
  PlistTag::SetData(&source, "Blob", "ab", 2, 0);
  PlistTag destination;
  PlistTag::NewTag(&destination, "string", "old", "gone");
  PlistTag::CopyTag(&source, &destination);
  ASSERT_EQ(destination.child.count, 2u) << "old children are deleted first";
  EXPECT_EQ(Text(destination.child.name), "destTag->child");
  PlistTag* copied = destination.child.data[0];
  EXPECT_EQ(copied->parent, &destination);
  EXPECT_EQ(Text(copied->child.data[0]->child.data[0]->value), "7");
  EXPECT_EQ(destination.child.data[1]->data, nullptr) << "the data block is not copied";

  PlistTag::Delete(list);
  EXPECT_EQ(source.child.count, 1u);
}

TEST(PlistTest, DeleteOfAStrayChildIsFatal) {
  ExpectFatal(
      [] {
        PlistTag root;
        auto* stray = new PlistTag;
        stray->parent = &root;
        PlistTag::Delete(stray);
      },
      "PlistTag::Delete(): Error: Parent tag's child list does not contain \"this\"!");
}

TEST(PlistTest, SetStringKeepsToItsLimits) {
  PlistTag tag;
  tag.SetString("short");
  EXPECT_EQ(Text(tag.value), "short");
  tag.SetString255(std::string(300, 'x').c_str());
  EXPECT_EQ(tag.value[0], 255);
  const std::string longName(32, 'y');
  ExpectFatal(
      [&] {
        PlistTag t;
        t.SetString(longName.c_str());
      },
      longName + ": Error: PlistTag::SetString() is limited to 31 characters.  Use SetString255() instead.");
}

TEST(PlistTest, DataIsStoredAsBase64AndPackedOnRequest) {
  PlistTag root;
  std::vector<UInt8> zeros(300, 0);
  EXPECT_EQ(PlistTag::SetData(&root, "Z", zeros.data(), 300, 1), 0);
  PlistTag* node = PlistTag::FindTag(&root, "data", "Z", 0);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(DataText(node), "AAABLIIAggDTAA==");
  Ptr block = nullptr;
  SInt32 length = 0;
  EXPECT_EQ(PlistTag::GetData(&root, "Z", &block, &length, 1), 0);
  ASSERT_EQ(length, 300);
  EXPECT_EQ(GetPtrBlockSize(block), 300);
  EXPECT_EQ(std::memcmp(block, zeros.data(), 300), 0);
  DisposePtrBlock(block);

  // A memory-manager block with length -1 takes the block's size.
  Ptr source = NewPtrBlockClear(3);
  std::memcpy(source, "\x01\x02\x03", 3);
  PlistTag::SetData(&root, "Icon", source, -1, 0);
  DisposePtrBlock(source);
  EXPECT_EQ(DataText(PlistTag::FindTag(&root, "data", "Icon", 0)), "AQID");

  NamedArray<int16_t> words(2);
  words.data[0] = 0x0102;
  words.data[1] = 0x0304;
  PlistTag::SetDataArray16(&root, "W", &words, 0);
  EXPECT_EQ(DataText(PlistTag::FindTag(&root, "data", "W", 0)), "AQIDBA==");
  NamedArray<int16_t> back;
  PlistTag::GetDataArray16(&root, "W", &back, 0);
  ASSERT_EQ(back.count, 2u);
  EXPECT_EQ(back.data[1], 0x0304);
  EXPECT_EQ(Text(back.name), "(*array)");

  NamedArray<uint8_t> bytes(130);
  for (UInt32 i = 0; i < 130; ++i) bytes.data[i] = static_cast<uint8_t>(i / 10);
  PlistTag::SetDataArray8(&root, "B", &bytes, 1);
  NamedArray<uint8_t> bytesBack;
  PlistTag::GetDataArray8(&root, "B", &bytesBack, 1);
  ASSERT_EQ(bytesBack.count, 130u);
  EXPECT_EQ(std::memcmp(bytesBack.data, bytes.data, 130), 0);
  PlistTag::GetDataArray8(&root, "missing", &bytesBack, 1);
  EXPECT_EQ(bytesBack.count, 0u);
}

TEST(PlistTest, GetDataLeavesOutputsAloneWhenItFails) {
  PlistTag root;
  Ptr block = reinterpret_cast<Ptr>(0x1234);
  SInt32 length = 77;
  EXPECT_EQ(PlistTag::GetData(&root, "missing", &block, &length, 0), kErrFailed);
  EXPECT_EQ(block, reinterpret_cast<Ptr>(0x1234));
  EXPECT_EQ(length, 77);

  // Damaged packed data, stored unpacked so GetData must unpack it.
  struct Case {
    std::vector<UInt8> packed;
    const char* what;
  } cases[] = {
      {{0x00, 0x00}, "a block of 2 bytes"},
      {{0xFF, 0xFF, 0xFF, 0xFF, 0x82, 0x00}, "a count of 0xFFFFFFFF"},
      {{0x00, 0x00, 0x01, 0x2C, 0x82, 0x00}, "a stream that ends before the count"},
      {{0x00, 0x00, 0x00, 0x05, 0x04, 0x01, 0x02}, "a literal group cut short"},
      {{0x00, 0x00, 0x00, 0x81, 0x80, 0x80}, "a count above 64 per packed byte"},
  };
  for (const Case& c : cases) {
    PlistTag::SetData(&root, "bad", c.packed.data(), static_cast<SInt32>(c.packed.size()), 0);
    EXPECT_EQ(PlistTag::GetData(&root, "bad", &block, &length, 1), -1) << c.what;
    EXPECT_EQ(block, reinterpret_cast<Ptr>(0x1234)) << c.what;
    EXPECT_EQ(length, 77) << c.what;
  }

  // A data node without a block answers an empty block.
  PlistTag::NewTag(&root, "data", "empty", "");
  block = nullptr;
  EXPECT_EQ(PlistTag::GetData(&root, "empty", &block, &length, 1), 0);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GetPtrBlockSize(block), 0);
  EXPECT_EQ(length, 0);
  DisposePtrBlock(block);
}

TEST(PlistTest, ManyChildrenKeepTheirOrder) {
  PlistTag root;
  PlistTag* array = PlistTag::NewTag(&root, "array", "A", "");
  for (int i = 0; i < 33000; ++i) PlistTag::NewTag(array, "dict", "", "");
  EXPECT_EQ(array->child.count, 33000u) << "no 16-bit wrap";
  EXPECT_EQ(array->child.data[32999]->parent, array);
  PlistTag::DeleteChildren(array);
  EXPECT_EQ(array->child.count, 0u);
}

}  // namespace
