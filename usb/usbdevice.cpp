#include "usb/usbdevice.h"

#include <QElapsedTimer>

#include <libusb.h>

namespace {

// Lower-case hex pairs joined by ':', 14 bytes (41 characters) to a line; the ':' after a full line
// is dropped and the lines are joined by a line feed and a tab.
QByteArray hexDump(const QByteArray& data)
{
    const QByteArray hex = data.toHex(':');
    constexpr int kLineLength = 41;
    QByteArray dump;
    dump.reserve(hex.size() + hex.size() / kLineLength * 2);
    for (int position = 0; position < hex.size(); position += kLineLength + 1) {
        if (position > 0) {
            dump += "\n\t";
        }
        dump += hex.mid(position, kLineLength);
    }
    return dump.trimmed();
}

QByteArray wordPacket(quint32 command)
{
    QByteArray packet(4, '\0');
    for (int i = 0; i < 4; ++i) {
        packet[i] = char((command >> (8 * i)) & 0xFF);
    }
    return packet;
}

} // namespace

UsbDevice::UsbDevice(libusb_device* device, const QString& name, bool asyncRead, QObject* parent)
    : QObject(parent), BaseLogger(name + QStringLiteral(".USB")), m_device(device), m_refreshTimer(this)
{
    // Only the blocking mode is provided; nothing in the tool asks for the asynchronous one.
    Q_UNUSED(asyncRead);
    m_refreshTimer.setInterval(kRefreshIntervalMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &UsbDevice::refreshConnectionState);
}

UsbDevice::~UsbDevice()
{
    close();
    logger()->trace("Destroyed!");
}

bool UsbDevice::isOpen()
{
    if (!m_handle) {
        return false;
    }
    unsigned char descriptor[18];
    const int result =
        libusb_control_transfer(m_handle, LIBUSB_ENDPOINT_IN, LIBUSB_REQUEST_GET_DESCRIPTOR,
                                LIBUSB_DT_DEVICE << 8, 0, descriptor, sizeof descriptor, kProbeTimeoutMs);
    if (result >= 0 || result == LIBUSB_ERROR_BUSY) {
        return true;
    }
    logger()->trace("Device not open: {}", libusb_error_name(result));
    return false;
}

void UsbDevice::open()
{
    if (isOpen()) {
        return;
    }
    if (!m_device) {
        logger()->critical("Device is null!");
        return;
    }
    // A failed open is logged at debug level only: the discovery retries it for as long as the
    // instrument stays plugged in and writes one error line per attempt itself.
    const int opened = libusb_open(m_device, &m_handle);
    if (opened != LIBUSB_SUCCESS) {
        m_handle = nullptr;
        logger()->debug("Failed to open device: ({})", libusb_error_name(opened));
        return;
    }
    if (!m_handle) {
        logger()->error("Can't open device!");
        return;
    }
    logger()->debug("Device opened");

    const int configured = libusb_set_configuration(m_handle, 1);
    if (configured != LIBUSB_SUCCESS) {
        libusb_close(m_handle);
        m_handle = nullptr;
        logger()->debug("libusb_set_configuration failed: {}\n", libusb_error_name(configured));
        return;
    }
    const int claimed = libusb_claim_interface(m_handle, 0);
    if (claimed != LIBUSB_SUCCESS) {
        libusb_close(m_handle);
        m_handle = nullptr;
        logger()->debug("libusb_claim_interface failed: {}\n", libusb_error_name(claimed));
        return;
    }
    determineEndpoints();
    m_refreshTimer.start(kRefreshIntervalMs);
    emit ready();
}

