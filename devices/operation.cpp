#include "devices/operation.h"

#include "core/englishscope.h"

#include <QMetaEnum>

#include <atomic>

namespace {
std::atomic<int> g_liveOperations{0};
std::atomic<quint64> g_lastSerial{0};
} // namespace

Operation::Operation(Kind kind, Inputs inputs, QObject* parent)
    : QObject(parent), m_serial(++g_lastSerial), m_kind(kind), m_inputs(std::move(inputs))
{
    ++g_liveOperations;
}

Operation::~Operation()
{
    --g_liveOperations;
}

int Operation::liveCount()
{
    return g_liveOperations.load();
}

QString Operation::kindName(Kind kind)
{
    return QString::fromLatin1(QMetaEnum::fromType<Kind>().valueToKey(int(kind)));
}

QString Operation::message() const
{
    return EnglishScope::active() ? m_englishMessage : m_message;
}

void Operation::finish(int result, const QString& message, const QString& english)
{
    if (m_finished) {
        return;
    }
    m_finished = true;
    m_result = result;
    m_message = message;
    m_englishMessage = english.isEmpty() ? message : english;
    emit finished(result, message);
}
