#include "Lists.h"

#include "FixedResults.h"

LockedList::LockedList(LockedListCompareProc compare, void* context) {
  if (IsOSXOrLater()) {
    owner_ = GetCurrentThreadID();
    CreateCriticalRegion(&region_);
  }
  SetCompare(compare, context);
}

LockedList::~LockedList() {
  if (region_) DeleteCriticalRegion(region_);
}

// Without threading no region exists and nothing locks.
void LockedList::Lock() {
  if (region_) EnterCriticalRegion(region_);
}

void LockedList::Unlock() {
  if (region_) ExitCriticalRegion(region_);
}

// The owner thread reads without the lock.
bool LockedList::LockForRead() {
  if (!region_ || GetCurrentThreadID() == owner_) return false;
  EnterCriticalRegion(region_);
  return true;
}

void LockedList::SetCompare(LockedListCompareProc compare, void* context) {
  Lock();
  compare_ = compare;
  context_ = context;
  Unlock();
}

LockedListCompareProc LockedList::GetCompare(void** outContext) {
  bool locked = LockForRead();
  if (outContext) *outContext = context_;
  LockedListCompareProc compare = compare_;
  if (locked) ExitCriticalRegion(region_);
  return compare;
}

void LockedList::Prepend(LockedListItem* item) {
  Lock();
  item->prev = nullptr;
  item->next = head_;
  if (head_)
    head_->prev = item;
  else
    tail_ = item;
  head_ = item;
  ++count_;
  skipItem_ = nullptr;
  Unlock();
}

void LockedList::Remove(LockedListItem* item) {
  if (item == head_) {
    RemoveFirst();
  } else if (item == tail_) {
    RemoveLast();
  } else {
    Lock();
    --count_;
    skipItem_ = nullptr;
    item->prev->next = item->next;
    item->next->prev = item->prev;
    Unlock();
  }
}

LockedListItem* LockedList::RemoveFirst() {
  Lock();
  LockedListItem* item = head_;
  if (item) {
    head_ = item->next;
    if (head_)
      head_->prev = nullptr;
    else
      tail_ = nullptr;
    --count_;
    skipItem_ = nullptr;
  }
  Unlock();
  return item;
}

LockedListItem* LockedList::RemoveLast() {
  Lock();
  LockedListItem* item = tail_;
  if (item) {
    tail_ = item->prev;
    if (tail_)
      tail_->next = nullptr;
    else
      head_ = nullptr;
    --count_;
    skipItem_ = nullptr;
  }
  Unlock();
  return item;
}

LockedListItem* LockedList::First() {
  bool locked = LockForRead();
  LockedListItem* item = head_;
  if (item && item == skipItem_) item = item->next;
  if (locked) ExitCriticalRegion(region_);
  return item;
}

LockedListItem* LockedList::Next(LockedListItem* item) {
  bool locked = LockForRead();
  LockedListItem* next = item->next;
  if (next && next == skipItem_) next = next->next;
  if (locked) ExitCriticalRegion(region_);
  return next;
}

LockedListItem* LockedList::Find(LockedListItem* probe) {
  if (!probe) return nullptr;
  bool locked = LockForRead();
  void* context = nullptr;
  LockedListCompareProc compare = GetCompare(&context);
  LockedListItem* found = nullptr;
  for (LockedListItem* item = First(); item; item = Next(item)) {
    if (compare ? CompareResultMatches(compare(item, probe, context)) : item == probe) {
      found = item;
      break;
    }
  }
  if (locked) ExitCriticalRegion(region_);
  return found;
}
