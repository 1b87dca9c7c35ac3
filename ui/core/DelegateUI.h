// Callable delegates (an object and one of its member functions) and the list that invokes them.
#pragma once

#include "ui/core/ContainersUI.h"

namespace SkinUI {

class CDelegateBase {
 public:
  CDelegateBase(void* object, const void* function) : m_object(object), m_function(function) {}
  virtual ~CDelegateBase() = default;
  virtual CDelegateBase* Clone() const = 0;
  virtual bool Call(void* param) = 0;
  bool operator==(const CDelegateBase& other) const {
    return m_object == other.m_object && m_function == other.m_function;
  }

 protected:
  void* Object() const { return m_object; }

 private:
  void* m_object;
  // Identity of the bound function, for equality only.
  const void* m_function;
};

// Binds `bool (T::*)(void*)`. Member-function pointers cannot be compared through void*, so the
// delegate keeps a stable identity for each distinct pointer value it is given.
template <class T>
class CMemberDelegate : public CDelegateBase {
 public:
  using Function = bool (T::*)(void*);
  CMemberDelegate(T* object, Function function)
      : CDelegateBase(object, IdentityOf(function)), m_member(function) {}
  CDelegateBase* Clone() const override { return new CMemberDelegate(*this); }
  bool Call(void* param) override { return (static_cast<T*>(Object())->*m_member)(param); }

 private:
  static const void* IdentityOf(Function function) {
    static Function known[64];
    static int count = 0;
    for (int i = 0; i < count; ++i) {
      if (known[i] == function) return &known[i];
    }
    if (count == 64) return nullptr;
    known[count] = function;
    return &known[count++];
  }
  Function m_member;
};

// Binds a plain function `bool (*)(void* object, void* param)` with its object.
class CFunctionDelegate : public CDelegateBase {
 public:
  using Function = bool (*)(void* object, void* param);
  CFunctionDelegate(void* object, Function function)
      : CDelegateBase(object, reinterpret_cast<const void*>(function)), m_function(function) {}
  CDelegateBase* Clone() const override { return new CFunctionDelegate(*this); }
  bool Call(void* param) override { return m_function(Object(), param); }

 private:
  Function m_function;
};

template <class T>
CMemberDelegate<T> MakeDelegate(T* object, bool (T::*function)(void*)) {
  return CMemberDelegate<T>(object, function);
}

class CDelegateListUI {
 public:
  CDelegateListUI() = default;
  CDelegateListUI(const CDelegateListUI&) = delete;
  CDelegateListUI& operator=(const CDelegateListUI&) = delete;
  ~CDelegateListUI() {
    for (int i = 0; i < m_delegates.Count(); ++i) delete static_cast<CDelegateBase*>(m_delegates[i]);
  }

  // Adds a copy unless an equal delegate is already registered.
  CDelegateListUI& operator+=(const CDelegateBase& delegate) {
    for (int i = 0; i < m_delegates.Count(); ++i) {
      if (*static_cast<CDelegateBase*>(m_delegates[i]) == delegate) return *this;
    }
    m_delegates.Push(delegate.Clone());
    return *this;
  }
  // In order of registration; the first false stops the walk and the result is false.
  bool operator()(void* param) {
    for (int i = 0; i < m_delegates.Count(); ++i) {
      if (!static_cast<CDelegateBase*>(m_delegates[i])->Call(param)) return false;
    }
    return true;
  }
  bool HasDelegates() const { return !m_delegates.IsBlank(); }
  int Count() const { return m_delegates.Count(); }

 private:
  CPtrArrayUI m_delegates;
};

}  // namespace SkinUI
