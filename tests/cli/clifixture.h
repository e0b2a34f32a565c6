#pragma once

#include "app/cli/clisession.h"
#include "clistreams.h"
#include "core/applicationidentity.h"
#include "devicebusfixture.h"
#include "devices/snapshotstore.h"
#include "sim/datasetstoreimage.h"
#include "sim/siminstrumentfactory.h"
#include "sim/simprotocol.h"
#include "testfiles.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QStandardPaths>
#include <QTemporaryDir>

// A dataset store of one series with the text `text` and `points` points without a fix.
inline QByteArray oneSeriesStore(const QByteArray& text, int points = 1)
{
    DatasetStoreImage image;
    image.series.append(DatasetStoreImage::Series());
    image.series[0].text = text;
    for (int i = 0; i < points; ++i) {
        image.series[0].points.append(DatasetStoreImage::Point());
    }
    return image.build();
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

// The command line in-process against the simulated instruments: the shared bus fixture (the session
// starts the discovery itself) with the application-data folder in a temporary folder.
class CliFixture : public DeviceBusFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dataHome.isValid());
        qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
        ApplicationIdentity::apply();
        log(); // before the first logger exists
        DeviceBusFixture::SetUp();
    }

    static LogCapture& log() { return DeviceBusFixture::log(2); }

    // Runs service-cli with `arguments` (no program name) over CliStreams(input, terminal).
    CliRun run(const QStringList& arguments, const QByteArray& input = QByteArray(), bool terminal = false)
    {
        CliStreams streams(input, terminal);
        return run(arguments, streams);
    }
    // The same over `streams`, which a test may watch while the command runs.
    CliRun run(const QStringList& arguments, CliStreams& streams)
    {
        CliRun result;
        {
            CliSession session(*streams.console, UsbManager::instance());
            session.setPollInterval(100);
            result.code = session.run(QStringList{QStringLiteral("service-cli")} + arguments);
        }
        streams.console.reset();
        result.out = streams.out.data();
        result.err = streams.err.data();
        return result;
    }

    // Where the session puts snapshots: the default folder inside the temporary application-data folder.
    static QString snapshotFolder() { return SnapshotStore::defaultFolder(); }
    // A file where the snapshot folder should be: every snapshot fails to save.
    static void blockSnapshots()
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(snapshotFolder()).absolutePath()));
        writeFile(snapshotFolder());
    }

    QString path(const QString& name) const { return work.filePath(name); }

    static bool waitServingNone(int timeoutMs = 10000) { return waitTableEmpty(timeoutMs); }

    QTemporaryDir dataHome;
    QTemporaryDir work;
};
