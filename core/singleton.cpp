#include "singleton.h"

QReadWriteLock& singletonCreationLock()
{
    static QReadWriteLock lock;
    return lock;
}
