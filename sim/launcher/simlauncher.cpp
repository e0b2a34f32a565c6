#include "sim/launcher/simlauncher.h"

#include "core/settings.h"
#include "devices/instrumentkind.h"
#include "measurements/vectarisdatapointmodel.h"
#include "measurements/vectarisdatasetmodel.h"
#include "sim/datasetstoreimage.h"
#include "sim/simcontrolunit.h"
#include "sim/simdefaults.h"
#include "sim/siminstrument.h"
#include "sim/usbfs/simusbbus.h"
#include "ui/mainsidebarwidget.h"
#include "ui/mainwindow.h"
#include "ui/measurementswidget.h"
#include "ui/progressdialog.h"
#include "ui/topbarwidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QSocketNotifier>
#include <QStackedWidget>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {
struct KindName
{
    QString name;
    SimKind kind;
};

// The tool's kinds under the tool's keys, each played by the simulated instrument that presents its USB
// id, then the two instruments only the simulator has.
const std::vector<KindName>& kinds()
{
    static const std::vector<KindName> names = [] {
        std::vector<KindName> list;
        const SimKind models[] = {SimKind::ControlUnit,   SimKind::AcousticSensor, SimKind::AcousticSensor2,
                                  SimKind::LocatorSensor, SimKind::MiniAntenna,    SimKind::Emitter,
                                  SimKind::UpdateOnly};
        for (const InstrumentKind& kind : InstrumentKind::all()) {
            for (const SimKind model : models) {
                const SimUsbIdentity usb = SimInstrumentFactory::create(model)->usbIdentity();
                if (((quint32(usb.vendorId()) << 16) | usb.productId()) == kind.usbId) {
                    list.push_back({QString::fromLatin1(kind.key), model});
                }
            }
        }
        list.push_back({QStringLiteral("unknown-product"), SimKind::UnknownProduct});
        list.push_back({QStringLiteral("foreign-vendor"), SimKind::ForeignVendor});
        return list;
    }();
    return names;
}

// Accepts decimal or 0x-prefixed hexadecimal.
std::optional<uint32_t> number(const QString& text)
{
    bool ok = false;
    const uint value = text.toUInt(&ok, 0);
    return ok ? std::optional<uint32_t>(value) : std::nullopt;
}

QString labelText(QWidget* root, const char* name)
{
    auto* label = root ? root->findChild<QLabel*>(QLatin1String(name)) : nullptr;
    return label ? label->text() : QString();
}

// A press and a release on the button's centre, delivered like the mouse would deliver them.
void clickLikeAUser(QAbstractButton* button)
{
    const QPoint centre = button->rect().center();
    const QPoint global = button->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(button, &press);
    QApplication::sendEvent(button, &release);
}
} // namespace

SimLauncher::SimLauncher(SimUsbBus& bus, QObject* parent)
    : QObject(parent), BaseLogger(QStringLiteral("SimLauncher")), m_bus(bus)
{
}

QStringList SimLauncher::kindNames()
{
    QStringList names;
    for (const KindName& k : kinds()) {
        names << k.name;
    }
    return names;
}

std::optional<SimKind> SimLauncher::kindFromName(const QString& name)
{
    // "control-unit", "controlunit", "Control_Unit" all name the same kind.
    auto normalised = [](QString text) {
        return text.toLower().remove(QLatin1Char('-')).remove(QLatin1Char('_'));
    };
    const QString wanted = normalised(name);
    for (const KindName& k : kinds()) {
        if (!wanted.isEmpty() && wanted == normalised(k.name)) {
            return k.kind;
        }
    }
    return std::nullopt;
}

int SimLauncher::plug(const QString& kind, const QString& serial, const QString& softwareVersion)
{
    const std::optional<SimKind> simKind = kindFromName(kind);
    if (!simKind) {
        return -1;
    }
    Plugged plugged;
    plugged.id = m_nextId++;
    plugged.kind = kind;
    plugged.instrument = SimInstrumentFactory::create(*simKind);
    if (!serial.isEmpty()) {
        plugged.instrument->storeOption(SimDefaults::DeviceSerialNumber,
                                        SimInstrument::textValue(serial.toLatin1().toStdString()));
    }
    if (!softwareVersion.isEmpty()) {
        plugged.instrument->setSoftwareVersion(softwareVersion.toLatin1().toStdString());
    }
    m_bus.plug(plugged.instrument);
    logger()->info("Plugged {}", describe(plugged));
    m_instruments.push_back(plugged);
    emit instrumentsChanged();
    return plugged.id;
}

