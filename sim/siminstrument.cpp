#include "sim/siminstrument.h"

#include "sim/simdefaults.h"

#include <algorithm>
#include <cstring>

using namespace SimProtocol;

SimInstrument::SimInstrument(std::string name, SimUsbIdentity usb, SimFirmware firmware)
    : m_name(std::move(name)), m_usb(std::move(usb)), m_firmware(firmware), m_lastDue(Clock::now())
{
    m_softwareVersion = firmware == SimFirmware::Legacy ? "BOOT 1.1.0$2018-06-12" : "BOOT 1.4.2$2021-03-04";
    m_pcbSerial = "PCB-0000000";
    m_chipId = "2A0047001151353432383331";
    m_hardwareRevisionText = "B";
}

SimInstrument::~SimInstrument() = default;

void SimInstrument::setUsbIdentityLocked(const SimUsbIdentity& usb)
{
    m_usb = usb;
}

std::string SimInstrument::name() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_name;
}

SimUsbIdentity SimInstrument::usbIdentity() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_usb;
}

void SimInstrument::setEndpointLayout(SimUsbIdentity::EndpointLayout layout)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_usb.setEndpointLayout(layout);
}

SimFirmware SimInstrument::firmware() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_firmware;
}

// --- bus side ---

SimInstrument::WriteOutcome SimInstrument::receivePacket(uint8_t endpoint, const Bytes& packet,
                                                         Clock::time_point now)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    WriteOutcome outcome;
    if (endpoint != m_usb.outEndpoint()) {
        // Nothing listens there: the transfer is taken and dropped, as a sink endpoint would.
        outcome.accepted = packet.size();
        return outcome;
    }
    const uint32_t command = wordAt(packet, 0);
    countPacket();
    if (m_faults.takePipeErrorOn(command)) {
        outcome.stalled = true;
        return outcome;
    }
    Bytes seen = packet;
    if (auto accepted = m_faults.takeShortWrite(command)) {
        seen.resize(std::min(*accepted, packet.size()));
    }
    outcome.accepted = seen.size();
    m_received.push_back(seen);
    handlePacket(seen, now);
    return outcome;
}

std::optional<SimInstrument::InPacket> SimInstrument::takeInPacket(uint8_t endpoint, Clock::time_point now)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (endpoint != m_usb.answerEndpoint() || m_inQueue.empty() || m_inQueue.front().due > now) {
        return std::nullopt;
    }
    InPacket packet;
    packet.data = std::move(m_inQueue.front().data);
    packet.stalled = m_inQueue.front().stalled;
    m_inQueue.pop_front();
    ++m_sentPackets;
    countPacket();
    return packet;
}

SimInstrument::LinkEvent SimInstrument::takeLinkEvent()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const LinkEvent event = m_linkEvent;
    m_linkEvent = LinkEvent::None;
    return event;
}

void SimInstrument::powerUp()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_inQueue.clear();
    m_options.revert();
    m_firmwareReceiver = FirmwareReceiver();
    onReboot();
}

void SimInstrument::injectInPacket(const Bytes& packet)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    queuePacket(packet, false, Clock::now());
}

void SimInstrument::countPacket()
{
    if (m_faults.countPacketForUnplug()) {
        m_linkEvent = LinkEvent::Unplug;
    }
}

// --- protocol engine ---

void SimInstrument::queuePacket(Bytes data, bool stalled, Clock::time_point due)
{
    // An instrument answers in order: nothing overtakes an answer that is still owed.
    due = std::max(due, m_lastDue);
    m_lastDue = due;
    m_inQueue.push_back(QueuedPacket{std::move(data), stalled, due});
}

