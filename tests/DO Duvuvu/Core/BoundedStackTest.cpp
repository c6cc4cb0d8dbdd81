#include "BoundedStack.h"

#include <gtest/gtest.h>

namespace {

TEST(BoundedStackTest, CapacityOutsideTheRangeBecomesTen) {
  struct Row {
    SInt16 requested, expected;
  };
  const Row rows[] = {{1, 1}, {9999, 9999}, {20, 20}, {0, 10}, {-1, 10}, {10000, 10}, {-32768, 10}, {32767, 10}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.requested);
    BoundedStack<SInt32> stack(row.requested);
    EXPECT_EQ(stack.capacity, row.expected);
    EXPECT_EQ(stack.top, -1);
    for (SInt32 i = 0; i < stack.capacity; ++i) ASSERT_EQ(stack.data[i], 0) << i;
  }
}

// Owners push and pop by writing top and the slot themselves.
TEST(BoundedStackTest, ContainsSearchesFromTheTopDownOnly) {
  BoundedStack<SInt32> stack(20);
  SInt32 four = 4, seven = 7, nine = 9, five = 5;
  EXPECT_EQ(stack.Contains(&four), 0);
  for (SInt32 value : {4, 7, 9}) stack.data[++stack.top] = value;
  EXPECT_EQ(stack.Contains(&four), 1);
  EXPECT_EQ(stack.Contains(&nine), 1);
  EXPECT_EQ(stack.Contains(&five), 0);
  --stack.top;  // 9 popped: its slot still holds it
  EXPECT_EQ(stack.Contains(&nine), 0);
  EXPECT_EQ(stack.Contains(&seven), 1);
}

TEST(BoundedStackTest, DisposeReleasesOnceAndCreateStartsAgain) {
  BoundedStack<void*> stack(4);
  stack.data[++stack.top] = &stack;
  stack.Dispose();
  EXPECT_EQ(stack.capacity, 0);
  stack.Dispose();  // nothing left to release
  stack.Create(3);
  EXPECT_EQ(stack.capacity, 3);
  EXPECT_EQ(stack.top, -1);
  EXPECT_EQ(stack.data[0], nullptr);
}

}  // namespace
