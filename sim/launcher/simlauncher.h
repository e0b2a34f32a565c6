#pragma once

#include "core/baselogger.h"
#include "sim/siminstrumentfactory.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class MainWindow;
class QSocketNotifier;
class SimUsbBus;

// Plugs, unplugs and disturbs simulated instruments on the emulated USB bus while the real tool runs
// in the same process, and answers the commands of the person (or test) at the keyboard: one command
// per line on standard input, or through the control window. Answers are single lines on standard
// output, so that scripts can wait for them.
//
// Thread: GUI thread. The bus is not owned; it must outlive this object.
class SimLauncher : public QObject, public BaseLogger
{
    Q_OBJECT

public:
    struct Plugged
    {
        int id = 0;
        QString kind;
        std::shared_ptr<SimInstrument> instrument;
    };

    explicit SimLauncher(SimUsbBus& bus, QObject* parent = nullptr);

    // Every kind name the launcher knows, as used by "plug" and --kind.
    static QStringList kindNames();
    static std::optional<SimKind> kindFromName(const QString& name);

    // Plugs a new instrument of that kind; returns its id (from 1 on), or -1 for an unknown kind.
    int plug(const QString& kind, const QString& serial = QString(),
             const QString& softwareVersion = QString());
    bool unplug(int id);
    const std::vector<Plugged>& instruments() const { return m_instruments; }

    // The window of the tool, for the "info", "screenshot" and "close" commands.
    void setWindow(MainWindow* window);
    // Starts reading commands from standard input.
    void listenOnStandardInput();

    // Runs one command line and returns its answer lines.
    QStringList execute(const QString& line);

    static QString helpText();

signals:
    void instrumentsChanged();
    // A line of output for the person at the screen (also written to standard output).
    void output(QString line);

private slots:
    void readStandardInput();

private:
    Plugged* find(int id);
    QString fault(const QStringList& words);
    QString info() const;
    QString datasets(const QStringList& words);

    QString click(const QString& objectName);
    QString measurements() const;
    QString screenshot(const QString& path) const;
    QString page(const QString& name);
    QString close();
    QString describe(const Plugged& plugged) const;

    SimUsbBus& m_bus;
    std::vector<Plugged> m_instruments;
    int m_nextId = 1;
    QPointer<MainWindow> m_window;
    QSocketNotifier* m_stdin = nullptr; // child of this object
    QByteArray m_pendingInput;          // bytes of standard input not yet ending in a line feed
};
