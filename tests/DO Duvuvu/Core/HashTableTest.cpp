#include "HashTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "Strings.h"

namespace {

struct Item {
  LockedListItem links;
  UInt32 key;
};

Item* AsItem(LockedListItem* links) { return reinterpret_cast<Item*>(links); }

UInt32 KeyHash(LockedListItem* item, void*) { return AsItem(item)->key; }
UInt32 ZeroHash(LockedListItem*, void*) { return 0; }
SInt32 SameKey(LockedListItem* a, LockedListItem* b, void*) { return AsItem(a)->key == AsItem(b)->key; }

std::string NameOf(const Str31 name) { return std::string(reinterpret_cast<const char*>(name + 1), name[0]); }

// Keys in First/Next order.
std::vector<UInt32> Walk(HashTable& table) {
  std::vector<UInt32> keys;
  for (LockedListItem* item = table.First(); item; item = table.Next(item)) keys.push_back(AsItem(item)->key);
  return keys;
}

TEST(HashTableTest, BucketCountIsOneOrAPrime) {
  struct Row {
    SInt32 requested;
    UInt32 expected;
  };
  const Row rows[] = {{0, 2}, {1, 1}, {2, 2}, {3, 3}, {4, 5}, {9, 11}, {257, 257}, {-5, 2}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.requested);
    HashTable table(KeyHash, nullptr, SameKey, nullptr, row.requested, 0, PStr("t").GetPtr());
    EXPECT_EQ(table.bucketCount, row.expected);
    EXPECT_EQ(table.First(), nullptr);
  }
}

TEST(HashTableTest, ItemsOfOneBucketComeBackNewestFirst) {
  HashTable table(ZeroHash, nullptr, nullptr, nullptr, 257, 1, PStr("pixmapLIST").GetPtr());
  EXPECT_EQ(NameOf(table.name), "pixmapLIST");
  Item items[4] = {{{}, 10}, {{}, 11}, {{}, 12}, {{}, 13}};
  for (Item& item : items) {
    EXPECT_EQ(table.Insert(&item.links), 1);
    EXPECT_EQ(table.BucketOf(&item.links), 149u);  // 10000019 mod 257
  }
  EXPECT_EQ(table.itemCount, 4u);
  EXPECT_EQ(table.buckets[149].First(), &items[3].links);
  EXPECT_EQ(Walk(table), (std::vector<UInt32>{13, 12, 11, 10}));
  EXPECT_EQ(table.Next(&items[0].links), nullptr);
}

TEST(HashTableTest, WalkVisitsEveryItemOnceInBucketOrder) {
  HashTable table(KeyHash, nullptr, SameKey, nullptr, 11, 0, PStr("keys").GetPtr());
  std::vector<Item> items(40);
  for (UInt32 i = 0; i < items.size(); ++i) {
    items[i].key = i * 7919u;
    ASSERT_EQ(table.Insert(&items[i].links), 1);
  }
  std::vector<UInt32> keys = Walk(table);
  ASSERT_EQ(keys.size(), items.size());
  EXPECT_EQ(std::set<UInt32>(keys.begin(), keys.end()).size(), items.size());
  UInt32 previous = 0;
  for (LockedListItem* item = table.First(); item; item = table.Next(item)) {
    UInt32 bucket = table.BucketOf(item);
    EXPECT_GE(bucket, previous);
    EXPECT_EQ(bucket, (AsItem(item)->key * 16777259u + 10000019u) % 11u);
    previous = bucket;
  }
}

TEST(HashTableTest, DuplicatesAreRefusedUnlessAllowed) {
  Item first{{}, 7}, second{{}, 7};
  HashTable unique(KeyHash, nullptr, SameKey, nullptr, 5, 0, PStr("unique").GetPtr());
  EXPECT_EQ(unique.Insert(&first.links), 1);
  EXPECT_EQ(unique.Insert(&second.links), 0);
  EXPECT_EQ(unique.itemCount, 1u);
  EXPECT_EQ(unique.Find(&second.links), &first.links);

  // The compare function survives a rebuild, which empties the table.
  EXPECT_EQ(unique.SetBucketCount(9), 1);
  EXPECT_EQ(unique.bucketCount, 11u);
  EXPECT_EQ(unique.itemCount, 0u);
  EXPECT_EQ(unique.First(), nullptr);
  EXPECT_EQ(unique.Insert(&first.links), 1);
  EXPECT_EQ(unique.Insert(&second.links), 0);

  Item third{{}, 7}, fourth{{}, 7};
  HashTable many(KeyHash, nullptr, SameKey, nullptr, 5, 1, PStr("many").GetPtr());
  EXPECT_EQ(many.Insert(&third.links), 1);
  EXPECT_EQ(many.Insert(&fourth.links), 1);
  EXPECT_EQ(many.itemCount, 2u);
}

TEST(HashTableTest, RemoveTakesOutOnlyTheStoredItem) {
  HashTable table(KeyHash, nullptr, SameKey, nullptr, 3, 0, PStr("t").GetPtr());
  Item a{{}, 1}, b{{}, 4}, c{{}, 7};  // all in one bucket of 3
  for (Item* item : {&a, &b, &c}) table.Insert(&item->links);
  ASSERT_EQ(table.BucketOf(&a.links), table.BucketOf(&c.links));

  // A probe with a stored key is not linked: unlinking it would corrupt the
  // bucket.
  Item probe{{nullptr, nullptr}, 4};
  EXPECT_EQ(table.Remove(&probe.links), 0);
  EXPECT_EQ(table.itemCount, 3u);
  Item absent{{}, 99};
  EXPECT_EQ(table.Remove(&absent.links), 0);

  EXPECT_EQ(table.Remove(table.Find(&probe.links)), 1);
  EXPECT_EQ(table.itemCount, 2u);
  EXPECT_EQ(table.Find(&probe.links), nullptr);
  EXPECT_EQ(Walk(table), (std::vector<UInt32>{7, 1}));
}

TEST(HashTableTest, OverlongNameIsRefused) {
  HashTable table(KeyHash, nullptr, nullptr, nullptr, 3, 0, PStr(std::string(32, 'n').c_str()).GetPtr());
  EXPECT_EQ(NameOf(table.name), "");
}

}  // namespace
