#include "singleton.h"

QReadWriteLock& singletonCreationLock()
{
    // Recursive: a constructor may ask for another singleton (the settings store needs the logger
    // factory), so the thread that holds the lock takes it again, in whatever order the first calls come.
    static QReadWriteLock lock(QReadWriteLock::Recursive);
    return lock;
}
