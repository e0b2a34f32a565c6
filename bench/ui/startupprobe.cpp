// startup-probe: runs the tool's start-up sequence unchanged and reports, once the main window is
// exposed on the display, the monotonic clock (ns) and the resident memory (kB), then closes the
// window as the close button would. Used by the start-up benchmark; needs a display (Xvfb).
#include "ui/mainwindow.h"
#include "ui/startup.h"

#include <QFile>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <ctime>

namespace {
long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}
} // namespace

int main(int argc, char** argv)
{
    StartupHooks hooks;
    hooks.windowCreated = [](MainWindow& window) {
        auto* poll = new QTimer(&window);
        poll->setInterval(1);
        QObject::connect(poll, &QTimer::timeout, &window, [poll, &window] {
            if (!window.windowHandle() || !window.windowHandle()->isExposed()) {
                return;
            }
            poll->stop();
            std::printf("shown_ns=%lld rss_kb=%ld\n", monotonicNs(), residentKb());
            std::fflush(stdout);
            window.close();
        });
        poll->start();
    };
    return runServiceSoftware(argc, argv, hooks);
}