bool SimLauncher::unplug(int id)
{
    for (auto it = m_instruments.begin(); it != m_instruments.end(); ++it) {
        if (it->id == id) {
            m_bus.unplug(it->instrument);
            logger()->info("Unplugged {}", describe(*it));
            m_instruments.erase(it);
            emit instrumentsChanged();
            return true;
        }
    }
    return false;
}

SimLauncher::Plugged* SimLauncher::find(int id)
{
    for (Plugged& p : m_instruments) {
        if (p.id == id) {
            return &p;
        }
    }
    return nullptr;
}

QString SimLauncher::describe(const Plugged& plugged) const
{
    const auto port = m_bus.portOf(plugged.instrument);
    return QStringLiteral("%1 %2 bus %3 address %4")
        .arg(plugged.id)
        .arg(plugged.kind)
        .arg(port ? port->bus : 0)
        .arg(port ? port->address : 0);
}

void SimLauncher::setWindow(MainWindow* window)
{
    m_window = window;
}

void SimLauncher::listenOnStandardInput()
{
    if (m_stdin) {
        return;
    }
    m_stdin = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_stdin, &QSocketNotifier::activated, this, &SimLauncher::readStandardInput);
}

void SimLauncher::readStandardInput()
{
    // Read the descriptor directly: stdio would buffer lines the notifier never announces again.
    char buffer[4096];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof(buffer));
    if (count <= 0) {
        // End of input (or an error): stop listening; the tool keeps running until its window closes.
        m_stdin->setEnabled(false);
        return;
    }
    m_pendingInput.append(buffer, int(count));
    int end = 0;
    while ((end = m_pendingInput.indexOf('\n')) >= 0) {
        const QString line = QString::fromLocal8Bit(m_pendingInput.left(end)).trimmed();
        m_pendingInput.remove(0, end + 1);
        for (const QString& answer : execute(line)) {
            std::fprintf(stdout, "%s\n", answer.toLocal8Bit().constData());
            emit output(answer);
        }
    }
    std::fflush(stdout);
}

QStringList SimLauncher::execute(const QString& line)
{
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty()) {
        return {};
    }
    const QString command = words.first();
    if (command == QLatin1String("help")) {
        return helpText().split(QLatin1Char('\n'));
    }
    if (command == QLatin1String("plug") && words.size() >= 2) {
        const int id = plug(words.at(1), words.value(2), words.value(3));
        if (id < 0) {
            return {
                QStringLiteral("error unknown kind %1 (kinds: %2)").arg(words.at(1), kindNames().join(' '))};
        }
        return {QStringLiteral("plugged ") + describe(*find(id))};
    }
    if (command == QLatin1String("unplug")) {
        const int id =
            words.size() >= 2 ? words.at(1).toInt() : (m_instruments.empty() ? -1 : m_instruments.back().id);
        return {unplug(id) ? QStringLiteral("unplugged %1").arg(id)
                           : QStringLiteral("error no instrument %1").arg(id)};
    }
    if (command == QLatin1String("list")) {
        QStringList lines;
        for (const Plugged& p : m_instruments) {
            lines << QStringLiteral("instrument ") + describe(p);
        }
        lines << QStringLiteral("end");
        return lines;
    }
    if (command == QLatin1String("fault")) {
        return {fault(words)};
    }
    if (command == QLatin1String("info")) {
        return {info()};
    }
    if (command == QLatin1String("datasets")) {
        return {datasets(words)};
    }
    if (command == QLatin1String("click") && words.size() >= 2) {
        return {click(words.at(1))};
    }
    if (command == QLatin1String("measurements")) {
        return {measurements()};
    }
    if (command == QLatin1String("screenshot") && words.size() >= 2) {
        return {screenshot(words.at(1))};
    }
    if (command == QLatin1String("close")) {
        return {close()};
    }
    if (command == QLatin1String("page") && words.size() >= 2) {
        return {page(words.at(1))};
    }
    if (command == QLatin1String("firmware") && words.size() >= 2) {
        // The tool's own recent-files list, as if the user had chosen the file earlier.
        Settings::instance()->addFirmwareFile(words.mid(1).join(QLatin1Char(' ')));
        return {QStringLiteral("firmware ") + Settings::instance()->firmwareFile(0)};
    }
    return {QStringLiteral("error unknown command: %1 (try help)").arg(line)};
}

