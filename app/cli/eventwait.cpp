#include "app/cli/eventwait.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace {
constexpr int kRecheckMs = 100;
} // namespace

EventWait::EventWait(QObject* parent) : QObject(parent) {}

bool EventWait::until(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        int slice = kRecheckMs;
        if (timeoutMs >= 0) {
            const qint64 left = timeoutMs - clock.elapsed();
            if (left <= 0) {
                return false;
            }
            slice = int(std::min<qint64>(left, kRecheckMs));
        }
        QEventLoop loop;
        QTimer::singleShot(slice, &loop, &QEventLoop::quit);
        m_loop = &loop;
        loop.exec();
        m_loop = nullptr;
    }
    return true;
}

void EventWait::wake()
{
    if (m_loop) {
        m_loop->quit();
    }
}
