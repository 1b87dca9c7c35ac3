#include "ui/core/ContainersUI.h"

#include <cstdlib>
#include <cstring>

namespace SkinUI {

CPtrArrayUI::CPtrArrayUI(int preallocate) {
  if (preallocate > 0) {
    m_items = static_cast<void**>(calloc(preallocate, sizeof(void*)));
    if (m_items) m_capacity = preallocate;
  }
}

CPtrArrayUI::CPtrArrayUI(const CPtrArrayUI& source) {
  for (int i = 0; i < source.Count(); ++i) Push(source[i]);
}

CPtrArrayUI::~CPtrArrayUI() { free(m_items); }

void CPtrArrayUI::Clear() {
  free(m_items);
  m_items = nullptr;
  m_count = m_capacity = 0;
}

void CPtrArrayUI::Reset(int n) {
  Clear();
  if (n <= 0) return;
  m_items = static_cast<void**>(calloc(n, sizeof(void*)));
  if (m_items) m_count = m_capacity = n;
}

bool CPtrArrayUI::Grow() {
  ++m_count;
  if (m_count < m_capacity) return true;
  int capacity = m_capacity > 0 ? m_capacity * 2 : 11;
  void** block = static_cast<void**>(realloc(m_items, sizeof(void*) * capacity));
  if (!block) {
    --m_count;
    return false;
  }
  m_items = block;
  m_capacity = capacity;
  return true;
}

bool CPtrArrayUI::Push(void* p) {
  if (!Grow()) return false;
  m_items[m_count - 1] = p;
  return true;
}

bool CPtrArrayUI::InsertBefore(int index, void* p) {
  if (index == m_count) return Push(p);
  if (index < 0 || index > m_count) return false;
  if (!Grow()) return false;
  memmove(&m_items[index + 1], &m_items[index], (m_count - index - 1) * sizeof(void*));
  m_items[index] = p;
  return true;
}

bool CPtrArrayUI::RemoveRange(int index, int n) {
  if (index < 0 || n <= 0 || index + n > m_count) return false;
  memmove(&m_items[index], &m_items[index + n], (m_count - index - n) * sizeof(void*));
  m_count -= n;
  return true;
}

int CPtrArrayUI::IndexOf(void* p) const {
  for (int i = 0; i < m_count; ++i) {
    if (m_items[i] == p) return i;
  }
  return -1;
}

void* CPtrArrayUI::At(int index) const { return (index >= 0 && index < m_count) ? m_items[index] : nullptr; }

CStringMapUI::CStringMapUI(int bucketCount) { Rebuild(bucketCount < 16 ? 16 : bucketCount); }

CStringMapUI::~CStringMapUI() {
  FreeNodes();
  delete[] m_buckets;
}

unsigned CStringMapUI::Hash(const wchar_t* key) {
  unsigned h = 0;
  for (size_t i = wcslen(key); i > 0; --i) h = h * 33 + static_cast<unsigned>(key[i - 1]);
  return h;
}

void CStringMapUI::FreeNodes() {
  for (int b = 0; b < m_bucketCount; ++b) {
    for (Node* node = m_buckets[b]; node;) {
      Node* next = node->next;
      delete node;
      node = next;
    }
    m_buckets[b] = nullptr;
  }
  m_count = 0;
}

void CStringMapUI::Rebuild(int bucketCount) {
  FreeNodes();
  delete[] m_buckets;
  m_buckets = nullptr;
  m_bucketCount = bucketCount < 0 ? 0 : bucketCount;
  if (m_bucketCount > 0) m_buckets = new Node*[m_bucketCount]();
}

CStringMapUI::Node* CStringMapUI::Find(const wchar_t* key, bool moveToFront) const {
  if (!key || m_bucketCount == 0 || m_count == 0) return nullptr;
  Node*& head = m_buckets[Hash(key) % m_bucketCount];
  for (Node* node = head; node; node = node->next) {
    if (node->key != key) continue;
    if (moveToFront && node != head) {
      node->previous->next = node->next;
      if (node->next) node->next->previous = node->previous;
      node->previous = nullptr;
      node->next = head;
      head->previous = node;
      head = node;
    }
    return node;
  }
  return nullptr;
}

void* CStringMapUI::Lookup(const wchar_t* key, bool moveToFront) const {
  Node* node = Find(key, moveToFront);
  return node ? node->data : nullptr;
}

bool CStringMapUI::AddNew(const wchar_t* key, void* data) {
  if (!key || m_bucketCount == 0 || Find(key, true)) return false;
  Node*& head = m_buckets[Hash(key) % m_bucketCount];
  Node* node = new Node{CUIString(key), data, nullptr, head};
  if (head) head->previous = node;
  head = node;
  ++m_count;
  return true;
}

void* CStringMapUI::Put(const wchar_t* key, void* data) {
  if (Node* node = Find(key, true)) {
    void* old = node->data;
    node->data = data;
    return old;
  }
  AddNew(key, data);
  return nullptr;
}

bool CStringMapUI::Erase(const wchar_t* key) {
  Node* node = Find(key, false);
  if (!node) return false;
  Node*& head = m_buckets[Hash(key) % m_bucketCount];
  if (node->previous) node->previous->next = node->next;
  else head = node->next;
  if (node->next) node->next->previous = node->previous;
  delete node;
  --m_count;
  return true;
}

const wchar_t* CStringMapUI::KeyAt(int position) const {
  if (position < 0) return nullptr;
  int seen = 0;
  for (int b = m_bucketCount - 1; b >= 0; --b) {
    for (Node* node = m_buckets[b]; node; node = node->next) {
      if (seen++ == position) return node->key;
    }
  }
  return nullptr;
}

}  // namespace SkinUI
