#include "Lists.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

struct Node {
  Node* prev;
  Node* next;
  int key;
};

// Walks the chain both ways and checks it against the list's own counts.
template <typename List, typename N>
std::vector<N*> Chain(const List& list) {
  std::vector<N*> forward;
  N* previous = nullptr;
  for (N* node = list.First(); node; node = node->next) {
    EXPECT_EQ(node->prev, previous);
    forward.push_back(node);
    previous = node;
  }
  EXPECT_EQ(list.Last(), previous);
  EXPECT_EQ(list.Count(), forward.size());
  return forward;
}

std::vector<Node*> Nodes(const LinkedList<Node>& list) { return Chain<LinkedList<Node>, Node>(list); }

SInt32 SameKey(Node* node, Node* probe, void*) { return node->key == probe->key; }
// Only the low byte of a compare result counts: 256 is "no match".
SInt32 Answer256(Node*, Node*, void*) { return 256; }
SInt32 Answer257(Node*, Node*, void*) { return 257; }

class LinkedListTest : public ::testing::Test {
 protected:
  Node a{nullptr, nullptr, 1}, b{nullptr, nullptr, 2}, c{nullptr, nullptr, 3};
  LinkedList<Node> list;
};

TEST_F(LinkedListTest, RemovingFromEmptyAndOneNodeLists) {
  EXPECT_EQ(list.RemoveFirst(), nullptr);
  EXPECT_EQ(list.RemoveLast(), nullptr);
  EXPECT_EQ(list.Count(), 0u);

  list.Append(&a);
  EXPECT_EQ(list.RemoveFirst(), &a);
  EXPECT_EQ(list.First(), nullptr);
  EXPECT_EQ(list.Last(), nullptr);

  list.Append(&a);
  EXPECT_EQ(list.RemoveLast(), &a);
  EXPECT_EQ(list.First(), nullptr);
  EXPECT_EQ(list.Last(), nullptr);
  EXPECT_EQ(list.Count(), 0u);

  list.Append(&a);
  list.Remove(&a);
  EXPECT_TRUE(Nodes(list).empty());
}

TEST_F(LinkedListTest, AppendAndRemoveKeepTheChainWhole) {
  list.Append(&a);
  list.Append(&b);
  list.Append(&c);
  EXPECT_EQ(Nodes(list), (std::vector<Node*>{&a, &b, &c}));

  list.Remove(&b);
  EXPECT_EQ(Nodes(list), (std::vector<Node*>{&a, &c}));
  list.Append(&b);
  list.Remove(&a);
  EXPECT_EQ(Nodes(list), (std::vector<Node*>{&c, &b}));
  list.Remove(&b);
  EXPECT_EQ(Nodes(list), (std::vector<Node*>{&c}));
  EXPECT_EQ(c.next, nullptr);
}

TEST_F(LinkedListTest, FindMatchesOnTheLowByteOfTheCompareResult) {
  list.Append(&a);
  list.Append(&b);
  Node probe{nullptr, nullptr, 2};

  EXPECT_EQ(list.Find(nullptr), nullptr);
  // Without a compare function only the node itself matches.
  EXPECT_EQ(list.Find(&probe), nullptr);
  EXPECT_EQ(list.Find(&b), &b);

  int context = 0;
  list.SetCompare(SameKey, &context);
  EXPECT_EQ(list.Find(&probe), &b);
  void* got = nullptr;
  EXPECT_EQ(list.GetCompare(&got), &SameKey);
  EXPECT_EQ(got, &context);
  EXPECT_EQ(list.GetCompare(nullptr), &SameKey);

  list.SetCompare(Answer256, nullptr);
  EXPECT_EQ(list.Find(&probe), nullptr);
  list.SetCompare(Answer257, nullptr);
  EXPECT_EQ(list.Find(&probe), &a);
}

struct Screen {
  int id;
};

// A registry can be a constant-initialised static.
constinit PtrList<Screen> gScreens;

