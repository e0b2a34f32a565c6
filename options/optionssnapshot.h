#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>

// A copy of every stored option an instrument reported at one moment, with the identity of the
// instrument it came from, so that settings and calibration lost to a reset, an update or a production
// write can be put back. Kept as a small JSON document:
//
//   {"format": "tessor-options-snapshot", "version": 1, "time": "2026-12-06T21:02:29Z",
//    "device": {"kind": "control-unit", "usbId": "0x1e843000", "serial": "…", "firmware": "…",
//               "hardwareRevision": "…", "systemId": "…"},
//    "options": [{"id": "0x20000004", "name": "e_sid_…", "value": "0a0b"}, …]}
//
// Ids and values are hexadecimal text: values are opaque bytes whose layout depends on the id.
class OptionsSnapshot
{
public:
    struct Option
    {
        quint32 id = 0;
        QString name; // informative only: the key name the tool knew when it took the snapshot
        QByteArray value;
    };

    static constexpr int kFormatVersion = 1;
    static const char* const kFormatName;

    QString kind; // "control-unit", "acoustic-sensor", … (the device kind's key)
    quint32 usbId = 0;
    QString serial;
    QString firmwareVersion;
    QString hardwareRevision;
    QString systemId;
    QDateTime takenAt; // UTC
    QList<Option> options;

    QByteArray toJson() const;
    // The snapshot in `json`, or an invalid one (kind empty) with the reason in `error`. Refuses other
    // formats, newer versions, malformed ids and values, and repeated ids.
    static OptionsSnapshot fromJson(const QByteArray& json, QString* error = nullptr);

    bool isValid() const { return !kind.isEmpty(); }
    // "<kind>-<serial>-<UTC time>.json", with every character a file system might not take replaced.
    QString fileName() const;
    // The start of the file names of one instrument's snapshots: "<kind>-<serial>-". Other serials may
    // share it ("A" and "A-B"), so a file found by it still has to be read to know whose it is.
    static QString filePrefix(const QString& kind, const QString& serial);
    // The value of `id`, or a null array when the snapshot does not hold it.
    QByteArray value(quint32 id) const;
    bool contains(quint32 id) const;
    // The options of this snapshot whose value `current` does not hold (missing there or different),
    // in this snapshot's order: what a restore of this snapshot onto `current` would write.
    QList<Option> differences(const OptionsSnapshot& current) const;
};

Q_DECLARE_METATYPE(OptionsSnapshot)
