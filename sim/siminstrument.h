#pragma once

#include "sim/simfaults.h"
#include "sim/simoptionstore.h"
#include "sim/simprotocol.h"
#include "sim/simusbidentity.h"

#include <QByteArray>

#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// Which firmware generation an instrument runs. Legacy firmware predates the device-serial and
// hardware-revision options: it ignores requests for options it does not know (no answer at all),
// while current firmware answers an unknown option with an empty value.
enum class SimFirmware
{
    Current,
    Legacy
};

// One simulated instrument: the protocol engine every kind shares. It takes OUT packets, keeps the
// answers it owes in a queue for its IN endpoint, holds identity, option store, device log and
// firmware receiver, and misbehaves on request through faults(). It knows nothing of USB transfers
// or of the tool; the usbfs emulation moves its packets.
//
// Thread-safety: every public member may be called from any thread; one mutex guards the state.
class SimInstrument
{
public:
    using Bytes = SimProtocol::Bytes;
    using Clock = std::chrono::steady_clock;

    // What the instrument wants from the bus after the last packet.
    enum class LinkEvent
    {
        None,
        Unplug,     // gone for good (the unplug fault)
        Reenumerate // rebooting: gone now, back after a short delay
    };

    struct WriteOutcome
    {
        bool stalled = false;
        size_t accepted = 0; // bytes the instrument took from the OUT transfer
    };

    struct InPacket
    {
        bool stalled = false; // the IN transfer ends with a stall instead of data
        Bytes data;
    };

    SimInstrument(std::string name, SimUsbIdentity usb, SimFirmware firmware = SimFirmware::Current);
    virtual ~SimInstrument();
    SimInstrument(const SimInstrument&) = delete;
    SimInstrument& operator=(const SimInstrument&) = delete;

    std::string name() const;
    SimUsbIdentity usbIdentity() const;
    void setEndpointLayout(SimUsbIdentity::EndpointLayout layout);
    SimFirmware firmware() const;
    SimFaults& faults() { return m_faults; }

    // --- bus side ---
    // One OUT packet arrived on `endpoint`.
    WriteOutcome receivePacket(uint8_t endpoint, const Bytes& packet, Clock::time_point now = Clock::now());
    // The next packet due on `endpoint` by `now`, if any.
    std::optional<InPacket> takeInPacket(uint8_t endpoint, Clock::time_point now = Clock::now());
    // What the bus must do after the last packet; reading it clears it.
    LinkEvent takeLinkEvent();
    // Power-up after a re-enumeration or a fresh plug: nothing queued, working copy = permanent copy.
    void powerUp();
    // Queues `packet` as the next IN packet, as if the firmware sent it unasked (for odd answers such as
    // a packet of two bytes or an empty one).
    void injectInPacket(const Bytes& packet);

    // --- what the instrument saw and sent ---
    std::vector<Bytes> received() const;
    // The first word of every received packet, in order.
    std::vector<uint32_t> receivedCommands() const;
    size_t countReceived(uint32_t command) const;
    void clearReceived();
    size_t sentPacketCount() const;
    size_t queuedInPackets() const;
    int rebootCount() const;
    int factoryResetCount() const;

    // --- identity ---
    void setSoftwareVersion(const std::string& text);
    std::string softwareVersion() const;
    void setPcbSerial(const std::string& text);
    std::string pcbSerial() const;
    void setChipId(const std::string& text);
    std::string chipId() const;
    // The answer to the legacy hardware-revision command.
    void setHardwareRevisionText(const std::string& text);

    // --- options ---
    bool knowsOption(uint32_t id) const;
    std::optional<Bytes> option(uint32_t id) const;          // working copy
    std::optional<Bytes> permanentOption(uint32_t id) const; // permanent copy
    // Sets working and permanent copy, as production would have stored it; false for an unknown id.
    bool storeOption(uint32_t id, const Bytes& value);
    bool hasUncommittedOptions() const;

    // --- device log ---
    void setLog(const Bytes& log);
    Bytes log() const;

