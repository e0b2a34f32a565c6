#include "ui/infowidget.h"

#include "devices/basedevice.h"
#include "ui_infowidget.h"

InfoWidget::InfoWidget(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::InfoWidget>())
{
    ui->setupUi(this);
    ui->stackedWidget->setCurrentWidget(ui->pageDisconnected);
}

InfoWidget::~InfoWidget() = default;

void InfoWidget::setDevice(BaseDevice* device)
{
    // Only one device drives the page: a device handed over earlier must not switch it any more.
    if (m_device && m_device != device) {
        disconnect(m_device, nullptr, this, nullptr);
    }
    m_device = device;
    if (!device) {
        deviceDisconnected();
        return;
    }
    ui->stackedWidget->setCurrentWidget(device->isConnected() ? ui->pageConnected : ui->pageDisconnected);
    connect(device, &BaseDevice::disconnected, this, &InfoWidget::deviceDisconnected, Qt::UniqueConnection);
    connect(device, &BaseDevice::connected, this, &InfoWidget::deviceConnected, Qt::UniqueConnection);
    setName(device->name());
    setPicture(device->picture());
    showIdentity(device->identity());
    connect(device, &BaseDevice::identityChanged, this, &InfoWidget::showIdentity, Qt::UniqueConnection);
}

void InfoWidget::showIdentity(const DeviceIdentity& identity)
{
    setSerial(identity.serial);
    setSoftwareVersion(identity.softwareVersion);
}

void InfoWidget::deviceConnected()
{
    ui->stackedWidget->setCurrentWidget(ui->pageConnected);
}

void InfoWidget::deviceDisconnected()
{
    ui->stackedWidget->setCurrentWidget(ui->pageDisconnected);
}

void InfoWidget::setName(const QString& name)
{
    // The kinds' display names are translated where they are shown; logs and files keep them English.
    ui->deviceNameLabel->setText(BaseDevice::tr(name.toUtf8().constData()));
}

void InfoWidget::setPicture(const QString& resource)
{
    setPixmap(resource.isEmpty() ? QPixmap() : QPixmap(resource));
}

void InfoWidget::setPixmap(const QPixmap& pixmap)
{
    if (pixmap.isNull()) {
        ui->deviceImageLabel->setPixmap(QPixmap());
        return;
    }
    // Scaled from the large picture straight to the screen's pixels, so that scale 2 stays sharp.
    const qreal ratio = devicePixelRatioF();
    QPixmap shown = pixmap.scaled(QSize(kPictureSize, kPictureSize) * ratio, Qt::KeepAspectRatio,
                                  Qt::SmoothTransformation);
    shown.setDevicePixelRatio(ratio);
    ui->deviceImageLabel->setPixmap(shown);
}

void InfoWidget::setSerial(const QString& serial)
{
    ui->serialLabel->setText(serial);
}

void InfoWidget::setSoftwareVersion(const QString& version)
{
    ui->versionLabel->setText(version);
}

void InfoWidget::setConnectionStatus(const QString& status)
{
    ui->connectionStatusLabel->setText(status);
}
