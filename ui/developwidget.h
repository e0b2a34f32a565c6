#pragma once

#include "core/baselogger.h"
#include "options/storageidcatalogue.h"
#include "ui/devicepage.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QWidget>

#include <memory>

namespace Ui {
class DevelopWidget;
}
class BaseDevice;
class Operation;
class OptionTableModel;
class QJsonModel;

// Page "developWidget" of the main window's page stack: the engineering view of a device's stored options
// (every id the tool knows for the kind, with key names and four renderings of the value), a reboot, the
// touch-detector calibration of an acoustic sensor, and a plain option description file shown as a tree.
// It follows the device it was handed (not owned) until it gets null; the main window does the handing
// over.
//
// A table read stops at the first id the instrument does not know, so the page counts the answers and
// says "n of m options read" rather than letting a partial table pass for a complete one.
class DevelopWidget : public QWidget, public BaseLogger, public DevicePage
{
    Q_OBJECT

public:
    explicit DevelopWidget(QWidget* parent = nullptr);
    ~DevelopWidget() override;

    void setDevice(BaseDevice* device) override;
    BaseDevice* device() const;

    OptionTableModel* optionTable() const { return m_table; }
    QJsonModel* jsonModel() const { return m_json; }

signals:
    void readDeviceOption(uint optionID);
    void sendDeviceOption(uint optionID, QByteArray value);
    void sendDeviceOptions(QHash<quint32, QByteArray> options);
    void writeDeviceOptions(bool reboot = false);
    void rebootDevice();
    void cdcCalibration(int offset, int minThreshold, int maxThreshold);

public slots:
    void writeOptions();
    void readJsonOptions();
    void deviceConnected() {}
    void deviceDisconnected();
    void optionChanged(uint optionId, QByteArray value);
    void requestReboot();
    void readAllOptions();
    void startCdcCalibration();

private:
    // Follows the page's own table read and counts its values once it is back.
    void followRead(Operation* read);
    void loadJsonFile(const QString& path);
    void showReadState(bool finished);
    void resizeColumns();
    // The catalogue family whose key names fit the device's options.
    static StorageIdCatalogue::Family familyOf(const BaseDevice* device);

    std::unique_ptr<Ui::DevelopWidget> ui;
    OptionTableModel* m_table = nullptr; // owned by the page
    QJsonModel* m_json = nullptr;        // owned by the page
    QPointer<BaseDevice> m_device;
    // The ids of the running (or last) table read and those the device answered.
    QList<quint32> m_requested;
    QSet<quint32> m_answered;
    QPointer<Operation> m_read; // the running table read
    bool m_resizeDue = false;   // the table changed since its columns were last sized; a resize is queued
};
