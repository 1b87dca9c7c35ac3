// The framework's containers of untyped pointers: a growable array and a string-keyed hash map.
// Neither owns what its pointers point to.
#pragma once

#include "ui/core/UIString.h"

namespace SkinUI {

class CPtrArrayUI {
 public:
  explicit CPtrArrayUI(int preallocate = 0);
  CPtrArrayUI(const CPtrArrayUI& source);
  CPtrArrayUI& operator=(const CPtrArrayUI&) = delete;
  ~CPtrArrayUI();

  void Clear();
  // Frees, then allocates n zeroed slots in use.
  void Reset(int n);
  bool IsBlank() const { return m_count == 0; }
  bool Push(void* p);
  // index == Count() appends; any other index outside 0..Count() fails and changes nothing.
  bool InsertBefore(int index, void* p);
  bool RemoveRange(int index, int n = 1);
  int IndexOf(void* p) const;
  int Count() const { return m_count; }
  int Capacity() const { return m_capacity; }
  void* At(int index) const;
  void* operator[](int index) const { return m_items[index]; }

 private:
  // Raises the count by one, growing the block as needed; false leaves everything as it was.
  bool Grow();

  void** m_items = nullptr;
  int m_count = 0;
  int m_capacity = 0;
};

class CStringMapUI {
 public:
  static constexpr int kDefaultBuckets = 83;

  explicit CStringMapUI(int bucketCount = kDefaultBuckets);
  CStringMapUI(const CStringMapUI&) = delete;
  CStringMapUI& operator=(const CStringMapUI&) = delete;
  ~CStringMapUI();

  static unsigned Hash(const wchar_t* key);

  void* Lookup(const wchar_t* key, bool moveToFront = true) const;
  bool AddNew(const wchar_t* key, void* data);
  // Returns the data replaced, or null when the key was new.
  void* Put(const wchar_t* key, void* data);
  bool Erase(const wchar_t* key);
  void ClearAll() { Rebuild(m_bucketCount); }
  void Rebuild(int bucketCount);
  int Count() const { return m_count; }
  int BucketCount() const { return m_bucketCount; }
  // Walks the buckets from the last one; the order changes as lookups move keys to the front.
  const wchar_t* KeyAt(int position) const;

 private:
  struct Node {
    CUIString key;
    void* data;
    Node* previous;
    Node* next;
  };
  Node* Find(const wchar_t* key, bool moveToFront) const;
  void FreeNodes();

  Node** m_buckets = nullptr;
  int m_bucketCount = 0;
  int m_count = 0;
};

}  // namespace SkinUI
