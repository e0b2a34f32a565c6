#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QWidget>

class QCheckBox;
class QGroupBox;

// The menu languages a control unit offers, one check box per language option, mirroring the values
// the unit reports. English and German are fixed: ticked, not user-toggleable, but still following
// what the unit reports. Keeps track of which languages the unit has reported a proper value for, so
// that a selection is only sent once it is based on the unit's real set. A unit older than some
// languages has no option for them: their boxes are off and disabled, and they are neither awaited nor
// sent.
class LanguagesWidgetControlUnit : public QWidget
{
    Q_OBJECT

public:
    explicit LanguagesWidgetControlUnit(QWidget* parent = nullptr);

    // The 18 option ids with a box, in layout order (ascending id).
    static QList<quint32> languageIds();
    bool isTicked(quint32 optionId) const;
    QCheckBox* box(quint32 optionId) const;

    void setTitle(const QString& title);
    void showTitle(bool show);

    // True once every language option the unit knows was reported with a 4-byte value since the last
    // forgetReports().
    bool allReported() const;
    // The language ids the unit knows, in layout order: the ones a selection consists of.
    QList<quint32> knownIds() const;
    // Back to the state before any report: nothing reported, only English and German ticked.
    void forgetReports();

signals:
    void allReportedChanged(bool allReported);

public slots:
    void onDeviceOptionChanged(uint optionId, QByteArray value);
    // Ids the unit has no option for (any ids; those without a box are ignored).
    void setUnknownIds(const QSet<quint32>& optionIds);

private:
    QGroupBox* m_group = nullptr;
    QMap<quint32, QCheckBox*> m_boxes;
    QSet<quint32> m_reported;
    QSet<quint32> m_unknown; // language ids the unit has no option for
    QString m_title;
};
