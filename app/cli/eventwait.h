#pragma once

#include <QObject>

#include <functional>

class QEventLoop;

// Lets the command line's sequential commands wait for the device layer's signals: runs the event loop
// until a condition holds. The condition is checked again whenever wake() is called (connect the signals
// that may change it) and at least every 100 ms, so a missed wake only costs a little time.
class EventWait : public QObject
{
    Q_OBJECT

public:
    explicit EventWait(QObject* parent = nullptr);

    // Runs the event loop until `done()` holds: true. False when `timeoutMs` passed first (negative: no
    // limit). Returns at once when `done()` holds already.
    bool until(const std::function<bool()>& done, int timeoutMs = -1);

public slots:
    void wake();

private:
    QEventLoop* m_loop = nullptr;
};
