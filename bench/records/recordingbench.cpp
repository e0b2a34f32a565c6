// What recording a device operation costs the GUI thread: the bridge hears the operation posted and
// finished, builds its event (the values before and after of a parameter write) and hands it to the
// recorder's thread.
//
// Target: under 1 ms per operation at the 99th percentile.
#include "devices/controlunit.h"
#include "recording/recordingbridge.h"

#include "bench/support/latencycounters.h"
#include "bench/support/shortrun.h"
#include "recordsbackend.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kCeilingMs = 600000;

void BM_RecordingPerDeviceOperation(benchmark::State& state)
{
    const int operations = int(benchShortRun() ? 100 : state.range(0));
    RecordsBackend backend(false);
    if (!backend.create()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    // No instrument behind it: the operations are posted and finished here, as the device does.
    ControlUnit unit(nullptr);
    std::vector<qint64> costs;
    costs.reserve(size_t(operations));
    for (auto _ : state) {
        Recorder::Options options;
        options.database = backend.address();
        options.local = backend.address();
        RecordingBridge bridge(std::make_unique<Recorder>(options));
        bridge.attach(&unit);
        QElapsedTimer clock;
        for (int i = 0; i < operations; ++i) {
            Operation::Inputs inputs;
            for (quint32 id = 0; id < 3; ++id) {
                inputs.optionValues.insert(0x20000009u + id, QByteArray::number(i).rightJustified(4, '0'));
            }
            auto* operation = new Operation(Operation::Kind::SendOptions, inputs, &unit);
            clock.start();
            emit unit.operationStarted(operation);
            operation->finish(0, QString());
            costs.push_back(clock.nsecsElapsed());
            delete operation;
        }
        if (!bridge.recorder()->waitForIdle(kCeilingMs)) {
            state.SkipWithError("the recorder did not finish");
            return;
        }
    }
    reportLatencies(state, costs);
}
BENCHMARK(BM_RecordingPerDeviceOperation)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
