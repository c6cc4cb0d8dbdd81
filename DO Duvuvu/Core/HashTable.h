// The engine's hash table of intrusive items: an item is any record that
// begins with the two links of a LockedList item. The table links items into
// its buckets and never allocates, copies or releases one.
#pragma once

#include "Lists.h"
#include "MacTypes.h"

typedef UInt32 (*HashTableHashProc)(LockedListItem* item, void* context);

class HashTable {
 public:
  // The compare function is kept by the buckets, not by the table.
  HashTable(HashTableHashProc hash, void* hashContext, LockedListCompareProc compare, void* compareContext,
            SInt32 bucketCount, UInt8 allowDuplicates, ConstStr255Param name);
  ~HashTable();
  HashTable(const HashTable&) = delete;
  HashTable& operator=(const HashTable&) = delete;

  // Rebuilds the table empty: 1 bucket for a request of 1, else the smallest
  // prime not below the request (2 below 3). The items that were linked are
  // dropped, not unlinked. 0 when the buckets could not be made (two then).
  UInt8 SetBucketCount(SInt32 requested);
  void SetHash(HashTableHashProc hash, void* context);
  void SetCompare(LockedListCompareProc compare, void* context);

  // 0 for a refused duplicate; items go to the front of their bucket.
  UInt8 Insert(LockedListItem* item);
  // Unlinks the item when it is the stored one; 0 otherwise.
  UInt8 Remove(LockedListItem* item);
  LockedListItem* Find(LockedListItem* probe);
  // Bucket order, and newest first inside a bucket.
  LockedListItem* First();
  LockedListItem* Next(LockedListItem* item);

  UInt32 BucketOf(LockedListItem* item) const;

  Str31 name;
  LockedList* buckets = nullptr;
  UInt32 bucketCount = 0;
  UInt32 itemCount = 0;
  HashTableHashProc hash = nullptr;
  void* hashContext = nullptr;
  UInt8 allowDuplicates = 0;

 private:
  bool IsLinked(LockedListItem* item);
};
