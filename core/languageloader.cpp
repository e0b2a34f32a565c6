#include "core/languageloader.h"

#include "core/scopedtranslator.h"
#include "core/settings.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>
#include <vector>

// The translations are compiled into this static library as a resource that nothing else references,
// so it is registered on first use. Outside any namespace: the macro declares the initialiser, which
// must keep its external name.
static void registerTranslationResource()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(translations);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace {
const QString kGerman = QStringLiteral("de");
const QString kEnglish = QStringLiteral("en");

// Owned here rather than by the application object, so that a second install() replaces them.
std::vector<std::unique_ptr<QTranslator>>& translators()
{
    static std::vector<std::unique_ptr<QTranslator>> installed;
    return installed;
}

QString installedLanguage = kEnglish;

QString known(const QString& language)
{
    const QString lower = language.trimmed().toLower();
    return lower == kGerman || lower == kEnglish ? lower : QString();
}

// Loads `file` from the compiled-in translations, else (Qt's own files only) from Qt's installed ones.
bool installTranslator(const QString& file, bool qtsOwn)
{
    auto translator = std::make_unique<ScopedTranslator>();
    bool loaded = translator->load(file, QStringLiteral(":/translations"));
    if (!loaded && qtsOwn) {
        loaded = translator->load(file, QLibraryInfo::location(QLibraryInfo::TranslationsPath));
    }
    if (!loaded || !QCoreApplication::installTranslator(translator.get())) {
        return false;
    }
    translators().push_back(std::move(translator));
    return true;
}
// Numbers in the window carry no group separators: "12345" reads as a value in both languages, where
// "12.345" would be a decimal to an English reader.
void setDefaultLocale(QLocale::Language language, const QLocale& system)
{
    QLocale locale = system.language() == language ? system : QLocale(language);
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    QLocale::setDefault(locale);
}
} // namespace

QString LanguageLoader::choose(const QStringList& arguments, const QString& setting, const QLocale& system)
{
    const QString option = QStringLiteral("--language");
    for (int i = 1; i < arguments.size(); ++i) {
        QString value;
        if (arguments.at(i) == option && i + 1 < arguments.size()) {
            value = arguments.at(i + 1);
        } else if (arguments.at(i).startsWith(option + QLatin1Char('='))) {
            value = arguments.at(i).mid(option.size() + 1);
        }
        if (!known(value).isEmpty()) {
            return known(value);
        }
    }
    if (!known(setting).isEmpty()) {
        return known(setting);
    }
    return system.language() == QLocale::German ? kGerman : kEnglish;
}

bool LanguageLoader::install(const QString& language, const QLocale& system)
{
    for (const auto& translator : translators()) {
        QCoreApplication::removeTranslator(translator.get());
    }
    translators().clear();
    installedLanguage = kEnglish;

    const bool german = known(language) == kGerman;
    setDefaultLocale(german ? QLocale::German : QLocale::English, system);
    if (!german) {
        return true;
    }
    registerTranslationResource();
    if (!installTranslator(QStringLiteral("service-software_de"), false)) {
        setDefaultLocale(QLocale::English, system);
        return false;
    }
    // Without Qt's own file the standard buttons stay English; the tool's texts are German regardless.
    static_cast<void>(installTranslator(QStringLiteral("qtbase_de"), true));
    installedLanguage = kGerman;
    return true;
}

QString LanguageLoader::installForApplication()
{
    const QString language =
        choose(QCoreApplication::arguments(), Settings::instance()->language(), QLocale::system());
    install(language);
    return current();
}

QString LanguageLoader::current()
{
    return installedLanguage;
}