QString SimLauncher::fault(const QStringList& words)
{
    // fault <id> <what> [arguments]
    Plugged* target = words.size() >= 3 ? find(words.at(1).toInt()) : nullptr;
    if (!target) {
        return QStringLiteral("error usage: fault <id> <what> [arguments]");
    }
    SimFaults& faults = target->instrument->faults();
    const QString what = words.at(2);
    const std::optional<uint32_t> a = number(words.value(3));
    const std::optional<uint32_t> b = number(words.value(4));
    if (what == QLatin1String("no-answer") && a) {
        faults.noAnswerTo(*a);
    } else if (what == QLatin1String("late-answer") && a && b) {
        faults.lateAnswerTo(*a, std::chrono::milliseconds(*b));
    } else if (what == QLatin1String("wrong-answer") && a && b) {
        faults.wrongAnswerCode(*a, *b);
    } else if (what == QLatin1String("pipe-error") && a) {
        faults.pipeErrorOn(*a);
    } else if (what == QLatin1String("probe-busy")) {
        faults.probeBusy(true);
    } else if (what == QLatin1String("unplug-after") && a) {
        faults.unplugAfterPackets(*a);
    } else if (what == QLatin1String("clear")) {
        faults.clear();
    } else {
        return QStringLiteral("error unknown fault: %1 (try help)").arg(words.mid(2).join(' '));
    }
    logger()->info("Fault on instrument {}: {}", target->id, words.mid(2).join(' '));
    return QStringLiteral("fault %1 %2").arg(target->id).arg(words.mid(2).join(' '));
}

QString SimLauncher::info() const
{
    QWidget* page = m_window ? m_window->page(MainWindow::InfoPage) : nullptr;
    auto* stack = page ? page->findChild<QStackedWidget*>(QStringLiteral("stackedWidget")) : nullptr;
    const bool connected = stack && stack->currentWidget() &&
                           stack->currentWidget()->objectName() == QLatin1String("pageConnected");
    const bool busy = m_window && m_window->progress()->isVisible();
    return QStringLiteral("info connected=%1 busy=%2 name=%3|serial=%4|firmware=%5")
        .arg(connected ? 1 : 0)
        .arg(busy ? 1 : 0)
        .arg(labelText(page, "deviceNameLabel"), labelText(page, "serialLabel"),
             labelText(page, "versionLabel"));
}

QString SimLauncher::page(const QString& name)
{
    static const QHash<QString, int> pages{{QStringLiteral("about"), MainWindow::AboutPage},
                                           {QStringLiteral("info"), MainWindow::InfoPage},
                                           {QStringLiteral("measurements"), MainWindow::MeasurementsPage},
                                           {QStringLiteral("service"), MainWindow::ServicePage},
                                           {QStringLiteral("production"), MainWindow::ProductionPage},
                                           {QStringLiteral("develop"), MainWindow::DevelopPage}};
    if (!m_window || !pages.contains(name)) {
        return QStringLiteral("error unknown page %1").arg(name);
    }
    m_window->sidebar()->setCurrentPage(pages.value(name));
    return QStringLiteral("page %1").arg(name);
}

