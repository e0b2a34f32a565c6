#pragma once

#include "app/cli/cliconsole.h"

#include <QBuffer>

#include <memory>

// The three standard streams of one service-cli run as buffers, and the console over them. `input` is
// what standard input holds; `terminal` makes standard input and error terminals.
struct CliStreams
{
    QBuffer out;
    QBuffer err;
    QBuffer in;
    std::unique_ptr<CliConsole> console;

    explicit CliStreams(const QByteArray& input = QByteArray(), bool terminal = false)
    {
        in.setData(input);
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        in.open(QIODevice::ReadOnly);
        console = std::make_unique<CliConsole>(&out, &err, &in, terminal, terminal);
    }
};