TEST(PtrListTest, StaticListStartsEmptyAndMatchesByIdentity) {
  Screen s{1};
  EXPECT_EQ(gScreens.Count(), 0u);
  EXPECT_EQ(gScreens.LastValue(), nullptr);
  gScreens.AddValue(&s);
  EXPECT_EQ(gScreens.FindValue(&s), &s);
  EXPECT_EQ(gScreens.RemoveValue(&s), 1);
  EXPECT_EQ(gScreens.Count(), 0u);
}

TEST(PtrListTest, LastValueFollowsTheShownScreens) {
  Screen first{1}, second{2};
  PtrList<Screen> screens;
  EXPECT_EQ(screens.LastValue(), nullptr);
  EXPECT_EQ(screens.AddValue(&first), 1);
  EXPECT_EQ(screens.AddValue(&second), 1);
  EXPECT_EQ(screens.LastValue(), &second);
  EXPECT_EQ(screens.RemoveValue(&second), 1);
  EXPECT_EQ(screens.LastValue(), &first);
  EXPECT_EQ(screens.RemoveValue(&first), 1);
  EXPECT_EQ(screens.LastValue(), nullptr);
}

TEST(PtrListTest, RemoveValueTakesTheNodeNearestTheHead) {
  Screen x{1}, y{2}, absent{3};
  PtrList<Screen> list;
  list.AddValue(&x);
  list.AddValue(&y);
  list.AddValue(&x);
  PtrNode<Screen>* tailNode = list.Last();

  EXPECT_EQ(list.RemoveValue(&absent), 0);
  EXPECT_EQ(list.Count(), 3u);
  EXPECT_EQ(list.FindValue(&absent), nullptr);

  EXPECT_EQ(list.RemoveValue(&x), 1);
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(list.First()->value, &y);
  EXPECT_EQ(list.Last(), tailNode);  // the second copy's node stayed
  EXPECT_EQ(x.id, 1);                // the value is never touched

  EXPECT_EQ(list.RemoveValue(&x), 1);
  EXPECT_EQ(list.RemoveValue(&y), 1);
  EXPECT_EQ(list.Count(), 0u);
}

SInt32 SameScreenId(Screen* a, Screen* b, void* context) {
  ++*static_cast<int*>(context);
  return a->id == b->id;
}
SInt32 ScreenAnswer256(Screen*, Screen*, void*) { return 256; }

TEST(PtrListTest, UserCompareMatchesValuesOnItsLowByte) {
  Screen stored{7}, lookalike{7};
  int calls = 0;
  PtrList<Screen> list(SameScreenId, &calls);
  list.AddValue(&stored);

  void* context = nullptr;
  EXPECT_EQ(list.GetCompare(&context), &PtrList<Screen>::CompareNodes);
  EXPECT_EQ(context, &list);
  EXPECT_EQ(list.FindValue(&lookalike), &stored);
  EXPECT_EQ(calls, 1);

  list.SetCompare(ScreenAnswer256, nullptr);
  EXPECT_EQ(list.FindValue(&lookalike), nullptr);
  EXPECT_EQ(list.RemoveValue(&stored), 0);

  list.SetCompare(nullptr, nullptr);
  EXPECT_EQ(list.FindValue(&lookalike), nullptr);
  EXPECT_EQ(list.RemoveValue(&stored), 1);
}

struct Item {
  LockedListItem links;
  int key;
};

LockedListItem* L(Item& item) { return &item.links; }

std::vector<LockedListItem*> Items(LockedList& list) {
  std::vector<LockedListItem*> items;
  LockedListItem* previous = nullptr;
  for (LockedListItem* item = list.First(); item; item = list.Next(item)) {
    EXPECT_EQ(item->prev, previous);
    items.push_back(item);
    previous = item;
  }
  return items;
}

SInt32 SameItemKey(LockedListItem* item, LockedListItem* probe, void*) {
  return reinterpret_cast<Item*>(item)->key == reinterpret_cast<Item*>(probe)->key;
}
SInt32 ItemAnswer256(LockedListItem*, LockedListItem*, void*) { return 256; }

class LockedListTest : public ::testing::Test {
 protected:
  Item a{{}, 1}, b{{}, 2}, c{{}, 3};
  LockedList list;
};