void SimInstrument::queueAnswer(uint32_t command, uint32_t answerCode, const Bytes& payload,
                                Clock::time_point now, std::chrono::milliseconds extraDelay)
{
    if (m_faults.takeNoAnswer(command)) {
        return;
    }
    Clock::time_point due = now + extraDelay;
    if (auto delay = m_faults.takeLateAnswer(command)) {
        due += *delay;
    }
    if (m_faults.takePipeErrorOnAnswer(command)) {
        queuePacket(Bytes(), true, due);
        return;
    }
    if (auto wrongCode = m_faults.takeWrongAnswerCode(command)) {
        answerCode = *wrongCode;
    }
    Bytes packet;
    appendWord(packet, answerCode);
    packet.insert(packet.end(), payload.begin(), payload.end());
    if (packet.size() > MaxPacketSize) {
        packet.resize(MaxPacketSize);
    }
    queuePacket(std::move(packet), false, due);
}

void SimInstrument::queueStream(uint32_t command, const Bytes& payload, uint32_t endCode,
                                Clock::time_point now)
{
    if (m_faults.takeNoAnswer(command)) {
        return;
    }
    Clock::time_point due = now;
    if (auto delay = m_faults.takeLateAnswer(command)) {
        due += *delay;
    }
    const SimFaults::StreamShape shape = m_faults.takeStreamShape(command);
    size_t dataPackets = 0;
    auto injections = [&]() {
        if (shape.zeroLengthPacketAfter && *shape.zeroLengthPacketAfter == dataPackets) {
            queuePacket(Bytes(), false, due);
        }
        if (shape.endCodeAfter && *shape.endCodeAfter == dataPackets) {
            queuePacket(words({endCode}), false, due);
        }
        return !(shape.stopAfter && *shape.stopAfter == dataPackets);
    };
    for (size_t offset = 0; offset < payload.size(); offset += MaxPacketSize) {
        if (!injections()) {
            return;
        }
        const size_t length = std::min(MaxPacketSize, payload.size() - offset);
        queuePacket(Bytes(payload.begin() + long(offset), payload.begin() + long(offset + length)), false,
                    due);
        ++dataPackets;
    }
    if (!injections()) {
        return;
    }
    if (m_faults.takePipeErrorOnAnswer(command)) {
        queuePacket(Bytes(), true, due);
        return;
    }
    uint32_t code = endCode;
    if (auto wrongCode = m_faults.takeWrongAnswerCode(command)) {
        code = *wrongCode;
    }
    queuePacket(words({code}), false, due);
}

void SimInstrument::handlePacket(const Bytes& packet, Clock::time_point now)
{
    if (packet.size() < 4) {
        return; // not even a command word: ignored
    }
    const uint32_t command = wordAt(packet, 0);
    switch (command) {
    case GetSoftwareVersion:
        queueAnswer(command, SoftwareVersionAnswer, textValue(m_softwareVersion + '\0'), now);
        return;
    case GetHardwareRevision:
        queueAnswer(command, HardwareRevisionAnswer, textValue(m_hardwareRevisionText + '\0'), now);
        return;
    case GetSerialNumber:
        queueAnswer(command, SerialNumberAnswer, textValue(m_pcbSerial + '\0'), now);
        return;
    case GetChipId:
        queueAnswer(command, ChipIdAnswer, textValue(m_chipId + '\0'), now);
        return;
    case ReadLog:
        queueStream(command, m_log, LogEnd, now);
        return;
    case DeleteLog:
        m_log.clear();
        return;
    case GetOption: {
        if (packet.size() < 8) {
            return;
        }
        const uint32_t id = wordAt(packet, 4);
        if (m_faults.takeNoOptionAnswer(id)) {
            return;
        }
        std::optional<Bytes> value = m_options.working(id);
        if (!value && m_firmware == SimFirmware::Legacy) {
            return; // legacy firmware stays silent about ids it does not know
        }
        Bytes payload;
        appendWord(payload, m_faults.takeWrongOptionId(id).value_or(id));
        if (value) {
            payload.insert(payload.end(), value->begin(), value->end());
        }
        queueAnswer(command, OptionAnswer, payload, now);
        return;
    }
    case SetOption:
        if (packet.size() >= 8 && !m_faults.takeDroppedOptionSet(wordAt(packet, 4))) {
            m_options.set(wordAt(packet, 4), Bytes(packet.begin() + 8, packet.end()));
        }
        return;
    case WriteOptions:
        m_options.commit();
        return;
    case FirmwareStart:
        if (packet.size() >= 8) {
            m_firmwareReceiver = FirmwareReceiver();
            m_firmwareReceiver.started = true;
            m_firmwareReceiver.size = wordAt(packet, 4);
            m_firmwareReceiver.image.assign(m_firmwareReceiver.size, 0xFF);
            m_firmwareReceiver.covered.assign(m_firmwareReceiver.size, false);
            m_lastVerifyStatus.reset();
        }
        return;
    case FirmwareChecksum:
        if (packet.size() >= 8) {
            m_firmwareReceiver.checksum = wordAt(packet, 4);
        }
        return;
    case FirmwareData:
        handleFirmwareData(packet, now);
        return;
    case FactoryReset:
        ++m_factoryResetCount;
        m_options.factoryReset();
        onFactoryReset();
        return;
    case Reboot:
        ++m_rebootCount;
        // A verified image runs after the restart.
        if (!m_installedVersion.empty()) {
            m_softwareVersion = m_installedVersion;
            m_installedVersion.clear();
        }
        m_inQueue.clear();
        m_options.revert();
        m_firmwareReceiver = FirmwareReceiver();
        onReboot();
        m_linkEvent = LinkEvent::Reenumerate;
        return;
    default:
        handleKindCommand(command, packet, now);
        return;
    }
}

