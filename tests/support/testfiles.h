#pragma once

#include <QFile>

#include <gtest/gtest.h>

// `content` as the file at `path` (a file that cannot be written fails the test); returns `path`.
inline QString writeFile(const QString& path, const QByteArray& content = {})
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size())
        << path.toStdString();
    return path;
}

// The whole file, or nothing when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
