#include "records/recorder.h"

#include "core/applicationidentity.h"
#include "core/settings.h"
#include "records/recorderworker.h"

#include <QSysInfo>

namespace {
QString osUser()
{
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("USERNAME") : user;
}
} // namespace

bool Recorder::optionsFromSettings(Options* options, QString* error)
{
    Settings* settings = Settings::instance();
    options->station = settings->recordsStation();
    RecordsAddress address;
    if (!RecordsAddress::parse(settings->recordsDatabase(), &address, error)) {
        options->database = RecordsAddress::localDefault();
        return false;
    }
    options->database = address;
    return true;
}

Recorder::Recorder(const Options& options, QObject* parent)
    : QObject(parent), BaseLogger(QStringLiteral("Records")), m_shared(options.database.isShared()),
      m_station(options.station.isEmpty() ? QSysInfo::machineHostName() : options.station), m_user(osUser()),
      m_toolVersion(ApplicationIdentity::version()), m_interface(options.interfaceName),
      m_worker(std::make_unique<RecorderWorker>(options.database, options.local, options.retryIntervalMs))
{
    m_thread.setObjectName(QStringLiteral("Records"));
    m_worker->moveToThread(&m_thread);
    connect(m_worker.get(), &RecorderWorker::waitingChanged, this, &Recorder::waitingChanged);
    connect(m_worker.get(), &RecorderWorker::failed, this, &Recorder::failed);
    connect(m_worker.get(), &RecorderWorker::recovered, this, &Recorder::recovered);
    connect(&m_thread, &QThread::started, m_worker.get(), &RecorderWorker::start);
    m_thread.start();
}

Recorder::~Recorder()
{
    QMetaObject::invokeMethod(m_worker.get(), &RecorderWorker::stop, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void Recorder::record(ServiceEvent event)
{
    if (event.id.isNull()) {
        event.id = QUuid::createUuid();
    }
    if (!event.time.isValid()) {
        event.time = QDateTime::currentDateTimeUtc();
    }
    if (event.station.isEmpty()) {
        event.station = m_station;
    }
    if (event.user.isEmpty()) {
        event.user = m_user;
    }
    if (event.toolVersion.isEmpty()) {
        event.toolVersion = m_toolVersion;
    }
    if (event.interfaceName.isEmpty()) {
        event.interfaceName = m_interface;
    }
    if (event.details.isEmpty()) {
        event.details = QStringLiteral("{}");
    }
    m_worker->enqueue(std::move(event));
}

int Recorder::waiting() const
{
    return m_worker->waiting();
}

QString Recorder::statusText() const
{
    if (!m_shared) {
        return tr("Records: local");
    }
    const int count = waiting();
    return count > 0 ? tr("Records: shared, %1 waiting").arg(count) : tr("Records: shared");
}

bool Recorder::waitForIdle(int timeoutMs)
{
    return m_worker->waitForIdle(timeoutMs);
}
