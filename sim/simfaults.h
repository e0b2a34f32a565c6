#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

// Misbehaviour an instrument shows on request. A test arms a fault before the traffic it wants to
// disturb, for example
//     unit->faults().noAnswerTo(SimProtocol::GetChipId);
//     unit->faults().lateAnswerTo(SimProtocol::GetSerialNumber, std::chrono::milliseconds(80), 1);
// Per-command faults apply `times` times (kAlways: until clear()). Thread-safe: the test thread arms
// faults while the emulation's worker thread consumes them.
class SimFaults
{
public:
    static constexpr int kAlways = -1;
    using Milliseconds = std::chrono::milliseconds;

    // What one stream will look like, decided when the stream command arrives.
    struct StreamShape
    {
        std::optional<size_t> zeroLengthPacketAfter; // an empty packet after this many data packets
        std::optional<size_t> endCodeAfter;          // a 4-byte packet equal to the end code, as data
        std::optional<size_t> stopAfter;             // nothing more after this many data packets
    };

    // --- arming (test side) ---
    void noAnswerTo(uint32_t command, int times = kAlways);
    // The answer is queued `delay` after the request arrived; later answers cannot overtake it.
    void lateAnswerTo(uint32_t command, Milliseconds delay, int times = kAlways);
    void wrongAnswerCode(uint32_t command, uint32_t answerCode, int times = kAlways);
    // The answer to a read of option `optionId` is lost (other options still answer).
    void noAnswerToOption(uint32_t optionId, int times = kAlways);
    // A set of option `optionId` is taken in silence and forgotten: the option keeps its value.
    void dropOptionSet(uint32_t optionId, int times = kAlways);
    // An option answer for `optionId` echoes `echoedId` instead.
    void wrongOptionId(uint32_t optionId, uint32_t echoedId, int times = kAlways);
    // The OUT transfer carrying `command` ends after `acceptedBytes`; the instrument sees only those.
    void shortWrite(uint32_t command, size_t acceptedBytes, int times = kAlways);
    // The OUT transfer carrying `command` stalls; the instrument does not see it.
    void pipeErrorOn(uint32_t command, int times = kAlways);
    // Only the n-th OUT transfer carrying `command` from now on stalls (n >= 1), once.
    void pipeErrorOnNth(uint32_t command, uint64_t n);
    // The IN transfer that would carry the answer to `command` stalls instead.
    void pipeErrorOnAnswerTo(uint32_t command, int times = kAlways);
    void zeroLengthPacketInStream(uint32_t streamCommand, size_t afterPackets, int times = kAlways);
    void endCodeInStream(uint32_t streamCommand, size_t afterPackets, int times = kAlways);
    void stopStreamAfter(uint32_t streamCommand, size_t packets, int times = kAlways);
    // The connection probe reports the device busy (it stays reachable).
    void probeBusy(bool busy = true);
    void failSetConfiguration(bool fail = true);
    void failClaimInterface(bool fail = true);
    // The instrument disappears from the bus right after the n-th packet from now, counting packets of
    // both directions (a packet it received or one it sent).
    void unplugAfterPackets(size_t packets);
    void clear();

    // --- consuming (instrument and emulation side); each call uses up one application ---
    bool takeNoAnswer(uint32_t command);
    std::optional<Milliseconds> takeLateAnswer(uint32_t command);
    std::optional<uint32_t> takeWrongAnswerCode(uint32_t command);
    std::optional<uint32_t> takeWrongOptionId(uint32_t optionId);
    bool takeNoOptionAnswer(uint32_t optionId);
    bool takeDroppedOptionSet(uint32_t optionId);
    std::optional<size_t> takeShortWrite(uint32_t command);
    bool takePipeErrorOn(uint32_t command);
    bool takePipeErrorOnAnswer(uint32_t command);
    StreamShape takeStreamShape(uint32_t streamCommand);
    bool isProbeBusy() const;
    bool setConfigurationFails() const;
    bool claimInterfaceFails() const;
    // Counts one packet; true exactly once, when the armed unplug is due.
    bool countPacketForUnplug();

private:
    enum class Kind
    {
        NoAnswer,
        LateAnswer,
        WrongAnswerCode,
        WrongOptionId,
        NoOptionAnswer,
        DroppedOptionSet,
        ShortWrite,
        PipeErrorOut,
        PipeErrorOutNth,
        PipeErrorAnswer,
        StreamZeroLength,
        StreamEndCode,
        StreamStop
    };
    struct Rule
    {
        Kind kind;
        uint32_t key;
        uint64_t value;
        int remaining;
    };

    void arm(Kind kind, uint32_t key, uint64_t value, int times);
    std::optional<uint64_t> take(Kind kind, uint32_t key);

    mutable std::mutex m_mutex; // guards every member below
    std::vector<Rule> m_rules;
    bool m_probeBusy = false;
    bool m_failSetConfiguration = false;
    bool m_failClaimInterface = false;
    std::optional<size_t> m_unplugCountdown;
};
