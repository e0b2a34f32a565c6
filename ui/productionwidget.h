#pragma once

#include "core/baselogger.h"
#include "devices/deviceidentity.h"
#include "options/optionfunctions.h"
#include "ui/devicepage.h"

#include <QByteArray>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class ProductionWidget;
}
class BaseDevice;
class DeviceWidget;
class Operation;
class QAbstractButton;
class Recorder;
class StationPanel;

// Page "productionWidget" of the main window's page stack, where a board fresh from manufacture gets its
// identity (device serial, device type, PCB type, PCB serial) and its function (a named option set from
// "file.options" in the firmware directory), and the firmware that belongs to it. It recognises the
// function a board already carries by comparing the board's stored values with the file, and hosts the
// device kind's production panel. It follows the device it was handed (not owned) until it gets null.
//
// Nothing reaches a board unless the operator asked for it: only fields the operator changed are
// written, never an empty one or "unknown", and after a confirmation that lists the changes; a function
// that holds an option which cannot be encoded is refused as a whole. Dialogs remember the device they
// were opened for and do nothing when another one is current by the time they are answered.
class ProductionWidget : public QWidget, public BaseLogger, public DevicePage
{
    Q_OBJECT

public:
    explicit ProductionWidget(QWidget* parent = nullptr);
    ~ProductionWidget() override;

    BaseDevice* device() const;
    DeviceWidget* productionPanel() const;
    // The station mode's panel, shown instead of the board-by-board controls while the mode is on.
    StationPanel* stationPanel() const;
    // Where the station records its boards (null: it opens the records itself).
    void setRecorder(Recorder* recorder);
    QString deviceFunction() const { return m_deviceFunction; }
    QList<quint32> distinguishingIds() const { return m_functions.distinguishingIds(); }

    // Device types of the type combo box, in order.
    static QStringList deviceTypeChoices();

public slots:
    void setDevice(BaseDevice* device) override;
    void reloadOptionsFile(QString path);

    void setName(QString name);
    void setPixmap(QString picture);
    void setSerial(QString serial);
    void setSoftwareVersion(QString version);
    void setSystemId(QString systemId);
    void setPcbSerial(QString pcbSerial);
    void setHardwareRevision(QString revision);
    void setDeviceType(QString type);
    void setUpdateRequired(bool required);
    // The read-outs of the fields of `identity` that differ from the ones shown.
    void showIdentity(const DeviceIdentity& identity);
    void deviceDisconnected();
    void onDeviceOptionChanged(uint optionId, QByteArray value);

private slots:
    void optionButton_clicked();
    void writeParameters();
    void updateFunctionFirmware();
    void updateBaseFirmware();
    void setPcbTypeEditable(bool editable);
    void setPcbSerialEditable(bool editable);
    void markDeviceSerial(const QString& text);
    void markPcbType(const QString& text);
    void markPcbSerial(const QString& text);
    void markDeviceType(const QString& text);

private:
    void setStationMode(bool on);
    // Follows the identity values the page sent through their store; says how that ended.
    void followParameters(Operation* send);
    void showParametersOutcome(bool set, int result, const QString& message);
    QString firmwareDirectory() const;
    void clearFunctions();
    void setDeviceFunction(const QString& name);
    void showFirmware();
    void showOptionsState(const QString& text);
    void markField(QWidget* field, const QString& text, const QString& deviceValue);
    void clearReadouts();
    void setControlsEnabled(bool enabled);
    void confirm(const QString& objectName, const QString& text, std::function<void()> onYes);
    // Firmware updates from this page keep a snapshot of the board's options first.
    void updateFirmwareAfterSnapshot(const QString& path);
    // Why a function cannot be written, naming the option.
    static QString refusalText(const OptionFunctions::Refusal& refusal);

    std::unique_ptr<Ui::ProductionWidget> ui;
    QPointer<BaseDevice> m_device;
    QPointer<DeviceWidget> m_panel;
    OptionFunctions m_functions;
    QString m_deviceFunction;
    QString m_firmwareName;
    QString m_baseFirmware;
    DeviceIdentity m_shownIdentity;
    bool m_updateRequired = false;
    bool m_parametersPending = false; // identity values sent, their outcome not known yet
};