void UsbDevice::determineEndpoints()
{
    logger()->trace("Determine Endpoints...");
    m_outEndpoint = 0;
    m_inEndpoint = 0;
    m_inPacketSize = LIBUSB_ERROR_NO_DEVICE;

    libusb_device* device = libusb_get_device(m_handle);
    libusb_device_descriptor descriptor;
    if (!device || libusb_get_device_descriptor(device, &descriptor) != LIBUSB_SUCCESS) {
        return;
    }
    bool haveIn = false;
    bool haveOut = false;
    for (uint8_t index = 0; index < descriptor.bNumConfigurations; ++index) {
        libusb_config_descriptor* config = nullptr;
        if (libusb_get_config_descriptor(device, index, &config) != LIBUSB_SUCCESS || !config) {
            continue;
        }
        if (config->bDescriptorType != LIBUSB_DT_CONFIG) {
            libusb_free_config_descriptor(config);
            continue;
        }
        for (int i = 0; i < config->bNumInterfaces; ++i) {
            const libusb_interface& interface = config->interface[i];
            for (int a = 0; a < interface.num_altsetting; ++a) {
                const libusb_interface_descriptor& setting = interface.altsetting[a];
                if (setting.bDescriptorType != LIBUSB_DT_INTERFACE) {
                    continue;
                }
                for (int e = 0; e < setting.bNumEndpoints; ++e) {
                    const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
                    if (endpoint.bDescriptorType != LIBUSB_DT_ENDPOINT || endpoint.wMaxPacketSize != 1024) {
                        continue;
                    }
                    if (endpoint.bEndpointAddress & LIBUSB_ENDPOINT_IN) {
                        if (!haveIn) {
                            haveIn = true;
                            m_inEndpoint = endpoint.bEndpointAddress;
                            logger()->trace("Add IN Endpoint {:#x}", m_inEndpoint);
                        }
                    } else if (!haveOut) {
                        haveOut = true;
                        m_outEndpoint = endpoint.bEndpointAddress;
                        logger()->trace("Add OUT Endpoint {:#x}", m_outEndpoint);
                    }
                }
            }
        }
        libusb_free_config_descriptor(config);
    }
    m_inPacketSize = libusb_get_max_packet_size(device, m_inEndpoint);
}

void UsbDevice::close()
{
    if (!m_handle) {
        return;
    }
    m_refreshTimer.stop();
    const int released = libusb_release_interface(m_handle, 0);
    if (released != LIBUSB_SUCCESS) {
        logger()->error("Release interface error {}", libusb_error_name(released));
    }
    libusb_close(m_handle);
    m_handle = nullptr;
    logger()->debug("Device closed");
    emit disconnected();
}

void UsbDevice::refreshConnectionState()
{
    if (!isOpen()) {
        m_refreshTimer.stop();
        close();
    }
}

int UsbDevice::sendData(const QByteArray& data, int* transferred, unsigned int timeoutMs)
{
    if (logger()->should_log(spdlog::level::trace)) {
        logger()->trace("Send data\n\t{}", hexDump(data));
    }
    if (transferred) {
        *transferred = 0;
    }
    if (m_staleAnswerPossible) {
        drainStaleAnswers();
    }
    // Without a handle libusb would dereference null; report what a vanished device reports.
    const int result =
        m_handle ? libusb_bulk_transfer(m_handle, m_outEndpoint,
                                        reinterpret_cast<unsigned char*>(const_cast<char*>(data.data())),
                                        data.size(), transferred, timeoutMs)
                 : int(LIBUSB_ERROR_NO_DEVICE);
    if (result != LIBUSB_SUCCESS) {
        // A packet that went out in part may still have been taken and answered.
        m_staleAnswerPossible = true;
        logger()->error("Unable to send packet: {}\n", libusb_error_name(result));
    }
    return result;
}

int UsbDevice::receiveData(QByteArray& data, unsigned int timeoutMs)
{
    if (!m_handle) {
        logger()->error("Unable to receive packet: {}\n", libusb_error_name(LIBUSB_ERROR_NO_DEVICE));
        return LIBUSB_ERROR_NO_DEVICE;
    }
    QByteArray buffer(qMax(m_inPacketSize, 0), '0');
    int actual = 0;
    const int result =
        libusb_bulk_transfer(m_handle, m_inEndpoint, reinterpret_cast<unsigned char*>(buffer.data()),
                             buffer.size(), &actual, timeoutMs);
    if (result != LIBUSB_SUCCESS) {
        if (result == LIBUSB_ERROR_TIMEOUT) {
            m_staleAnswerPossible = true;
        }
        logger()->error("Unable to receive packet: {}\n", libusb_error_name(result));
        return result;
    }
    buffer.truncate(actual);
    if (logger()->should_log(spdlog::level::trace)) {
        logger()->trace("Received {}byte data from {:#x}:\n\t{}", actual, m_inEndpoint, hexDump(buffer));
    }
    data = buffer;
    return LIBUSB_SUCCESS;
}