bool SimInstrument::handleKindCommand(uint32_t, const Bytes&, Clock::time_point)
{
    return false; // unknown commands are ignored, as the firmware does
}

void SimInstrument::handleFirmwareData(const Bytes& packet, Clock::time_point now)
{
    FirmwareReceiver& receiver = m_firmwareReceiver;
    if (packet.size() == 4) {
        // The first lone [257] ends the data; each later one asks for the verify result.
        if (!receiver.dataEnded) {
            receiver.dataEnded = true;
            return;
        }
        const uint32_t status = verifyStatus();
        m_lastVerifyStatus = status;
        if (status == 0) {
            m_installedVersion = versionTagOf(receiver.image);
            onImageVerified(receiver.image);
        }
        queueAnswer(FirmwareData, FirmwareVerifyAnswer, words({status}), now, m_verifyDelay);
        return;
    }
    if (packet.size() < 8) {
        return;
    }
    const uint64_t offset = wordAt(packet, 4);
    const size_t length = packet.size() - 8;
    if (!receiver.started || offset + length > receiver.size) {
        receiver.outOfRange = true;
        return;
    }
    std::copy(packet.begin() + 8, packet.end(), receiver.image.begin() + long(offset));
    std::fill(receiver.covered.begin() + long(offset), receiver.covered.begin() + long(offset + length),
              true);
}

std::string SimInstrument::versionTagOf(const Bytes& image)
{
    static const std::string tag = kVersionTag;
    const auto at = std::search(image.begin(), image.end(), tag.begin(), tag.end());
    if (at == image.end()) {
        return std::string();
    }
    const auto begin = at + long(tag.size());
    return std::string(begin, std::find(begin, image.end(), uint8_t(0)));
}

uint32_t SimInstrument::verifyStatus() const
{
    if (m_verifyStatusOverride) {
        return *m_verifyStatusOverride;
    }
    const FirmwareReceiver& receiver = m_firmwareReceiver;
    if (!receiver.started) {
        return 1;
    }
    if (receiver.outOfRange ||
        std::find(receiver.covered.begin(), receiver.covered.end(), false) != receiver.covered.end()) {
        return 2;
    }
    if (jamCrc(receiver.image.data(), receiver.image.size()) != receiver.checksum) {
        return 3;
    }
    return 0;
}

// --- inspection ---

std::vector<SimInstrument::Bytes> SimInstrument::received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

