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
//               "hardwareRevision": "…", "systemId": "…", "chipId": "…"},
//    "options": [{"id": "0x20000004", "name": "e_sid_…", "value": "0a0b"}, …],
//    "unknown": ["0x28100007", …]}
//
// Ids and values are hexadecimal text: values are opaque bytes whose layout depends on the id. "unknown"
// names the ids of the kind that the instrument's firmware does not know: the snapshot is whole with them.
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
    QString chipId;
    QDateTime takenAt; // UTC
    QList<Option> options;
    QList<quint32> unknownIds; // asked for, but not known to the instrument's firmware

    QByteArray toJson() const;
    // The snapshot in `json`, or an invalid one (kind empty) with the reason in `error`. Refuses other
    // formats, newer versions, malformed ids and values, and repeated ids.
    static OptionsSnapshot fromJson(const QByteArray& json, QString* error = nullptr);

    bool isValid() const { return !kind.isEmpty(); }
    // What tells one instrument of a kind from another: its serial; without one (a board before
    // production) its system id, else its chip id; empty when it has none of them.
    static QString instrumentOf(const QString& serial, const QString& systemId, const QString& chipId);
    QString instrument() const { return instrumentOf(serial, systemId, chipId); }
    // "<kind>-<instrument>-<UTC time>.json", with every character a file system might not take replaced.
    QString fileName() const;
    // The start of the file names of one instrument's snapshots: "<kind>-<instrument>-". Others may
    // share it ("A" and "A-B"), so a file found by it still has to be read to know whose it is.
    static QString filePrefix(const QString& kind, const QString& instrument);
    // "200 of 200 options" or "198 of 200 options, 2 not known to the firmware".
    QString coverage() const;
    // The value of `id`, or a null array when the snapshot does not hold it.
    QByteArray value(quint32 id) const;
    bool contains(quint32 id) const;
    // The options of this snapshot whose value `current` does not hold (missing there or different),
    // in this snapshot's order: what a restore of this snapshot onto `current` would write.
    QList<Option> differences(const OptionsSnapshot& current) const;
};

Q_DECLARE_METATYPE(OptionsSnapshot)
