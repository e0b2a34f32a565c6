#pragma once

#include "core/baselogger.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

struct libusb_device;
struct libusb_device_handle;

// Command and answer codes of the instruments' request/answer protocol. Every number on the wire is a
// 32-bit little-endian word; an answer's code is the request's code + 1 (the verify request 257 is
// answered by 260).
enum CommandCode : quint32
{
    e_cmd_GetSoftwareVersion = 1,
    e_cmd_SoftwareVersionAnswer = 2,
    e_cmd_GetHardwareRevision = 5,
    e_cmd_HardwareRevisionAnswer = 6,
    e_cmd_GetSerialNumber = 7,
    e_cmd_SerialNumberAnswer = 8,
    e_cmd_ReadLog = 11,
    e_cmd_LogEnd = 12,
    e_cmd_DeleteLog = 13,
    e_cmd_GetOption = 21,
    e_cmd_OptionAnswer = 22,
    e_cmd_SetOption = 23,
    e_cmd_WriteOptions = 24,
    e_cmd_FirmwareStart = 0x100,
    e_cmd_FirmwareData = 0x101,
    e_cmd_FirmwareChecksum = 0x102,
    e_cmd_FirmwareVerifyAnswer = 0x104,
    e_cmd_FactoryReset = 0x108,
    e_cmd_GetChipId = 0x10E,
    e_cmd_ChipIdAnswer = 0x10F,
    e_cmd_Reboot = 0x113,
    e_cmd_ReadDataSets = 0x116,
    e_cmd_DataSetsEnd = 0x117,
    e_cmd_ClearDataSets = 0x118,
    e_cmd_CdcSetThreshold = 0x40002,
    e_cmd_CdcGetThreshold = 0x40004,
    e_cmd_CdcThresholdAnswer = 0x40005,
    e_cmd_CdcStoreThreshold = 0x40006,
    e_cmd_CdcGetState = 0x40007,
    e_cmd_CdcStateAnswer = 0x40008,
};

// The transport to one attached instrument: libusb handle, configuration 1, interface 0, one bulk IN
// and one bulk OUT endpoint of 1024 bytes, a 2000 ms connection probe, and the blocking protocol
// operations the jobs use. Created, used and destroyed on its device's worker thread; every transfer
// blocks that thread for at most its time-out. Results are libusb codes (0 success, negative
// libusb_error), plus -2 for an answer with the wrong answer code or option id.
class UsbDevice : public QObject, public BaseLogger
{
    Q_OBJECT

public:
    // Time-outs of the protocol, in milliseconds.
    static constexpr unsigned int kCommandTimeoutMs = 50;
    static constexpr unsigned int kRequestTimeoutMs = 50;
    static constexpr unsigned int kVerifyTimeoutMs = 60000;
    static constexpr unsigned int kStreamFirstPacketTimeoutMs = 10000;
    static constexpr unsigned int kStreamNextPacketTimeoutMs = 250;
    static constexpr unsigned int kProbeTimeoutMs = 1000;
    static constexpr int kRefreshIntervalMs = 2000;
    static constexpr int kWrongAnswer = -2;
    // An exchange that did not end with its own answer (a time-out, a mismatching answer, a stream cut
    // short) may still get answers on their way back; read next, they would pass for the answers to the
    // next requests, and a repeated identical request (a state poll) cannot tell them apart by code.
    // Such an exchange marks the link, and before the next packet goes out everything the instrument
    // still sends is read and dropped until it has been quiet for longer than it takes to answer a
    // request. Exchanges that got their answer leave no mark and pay nothing. The drain gives up after
    // kDrainMaxMs (an instrument that streams without end) and keeps the mark for the next packet.
    static constexpr unsigned int kDrainQuietMs = kRequestTimeoutMs + 20;
    static constexpr int kDrainMaxMs = 2000;

    // `device` is not owned: the caller holds a libusb reference for the transport's lifetime.
    UsbDevice(libusb_device* device, const QString& name, bool asyncRead, QObject* parent = nullptr);
    ~UsbDevice() override;

    bool isOpen();

    int sendData(const QByteArray& data, int* transferred, unsigned int timeoutMs);
    // Reads one packet. On failure `data` is left as it was; callers decide on the returned code.
    int receiveData(QByteArray& data, unsigned int timeoutMs);
    QByteArray transfer(const QByteArray& request, int* result, unsigned int timeoutMs);

    int sendCommand(quint32 command);
    int sendCommand(quint32 command, quint32 argument);
    // Sends [command] and returns the payload of the answer carrying `expectedAnswer`. An answer with
    // another code ("Wrong Answer") or, for readOption, another echoed id ("Wrong Option") is logged and
    // dropped, and reading goes on within the same time-out, so that a late answer to an earlier request
    // cannot put the link out of step. *result: 0, a libusb code, or kWrongAnswer when only mismatching
    // answers came. `result` may be null.
    QByteArray request(quint32 command, quint32 expectedAnswer, int* result, unsigned int timeoutMs);
    // Sends [21][optionId]; returns the value bytes after [22][optionId]. Results as for request().
    QByteArray readOption(quint32 optionId, int* result, unsigned int timeoutMs);

    static quint32 toUInt32(const QByteArray& bytes);
    static QByteArray commandPacket(quint32 command, quint32 argument);

    // Marks the link as possibly carrying answers nobody reads any more (a job that stops reading a
    // stream before its end); the next packet sent drains them first.
    void markStaleAnswerPossible() { m_staleAnswerPossible = true; }
    bool isStaleAnswerPossible() const { return m_staleAnswerPossible; }

    quint8 inEndpoint() const { return m_inEndpoint; }
    quint8 outEndpoint() const { return m_outEndpoint; }

public slots:
    void open();
    void close();

signals:
    void ready();
    void receivedData(uchar endpointId, int result, QByteArray data);
    void disconnected();

private slots:
    void refreshConnectionState();

private:
    void determineEndpoints();
    void drainStaleAnswers();
    // Sends `packet` and reads answers until one carries `expectedAnswer` (and, for an option, echoes
    // `*optionId`) or `timeoutMs` has passed since the first receive began.
    QByteArray exchange(const QByteArray& packet, quint32 expectedAnswer, const quint32* optionId,
                        int* result, unsigned int timeoutMs);
    // The receiving half of exchange(): 0 with the payload in `payload`, or the failure.
    int awaitAnswer(quint32 expectedAnswer, const quint32* optionId, unsigned int timeoutMs,
                    QByteArray& payload);

    libusb_device* m_device = nullptr;
    libusb_device_handle* m_handle = nullptr;
    quint8 m_outEndpoint = 0x06;
    quint8 m_inEndpoint = 0x85;
    // libusb's answer for m_inEndpoint, asked once per open: libusb reads it from the active
    // configuration, which on Linux is a sysfs file read on every call.
    int m_inPacketSize = 0;
    QTimer m_refreshTimer;              // the 2000 ms connection probe; runs while open
    bool m_staleAnswerPossible = false; // an exchange ended without its answer since the last drain
};
