#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QUuid>

// What was done to one instrument, once: the unit of the service records. Who, where and with which
// tool are filled in by the recorder; the caller names the operation, the instrument and the outcome.
// Operation-specific fields (file, sha256, versions and ids before -> after, ...) travel in `details`, the
// text of one JSON object, stored and given back exactly as written.
struct ServiceEvent
{
    // Operation names as stored; a filter compares them as text.
    static constexpr const char* kConnected = "connected";
    static constexpr const char* kFirmwareUpdate = "firmware-update";
    static constexpr const char* kFactoryReset = "factory-reset";
    static constexpr const char* kTouchCalibration = "touch-calibration";
    static constexpr const char* kLanguagesSet = "languages-set";
    static constexpr const char* kParameterWrite = "parameter-write";
    static constexpr const char* kIdentityWrite = "identity-write";
    static constexpr const char* kFunctionWrite = "function-write";
    static constexpr const char* kSnapshotTaken = "snapshot-taken";
    static constexpr const char* kSnapshotRestored = "snapshot-restored";
    static constexpr const char* kLogDownload = "log-download";
    static constexpr const char* kLogClear = "log-clear";
    static constexpr const char* kDatasetRead = "dataset-read";
    static constexpr const char* kDatasetExport = "dataset-export";
    static constexpr const char* kDatasetClear = "dataset-clear";
    // Interfaces an event came through.
    static constexpr const char* kWindow = "window";
    static constexpr const char* kCommandLine = "command-line";

    QUuid id;
    QDateTime time; // UTC, milliseconds
    QString station;
    QString user;
    QString toolVersion;
    QString interfaceName;
    QString operation;
    QString serial;
    QString kind;
    QString usbId; // "1e84:3000"
    int result = 0;
    QString message;
    QString details; // JSON object text, "{}" when there is nothing more

    // A new event: a fresh id and the current UTC time; the rest empty.
    static ServiceEvent create(const QString& operation);

    QJsonObject detailsObject() const;
    void setDetails(const QJsonObject& details);
    // Every field, for JSON output; details as an object.
    QJsonObject toJson() const;

    bool operator==(const ServiceEvent& other) const;
    bool operator!=(const ServiceEvent& other) const { return !(*this == other); }
};