    // --- firmware receiver ---
    // The simulated firmware's image layout: an image that carries this tag followed by a version text
    // (ended by a NUL byte or the image end) runs as that software version after it was verified and the
    // instrument restarted. Images without the tag leave the version as it was.
    static constexpr const char* kVersionTag = "SIM-FIRMWARE-VERSION:";
    // Delay before the verify answer is queued (a long flash check).
    void setVerifyDelay(std::chrono::milliseconds delay);
    // Forces the verify status (nullopt: computed from what arrived).
    void setVerifyStatusOverride(std::optional<uint32_t> status);
    Bytes firmwareImage() const;
    uint32_t announcedFirmwareSize() const;
    uint32_t announcedFirmwareChecksum() const;
    std::optional<uint32_t> lastVerifyStatus() const;

    // Value layouts shared by the kinds.
    static Bytes int32Value(int32_t value);
    static Bytes floatValue(float value);
    static Bytes textValue(const std::string& latin1);
    static Bytes toBytes(const QByteArray& bytes);
    static QByteArray toByteArray(const Bytes& bytes);

protected:
    // Kind-specific commands; true when handled. Called with the mutex held.
    virtual bool handleKindCommand(uint32_t command, const Bytes& packet, Clock::time_point now);
    // State the kind drops on reboot or factory reset. Called with the mutex held.
    virtual void onReboot() {}
    // A received image passed its verification; it runs after the next restart. Mutex held.
    virtual void onImageVerified(const Bytes& /*image*/) {}
    // The vendor:product the instrument enumerates with from its next plug on. Mutex held.
    void setUsbIdentityLocked(const SimUsbIdentity& usb);
    virtual void onFactoryReset() {}

    // Queues the answer [answerCode][payload] to `command`, subject to the answer faults.
    void queueAnswer(uint32_t command, uint32_t answerCode, const Bytes& payload, Clock::time_point now,
                     std::chrono::milliseconds extraDelay = std::chrono::milliseconds(0));
    // Queues `payload` as raw packets of at most 1024 bytes ended by the 4-byte end code, subject to the
    // stream faults.
    void queueStream(uint32_t command, const Bytes& payload, uint32_t endCode, Clock::time_point now);

    SimOptionStore& optionStore() { return m_options; }
    const SimOptionStore& optionStore() const { return m_options; }
    // Fills the store with every id the kind knows, with realistic default values.
    void defineOptions(const std::vector<std::pair<uint32_t, Bytes>>& defaults);
    // The identity every kind carries: the general options and the answers to the identity commands.
    // Legacy firmware does not know the hardware-revision and device-serial options.
    void defineIdentity(const std::string& pcbSerial, const std::string& deviceType,
                        const std::string& hardwareRevision, const std::string& deviceSerial);

    mutable std::mutex m_mutex; // guards all state below and the kinds' own state

private:
    struct QueuedPacket
    {
        Bytes data;
        bool stalled;
        Clock::time_point due;
    };
    struct FirmwareReceiver
    {
        bool started = false;
        bool dataEnded = false;
        bool outOfRange = false;
        uint32_t size = 0;
        uint32_t checksum = 0;
        Bytes image;
        std::vector<bool> covered;
    };

    void handlePacket(const Bytes& packet, Clock::time_point now);
    void handleFirmwareData(const Bytes& packet, Clock::time_point now);
    uint32_t verifyStatus() const;
    static std::string versionTagOf(const Bytes& image);
    void queuePacket(Bytes data, bool stalled, Clock::time_point due);
    void countPacket();

    std::string m_name;
    SimUsbIdentity m_usb;
    SimFirmware m_firmware;
    SimFaults m_faults;

    std::vector<Bytes> m_received;
    std::deque<QueuedPacket> m_inQueue;
    Clock::time_point m_lastDue;
    size_t m_sentPackets = 0;
    LinkEvent m_linkEvent = LinkEvent::None;
    int m_rebootCount = 0;
    int m_factoryResetCount = 0;

    std::string m_softwareVersion;
    std::string m_installedVersion; // of the last verified image, running after the next reboot
    std::string m_pcbSerial;
    std::string m_chipId;
    std::string m_hardwareRevisionText;
    SimOptionStore m_options;
    Bytes m_log;

    FirmwareReceiver m_firmwareReceiver;
    std::chrono::milliseconds m_verifyDelay{0};
    std::optional<uint32_t> m_verifyStatusOverride;
    std::optional<uint32_t> m_lastVerifyStatus;
};
