// Start-up of the tool to its main window shown on the display, and its resident memory then.
// Each iteration starts a fresh process (startup-probe: the tool's own start-up sequence) with a fresh
// settings directory and measures from just before the process is spawned to the moment the window
// is exposed. Needs an X display: without DISPLAY it starts its own Xvfb, since the offscreen platform
// would leave out the connection to the display server that a real start pays for.
#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "bench/support/shortrun.h"

#include <cstdio>
#include <ctime>

namespace {
long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

void BM_StartupToMainWindowShown(benchmark::State& state)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        state.SkipWithError("no DISPLAY and no Xvfb to start (Debian package xvfb)");
        return;
    }
    double residentMb = 0;
    for (auto _ : state) {
        QTemporaryDir dataHome;
        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        probe.setProcessEnvironment(env);
        probe.setProcessChannelMode(QProcess::SeparateChannels);

        const long long started = monotonicNs();
        probe.start(QStringLiteral(SERVICE_STARTUP_PROBE), QStringList());
        if (!probe.waitForFinished(30000)) {
            probe.kill();
            state.SkipWithError("startup-probe did not finish");
            return;
        }
        const QString out = QString::fromLocal8Bit(probe.readAllStandardOutput());
        const auto match = QRegularExpression(QStringLiteral("shown_ns=(\\d+) rss_kb=(\\d+)")).match(out);
        if (!match.hasMatch() || probe.exitCode() != 0) {
            state.SkipWithError("startup-probe reported nothing");
            return;
        }
        const long long shown = match.captured(1).toLongLong();
        state.SetIterationTime(double(shown - started) / 1e9);
        residentMb = match.captured(2).toDouble() / 1024.0;
    }
    state.counters["rss_MB"] = residentMb;
}
BENCHMARK(BM_StartupToMainWindowShown)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(benchCount(9))
    ->ReportAggregatesOnly(true);
// Starts Xvfb on a free display number and points DISPLAY at it; Xvfb writes the number it took.
bool startOwnDisplay(QProcess* server)
{
    server->setProcessChannelMode(QProcess::SeparateChannels);
    server->start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp")});
    QByteArray number;
    while (!number.contains('\n') && server->waitForReadyRead(10000)) {
        number += server->readAllStandardOutput();
    }
    if (number.trimmed().isEmpty()) {
        server->kill();
        server->waitForFinished();
        return false;
    }
    qputenv("DISPLAY", ":" + number.trimmed());
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QProcess server;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && !startOwnDisplay(&server)) {
        std::fprintf(stderr, "bench_ui_startup: Xvfb did not start\n");
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (server.state() != QProcess::NotRunning) {
        server.terminate();
        server.waitForFinished(5000);
    }
    return 0;
}