TEST_F(LockedListTest, PrependPutsTheNewestFirst) {
  EXPECT_EQ(list.First(), nullptr);
  EXPECT_EQ(list.RemoveFirst(), nullptr);
  EXPECT_EQ(list.RemoveLast(), nullptr);

  list.Prepend(L(a));
  list.Prepend(L(b));
  list.Prepend(L(c));
  EXPECT_EQ(Items(list), (std::vector<LockedListItem*>{L(c), L(b), L(a)}));

  list.Remove(L(b));
  EXPECT_EQ(Items(list), (std::vector<LockedListItem*>{L(c), L(a)}));
  EXPECT_EQ(list.RemoveLast(), L(a));
  EXPECT_EQ(list.RemoveLast(), L(c));
  EXPECT_EQ(list.First(), nullptr);

  list.Prepend(L(a));
  list.Prepend(L(b));
  list.Remove(L(b));
  list.Remove(L(a));
  EXPECT_EQ(list.First(), nullptr);
  list.Prepend(L(c));
  EXPECT_EQ(Items(list), (std::vector<LockedListItem*>{L(c)}));
  EXPECT_EQ(c.links.next, nullptr);
}

TEST_F(LockedListTest, FindUsesTheCompareFunctionsLowByte) {
  list.Prepend(L(a));
  list.Prepend(L(b));
  Item probe{{}, 1};
  EXPECT_EQ(list.Find(nullptr), nullptr);
  EXPECT_EQ(list.Find(L(probe)), nullptr);
  EXPECT_EQ(list.Find(L(a)), L(a));

  int context = 0;
  list.SetCompare(SameItemKey, &context);
  void* got = nullptr;
  EXPECT_EQ(list.GetCompare(&got), &SameItemKey);
  EXPECT_EQ(got, &context);
  EXPECT_EQ(list.Find(L(probe)), L(a));

  list.SetCompare(ItemAnswer256, nullptr);
  EXPECT_EQ(list.Find(L(probe)), nullptr);
}

TEST_F(LockedListTest, OnlyReadsOffTheOwnerThreadTakeTheRegion) {
  CriticalRegion region = list.RegionForTesting();
  ASSERT_NE(region, nullptr);  // threading is on here
  list.SetCompare(SameItemKey, nullptr);
  list.Prepend(L(a));
  list.Prepend(L(b));
  Item probe{{}, 1};

  UInt64 before = CriticalRegionEntriesForTesting(region);
  EXPECT_EQ(list.Find(L(probe)), L(a));
  EXPECT_EQ(list.First(), L(b));
  EXPECT_EQ(list.Next(L(b)), L(a));
  EXPECT_EQ(list.GetCompare(nullptr), &SameItemKey);
  EXPECT_EQ(CriticalRegionEntriesForTesting(region), before);

  // Changes lock even on the owner thread.
  list.Prepend(L(c));
  EXPECT_EQ(CriticalRegionEntriesForTesting(region), before + 1);
  list.Remove(L(c));
  EXPECT_EQ(CriticalRegionEntriesForTesting(region), before + 2);

  before = CriticalRegionEntriesForTesting(region);
  LockedListItem* found = nullptr;
  LockedListItem* first = nullptr;
  std::thread reader([&] {
    // The region is recursive: Find re-enters it through First and Next.
    found = list.Find(L(probe));
    first = list.First();
  });
  reader.join();
  EXPECT_EQ(found, L(a));
  EXPECT_EQ(first, L(b));
  EXPECT_GT(CriticalRegionEntriesForTesting(region), before + 1);
}

TEST(LockedListThreads, ChangesFromManyThreadsKeepEveryItem) {
  constexpr int kThreads = 4;
  constexpr int kPerThread = 2000;
  LockedList list;
  std::vector<std::vector<Item>> items(kThreads, std::vector<Item>(kPerThread));
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&list, &mine = items[t]] {
      for (Item& item : mine) list.Prepend(&item.links);
      // Take half back out again, from both ends of the list.
      for (int i = 0; i < kPerThread / 2; ++i) {
        if (i & 1)
          list.RemoveFirst();
        else
          list.RemoveLast();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(Items(list).size(), static_cast<size_t>(kThreads * kPerThread / 2));
}

}  // namespace
