#pragma once

#include <QElapsedTimer>
#include <QString>

#include <functional>

// Passes a running job's progress on to the user-interface thread at a pace it can take: a job may
// report after every packet (a touch sweep reports 8192 steps, an option read 200 in a tenth of a
// second), and each report crossing threads is a queued event that wakes the window. What the user
// sees is kept: the first report, every new text or range, a report that completes the range, and
// otherwise one report per interval; a report held back is passed on with the next one that goes
// or by flush() when the job ends, so the last value always arrives.
class ProgressThrottle
{
public:
    using Forward = std::function<void(int value, int maximum, const QString& message)>;
    using Clock = std::function<qint64()>; // milliseconds, monotonic

    static constexpr int kIntervalMs = 25;

    // Without a clock the throttle keeps its own, started here.
    explicit ProgressThrottle(Forward forward, Clock clock = {});

    void report(int value, int maximum, const QString& message);
    // Passes on a report still held back.
    void flush();

private:
    qint64 now() const;
    void pass(int value, int maximum, const QString& message);

    Forward m_forward;
    Clock m_clock;
    QElapsedTimer m_timer;
    bool m_passedAny = false;
    qint64 m_passedAt = 0;
    int m_passedMaximum = 0;
    QString m_passedMessage;
    // A held report has the passed one's text and range: a new one would have gone at once.
    bool m_holding = false;
    int m_heldValue = 0;
};
