#include "NamedArray.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Strings.h"
#include "TestSupport.h"

namespace {

std::string NameOf(const Str255 name) { return std::string(reinterpret_cast<const char*>(name + 1), name[0]); }

// An element that records its life: ids count up from 0 at each construction.
struct Logged {
  static std::vector<std::string> log;
  static int nextId;

  Logged() : id(nextId++) { Note("+%d", id); }
  ~Logged() { Note("-%d", id); }
  Logged(const Logged& other) : id(nextId++), value(other.value) {}
  Logged& operator=(const Logged& other) {
    value = other.value;
    return *this;
  }
  Logged& operator=(Logged&& other) noexcept {
    value = other.value;
    other.value = '?';
    Note("move %c", value);
    return *this;
  }

  // printf-style, which also keeps GCC 12's -Wrestrict quiet at -O3.
  template <typename V>
  static void Note(const char* format, V v) {
    char text[32];
    std::snprintf(text, sizeof text, format, v);
    log.push_back(text);
  }

  int id;
  char value = '.';
};
std::vector<std::string> Logged::log;
int Logged::nextId = 0;

class NamedArrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Logged::log.clear();
    Logged::nextId = 0;
  }
};

// a, b, c, ... in the values of a fresh array.
void Letter(NamedArray<Logged>& array) {
  for (UInt32 i = 0; i < array.count; ++i) array.data[i].value = static_cast<char>('a' + i);
}

std::string Values(const NamedArray<Logged>& array) {
  std::string text;
  for (UInt32 i = 0; i < array.count; ++i) text += array.data[i].value;
  return text;
}

