#pragma once

// Device-layer tests: the shared bus fixture with the discovery polling every kTestPollMs from the start,
// so that no test waits out the production poll.
#include "devicebusfixture.h"

using DeviceRecorder = DeviceBusFixture::Recorder;

class SimHarness : public DeviceBusFixture
{
protected:
    static constexpr int kTestPollMs = 30;
#ifdef SIM_LOG_LEVEL
    static constexpr int kLogLevel = SIM_LOG_LEVEL;
#else
    static constexpr int kLogLevel = 1;
#endif

    void SetUp() override
    {
        log().clear();
        DeviceBusFixture::SetUp();
        startDiscovery(kTestPollMs);
    }
    static LogCapture& log()
    {
        return DeviceBusFixture::log(kLogLevel);
    }
};
