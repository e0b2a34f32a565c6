#include "sim/simacousticsensor.h"

#include "sim/simdefaults.h"

using namespace SimProtocol;

namespace {
constexpr uint32_t kTouchProtectThreshold = 0x20000004;

SimUsbIdentity usbFor(SimAcousticSensor::Generation generation)
{
    return generation == SimAcousticSensor::Generation::First ? SimUsbIdentity(0x1E84, 0x3001)
                                                              : SimUsbIdentity(0x2952, 0x000B);
}
} // namespace

SimAcousticSensor::SimAcousticSensor(Generation generation, SimFirmware firmware)
    : SimInstrument(generation == Generation::First ? "tymbrel+ sensor" : "tymbrel2+ sensor",
                    usbFor(generation), firmware)
{
    const bool first = generation == Generation::First;
    defineOptions(SimDefaults::acousticSensor());
    defineIdentity(first ? "PCB-SU1-0004711" : "PCB-SU2-0004712", first ? "SU" : "SU2", "C",
                   first ? "TSU-21-00017" : "TSU2-23-00018");
    m_detector.postRawThreshold(storedRaw());
}

uint32_t SimAcousticSensor::storedRaw() const
{
    return wordAt(optionStore().permanent(kTouchProtectThreshold).value_or(Bytes()), 0);
}

bool SimAcousticSensor::handleKindCommand(uint32_t command, const Bytes& packet, Clock::time_point now)
{
    switch (command) {
    case CdcSetThreshold:
        if (packet.size() >= 8) {
            m_detector.postRawThreshold(wordAt(packet, 4));
        }
        return true;
    case CdcGetThreshold:
        queueAnswer(command, CdcThresholdAnswer, words({storedRaw()}), now);
        return true;
    case CdcStoreThreshold:
        optionStore().setStored(kTouchProtectThreshold, words({m_detector.rawThreshold()}));
        return true;
    case CdcGetState:
        queueAnswer(command, CdcStateAnswer, words({m_detector.stateWord()}), now);
        return true;
    default:
        return false;
    }
}

void SimAcousticSensor::onReboot()
{
    m_detector.postRawThreshold(storedRaw());
}

void SimAcousticSensor::onFactoryReset()
{
    m_detector.postRawThreshold(storedRaw());
}

void SimAcousticSensor::setSwitchingPoints(int risingPoint, int fallingPoint)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_detector.setSwitchingPoints(risingPoint, fallingPoint);
}

void SimAcousticSensor::setTouchOverride(std::optional<bool> touched)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_detector.setTouchOverride(touched);
}

uint32_t SimAcousticSensor::postedRawThreshold() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_detector.rawThreshold();
}

uint32_t SimAcousticSensor::storedRawThreshold() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return storedRaw();
}

bool SimAcousticSensor::touched() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_detector.touched();
}
