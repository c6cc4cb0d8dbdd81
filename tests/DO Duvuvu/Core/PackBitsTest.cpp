#include <gtest/gtest.h>

#include <vector>

#include "PackBits.h"
#include "TestSupport.h"

namespace {

using Bytes = std::vector<UInt8>;

Bytes Pack(Bytes row) {
  Bytes out(row.size() * 2 + 8, 0xEE);
  UInt8* src = row.data();
  UInt8* dst = out.data();
  PackBits(&src, &dst, static_cast<SInt16>(row.size()));
  EXPECT_EQ(src, row.data() + row.size());
  out.resize(static_cast<size_t>(dst - out.data()));
  return out;
}

Bytes Unpack(Bytes packed, size_t n) {
  Bytes out(n + 4, 0xEE);
  UInt8* src = packed.data();
  UInt8* dst = out.data();
  UnpackBits(&src, &dst, static_cast<SInt16>(n));
  EXPECT_EQ(dst, out.data() + n);
  out.resize(n);
  return out;
}

TEST(PackBitsTest, EncodesRunsAndLiteralGroups) {
  struct Case {
    Bytes row;
    Bytes packed;
  } cases[] = {
      {{1, 1, 1, 1, 2, 3}, {0xFD, 1, 1, 2, 3}},
      {{5, 2, 2}, {0x02, 5, 2, 2}},
      {{7}, {0x00, 7}},
      {{9, 9, 9}, {0xFE, 9}},
      {{1, 2, 3, 3, 3}, {0x01, 1, 2, 0xFE, 3}},
      {{}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Pack(c.row), c.packed);
    EXPECT_EQ(Unpack(c.packed, c.row.size()), c.row);
  }
}

TEST(PackBitsTest, UnpackSkipsTheNoOpFlagAndNeverWritesPastTheCount) {
  EXPECT_EQ(Unpack({0x80, 0xFD, 0x07}, 4), (Bytes{7, 7, 7, 7}));
  // A run longer than the row is cut at the row's end.
  Bytes out = Unpack({0xF0, 0x05}, 3);
  EXPECT_EQ(out, (Bytes{5, 5, 5}));
}

TEST(PackBitsTest, RandomRowsRoundTrip) {
  UInt32 seed = 12345;
  for (int trial = 0; trial < 500; ++trial) {
    Bytes row(static_cast<size_t>(trial % 128));
    for (UInt8& b : row) {
      seed = seed * 1103515245 + 12345;
      b = static_cast<UInt8>((seed >> 16) % 3);  // few values: many runs
    }
    EXPECT_EQ(Unpack(Pack(row), row.size()), row);
  }
}

TEST(PackBitsTest, OversizedRowsWarnAndStillCodeCorrectly) {
  testsupport::RecordingMessageBox boxes;
  Bytes row(300, 4);
  for (size_t i = 150; i < 300; ++i) row[i] = static_cast<UInt8>(i);
  Bytes packed = Pack(row);
  EXPECT_EQ(Unpack(packed, row.size()), row);
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_EQ(boxes.boxes()[0].caption, "Bad size passed to PackBits()");
  EXPECT_EQ(boxes.boxes()[0].text, "\"Bad size passed to PackBits()\"");
  EXPECT_EQ(boxes.boxes()[1].caption, "Bad size passed to UnpackBits()");
  EXPECT_EQ(boxes.boxes()[1].text, "\"Bad size passed to UnpackBits()\"");
}

TEST(PackBitsTest, BoundedUnpackStopsAtTheSourceEnd) {
  struct Case {
    Bytes packed;
    SInt32 wanted;
    SInt32 result;
  } cases[] = {
      {{0x02, 1, 2, 3}, 3, 0},
      {{0x02, 1, 2}, 3, -1},  // literal group cut short
      {{0xFD}, 4, -1},        // run without its byte
      {{}, 1, -1},
      {{0x80, 0x80}, 1, -1},
  };
  for (const Case& c : cases) {
    Bytes out(static_cast<size_t>(c.wanted));
    const UInt8* src = c.packed.data();
    UInt8* dst = out.data();
    EXPECT_EQ(UnpackBitsBounded(&src, c.packed.data() + c.packed.size(), &dst, c.wanted), c.result);
    EXPECT_LE(src, c.packed.data() + c.packed.size());
  }
}

}  // namespace
