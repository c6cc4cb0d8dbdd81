// Intrusive doubly linked lists: LinkedList (caller-owned nodes), PtrList (a
// list of pointers that owns its small nodes) and LockedList (a list guarded
// by a recursive critical region, the hash table's bucket).
#pragma once

#include "MacTypes.h"
#include "Threads.h"

// Only the low byte of a compare result counts: non-zero means "matches".
inline bool CompareResultMatches(SInt32 result) { return (result & 0xFF) != 0; }

// N is any record that begins with `N* prev; N* next;`. The list writes only
// those two fields and never allocates or releases a node.
template <typename N>
class LinkedList {
 public:
  typedef SInt32 (*CompareProc)(N* node, N* probe, void* context);

  // Constant-initialisable, so a registry can be a plain static.
  constexpr explicit LinkedList(CompareProc compare = nullptr, void* context = nullptr)
      : compare_(compare), context_(context) {}
  // Nodes are the caller's: nothing is released.
  ~LinkedList() = default;
  LinkedList(const LinkedList&) = delete;
  LinkedList& operator=(const LinkedList&) = delete;

  void SetCompare(CompareProc compare, void* context) {
    compare_ = compare;
    context_ = context;
  }

  CompareProc GetCompare(void** outContext) const {
    if (outContext) *outContext = context_;
    return compare_;
  }

  void Append(N* node) {
    node->next = nullptr;
    node->prev = tail_;
    if (tail_)
      tail_->next = node;
    else
      head_ = node;
    tail_ = node;
    ++count_;
  }

  N* RemoveFirst() {
    N* node = head_;
    if (!node) return nullptr;
    head_ = node->next;
    if (head_)
      head_->prev = nullptr;
    else
      tail_ = nullptr;
    --count_;
    return node;
  }

  N* RemoveLast() {
    N* node = tail_;
    if (!node) return nullptr;
    tail_ = node->prev;
    if (tail_)
      tail_->next = nullptr;
    else
      head_ = nullptr;
    --count_;
    return node;
  }

  // Membership is not tested; the node keeps its own links.
  void Remove(N* node) {
    if (node == head_) {
      RemoveFirst();
    } else if (node == tail_) {
      RemoveLast();
    } else {
      --count_;
      node->prev->next = node->next;
      node->next->prev = node->prev;
    }
  }

  // The first node the compare function matches with the probe, or without
  // one the probe itself when linked.
  N* Find(N* probe) const {
    if (!probe) return nullptr;
    for (N* node = head_; node; node = node->next) {
      if (compare_ ? CompareResultMatches(compare_(node, probe, context_)) : node == probe) return node;
    }
    return nullptr;
  }

  N* First() const { return head_; }
  N* Last() const { return tail_; }
  N* Next(N* node) const { return node->next; }
  UInt32 Count() const { return count_; }

 private:
  N* head_ = nullptr;
  N* tail_ = nullptr;
  UInt32 count_ = 0;
  CompareProc compare_;
  void* context_;
};

template <typename T>
struct PtrNode {
  PtrNode* prev;
  PtrNode* next;
  T* value;
};

// A list of pointers to T. Values are matched through the user compare
// function, or by identity without one; the values themselves are never
// released.
template <typename T>
class PtrList : public LinkedList<PtrNode<T>> {
  typedef LinkedList<PtrNode<T>> Base;

 public:
  typedef SInt32 (*ValueCompareProc)(T* a, T* b, void* context);

  constexpr explicit PtrList(ValueCompareProc compare = nullptr, void* context = nullptr)
      : Base(&PtrList::CompareNodes, this), userCompare_(compare), userContext_(context) {}

  void SetCompare(ValueCompareProc compare, void* context) {
    userCompare_ = compare;
    userContext_ = context;
    Base::SetCompare(&PtrList::CompareNodes, this);
  }

  static SInt32 CompareNodes(PtrNode<T>* a, PtrNode<T>* b, void* list) {
    auto* self = static_cast<PtrList*>(list);
    if (!self->userCompare_) return a->value == b->value;
    return self->userCompare_(a->value, b->value, self->userContext_) & 0xFF;
  }

  Boolean AddValue(T* value) {
    Base::Append(new PtrNode<T>{nullptr, nullptr, value});
    return 1;
  }

  // Unlinks and releases the first node that matches; the value is untouched.
  Boolean RemoveValue(T* value) {
    PtrNode<T> probe{nullptr, nullptr, value};
    PtrNode<T>* node = Base::Find(&probe);
    if (!node) return 0;
    Base::Remove(node);
    delete node;
    return 1;
  }

  T* FindValue(T* value) const {
    PtrNode<T> probe{nullptr, nullptr, value};
    PtrNode<T>* node = Base::Find(&probe);
    return node ? node->value : nullptr;
  }

  T* LastValue() const {
    PtrNode<T>* node = Base::Last();
    return node ? node->value : nullptr;
  }

 private:
  ValueCompareProc userCompare_;
  void* userContext_;
};

// The links every LockedList item begins with.
struct LockedListItem {
  LockedListItem* prev;
  LockedListItem* next;
};

typedef SInt32 (*LockedListCompareProc)(LockedListItem* item, LockedListItem* probe, void* context);

// Changes always take the critical region; reads take it only off the thread
// that constructed the list, so the owner reads safely only while no other
// thread changes the list. The region is recursive: Find holds it while
// First, GetCompare and Next enter it again.
class LockedList {
 public:
  explicit LockedList(LockedListCompareProc compare = nullptr, void* context = nullptr);
  ~LockedList();
  LockedList(const LockedList&) = delete;
  LockedList& operator=(const LockedList&) = delete;

  void SetCompare(LockedListCompareProc compare, void* context);
  LockedListCompareProc GetCompare(void** outContext);

  void Prepend(LockedListItem* item);
  void Remove(LockedListItem* item);
  LockedListItem* RemoveFirst();
  LockedListItem* RemoveLast();

  LockedListItem* First();
  LockedListItem* Next(LockedListItem* item);
  LockedListItem* Find(LockedListItem* probe);

  // The list's region; nil when threading is off (tests only).
  CriticalRegion RegionForTesting() const { return region_; }

 private:
  void Lock();
  void Unlock();
  bool LockForRead();

  LockedListItem* head_ = nullptr;
  LockedListItem* tail_ = nullptr;
  LockedListItem* skipItem_ = nullptr;  // stepped over by First/Next; never set
  UInt32 owner_ = 0;
  CriticalRegion region_ = nullptr;
  UInt32 count_ = 0;
  LockedListCompareProc compare_ = nullptr;
  void* context_ = nullptr;
};
