// Linked into the device tests of a ThreadSanitizer build only.
//
// Qt's event queues synchronise threads with a futex inside the Qt library, which the sanitizer does
// not see unless Qt itself was built with it: every queued signal would then look like data shared
// without synchronisation. These hooks tell the sanitizer what the queue guarantees: whatever a thread
// did before it emitted a signal happens before every event a thread handles afterwards. Races that do
// not go through a signal (the ones the device layer must not have) are still reported.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QObject>
#include <QThread>

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

} // namespace

// QThread::wait() synchronises with the finished thread through QtCore's futex as well. This
// definition takes the place of QtCore's for the callers in this program, runs it, and then tells the
// sanitizer that everything the thread did (it emitted finished() last) happens before what follows.
bool QThread::wait(QDeadlineTimer deadline)
{
    using Wait = bool (*)(QThread*, QDeadlineTimer);
    static const Wait real = reinterpret_cast<Wait>(dlsym(RTLD_NEXT, "_ZN7QThread4waitE14QDeadlineTimer"));
    const bool finished = real(this, deadline);
    __tsan_acquire(&g_queue);
    return finished;
}
