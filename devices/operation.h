#pragma once

#include "measurements/vectarisdataset.h"
#include "options/optionssnapshot.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

// One operation a device posted to its instrument, as the one who asked for it sees it: what was asked
// (kind and inputs), how far it got (progress) and how it ended (result code, message and the typed
// outcome of its kind). Every call that posts work returns its own Operation, so a page reads its own
// result and never another page's.
//
// Threads: created, signalled and deleted on the user-interface thread; progress and finished reach
// their receivers there, in the order the instrument produced them.
// Ownership: the device's child. It is deleted later once it finished, or with the device when the
// device goes first (then finished is never emitted). Keep a QPointer to look at it after finished.
// Result convention as for jobs: 0 success, negative failure, positive finished with a warning.
class Operation : public QObject
{
    Q_OBJECT

public:
    enum class Kind
    {
        ReadIdentity,
        ReadOption,
        ReadOptions,
        SendOption,
        SendOptions,
        WriteOptions,
        Reboot,
        FactoryReset,
        UpdateFirmware,
        DownloadLog,
        ClearLog,
        TakeSnapshot,
        ReadDatasets,
        ClearDatasets,
        CalibrateTouch,
        StoreTouchThreshold,
    };
    Q_ENUM(Kind)

    // Why the caller posted it, where the kind alone does not say (the service records name the
    // operation after it). Operations a restore posts are its own steps: the restore is recorded whole.
    enum class Purpose
    {
        Unspecified,
        Function, // the option values of a function from the option description file
        Restore,  // a step of putting a snapshot back
    };

    // What the caller asked for; only the fields of the kind are set.
    struct Inputs
    {
        QString file;                            // UpdateFirmware
        QList<quint32> optionIds;                // ReadOption, ReadOptions, TakeSnapshot
        QHash<quint32, QByteArray> optionValues; // SendOption, SendOptions
        bool reboot = false;                     // WriteOptions: restart once stored
        QList<int> touchParameters; // CalibrateTouch: offset, min, max; StoreTouchThreshold: value
    };

    Operation(Kind kind, Inputs inputs, QObject* parent = nullptr);
    ~Operation() override;

    // Operations alive in the process (diagnostics and leak tests).
    static int liveCount();
    // "ReadOptions", for logs.
    static QString kindName(Kind kind);

    // Unique in the process, never reused (a pointer may be, once the operation was deleted).
    quint64 serial() const { return m_serial; }
    Kind kind() const { return m_kind; }
    const Inputs& inputs() const { return m_inputs; }
    bool isFinished() const { return m_finished; }
    int result() const { return m_result; }
    // As the user reads it; inside an EnglishScope in English (for machine-read reports).
    QString message() const;

    // The outcome, valid once finished. Values read (ReadOption, ReadOptions, TakeSnapshot; ids without
    // an answer are missing), the snapshot (TakeSnapshot, valid on success), the instrument's log text
    // (DownloadLog, on success), the series (ReadDatasets, on success), the switching point found
    // (CalibrateTouch; -1: none).
    QHash<quint32, QByteArray> values() const { return m_values; }
    OptionsSnapshot snapshot() const { return m_snapshot; }
    QString logText() const { return m_logText; }
    QList<VectarisDataset> datasets() const { return m_datasets; }
    int switchingPoint() const { return m_switchingPoint; }
    // The operation the device posted because this one ended as it did (the restart after a firmware
    // update or a store, the store after a send, the read after a clear); null when none. Set before
    // finished is emitted.
    Operation* followUp() const { return m_followUp; }

    // Filled in by the device while it completes the operation, before finish().
    void setValues(const QHash<quint32, QByteArray>& values) { m_values = values; }
    void setSnapshot(const OptionsSnapshot& snapshot) { m_snapshot = snapshot; }
    void setLogText(const QString& text) { m_logText = text; }
    void setDatasets(const QList<VectarisDataset>& datasets) { m_datasets = datasets; }
    void setSwitchingPoint(int point) { m_switchingPoint = point; }
    void setFollowUp(Operation* next) { m_followUp = next; }
    // Set by the caller right after posting; read once the operation finished.
    void setPurpose(Purpose purpose) { m_purpose = purpose; }
    Purpose purpose() const { return m_purpose; }
    // Records the outcome and emits finished, once. `english`: the message made in English (empty: the
    // same as `message`).
    void finish(int result, const QString& message, const QString& english = QString());

signals:
    // `maximum` <= 0: no measure of the whole is known.
    void progress(int value, int maximum, QString message);
    void finished(int result, QString message);

private:
    quint64 m_serial;
    Kind m_kind;
    Inputs m_inputs;
    bool m_finished = false;
    int m_result = 0;
    QString m_message;
    QString m_englishMessage;
    QHash<quint32, QByteArray> m_values;
    OptionsSnapshot m_snapshot;
    QString m_logText;
    QList<VectarisDataset> m_datasets;
    int m_switchingPoint = -1;
    QPointer<Operation> m_followUp;
    Purpose m_purpose = Purpose::Unspecified;
};
