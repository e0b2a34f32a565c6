#pragma once

#include "core/baselogger.h"
#include "devices/notificationmessagetype.h"
#include "records/recordsaddress.h"
#include "records/serviceevent.h"
#include "ui/devicepage.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class HistoryWidget;
}
class BaseDevice;
class HistoryReader;
class QStandardItemModel;
struct DeviceIdentity;

// The History page: the service records of the connected instrument, newest first and a page at a time,
// filtered by operation, with every field of the chosen event; a search by serial for any instrument
// the records ever saw; and the shown rows exported as CSV or JSON. Reads through a HistoryReader, so
// the window never waits for the database. The database is the one the `[Records]` settings name,
// opened when the page is first shown. Texts from the database are shown as plain text.
class HistoryWidget : public QWidget, public DevicePage, public BaseLogger
{
    Q_OBJECT

public:
    static constexpr int kPageSize = 100;
    static constexpr int kSerialMatches = 100;

    explicit HistoryWidget(QWidget* parent = nullptr);
    ~HistoryWidget() override;

    // Any instrument with a serial has a history.
    void setDevice(BaseDevice* device) override;
    bool serves(const BaseDevice* device) const override;

    // Reads `address` from now on instead of the settings' database (tests, benchmarks).
    void setDatabase(const RecordsAddress& address);

    // Asks where an export goes; empty for Cancel. A file dialog unless a test sets another.
    using SaveFileName =
        std::function<QString(QWidget* parent, const QString& caption, const QString& filter)>;
    void setSaveFileName(SaveFileName saveFileName) { m_saveFileName = std::move(saveFileName); }

    QString shownSerial() const { return m_serial; }
    // The rows in the table, top to bottom.
    const QList<ServiceEvent>& shownEvents() const { return m_events; }
    qint64 totalEvents() const { return m_total; }
    // True while a request to the database has not been answered.
    bool isReading() const { return m_pending != 0; }

public slots:
    void showSerial(const QString& serial);
    void searchSerials();
    void exportCsv();
    void exportJson();

signals:
    // An export's outcome, for the notification bar.
    void notify(NotificationMessageType type, QString message);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ensureReader();
    void readPage();
    void onOpened(int result, const QString& text);
    void onPageRead(int request, const QList<ServiceEvent>& events, qint64 total);
    void showRows(const QList<ServiceEvent>& events, qint64 total);
    void onSerialsFound(int request, const QStringList& serials);
    void onIdentity(const DeviceIdentity& identity);
    void showDetails();
    void fillOperations();
    void updateTexts();
    void exportRows(bool csv);

    std::unique_ptr<Ui::HistoryWidget> ui;
    QStandardItemModel* m_model;       // child of this widget
    HistoryReader* m_reader = nullptr; // child of this widget, made when first needed
    RecordsAddress m_address;
    bool m_addressSet = false;
    QString m_notice; // a problem with the database, in plain words
    bool m_failed = false;
    QPointer<BaseDevice> m_device;
    QString m_serial;
    int m_offset = 0;
    qint64 m_total = 0;
    QList<ServiceEvent> m_events;
    int m_request = 0; // the latest request's number; older answers are dropped
    int m_pending = 0; // requests not yet answered
    SaveFileName m_saveFileName;
};
