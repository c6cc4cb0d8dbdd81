#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "GameAssets.h"
#include "Memory.h"
#include "TestSupport.h"

namespace {

std::string BigEndian(SInt32 value) {
  const auto u = static_cast<UInt32>(value);
  return std::string{static_cast<char>(u >> 24), static_cast<char>(u >> 16), static_cast<char>(u >> 8),
                     static_cast<char>(u)};
}

// 360 values: degree d holds d * 100 - 18000, with a few overridden.
std::string TableBytes() {
  std::string bytes;
  for (int d = 0; d < 360; ++d) bytes += BigEndian(d * 100 - 18000);
  return bytes;
}

class TrigTableTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (table_) DisposePtrBlock(table_);
  }

  // Loads the file and gives what went to stderr.
  std::string Load(const std::string& path) {
    ::testing::internal::CaptureStderr();
    LoadTrigTableFile(&table_, path.c_str());
    return ::testing::internal::GetCapturedStderr();
  }

  bool AllZero() const {
    for (int i = 0; i < 360; ++i) {
      if (table_[i] != 0) return false;
    }
    return true;
  }

  testsupport::TempDir dir_;
  SInt32* table_ = nullptr;
};

TEST_F(TrigTableTest, ReadsBigEndianValuesDegreeZeroFirst) {
  std::string bytes = TableBytes();
  bytes.replace(0, 4, std::string("\x00\x00\x01\x00", 4));
  bytes.replace(4, 4, BigEndian(-256));
  bytes.replace(8, 4, BigEndian(65536));
  bytes.replace(12, 4, BigEndian(-65536));
  ASSERT_TRUE(testsupport::WriteFile(dir_ / "COS", bytes));
  EXPECT_EQ(Load(dir_ / "COS"), "");
  ASSERT_NE(table_, nullptr);
  EXPECT_EQ(table_[0], 256);
  EXPECT_EQ(table_[1], -256);
  EXPECT_EQ(table_[2], 65536);
  EXPECT_EQ(table_[3], -65536);
  EXPECT_EQ(table_[90], 90 * 100 - 18000);
  EXPECT_EQ(table_[359], 359 * 100 - 18000);
}

TEST_F(TrigTableTest, ALongerFileGivesItsFirst1440Bytes) {
  ASSERT_TRUE(testsupport::WriteFile(dir_ / "SIN", TableBytes() + BigEndian(7) + "trailing"));
  EXPECT_EQ(Load(dir_ / "SIN"), "");
  EXPECT_EQ(table_[0], -18000);
  EXPECT_EQ(table_[359], 17900);
}

// A bad file leaves a zero table, says so once on stderr naming the file,
// and the game carries on.
TEST_F(TrigTableTest, MissingShortOrOutOfRangeFilesGiveAZeroTable) {
  std::string outOfRange = TableBytes();
  outOfRange.replace(4 * 200, 4, BigEndian(65537));
  std::string negative = TableBytes();
  negative.replace(4 * 359, 4, BigEndian(-65537));
  const struct {
    const char* label;
    const char* name;
    std::string bytes;
    bool write;
  } cases[] = {
      {"missing", "none", "", false},
      {"empty", "empty", "", true},
      {"one byte short", "short", TableBytes().substr(0, 1439), true},
      {"above the range", "big", outOfRange, true},
      {"below the range", "small", negative, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    if (c.write) {
      ASSERT_TRUE(testsupport::WriteFile(dir_ / c.name, c.bytes));
    }
    // A good table first, so that stale values would show.
    ASSERT_TRUE(testsupport::WriteFile(dir_ / "good", TableBytes()));
    Load(dir_ / "good");
    ASSERT_FALSE(AllZero());
    const std::string err = Load(dir_ / c.name);
    ASSERT_NE(table_, nullptr);
    EXPECT_TRUE(AllZero());
    EXPECT_NE(err.find(dir_ / c.name), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
}

}  // namespace
