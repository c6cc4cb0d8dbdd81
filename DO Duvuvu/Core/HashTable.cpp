#include "HashTable.h"

#include <new>

#include "Random.h"
#include "Strings.h"

HashTable::HashTable(HashTableHashProc hashProc, void* hashProcContext, LockedListCompareProc compare,
                     void* compareContext, SInt32 requestedBuckets, UInt8 duplicates, ConstStr255Param tableName) {
  name[0] = 0;
  SetBucketCount(requestedBuckets);
  SetHash(hashProc, hashProcContext);
  SetCompare(compare, compareContext);
  allowDuplicates = duplicates;
  PStrCopy31(tableName, name);
}

HashTable::~HashTable() {
  SetBucketCount(2);
  delete[] buckets;
}

UInt8 HashTable::SetBucketCount(SInt32 requested) {
  LockedListCompareProc compare = nullptr;
  void* compareContext = nullptr;
  if (buckets) {
    compare = buckets[0].GetCompare(&compareContext);
    delete[] buckets;  // last bucket first
    buckets = nullptr;
  }
  // Signed test first: a negative request must not become a huge prime.
  if (requested == 1)
    bucketCount = 1;
  else if (requested < 3)
    bucketCount = 2;
  else
    bucketCount = NextPrime(static_cast<UInt32>(requested));
  itemCount = 0;
  UInt8 made = 1;
  buckets = new (std::nothrow) LockedList[bucketCount];
  if (!buckets) {
    bucketCount = 2;
    buckets = new LockedList[bucketCount];
    made = 0;
  }
  for (UInt32 i = 0; i < bucketCount; ++i) buckets[i].SetCompare(compare, compareContext);
  return made;
}

void HashTable::SetHash(HashTableHashProc hashProc, void* context) {
  hash = hashProc;
  hashContext = context;
}

void HashTable::SetCompare(LockedListCompareProc compare, void* context) {
  for (UInt32 i = 0; i < bucketCount; ++i) buckets[i].SetCompare(compare, context);
}

UInt32 HashTable::BucketOf(LockedListItem* item) const {
  UInt32 h = hash ? hash(item, hashContext) : 0;
  return (h * 16777259u + 10000019u) % bucketCount;
}

UInt8 HashTable::Insert(LockedListItem* item) {
  if (!item) return 0;
  if (!allowDuplicates && Find(item)) return 0;
  buckets[BucketOf(item)].Prepend(item);
  ++itemCount;
  return 1;
}

bool HashTable::IsLinked(LockedListItem* item) {
  LockedList& bucket = buckets[BucketOf(item)];
  for (LockedListItem* linked = bucket.First(); linked; linked = bucket.Next(linked)) {
    if (linked == item) return true;
  }
  return false;
}

UInt8 HashTable::Remove(LockedListItem* item) {
  // Unlinking a probe that is not in the bucket would corrupt its links, so
  // only the stored item itself is taken out.
  if (!item || !Find(item) || !IsLinked(item)) return 0;
  buckets[BucketOf(item)].Remove(item);
  --itemCount;
  return 1;
}

LockedListItem* HashTable::Find(LockedListItem* probe) {
  if (!probe) return nullptr;
  return buckets[BucketOf(probe)].Find(probe);
}

LockedListItem* HashTable::First() {
  for (UInt32 i = 0; i < bucketCount; ++i) {
    if (LockedListItem* item = buckets[i].First()) return item;
  }
  return nullptr;
}

LockedListItem* HashTable::Next(LockedListItem* item) {
  if (!item) return nullptr;
  UInt32 bucket = BucketOf(item);
  if (LockedListItem* next = buckets[bucket].Next(item)) return next;
  for (UInt32 i = bucket + 1; i < bucketCount; ++i) {
    if (LockedListItem* first = buckets[i].First()) return first;
  }
  return nullptr;
}
