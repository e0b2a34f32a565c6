#pragma once

#include "core/baselogger.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

// Reads an option description file: which functions a circuit board of a device type and hardware
// revision may be given, which options (storage id, type, value) make up each function and which firmware
// file belongs to it. Keys are matched exactly; "devices" and "functions" may each be an array or a single
// object.
//
// Queries never fail: an absent key, a JSON value of the wrong kind or a missing device or function gives
// an empty result. Lives on the GUI thread; queries are const and touch only the document.
class OptionParser : public QObject, public BaseLogger
{
    Q_OBJECT

public:
    OptionParser(const QJsonDocument& document, const QString& deviceType, const QString& hardwareRevision,
                 QObject* parent = nullptr);
    // Loads a plain (not enciphered) JSON file; an unreadable, empty or invalid file is reported as an
    // error line and leaves an empty document.
    OptionParser(const QString& path, const QString& deviceType, const QString& hardwareRevision,
                 QObject* parent = nullptr);

    const QJsonDocument& document() const { return m_document; }

    // The top-level "basefirmware" file name; empty when absent.
    QString baseFirmware() const;
    // Names of the matching device's functions offered for the hardware revision, in file order.
    QStringList functionNames() const;
    // Device types (file order, no duplicates) that offer at least one function for `hardwareRevision`.
    QStringList deviceTypes(const QString& hardwareRevision) const;
    // Firmware file of the named function, else of its device; empty when neither names one.
    QString firmware(const QString& functionName) const;
    // The named function's options followed by the device's options whose "id" text the function does
    // not already use.
    QJsonArray options(const QString& functionName) const;

private:
    std::optional<QJsonObject> matchingDevice() const;
    bool isMatchingDevice(const QJsonValue& element) const;
    std::optional<QJsonObject> findFunction(const QJsonObject& device, const QString& functionName) const;

    QJsonDocument m_document;
    QString m_deviceType;
    QString m_hardwareRevision;
};