std::vector<uint32_t> SimInstrument::receivedCommands() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<uint32_t> commands;
    commands.reserve(m_received.size());
    for (const Bytes& packet : m_received) {
        commands.push_back(wordAt(packet, 0));
    }
    return commands;
}

size_t SimInstrument::countReceived(uint32_t command) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return size_t(std::count_if(m_received.begin(), m_received.end(),
                                [command](const Bytes& packet) { return wordAt(packet, 0) == command; }));
}

void SimInstrument::clearReceived()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_received.clear();
}

size_t SimInstrument::sentPacketCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sentPackets;
}

size_t SimInstrument::queuedInPackets() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_inQueue.size();
}

int SimInstrument::rebootCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_rebootCount;
}

int SimInstrument::factoryResetCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_factoryResetCount;
}

// --- identity ---

void SimInstrument::setSoftwareVersion(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_softwareVersion = text;
}

std::string SimInstrument::softwareVersion() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_softwareVersion;
}

void SimInstrument::setPcbSerial(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pcbSerial = text;
}

std::string SimInstrument::pcbSerial() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pcbSerial;
}

void SimInstrument::setChipId(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_chipId = text;
}

std::string SimInstrument::chipId() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_chipId;
}

void SimInstrument::setHardwareRevisionText(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hardwareRevisionText = text;
}

// --- options ---

bool SimInstrument::knowsOption(uint32_t id) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_options.knows(id);
}

std::optional<SimInstrument::Bytes> SimInstrument::option(uint32_t id) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_options.working(id);
}

std::optional<SimInstrument::Bytes> SimInstrument::permanentOption(uint32_t id) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_options.permanent(id);
}

bool SimInstrument::storeOption(uint32_t id, const Bytes& value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_options.setStored(id, value);
}

bool SimInstrument::hasUncommittedOptions() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_options.hasUncommittedChanges();
}

void SimInstrument::defineOptions(const std::vector<std::pair<uint32_t, Bytes>>& defaults)
{
    for (const auto& entry : defaults) {
        m_options.define(entry.first, entry.second);
    }
}

void SimInstrument::defineIdentity(const std::string& pcbSerial, const std::string& deviceType,
                                   const std::string& hardwareRevision, const std::string& deviceSerial)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    defineOptions(SimDefaults::general({pcbSerial, deviceType, hardwareRevision, deviceSerial}));
    if (m_firmware == SimFirmware::Legacy) {
        m_options.forget(SimDefaults::HardwareRevision);
        m_options.forget(SimDefaults::DeviceSerialNumber);
    }
    m_pcbSerial = pcbSerial;
    m_hardwareRevisionText = hardwareRevision;
}

// --- log and firmware ---

void SimInstrument::setLog(const Bytes& log)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_log = log;
}

SimInstrument::Bytes SimInstrument::log() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_log;
}

void SimInstrument::setVerifyDelay(std::chrono::milliseconds delay)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_verifyDelay = delay;
}

void SimInstrument::setVerifyStatusOverride(std::optional<uint32_t> status)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_verifyStatusOverride = status;
}

SimInstrument::Bytes SimInstrument::firmwareImage() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_firmwareReceiver.image;
}

uint32_t SimInstrument::announcedFirmwareSize() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_firmwareReceiver.size;
}

uint32_t SimInstrument::announcedFirmwareChecksum() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_firmwareReceiver.checksum;
}

std::optional<uint32_t> SimInstrument::lastVerifyStatus() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastVerifyStatus;
}

// --- value layouts ---

SimInstrument::Bytes SimInstrument::int32Value(int32_t value)
{
    return words({uint32_t(value)});
}

SimInstrument::Bytes SimInstrument::floatValue(float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return words({bits});
}

SimInstrument::Bytes SimInstrument::textValue(const std::string& latin1)
{
    return Bytes(latin1.begin(), latin1.end());
}

SimInstrument::Bytes SimInstrument::toBytes(const QByteArray& bytes)
{
    return Bytes(bytes.begin(), bytes.end());
}

QByteArray SimInstrument::toByteArray(const Bytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
}
