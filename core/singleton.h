#pragma once

#include <QReadWriteLock>

#include <atomic>

// The lock that guards the creation of every process-wide instance. The creating thread may take it
// again, so one singleton's constructor can create another.
QReadWriteLock& singletonCreationLock();

// A process-wide instance of T, created on first use and never destroyed before process exit.
// The ready marker is tested before the lock, so only the very first calls ever take it; creation
// itself runs write-locked, so concurrent first calls from several threads create exactly one T.
// T befriends Singleton<T> and keeps its constructor private.
template <typename T> class Singleton
{
public:
    static T* instance()
    {
        if (T* ready = s_instance.load(std::memory_order_acquire)) {
            return ready;
        }
        QWriteLocker locker(&singletonCreationLock());
        T* current = s_instance.load(std::memory_order_relaxed);
        if (!current) {
            current = new T(); // owned by the process: singletons outlive every other object
            s_instance.store(current, std::memory_order_release);
        }
        return current;
    }

protected:
    Singleton() = default;
    ~Singleton() = default;

private:
    static inline std::atomic<T*> s_instance{nullptr};
};