QString SimLauncher::datasets(const QStringList& words)
{
    // datasets <id> <series> <points>: a store of walks along a winding cable, the depth rising and
    // falling along the way, so that a track picture has something to show.
    Plugged* target = words.size() >= 4 ? find(words.at(1).toInt()) : nullptr;
    auto* unit = target ? dynamic_cast<SimControlUnit*>(target->instrument.get()) : nullptr;
    const int count = words.value(2).toInt();
    const int points = words.value(3).toInt();
    if (!unit || count < 0 || points < 0) {
        return QStringLiteral("error usage: datasets <control unit id> <series> <points>");
    }
    DatasetStoreImage image;
    const QDateTime start(QDate(2021, 6, 1), QTime(9, 0), Qt::UTC);
    for (int s = 0; s < count; ++s) {
        DatasetStoreImage::Series series;
        series.text = s % 2 ? DatasetStoreImage::dateText(start.addDays(s))
                            : QStringLiteral("Cable route %1").arg(s + 1).toLatin1();
        for (int i = 0; i < points; ++i) {
            const double t = double(i) / std::max(1, points - 1);
            DatasetStoreImage::Point point;
            point.depth = float(0.6 + 0.5 * std::sin(t * 9.0 + s));
            point.amperage = float(1.2 - 0.8 * t);
            point.maxCoil = float(40 + 10 * std::cos(t * 5.0));
            point.minCoil = point.maxCoil - 12;
            point.frequency = 8192;
            point.azimuth = float(std::fmod(t * 720.0, 360.0));
            point.gpsText = DatasetStoreImage::rmcSentence(
                48.137 + 0.004 * t + 0.0008 * std::sin(t * 12.0),
                11.575 + 0.006 * t + 0.0015 * std::sin(t * 5.0 + s), start.addDays(s).addSecs(i * 2));
            series.points.append(point);
        }
        image.series.append(series);
    }
    unit->setDatasetStoreImage(image.build());
    return QStringLiteral("datasets %1 %2 %3").arg(target->id).arg(count).arg(points);
}

QString SimLauncher::click(const QString& objectName)
{
    auto* button = m_window ? m_window->findChild<QAbstractButton*>(objectName) : nullptr;
    if (!button || !button->isVisible()) {
        return QStringLiteral("error no visible button %1").arg(objectName);
    }
    clickLikeAUser(button);
    return QStringLiteral("click %1").arg(objectName);
}

QString SimLauncher::measurements() const
{
    auto* page =
        m_window ? static_cast<MeasurementsWidget*>(m_window->page(MainWindow::MeasurementsPage)) : nullptr;
    if (!page) {
        return QStringLiteral("error no window");
    }
    return QStringLiteral("measurements series=%1 points=%2 location=%3")
        .arg(page->datasetModel()->rowCount())
        .arg(page->dataPointModel()->rowCount())
        .arg(labelText(page, "locationLabel"));
}

QString SimLauncher::screenshot(const QString& path) const
{
    if (!m_window) {
        return QStringLiteral("error no window");
    }
    // What the display shows, frame and all, not a re-rendering of the widgets.
    QScreen* screen = m_window->screen();
    QPixmap shot = screen ? screen->grabWindow(0) : QPixmap();
    if (shot.isNull()) {
        shot = m_window->grab();
    }
    return shot.save(path, "PNG") ? QStringLiteral("screenshot %1").arg(path)
                                  : QStringLiteral("error cannot write %1").arg(path);
}

QString SimLauncher::close()
{
    if (!m_window) {
        return QStringLiteral("error no window");
    }
    auto* button = m_window->topBar()->findChild<QAbstractButton*>(QStringLiteral("closeButton"));
    if (!button) {
        return QStringLiteral("error no close button");
    }
    clickLikeAUser(button);
    return QStringLiteral("closing");
}

QString SimLauncher::helpText()
{
    return QStringLiteral(
               "commands (one per line):\n"
               "  plug <kind> [serial] [firmware]   plug in a new instrument; kinds: %1\n"
               "  unplug [id]                       unplug an instrument (default: the last one)\n"
               "  list                              list the plugged instruments\n"
               "  fault <id> no-answer <cmd>        stop answering a command (cmd decimal or "
               "0x.., e.g. 0x10E chip id)\n"
               "  fault <id> late-answer <cmd> <ms> answer a command late\n"
               "  fault <id> wrong-answer <cmd> <code>  answer a command with a wrong code\n"
               "  fault <id> pipe-error <cmd>       stall the transfer of a command\n"
               "  fault <id> probe-busy             make the connection probe fail (the tool sees "
               "a disconnect)\n"
               "  fault <id> unplug-after <n>       vanish after n more packets\n"
               "  fault <id> clear                  behave again\n"
               "  info                              what the Info page shows\n"
               "  datasets <id> <series> <points>   fill a control unit's store with walks\n"
               "  click <objectName>                click a visible button of the window\n"
               "  measurements                      what the Measurements page shows\n"
               "  screenshot <file.png>             save a screenshot\n"
               "  page <name>                       open a page (about info measurements service "
               "production develop)\n"
               "  firmware <file>                   put a firmware file on top of the recent list\n"
               "  close                             click the window's close button")
        .arg(kindNames().join(' '));
}
