#pragma once

#include <QList>
#include <QPair>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <string>

// What a program run to its end left behind: the exit code (-1 when it crashed or did not finish) and
// its two output streams.
struct ProcessRun
{
    int code = -1;
    QByteArray out;
    QByteArray err;

    std::string context() const { return "stdout: " + out.toStdString() + "\nstderr: " + err.toStdString(); }
};

// Runs `program` (a bare name is looked up on the path) with `arguments`. A non-empty `home` becomes its
// HOME, with the data and config folders below it, so that it never touches the user's files; `extra`
// sets further variables (a null value removes one).
inline ProcessRun runProcess(const QString& program, const QStringList& arguments, const QString& home = {},
                             const QList<QPair<QString, QString>>& extra = {}, int timeoutMs = 60000)
{
    ProcessRun run;
    const QString path = program.contains('/') ? program : QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        ADD_FAILURE() << program.toStdString() << " is not installed (tools/install-deps.sh installs it)";
        return run;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!home.isEmpty()) {
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    }
    for (const auto& variable : extra) {
        if (variable.second.isNull()) {
            environment.remove(variable.first);
        } else {
            environment.insert(variable.first, variable.second);
        }
    }
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(path, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program.toStdString() << " did not finish";
        return run;
    }
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}
