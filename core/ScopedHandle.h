// Move-only owners for Win32 handles. One template serves every handle kind; the traits say what
// "no handle" is and how one is released.
#pragma once

#include <windows.h>

#include <utility>

template <class Traits>
class CScopedObject {
 public:
  using Type = typename Traits::Type;

  CScopedObject() = default;
  explicit CScopedObject(Type value) : m_value(value) {}
  ~CScopedObject() { Reset(); }

  CScopedObject(const CScopedObject&) = delete;
  CScopedObject& operator=(const CScopedObject&) = delete;
  CScopedObject(CScopedObject&& other) noexcept : m_value(other.Take()) {}
  CScopedObject& operator=(CScopedObject&& other) noexcept {
    if (this != &other) Reset(other.Take());
    return *this;
  }

  Type Get() const { return m_value; }
  bool IsValid() const { return m_value != Traits::Invalid(); }
  explicit operator bool() const { return IsValid(); }

  // Gives up ownership without releasing.
  [[nodiscard]] Type Take() { return std::exchange(m_value, Traits::Invalid()); }

  void Reset(Type value = Traits::Invalid()) {
    Type old = std::exchange(m_value, value);
    if (old != Traits::Invalid()) Traits::Close(old);
  }

  // For APIs that fill a handle through an out-parameter; releases what was held first.
  Type* Receive() {
    Reset();
    return &m_value;
  }

 private:
  Type m_value = Traits::Invalid();
};

struct HandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::CloseHandle(h); }
};

struct FileHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::FindClose(h); }
};

struct RegKeyTraits {
  using Type = HKEY;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::RegCloseKey(h); }
};

struct ModuleTraits {
  using Type = HMODULE;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::FreeLibrary(h); }
};

struct CertStoreTraits {
  using Type = HCERTSTORE;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::CertCloseStore(h, 0); }
};

struct CertContextTraits {
  using Type = PCCERT_CONTEXT;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::CertFreeCertificateContext(h); }
};

struct CertChainTraits {
  using Type = PCCERT_CHAIN_CONTEXT;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::CertFreeCertificateChain(h); }
};

template <class T>
struct GdiObjectTraits {
  using Type = T;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::DeleteObject(h); }
};

using CScopedHandle = CScopedObject<HandleTraits>;
using CScopedFile = CScopedObject<FileHandleTraits>;
using CScopedFind = CScopedObject<FindHandleTraits>;
using CScopedRegKey = CScopedObject<RegKeyTraits>;
using CScopedModule = CScopedObject<ModuleTraits>;
using CScopedCertStore = CScopedObject<CertStoreTraits>;
using CScopedCertContext = CScopedObject<CertContextTraits>;
using CScopedCertChain = CScopedObject<CertChainTraits>;
using CScopedBitmap = CScopedObject<GdiObjectTraits<HBITMAP>>;
using CScopedFont = CScopedObject<GdiObjectTraits<HFONT>>;
using CScopedBrush = CScopedObject<GdiObjectTraits<HBRUSH>>;
using CScopedRegion = CScopedObject<GdiObjectTraits<HRGN>>;

// COM pointer owner: releases on destruction, never AddRefs what it is given.
template <class T>
class CScopedComPtr {
 public:
  CScopedComPtr() = default;
  explicit CScopedComPtr(T* p) : m_p(p) {}
  ~CScopedComPtr() { Reset(); }
  CScopedComPtr(const CScopedComPtr&) = delete;
  CScopedComPtr& operator=(const CScopedComPtr&) = delete;
  CScopedComPtr(CScopedComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
  CScopedComPtr& operator=(CScopedComPtr&& o) noexcept {
    if (this != &o) Reset(std::exchange(o.m_p, nullptr));
    return *this;
  }
  T* Get() const { return m_p; }
  T* operator->() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }
  void Reset(T* p = nullptr) {
    T* old = std::exchange(m_p, p);
    if (old) old->Release();
  }
  T** Receive() {
    Reset();
    return &m_p;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

 private:
  T* m_p = nullptr;
};

// COM for the current thread, for as long as the object lives.
class CComInitializer {
 public:
  explicit CComInitializer(DWORD model = COINIT_APARTMENTTHREADED) : m_hr(::CoInitializeEx(nullptr, model)) {}
  ~CComInitializer() {
    if (SUCCEEDED(m_hr)) ::CoUninitialize();
  }
  CComInitializer(const CComInitializer&) = delete;
  CComInitializer& operator=(const CComInitializer&) = delete;
  bool Succeeded() const { return SUCCEEDED(m_hr); }
  HRESULT Result() const { return m_hr; }

 private:
  HRESULT m_hr;
};

// A recursive lock (a Windows critical section is re-entrant on its owning thread).
class CCriticalSection {
 public:
  CCriticalSection() { ::InitializeCriticalSection(&m_cs); }
  ~CCriticalSection() { ::DeleteCriticalSection(&m_cs); }
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;
  void Enter() { ::EnterCriticalSection(&m_cs); }
  void Leave() { ::LeaveCriticalSection(&m_cs); }

 private:
  CRITICAL_SECTION m_cs;
};

class CAutoLock {
 public:
  explicit CAutoLock(CCriticalSection& cs) : m_cs(cs) { m_cs.Enter(); }
  ~CAutoLock() { m_cs.Leave(); }
  CAutoLock(const CAutoLock&) = delete;
  CAutoLock& operator=(const CAutoLock&) = delete;

 private:
  CCriticalSection& m_cs;
};
