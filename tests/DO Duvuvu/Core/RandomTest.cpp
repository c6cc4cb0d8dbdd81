#include "Random.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

// The step written out in 64 bits, to check the 32-bit wrap of the product.
UInt32 ReferenceStep(UInt32 seed) {
  uint64_t product = (static_cast<uint64_t>(seed) * 331691u) & 0xFFFFFFFFu;
  return static_cast<UInt32>(product % 199604759u + 65089u);
}

class RandomTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = RandomSeed; }
  void TearDown() override { RandomSeed = saved_; }
  UInt32 saved_ = 0;
};

TEST_F(RandomTest, NextRandomFollowsTheRecurrence) {
  struct Row {
    UInt32 seed, next;
  };
  const Row rows[] = {{0, 65089}, {1, 396780}, {0xFFFFFFFFu, ReferenceStep(0xFFFFFFFFu)},
                      {199604759u, ReferenceStep(199604759u)}};
  for (const Row& row : rows) {
    RandomSeed = row.seed;
    EXPECT_EQ(NextRandom(), row.next) << "from " << row.seed;
    EXPECT_EQ(RandomSeed, row.next);
  }

  RandomSeed = 12345;
  const UInt32 expected[] = {102695304, 25391693, 68112612, 14055985, 8617215};
  for (UInt32 value : expected) EXPECT_EQ(NextRandom(__FILE__, __LINE__, "test"), value);
}

TEST_F(RandomTest, ResultsStayInTheGeneratorsRange) {
  RandomSeed = 7;
  for (int i = 0; i < 10000; ++i) {
    UInt32 value = NextRandom();
    ASSERT_GE(value, 65089u);
    ASSERT_LE(value, 199669847u);
  }
}

TEST_F(RandomTest, NextRandomFromStepsOnlyTheCallersSeed) {
  RandomSeed = 99;
  UInt32 own = 12345;
  EXPECT_EQ(NextRandomFrom(&own), 102695304u);
  EXPECT_EQ(own, 102695304u);
  EXPECT_EQ(RandomSeed, 99u);
}

TEST_F(RandomTest, RandomRangeTakesTheUnsignedRemainder) {
  RandomSeed = 5;
  EXPECT_EQ(RandomRange(5, 5), 5);
  EXPECT_EQ(RandomSeed, 5u) << "an empty range draws nothing";

  struct Row {
    SInt32 lo, hi;
  };
  const Row rows[] = {{0, 10}, {-3, 3}, {100, 101}, {-50, -10}};
  for (const Row& row : rows) {
    for (UInt32 seed : {0u, 1u, 12345u, 0xDEADBEEFu}) {
      RandomSeed = seed;
      UInt32 next = ReferenceStep(seed);
      SInt32 expected = static_cast<SInt32>(static_cast<UInt32>(row.lo) +
                                            next % static_cast<UInt32>(row.hi - row.lo));
      EXPECT_EQ(RandomRange(row.lo, row.hi), expected) << row.lo << ".." << row.hi;
      EXPECT_GE(expected, row.lo);
      EXPECT_LT(expected, row.hi);
      EXPECT_EQ(RandomSeed, next);
    }
  }
}

TEST_F(RandomTest, SeedRandomFromClockUsesLocalCalendarSeconds) {
  testsupport::FakeClock clock;
  clock.wallSeconds = 1700000000;
  clock.localOffsetSeconds = 3600;
  SeedRandomFromClock();
  EXPECT_EQ(RandomSeed, 1700000000u + 3600u + 2082844800u);
}

TEST(PrimeTest, IsPrimeAndNextPrime) {
  struct Row {
    UInt32 n;
    UInt8 prime;
  };
  const Row primes[] = {{0, 0},  {1, 0},  {2, 1},  {3, 1},   {4, 0},          {9, 0},
                        {25, 0}, {49, 0}, {97, 1}, {121, 0}, {2147483647u, 1}, {4294967291u, 1},
                        {4294967295u, 0}};
  for (const Row& row : primes) EXPECT_EQ(IsPrime(row.n), row.prime) << row.n;

  struct Next {
    UInt32 n, prime;
  };
  const Next nexts[] = {{0, 2}, {1, 2}, {2, 2}, {3, 3}, {8, 11}, {13, 13}, {14, 17}, {24, 29},
                        {257, 257}, {1000, 1009}};
  for (const Next& row : nexts) EXPECT_EQ(NextPrime(row.n), row.prime) << row.n;
}

}  // namespace
