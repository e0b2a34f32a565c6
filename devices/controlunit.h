#pragma once

#include "devices/basedevice.h"
#include "measurements/vectarisdataset.h"

#include <QList>
#include <QSet>

// The Tymbrel control unit. Reads the general, control-unit and user-settings options, and fetches and
// deletes the measurement series recorded in the field.
class ControlUnit : public BaseDevice
{
    Q_OBJECT

public:
    ControlUnit(const InstrumentKind& kind, libusb_device* device, QObject* parent = nullptr);
    // The control unit's own row of the kind table.
    explicit ControlUnit(libusb_device* device, QObject* parent = nullptr);
    ~ControlUnit() override;

    // Ids the unit gave no value for when they were last read: ids its firmware does not know (an
    // empty answer, or the silence with which older firmware meets them; a unit older than a
    // language has no option for it) and options that hold nothing. Empty until the first read.
    QSet<quint32> optionsWithoutValue() const { return m_optionsWithoutValue; }

public slots:
    // Fetches all series; a successful read ends in datasetsChanged and the operation's datasets, a
    // failed one emits nothing.
    Operation* updateDataSets();
    // Deletes all series on the unit, then fetches them again (whether or not the unit took the request),
    // so that a page never keeps listing series that are gone; the fetch is the follow-up.
    Operation* removeDataSets();

signals:
    void datasetsChanged(QList<VectarisDataset> datasets);
    void optionsWithoutValueChanged(QSet<quint32> optionIds);

protected:
    void optionsRead(const QList<quint32>& requested, const QHash<quint32, QByteArray>& values,
                     int result) override;

private:
    QSet<quint32> m_optionsWithoutValue;
};
