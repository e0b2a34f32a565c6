#pragma once

#include "core/baselogger.h"

#include <QByteArray>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class OptionParser;

// The functions that the enciphered option description file ("file.options" in the firmware directory)
// offers a circuit board of one device type and hardware revision, and which of them a board already
// carries, told from its stored values. A function holding an option that cannot be encoded is kept
// (it is shown) but refused for writing, as a whole.
//
// Results are codes (0 loaded, negative failure) and empty values; nothing throws. Lines go to the
// logger "OptionFunctions"; texts for the operator are left to the caller.
class OptionFunctions : public BaseLogger
{
public:
    static const char* const kFileName;

    enum Result
    {
        Loaded = 0,
        NoDirectory = -1, // no firmware directory is set
        NoFile = -2,      // the directory holds no option description file
        Unreadable = -3,  // it deciphers to no JSON document
    };

    // Why a function is refused; the option is named by its "id" text (and its type).
    struct Refusal
    {
        enum Reason
        {
            None,
            IdNotNumber,
            UnknownType
        };
        Reason reason = None;
        QString id;
        QString type;
    };

    OptionFunctions();
    ~OptionFunctions() override;

    // The option description file of `directory`; empty without a directory.
    static QString filePath(const QString& directory);

    // Checks that `directory` holds the file, without reading it.
    int locate(const QString& directory);
    // Forgets what was loaded, then reads the file of `directory` and keeps the functions for the device
    // type and hardware revision (none when either is empty; the base firmware and the device types
    // are known all the same).
    int load(const QString& directory, const QString& deviceType, const QString& hardwareRevision);
    // The same from a deciphered document (an empty one is Unreadable).
    int load(const QJsonDocument& document, const QString& deviceType, const QString& hardwareRevision);
    void clear();

    QString baseFirmware() const { return m_baseFirmware; }
    // Device types that offer a function for `hardwareRevision`; empty when nothing is loaded.
    QStringList deviceTypes(const QString& hardwareRevision) const;
    // The firmware file of a function; empty when nothing is loaded or for an empty name.
    QString firmware(const QString& name) const;

    // Function names in file order.
    QStringList names() const { return m_names; }
    bool isEmpty() const { return m_options.isEmpty(); }
    QJsonArray options(const QString& name) const { return m_options.value(name); }
    Refusal refusal(const QString& name) const { return m_refusals.value(name); }
    // What writing a function stores: id -> encoded value, a later option replacing an earlier one of the
    // same id; empty for a refused or unknown function.
    QHash<quint32, QByteArray> values(const QString& name) const;

    // The ids whose values tell the functions apart (ascending).
    QList<quint32> distinguishingIds() const { return m_distinguishingIds; }
    // The ids a board's values are compared at: the distinguishing ones, or every id of the functions
    // when nothing tells them apart (a blank board must not "match" a single function). Ascending.
    QList<quint32> recognitionIds() const { return m_recognitionIds; }
    // The function whose values a board stores at every recognition id, empty when none; nullopt while
    // `stored` lacks one of those ids or there is none. Functions are tried by name, the first match wins.
    std::optional<QString> recognise(const QHash<quint32, QByteArray>& stored) const;

private:
    void analyse();

    std::unique_ptr<OptionParser> m_parser;
    QString m_baseFirmware;
    QStringList m_names;
    QMap<QString, QJsonArray> m_options;
    QHash<QString, Refusal> m_refusals;
    QList<quint32> m_distinguishingIds;
    QList<quint32> m_recognitionIds;
};