TEST_F(NamedArrayTest, ClassesAreBuiltFirstToLastAndDestroyedLastFirst) {
  {
    NamedArray<Logged> array(3, PStr("pool").GetPtr());
    EXPECT_EQ(Logged::log, (std::vector<std::string>{"+0", "+1", "+2"}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(array.data[i].id, i);
    Logged::log.clear();
    array.Dispose();
    EXPECT_EQ(Logged::log, (std::vector<std::string>{"-2", "-1", "-0"}));
    EXPECT_EQ(array.count, 0u);
    Logged::log.clear();
  }
  EXPECT_TRUE(Logged::log.empty()) << "an emptied array destroyed something again";
}

TEST_F(NamedArrayTest, PlainElementsAreZeroAndClassesConstructed) {
  // Dirty the heap with blocks of the size first.
  for (int i = 0; i < 4; ++i) {
    auto* dirty = new Rect[7];
    for (int k = 0; k < 7; ++k) dirty[k] = Rect{-1, -1, -1, -1};
    delete[] dirty;
  }
  NamedArray<Rect> rects(7);
  for (UInt32 i = 0; i < rects.count; ++i) {
    EXPECT_EQ(rects.data[i].top | rects.data[i].left | rects.data[i].bottom | rects.data[i].right, 0);
  }
  rects.Resize(9, 0);
  EXPECT_EQ(rects.data[8].right, 0);

  // A record with member initialisers, as the game's sparks and stars.
  struct Spark {
    float colour[2][4] = {{1, 1, 1, 1}, {1, 1, 1, 1}};
    float x = 0, y = 0;
  };
  NamedArray<Spark> sparks(2);
  EXPECT_EQ(sparks.data[1].colour[1][3], 1.0f);
  EXPECT_EQ(sparks.data[1].x, 0.0f);
}

TEST_F(NamedArrayTest, ResizePlacesKeptElements) {
  struct Row {
    UInt32 from, to;
    UInt8 keepAtEnd;
    const char* expected;  // '.' is a new element
  };
  const Row rows[] = {
      {4, 6, 0, "abcd.."},
      {4, 6, 1, "..abcd"},
      {6, 4, 0, "abcd"},
      {6, 4, 1, "cdef"},
      {0, 2, 1, ".."},
      {3, 1, 1, "c"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.from << " -> " << row.to << " keepAtEnd " << int(row.keepAtEnd));
    NamedArray<Logged> array(row.from);
    Letter(array);
    array.Resize(row.to, row.keepAtEnd);
    EXPECT_EQ(array.count, row.to);
    EXPECT_EQ(Values(array), row.expected);
  }
}

TEST_F(NamedArrayTest, ResizeBuildsNewThenMovesThenDestroysAllOld) {
  NamedArray<Logged> array(2);
  Letter(array);
  Logged::log.clear();
  array.Resize(3, 0);
  EXPECT_EQ(Logged::log, (std::vector<std::string>{"+2", "+3", "+4", "move a", "move b", "-1", "-0"}));

  Logged::log.clear();
  Logged* block = array.data;
  array.Resize(3, 0);
  EXPECT_TRUE(Logged::log.empty());
  EXPECT_EQ(array.data, block);

  array.Resize(0, 0);
  EXPECT_EQ(array.count, 0u);
  EXPECT_EQ(Logged::log, (std::vector<std::string>{"-4", "-3", "-2"}));
}

// Appends one at a time rebuild the block only when it runs out of room, and
// the room doubles, so n appends move O(n) elements in all.
TEST_F(NamedArrayTest, AppendsRebuildTheBlockRarely) {
  NamedArray<UInt32> numbers;
  int rebuilds = 0;
  for (UInt32 i = 0; i < 100000; ++i) {
    UInt32* block = numbers.data;
    numbers.Resize(numbers.count + 1, 0);
    if (numbers.data != block) ++rebuilds;
    numbers.data[i] = i;
  }
  EXPECT_LE(rebuilds, 18);
  for (UInt32 i = 0; i < numbers.count; ++i) ASSERT_EQ(numbers.data[i], i);

  // With room, a class element is built alone and nothing moves.
  NamedArray<Logged> array(2);
  Letter(array);
  array.Resize(3, 0);  // ids 2 to 4 in a block with room for 4
  Logged::log.clear();
  array.Resize(4, 0);
  EXPECT_EQ(Logged::log, (std::vector<std::string>{"+5"}));
  EXPECT_EQ(Values(array), "ab..");
}

// Room given back by shrinking or removing is cleared before it is used again.
TEST_F(NamedArrayTest, RegrownElementsStartFresh) {
  NamedArray<Rect> rects(8);
  for (UInt32 i = 0; i < 8; ++i) rects.data[i] = Rect{-1, -1, -1, -1};
  rects.Resize(2, 0);
  rects.RemoveEntries(0, 1);
  ASSERT_GE(rects.Capacity(), 8u);
  rects.Resize(8, 0);
  EXPECT_EQ(rects.data[0].top, -1);
  for (UInt32 i = 1; i < 8; ++i) EXPECT_EQ(rects.data[i].top | rects.data[i].right, 0) << i;

  NamedArray<Logged> logged(4);
  Letter(logged);
  logged.Resize(2, 0);
  logged.Resize(4, 0);
  EXPECT_EQ(Values(logged), "ab..");
}

// A nested array's block goes with its element: not copied, not released.
TEST_F(NamedArrayTest, NestedArraysTravelWithTheirElements) {
  struct Record {
    NamedArray<SInt32> modes{0, PStr("modes").GetPtr()};
  };
  NamedArray<Record> records(2);
  records.data[1].modes.Reinit(3);
  records.data[1].modes.data[2] = 42;
  SInt32* inner = records.data[1].modes.data;

  records.Resize(4, 1);  // old 0-1 land at 2-3
  EXPECT_EQ(records.data[3].modes.data, inner);
  EXPECT_EQ(records.data[3].modes.count, 3u);
  EXPECT_EQ(records.data[3].modes.data[2], 42);
  EXPECT_EQ(NameOf(records.data[3].modes.name), "modes");
  EXPECT_EQ(records.data[0].modes.count, 0u);

  NamedArray<Record> taken(std::move(records));
  EXPECT_EQ(records.count, 0u);
  EXPECT_EQ(records.data, nullptr);
  EXPECT_EQ(taken.count, 4u);
  EXPECT_EQ(taken.data[3].modes.data, inner);
}

TEST_F(NamedArrayTest, SetNameRefusesEachStepThatWouldNotFit) {
  struct Row {
    std::string name;
    SInt16 index;
    std::string expected;
    SInt32 result;
  };
  const std::string n28(28, 'n');
  const std::string n29(29, 'n');
  const std::string n31(31, 'n');
  const Row rows[] = {
      {"child", 12, "child[12]", 0},
      {"player", -1, "player", 0},
      {"player", 0, "player[0]", 0},
      {n28, 12, n28 + "[12", -1},
      {n29, 12, n29 + "[]", 0},
      {n31, 1, n31, -1},
      {std::string(32, 'x'), -1, "", -1},
      {std::string(32, 'x'), 5, "[5]", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.name << " " << row.index);
    NamedArray<char> array;
    EXPECT_EQ(array.SetName(PStr(row.name.c_str()).GetPtr(), row.index), row.result);
    EXPECT_EQ(NameOf(array.name), row.expected);
  }

  // A refused name keeps the former one.
  NamedArray<char> named(0, PStr("kept").GetPtr());
  named.SetName(PStr(std::string(40, 'y').c_str()).GetPtr(), -1);
  EXPECT_EQ(NameOf(named.name), "kept");
}

TEST_F(NamedArrayTest, CopiesTakeElementsButNotTheName) {
  NamedArray<Logged> source(3, PStr("source").GetPtr());
  Letter(source);
  NamedArray<Logged> copy(source);
  EXPECT_EQ(Values(copy), "abc");
  EXPECT_NE(copy.data, source.data);
  EXPECT_EQ(NameOf(copy.name), "");

  NamedArray<Logged> target(1, PStr("target").GetPtr());
  target = source;
  EXPECT_EQ(Values(target), "abc");
  EXPECT_EQ(NameOf(target.name), "target");

  Logged* block = source.data;
  Logged::log.clear();
  NamedArray<Logged>& self = source;
  source = self;
  EXPECT_EQ(source.data, block);
  EXPECT_TRUE(Logged::log.empty());
}

TEST_F(NamedArrayTest, RemoveEntriesKeepsTheRestInOrder) {
  NamedArray<char> chars(5);
  for (int i = 0; i < 5; ++i) chars.data[i] = static_cast<char>('a' + i);
  chars.RemoveEntries(1, 2);
  ASSERT_EQ(chars.count, 3u);
  EXPECT_EQ(std::string(chars.data, 3), "ade");
  chars.RemoveEntries(2, 1);
  EXPECT_EQ(std::string(chars.data, 2), "ad");
  chars.RemoveEntries(0, 2);
  EXPECT_EQ(chars.count, 0u);

  NamedArray<Logged> logged(3);
  Letter(logged);
  logged.RemoveEntries(0, 1);
  EXPECT_EQ(Values(logged), "bc");
}

TEST_F(NamedArrayTest, RemovingOutsideTheArrayIsFatal) {
  struct Row {
    SInt32 first, n;
    const char* message;
  };
  const Row rows[] = {
      {3, 1, "Error: Can't remove 1 entries from array skipChar[3].\n"},
      {0, 0, "Error: Can't remove 0 entries from array skipChar[3].\n"},  // first + n - 1 wraps
      {2, 2, "Error: Can't remove 2 entries from array skipChar[3].\n"},
      // Would pass the unsigned test and corrupt the count.
      {-1, 2, "Error: Can't remove 2 entries from array skipChar[3].\n"},
      {2, -1, "Error: Can't remove -1 entries from array skipChar[3].\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.first << ", " << row.n);
    testsupport::ChildResult child = testsupport::RunInChild([&] {
      NamedArray<char> skipChar(3, PStr("skipChar").GetPtr());
      skipChar.RemoveEntries(row.first, row.n);
      std::printf("returned\n");
    });
    EXPECT_TRUE(child.exited);
    EXPECT_EQ(child.exitStatus, 1);
    EXPECT_EQ(child.stdoutText, "");
    EXPECT_EQ(child.stderrText, row.message);
  }
}

}  // namespace
