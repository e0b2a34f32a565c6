#pragma once

#include "app/cli/cliconsole.h"
#include "app/cli/clisession.h"
#include "core/applicationidentity.h"
#include "devices/basedevice.h"
#include "devices/devicefactory.h"
#include "devices/snapshotstore.h"
#include "sim/siminstrumentfactory.h"
#include "sim/simprotocol.h"
#include "sim/usbfs/simusbfixture.h"
#include "tests/devices/logcapture.h"
#include "usb/usbmanager.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// Option bytes between the simulated instrument's and the tool's types.
inline QByteArray toQt(const SimProtocol::Bytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
}

inline SimProtocol::Bytes toSim(const QByteArray& bytes)
{
    return SimProtocol::Bytes(bytes.begin(), bytes.end());
}

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// What one in-process run of service-cli left behind.
struct CliRun
{
    int code = -1;
    QByteArray out;
    QByteArray err;

    // Standard output parsed as one JSON document; a failure names what else was there.
    QJsonObject json() const
    {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(out, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError)
            << "standard output is not one JSON document: " << out.toStdString()
            << "\nstderr: " << err.toStdString();
        EXPECT_TRUE(document.isObject());
        return document.object();
    }
    std::string context() const { return "stdout: " + out.toStdString() + "\nstderr: " + err.toStdString(); }
};

// The command line in-process against the simulated instruments on the emulated bus: a fresh bus per test
// (each test its own process), the application-data folder in a temporary folder, and the discovery that
// the session starts itself, shut down before the bus goes.
class CliFixture : public SimUsbFixture
{
protected:
    bool initialiseLibusb() const override { return false; }

    void SetUp() override
    {
        ASSERT_TRUE(dataHome.isValid());
        qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
        ApplicationIdentity::apply();
        log(); // before the first logger exists
        SimUsbFixture::SetUp();
        DeviceFactory::install();
    }

    void TearDown() override
    {
        bus().unplugAll();
        UsbManager::instance()->deinit();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        UsbManager::instance()->setCandidateFilter({});
        SimUsbFixture::TearDown();
    }

    static LogCapture& log()
    {
        static LogCapture* capture = new LogCapture(2); // lives until process exit
        return *capture;
    }

    // Runs service-cli with `arguments` (no program name). `input` is what standard input holds;
    // `terminal` makes standard input and error terminals.
    CliRun run(const QStringList& arguments, const QByteArray& input = QByteArray(), bool terminal = false)
    {
        QBuffer out;
        QBuffer err;
        QBuffer in;
        in.setData(input);
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        in.open(QIODevice::ReadOnly);
        CliRun result;
        {
            CliConsole console(&out, &err, &in, terminal, terminal);
            CliSession session(console, UsbManager::instance());
            session.setPollInterval(100);
            result.code = session.run(QStringList{QStringLiteral("service-cli")} + arguments);
        }
        result.out = out.data();
        result.err = err.data();
        return result;
    }

    // Where the session puts snapshots: the default folder inside the temporary application-data folder.
    static QString snapshotFolder() { return SnapshotStore::defaultFolder(); }

    QString path(const QString& name) const { return work.filePath(name); }

    // Waits until the discovery serves `instrument`, open and identified, at its current port once it was
    // plugged `plugs` times: a restarted instrument leaves its old port a moment after the restart command.
    bool waitServed(const std::shared_ptr<SimInstrument>& instrument, int plugs, int timeoutMs = 10000)
    {
        return QTest::qWaitFor(
            [&] {
                const auto port = bus().portOf(instrument);
                if (!port || bus().plugCount(instrument) < plugs) {
                    return false;
                }
                auto* device = qobject_cast<BaseDevice*>(
                    UsbManager::instance()->device(UsbBusDeviceAddress(port->bus, port->address)).data());
                return device && device->isConnected() && !device->chipId().isEmpty();
            },
            timeoutMs);
    }

    // Waits until the discovery let go of every instrument (after an unplug).
    static bool waitServingNone(int timeoutMs = 10000)
    {
        return QTest::qWaitFor([] { return UsbManager::instance()->addresses().isEmpty(); }, timeoutMs);
    }

    QTemporaryDir dataHome;
    QTemporaryDir work;
};
