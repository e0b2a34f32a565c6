#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// The language the tool speaks to its user, and the translators that make it speak it. English is the
// language of the sources; German comes as a translation compiled into the executables, together with
// Qt's own German texts (standard buttons, file dialogs) where the build machine had them.
class LanguageLoader
{
public:
    // "de" or "en". The first of these that names one of them wins: "--language de|en" (or
    // "--language=de|en") in `arguments`, `setting` (the settings file's `[General] language=`), the
    // language of `system`. Anything else falls back to English.
    static QString choose(const QStringList& arguments, const QString& setting, const QLocale& system);

    // Installs the translators for `language` ("de" or "en") on the running application and makes the
    // language's locale the default, so that dates, times and numbers shown follow it. When `system`
    // speaks the chosen language its country's conventions are kept (de_AT stays Austrian). Returns
    // false when a German translation could not be loaded (the tool then speaks English). Needs the
    // application object; GUI thread.
    static bool install(const QString& language, const QLocale& system = QLocale::system());

    // choose() with the running application's arguments, the settings file and the system locale,
    // then install(). Returns the language installed.
    static QString installForApplication();

    // The installed translators' language: "de" or "en" (before any install(): "en").
    static QString current();
};