void UsbDevice::drainStaleAnswers()
{
    m_staleAnswerPossible = false;
    const int size = m_handle ? m_inPacketSize : 0;
    if (size <= 0) {
        return;
    }
    QByteArray buffer(size, '\0');
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kDrainMaxMs) {
        int actual = 0;
        const int result =
            libusb_bulk_transfer(m_handle, m_inEndpoint, reinterpret_cast<unsigned char*>(buffer.data()),
                                 buffer.size(), &actual, kDrainQuietMs);
        if (result != LIBUSB_SUCCESS) {
            return; // quiet now (or the instrument went; the next transfer says so)
        }
        logger()->debug("Dropped a late answer of {} bytes: {:#x}", actual,
                        toUInt32(QByteArray::fromRawData(buffer.constData(), actual)));
    }
    logger()->warn(
        "The instrument keeps sending unasked packets; dropping them again before the next request");
    m_staleAnswerPossible = true;
}

QByteArray UsbDevice::transfer(const QByteArray& request, int* result, unsigned int timeoutMs)
{
    sendData(request, nullptr, timeoutMs);
    QByteArray answer;
    const int received = receiveData(answer, timeoutMs);
    if (received != LIBUSB_SUCCESS) {
        m_staleAnswerPossible = true;
    }
    if (result) {
        *result = received;
    }
    return answer;
}

int UsbDevice::sendCommand(quint32 command)
{
    return sendData(wordPacket(command), nullptr, kCommandTimeoutMs);
}

int UsbDevice::sendCommand(quint32 command, quint32 argument)
{
    return sendData(commandPacket(command, argument), nullptr, kCommandTimeoutMs);
}

QByteArray UsbDevice::request(quint32 command, quint32 expectedAnswer, int* result, unsigned int timeoutMs)
{
    return exchange(wordPacket(command), expectedAnswer, nullptr, result, timeoutMs);
}

QByteArray UsbDevice::readOption(quint32 optionId, int* result, unsigned int timeoutMs)
{
    return exchange(commandPacket(e_cmd_GetOption, optionId), e_cmd_OptionAnswer, &optionId, result,
                    timeoutMs);
}

QByteArray UsbDevice::exchange(const QByteArray& packet, quint32 expectedAnswer, const quint32* optionId,
                               int* result, unsigned int timeoutMs)
{
    int ignored = 0;
    int& code = result ? *result : ignored;
    sendData(packet, nullptr, timeoutMs);
    QByteArray payload;
    code = awaitAnswer(expectedAnswer, optionId, timeoutMs, payload);
    if (code != 0) {
        // However it ended, the answer to this request may still come.
        m_staleAnswerPossible = true;
    }
    return payload;
}

int UsbDevice::awaitAnswer(quint32 expectedAnswer, const quint32* optionId, unsigned int timeoutMs,
                           QByteArray& payload)
{
    // An answer that does not fit is a late answer to an earlier request (or garbage): it is logged,
    // dropped, and the expected one is awaited for the rest of the same time-out.
    QElapsedTimer clock;
    clock.start();
    bool discarded = false;
    for (;;) {
        const qint64 elapsed = clock.elapsed();
        if (discarded && elapsed >= qint64(timeoutMs)) {
            return kWrongAnswer;
        }
        // libusb takes 0 as "no time-out": never pass it.
        const unsigned int remaining =
            discarded ? unsigned(qMax<qint64>(1, qint64(timeoutMs) - elapsed)) : timeoutMs;
        QByteArray answer;
        const int received = receiveData(answer, remaining);
        if (received != LIBUSB_SUCCESS) {
            if (discarded && received == LIBUSB_ERROR_TIMEOUT) {
                return kWrongAnswer;
            }
            logger()->error("Can't read data: {}", libusb_error_name(received));
            return received;
        }
        const quint32 answerCode = toUInt32(answer);
        if (answerCode != expectedAnswer) {
            logger()->error("Wrong Answer: {}:{}", expectedAnswer, answerCode);
            discarded = true;
            continue;
        }
        if (optionId) {
            const quint32 echoed = toUInt32(answer.mid(4));
            if (echoed != *optionId) {
                logger()->error("Wrong Option: {}:{}", *optionId, echoed);
                discarded = true;
                continue;
            }
        }
        payload = answer.mid(optionId ? 8 : 4);
        return 0;
    }
}

quint32 UsbDevice::toUInt32(const QByteArray& bytes)
{
    quint32 value = 0;
    for (int i = 0; i < 4 && i < bytes.size(); ++i) {
        value |= quint32(quint8(bytes[i])) << (8 * i);
    }
    return value;
}

QByteArray UsbDevice::commandPacket(quint32 command, quint32 argument)
{
    return wordPacket(command) + wordPacket(argument);
}
