#include "sim/simfaults.h"

void SimFaults::arm(Kind kind, uint32_t key, uint64_t value, int times)
{
    if (times == 0) {
        return;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_rules.push_back(Rule{kind, key, value, times < 0 ? kAlways : times});
}

std::optional<uint64_t> SimFaults::take(Kind kind, uint32_t key)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_rules.begin(); it != m_rules.end(); ++it) {
        if (it->kind != kind || it->key != key) {
            continue;
        }
        const uint64_t value = it->value;
        if (it->remaining > 0 && --it->remaining == 0) {
            m_rules.erase(it);
        }
        return value;
    }
    return std::nullopt;
}

void SimFaults::noAnswerTo(uint32_t command, int times)
{
    arm(Kind::NoAnswer, command, 0, times);
}

void SimFaults::lateAnswerTo(uint32_t command, Milliseconds delay, int times)
{
    arm(Kind::LateAnswer, command, uint64_t(delay.count()), times);
}

void SimFaults::wrongAnswerCode(uint32_t command, uint32_t answerCode, int times)
{
    arm(Kind::WrongAnswerCode, command, answerCode, times);
}

void SimFaults::wrongOptionId(uint32_t optionId, uint32_t echoedId, int times)
{
    arm(Kind::WrongOptionId, optionId, echoedId, times);
}

void SimFaults::noAnswerToOption(uint32_t optionId, int times)
{
    arm(Kind::NoOptionAnswer, optionId, 0, times);
}

void SimFaults::dropOptionSet(uint32_t optionId, int times)
{
    arm(Kind::DroppedOptionSet, optionId, 0, times);
}

void SimFaults::shortWrite(uint32_t command, size_t acceptedBytes, int times)
{
    arm(Kind::ShortWrite, command, acceptedBytes, times);
}

void SimFaults::pipeErrorOn(uint32_t command, int times)
{
    arm(Kind::PipeErrorOut, command, 0, times);
}

void SimFaults::pipeErrorOnNth(uint32_t command, uint64_t n)
{
    if (n > 0) {
        arm(Kind::PipeErrorOutNth, command, n, 1);
    }
}

void SimFaults::pipeErrorOnAnswerTo(uint32_t command, int times)
{
    arm(Kind::PipeErrorAnswer, command, 0, times);
}

void SimFaults::zeroLengthPacketInStream(uint32_t streamCommand, size_t afterPackets, int times)
{
    arm(Kind::StreamZeroLength, streamCommand, afterPackets, times);
}

void SimFaults::endCodeInStream(uint32_t streamCommand, size_t afterPackets, int times)
{
    arm(Kind::StreamEndCode, streamCommand, afterPackets, times);
}

void SimFaults::stopStreamAfter(uint32_t streamCommand, size_t packets, int times)
{
    arm(Kind::StreamStop, streamCommand, packets, times);
}

void SimFaults::probeBusy(bool busy)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_probeBusy = busy;
}

void SimFaults::failSetConfiguration(bool fail)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_failSetConfiguration = fail;
}

void SimFaults::failClaimInterface(bool fail)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_failClaimInterface = fail;
}

void SimFaults::unplugAfterPackets(size_t packets)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_unplugCountdown = packets;
}

void SimFaults::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_rules.clear();
    m_probeBusy = false;
    m_failSetConfiguration = false;
    m_failClaimInterface = false;
    m_unplugCountdown.reset();
}

bool SimFaults::takeNoAnswer(uint32_t command)
{
    return take(Kind::NoAnswer, command).has_value();
}

std::optional<SimFaults::Milliseconds> SimFaults::takeLateAnswer(uint32_t command)
{
    if (auto value = take(Kind::LateAnswer, command)) {
        return Milliseconds(int64_t(*value));
    }
    return std::nullopt;
}

std::optional<uint32_t> SimFaults::takeWrongAnswerCode(uint32_t command)
{
    if (auto value = take(Kind::WrongAnswerCode, command)) {
        return uint32_t(*value);
    }
    return std::nullopt;
}

std::optional<uint32_t> SimFaults::takeWrongOptionId(uint32_t optionId)
{
    if (auto value = take(Kind::WrongOptionId, optionId)) {
        return uint32_t(*value);
    }
    return std::nullopt;
}

bool SimFaults::takeNoOptionAnswer(uint32_t optionId)
{
    return take(Kind::NoOptionAnswer, optionId).has_value();
}

bool SimFaults::takeDroppedOptionSet(uint32_t optionId)
{
    return take(Kind::DroppedOptionSet, optionId).has_value();
}

std::optional<size_t> SimFaults::takeShortWrite(uint32_t command)
{
    if (auto value = take(Kind::ShortWrite, command)) {
        return size_t(*value);
    }
    return std::nullopt;
}

bool SimFaults::takePipeErrorOn(uint32_t command)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_rules.begin(); it != m_rules.end(); ++it) {
            if (it->kind != Kind::PipeErrorOutNth || it->key != command) {
                continue;
            }
            if (--it->value == 0) {
                m_rules.erase(it);
                return true;
            }
            break;
        }
    }
    return take(Kind::PipeErrorOut, command).has_value();
}

bool SimFaults::takePipeErrorOnAnswer(uint32_t command)
{
    return take(Kind::PipeErrorAnswer, command).has_value();
}

SimFaults::StreamShape SimFaults::takeStreamShape(uint32_t streamCommand)
{
    StreamShape shape;
    if (auto value = take(Kind::StreamZeroLength, streamCommand)) {
        shape.zeroLengthPacketAfter = size_t(*value);
    }
    if (auto value = take(Kind::StreamEndCode, streamCommand)) {
        shape.endCodeAfter = size_t(*value);
    }
    if (auto value = take(Kind::StreamStop, streamCommand)) {
        shape.stopAfter = size_t(*value);
    }
    return shape;
}

bool SimFaults::isProbeBusy() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_probeBusy;
}

bool SimFaults::setConfigurationFails() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failSetConfiguration;
}

bool SimFaults::claimInterfaceFails() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failClaimInterface;
}

bool SimFaults::countPacketForUnplug()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_unplugCountdown) {
        return false;
    }
    if (*m_unplugCountdown <= 1) {
        m_unplugCountdown.reset();
        return true;
    }
    --*m_unplugCountdown;
    return false;
}
