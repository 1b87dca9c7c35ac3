#include "core/ServiceLock.h"

CCriticalSection& ServiceCreationLock() {
  // Never destroyed, like the objects it guards: no exit-time ordering to get wrong.
  static CCriticalSection* lock = new CCriticalSection();
  return *lock;
}
