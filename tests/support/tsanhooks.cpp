// Linked into every test and program of a ThreadSanitizer build only.
//
// Qt's event queues synchronise threads with a futex inside the Qt library, which the sanitizer does
// not see unless Qt itself was built with it: every queued signal would then look like data shared
// without synchronisation. These hooks tell the sanitizer what the queue guarantees: whatever a thread
// did before it emitted a signal happens before every event a thread handles afterwards. Races that do
// not go through a signal (the ones the device layer must not have) are still reported.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMutex>
#include <QObject>
#include <QThread>
#include <QWaitCondition>

#include <dlfcn.h>

extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);

// Layout and entry point of Qt 5's signal-spy hooks (exported by QtCore).
struct QSignalSpyCallbackSet
{
    typedef void (*BeginCallback)(QObject* caller, int signalOrMethodIndex, void** argv);
    typedef void (*EndCallback)(QObject* caller, int signalOrMethodIndex);
    BeginCallback signal_begin_callback, slot_begin_callback;
    EndCallback signal_end_callback, slot_end_callback;
};
void qt_register_signal_spy_callbacks(QSignalSpyCallbackSet* callbackSet);

namespace {

char g_queue; // stands for every event queue

void onSignal(QObject*, int, void**)
{
    __tsan_release(&g_queue);
}

// After the emission: by now the queued events carry their copies of the arguments.
void onSignalEnd(QObject*, int)
{
    __tsan_release(&g_queue);
}

bool onEvent(void**)
{
    __tsan_acquire(&g_queue);
    return false; // deliver the event as usual
}

QSignalSpyCallbackSet g_callbacks{onSignal, nullptr, onSignalEnd, nullptr};

const bool g_installed = [] {
    qt_register_signal_spy_callbacks(&g_callbacks);
    return QInternal::registerCallback(QInternal::EventNotifyCallback, onEvent);
}();

// QtCore's definition of an exported function that the definition here replaces.
template <typename Function> Function real(const char* mangledName)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, mangledName));
}

} // namespace

// QMutex is a futex of QtCore's as well: without these, whatever two threads do under one QMutex looks
// unsynchronised as soon as the lock is contended. Taking the mutex acquires what its last holder
// released when it let go; QWaitCondition lets go of it while it waits.
void QMutex::lock() QT_MUTEX_LOCK_NOEXCEPT
{
    static const auto lock = real<void (*)(QMutex*)>("_ZN6QMutex4lockEv");
    lock(this);
    __tsan_acquire(this);
}

bool QMutex::tryLock(int timeout) QT_MUTEX_LOCK_NOEXCEPT
{
    static const auto tryLock = real<bool (*)(QMutex*, int)>("_ZN6QMutex7tryLockEi");
    const bool locked = tryLock(this, timeout);
    if (locked) {
        __tsan_acquire(this);
    }
    return locked;
}

void QMutex::unlock() noexcept
{
    static const auto unlock = real<void (*)(QMutex*)>("_ZN6QMutex6unlockEv");
    __tsan_release(this);
    unlock(this);
}

bool QWaitCondition::wait(QMutex* mutex, QDeadlineTimer deadline)
{
    static const auto wait = real<bool (*)(QWaitCondition*, QMutex*, QDeadlineTimer)>(
        "_ZN14QWaitCondition4waitEP6QMutex14QDeadlineTimer");
    __tsan_release(mutex);
    const bool woken = wait(this, mutex, deadline);
    __tsan_acquire(mutex);
    return woken;
}

bool QWaitCondition::wait(QMutex* mutex, unsigned long time)
{
    static const auto wait =
        real<bool (*)(QWaitCondition*, QMutex*, unsigned long)>("_ZN14QWaitCondition4waitEP6QMutexm");
    __tsan_release(mutex);
    const bool woken = wait(this, mutex, time);
    __tsan_acquire(mutex);
    return woken;
}

// A functor that QMetaObject::invokeMethod() queues reaches the other thread the way a queued signal does:
// whatever the caller did before (allocating the functor's slot object, to begin with) happens before
// the event that runs it.
bool QMetaObject::invokeMethodImpl(QObject* object, QtPrivate::QSlotObjectBase* slot, Qt::ConnectionType type,
                                   void* ret)
{
    static const auto invoke = real<bool (*)(QObject*, QtPrivate::QSlotObjectBase*, Qt::ConnectionType,
                                             void*)>(
        "_ZN11QMetaObject16invokeMethodImplEP7QObjectPN9QtPrivate15QSlotObjectBaseEN2Qt14ConnectionTypeEPv");
    __tsan_release(&g_queue);
    return invoke(object, slot, type, ret);
}

// deleteLater() posts an event as well: whatever the calling thread did with the object before happens
// before its deletion on the object's own thread.
void QObject::deleteLater()
{
    static const auto deleteLater = real<void (*)(QObject*)>("_ZN7QObject11deleteLaterEv");
    __tsan_release(&g_queue);
    deleteLater(this);
}

// QThread::wait() synchronises with the finished thread through QtCore's futex as well. This
// definition takes the place of QtCore's for the callers in this program, runs it, and then tells the
// sanitizer that everything the thread did (it emitted finished() last) happens before what follows.
bool QThread::wait(QDeadlineTimer deadline)
{
    static const auto wait = real<bool (*)(QThread*, QDeadlineTimer)>("_ZN7QThread4waitE14QDeadlineTimer");
    const bool finished = wait(this, deadline);
    __tsan_acquire(&g_queue);
    return finished;
}
