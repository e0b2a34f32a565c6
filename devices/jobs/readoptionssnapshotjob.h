#pragma once

#include "devices/abstractjob.h"

#include <QByteArray>
#include <QHash>
#include <QList>

// Reads every option of the kind for a snapshot: a snapshot protects only what it holds, so unlike the
// option read it does not stop at the first id that gets no answer. Such an id is asked once more; if it
// is met with silence again, the instrument is asked its chip id, which every firmware answers. An
// answer there means the firmware does not know the id (recorded as unknown, the read goes on); none
// means the instrument stopped answering and the snapshot is not whole (kIncomplete). An empty value is
// a value like any other: current firmware answers ids it does not know that way.
// Runs under its own name, so that the device turns the values into a snapshot.
// Progress: (index of the id's first occurrence, list size) after each id.
class ReadOptionsSnapshotJob : public AbstractJob
{
    Q_OBJECT

public:
    // No option came back although the kind has some: a snapshot without a single value protects nothing.
    static constexpr int kNothingRead = -110;
    // An id got no answer and the instrument did not answer its chip id either.
    static constexpr int kIncomplete = -111;

    explicit ReadOptionsSnapshotJob(const QList<quint32>& optionIds, QObject* parent = nullptr);

    void execute(UsbDevice* device) override;
    QString resultMessage(int result) const override;

    // The ids asked for, in order.
    QList<quint32> optionIds() const { return m_ids; }
    QHash<quint32, QByteArray> values() const { return m_values; }
    // Ids the instrument's firmware does not know (silent, while the instrument still answered), in order.
    QList<quint32> unknownIds() const { return m_unknown; }
    // The number of distinct ids asked for.
    int expectedCount() const;

private:
    bool readOne(UsbDevice* device, quint32 id);

    QList<quint32> m_ids;
    QHash<quint32, QByteArray> m_values;
    QList<quint32> m_unknown;
    quint32 m_unanswered = 0; // the id at which the instrument stopped answering
};
