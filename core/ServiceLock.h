// The process-wide service objects (NetManager, DataManager, CWindowMultiThreadManager) are created
// on first use and never destroyed. One lock guards their creation.
#pragma once

#include <atomic>

#include "core/ScopedHandle.h"

CCriticalSection& ServiceCreationLock();

// Test, lock, test again, create: later calls return the object without locking.
template <class T, class Create>
T* GetOrCreateService(std::atomic<T*>& slot, Create create) {
  T* instance = slot.load(std::memory_order_acquire);
  if (instance) return instance;
  CAutoLock lock(ServiceCreationLock());
  instance = slot.load(std::memory_order_relaxed);
  if (!instance) {
    instance = create();
    slot.store(instance, std::memory_order_release);
  }
  return instance;
}
