#pragma once

#include "core/baselogger.h"
#include "ui/devicewidget.h"

#include <QByteArray>
#include <QHash>
#include <QMap>

#include <memory>

namespace Ui {
class ProductionWidgetControlUnit;
}
class QCheckBox;

// Production panel of the control unit (also used for the emitter's options): which options the unit
// carries (read-only check boxes; the options are set through the production page's functions), its
// languages, and six service parameters that can be edited and written.
//
// "Write Parameters" is offered only once the unit reported all six values, and a parameter the operator
// did not touch is written back with exactly the bytes the unit reported, never with the value the spin
// box clamped it to.
class ProductionWidgetControlUnit : public DeviceWidget, public BaseLogger
{
    Q_OBJECT

public:
    explicit ProductionWidgetControlUnit(QWidget* parent = nullptr);
    ~ProductionWidgetControlUnit() override;

    void setDevice(BaseDevice* device) override;
    void setDeviceConnected(bool) override {}
    void onDeviceConnected() override { setDeviceConnected(true); }
    void onDeviceDisconnected() override { setDeviceConnected(false); }

    // The six parameter ids, in form order.
    static QList<quint32> parameterIds();

public slots:
    void onDeviceOptionChanged(uint optionId, QByteArray value) override;
    void readAllParameters();
    void writeParameters();

private:
    struct Parameter
    {
        quint32 id;
        QWidget* field;
        bool isSingle;
    };
    QList<Parameter> parameters() const;
    double fieldValue(const Parameter& p) const;
    void updateWriteButton();

    std::unique_ptr<Ui::ProductionWidgetControlUnit> ui;
    QMap<quint32, QCheckBox*> optionBoxes;
    // Bytes each parameter was reported with, and the field value shown for them right after.
    QHash<quint32, QByteArray> m_reported;
    QHash<quint32, double> m_shown;
};
