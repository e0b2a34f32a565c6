#include "ui/languageswidgetcontrolunit.h"

#include "options/storageids_controlunit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>
#include <QtEndian>

namespace {
using Id = StorageIDs_ControlUnit::Options;

struct Language
{
    Id id;
    const char* text;
};

// Named in the tool's language: each language in its own name would be no better for a service technician.
const Language kLanguages[] = {
    {Id::e_sid_cu_Option_Lang_English, QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "English")},
    {Id::e_sid_cu_Option_Lang_German, QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "German")},
    {Id::e_sid_cu_Option_Lang_French, QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "French")},
    {Id::e_sid_cu_Option_Lang_Spanish, QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "Spanish")},
    {Id::e_sid_cu_Option_Lang_Hungarian, QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "Hungarian")},
    {Id::e_sid_cu_Option_Lang_Romanian, QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "Romanian")},
    {Id::e_sid_cu_Option_Lang_Russian, QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "Russian")},
    {Id::e_sid_cu_Option_Lang_Portuguese, QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "Portuguese")},
    {Id::e_sid_cu_Option_Lang_Norwegian, QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "Norwegian")},
    {Id::e_sid_cu_Option_Lang_Polish, QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "Polish")},
    {Id::e_sid_cu_Option_Lang_Italian, QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "Italian")},
    {Id::e_sid_cu_Option_Lang_Czech, QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "Czech")},
    {Id::e_sid_cu_Option_Lang_Chinese, QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "Chinese")},
    {Id::e_sid_cu_Option_Lang_Chinese_trad, QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "Chinese_trad")},
    {Id::e_sid_cu_Option_Lang_Swedish, QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "Swedish")},
    {Id::e_sid_cu_Option_Lang_Greek, QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "Greek")},
    {Id::e_sid_cu_Option_Lang_Dutch, QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "Dutch")},
    {Id::e_sid_cu_Option_Lang_Bulgarian,
     QT_TRANSLATE_NOOP("LanguagesWidgetControlUnit", "Bulgarian (\u2265v2.2.1)")},
};
constexpr int kColumns = 6;

bool isFixed(quint32 id)
{
    return id == quint32(Id::e_sid_cu_Option_Lang_English) || id == quint32(Id::e_sid_cu_Option_Lang_German);
}
} // namespace

LanguagesWidgetControlUnit::LanguagesWidgetControlUnit(QWidget* parent) : QWidget(parent)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_group = new QGroupBox(tr("Languages"), this);
    m_group->setObjectName(QStringLiteral("groupLanguages"));
    m_title = m_group->title();
    outer->addWidget(m_group);
    auto* grid = new QGridLayout(m_group);
    grid->setObjectName(QStringLiteral("groupLanguagesLayout"));

    int n = 0;
    for (const Language& language : kLanguages) {
        auto* box = new QCheckBox(tr(language.text), m_group);
        box->setMinimumHeight(20);
        if (isFixed(quint32(language.id))) {
            box->setChecked(true);
            box->setAttribute(Qt::WA_TransparentForMouseEvents);
            box->setFocusPolicy(Qt::NoFocus);
            box->setProperty("type", QStringLiteral("readonly"));
        }
        // A language's name is never cut, in any language the tool speaks: the page scrolls instead.
        box->setMinimumWidth(box->sizeHint().width());
        grid->addWidget(box, n / kColumns, n % kColumns);
        m_boxes.insert(quint32(language.id), box);
        ++n;
    }
}

QList<quint32> LanguagesWidgetControlUnit::languageIds()
{
    QList<quint32> ids;
    for (const Language& language : kLanguages) {
        ids << quint32(language.id);
    }
    return ids;
}

QCheckBox* LanguagesWidgetControlUnit::box(quint32 optionId) const
{
    return m_boxes.value(optionId);
}

bool LanguagesWidgetControlUnit::isTicked(quint32 optionId) const
{
    QCheckBox* checkBox = m_boxes.value(optionId);
    return checkBox && checkBox->isChecked();
}

void LanguagesWidgetControlUnit::setTitle(const QString& title)
{
    m_title = title;
    m_group->setTitle(title);
}

void LanguagesWidgetControlUnit::showTitle(bool show)
{
    if (!show) {
        m_title = m_group->title();
        m_group->setTitle(QString());
        return;
    }
    m_group->setTitle(m_title.isEmpty() ? QStringLiteral(" ") : m_title);
}

QList<quint32> LanguagesWidgetControlUnit::knownIds() const
{
    QList<quint32> ids;
    for (const quint32 id : languageIds()) {
        if (!m_unknown.contains(id)) {
            ids << id;
        }
    }
    return ids;
}

bool LanguagesWidgetControlUnit::allReported() const
{
    for (const quint32 id : m_boxes.keys()) {
        if (!m_unknown.contains(id) && !m_reported.contains(id)) {
            return false;
        }
    }
    return true;
}

void LanguagesWidgetControlUnit::setUnknownIds(const QSet<quint32>& optionIds)
{
    const bool was = allReported();
    m_unknown.clear();
    for (auto it = m_boxes.constBegin(); it != m_boxes.constEnd(); ++it) {
        const bool unknown = optionIds.contains(it.key());
        if (unknown) {
            m_unknown.insert(it.key());
            it.value()->setChecked(false);
        }
        it.value()->setEnabled(!unknown);
    }
    if (was != allReported()) {
        emit allReportedChanged(allReported());
    }
}

void LanguagesWidgetControlUnit::forgetReports()
{
    const bool was = allReported();
    m_reported.clear();
    m_unknown.clear();
    for (auto it = m_boxes.constBegin(); it != m_boxes.constEnd(); ++it) {
        it.value()->setChecked(isFixed(it.key()));
        it.value()->setEnabled(true);
    }
    if (was) {
        emit allReportedChanged(false);
    }
}

void LanguagesWidgetControlUnit::onDeviceOptionChanged(uint optionId, QByteArray value)
{
    QCheckBox* checkBox = m_boxes.value(optionId);
    if (!checkBox) {
        return;
    }
    // A value shorter than a word (a failed read delivers an empty one) counts as "not offered", but
    // it is no report of the unit's setting.
    const bool complete = value.size() >= 4;
    checkBox->setChecked(complete && qFromLittleEndian<qint32>(value.constData()) != 0);
    const bool was = allReported();
    if (complete) {
        m_reported.insert(optionId);
    } else {
        m_reported.remove(optionId);
    }
    if (was != allReported()) {
        emit allReportedChanged(allReported());
    }
}
