#pragma once

#include <QString>
#include <QStringList>

// Where the serial numbers of a production run come from: none (boards keep what they carry), a counter
// range ("LINE-0001..LINE-0500", the next free number remembered in the settings, so that a restarted
// station goes on where it stopped), or scanned per board (the serial scanned last goes to the board
// plugged next). A counter number is used up only by a board that passed.
class StationSerials
{
public:
    enum class Mode
    {
        None,
        Counter,
        Scan
    };

    StationSerials() = default;
    // A counter over `from`..`to`: the same prefix, then the same number of digits. False (with the reason)
    // for anything else.
    bool setRange(const QString& from, const QString& to, QString* error);
    // "FROM..TO".
    bool setRange(const QString& range, QString* error);
    void setScan() { m_mode = Mode::Scan; }

    Mode mode() const { return m_mode; }
    // The serial the next board gets: empty without serials, or while no serial is scanned; also empty
    // when the counter ran past its range (see exhausted()).
    QString next() const;
    bool exhausted() const;
    // Scan: the serial the next board gets (a later scan before a board came replaces it).
    void scanned(const QString& serial);
    // The board that got next() passed: the counter moves on and remembers it; a scanned serial is used.
    void passed();
    // The board that got next() failed: a scanned serial is used up all the same (the label belongs to
    // that board); the counter stays.
    void failed();

private:
    int nextNumber() const;
    QString format(int number) const;

    Mode m_mode = Mode::None;
    QString m_prefix;
    int m_digits = 0;
    int m_first = 0;
    int m_last = 0;
    QString m_scanned;
};
