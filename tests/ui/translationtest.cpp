// The window in German: the language choice, and every visible text of every page (and the reset question)
// with each kind of simulated instrument, compared with the same window in English.
#include "core/languageloader.h"
#include "servicepagefixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTabBar>

namespace {

TEST(LanguageChoice, SwitchBeatsSettingBeatsSystem)
{
    const QLocale german(QLocale::German, QLocale::Austria);
    const QLocale french(QLocale::French);
    const QString app = QStringLiteral("service-software");
    const struct
    {
        QStringList arguments;
        QString setting;
        QLocale system;
        QString expected;
    } cases[] = {
        {{app}, QString(), german, "de"},
        {{app}, QString(), french, "en"},
        {{app}, "en", german, "en"},
        {{app}, " DE ", french, "de"},
        {{app}, "fr", german, "de"},
        {{app, "--language", "de"}, "en", french, "de"},
        {{app, "--language=en"}, "de", german, "en"},
        {{app, "--language", "xx"}, "de", french, "de"},
        {{app, "--language"}, QString(), german, "de"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LanguageLoader::choose(c.arguments, c.setting, c.system), c.expected)
            << c.arguments.join(' ').toStdString() << " / " << c.setting.toStdString();
    }
}

// The same in both languages on purpose: names, units and words German shares with English, and the
// device type codes written to the instrument.
const QStringList kSameInBoth = {"Info",
                                 "Service",
                                 "Firmware",
                                 "Firmware:",
                                 "Version:",
                                 "Version: ",
                                 "Bluetooth",
                                 "ID",
                                 "Position",
                                 "N",
                                 "Zenit [°]",
                                 "unknown",
                                 "TBX-CU",
                                 "TBX-SU",
                                 "VC-SU",
                                 "VC-MNA",
                                 "VCG-CU",
                                 "QSR NT",
                                 "tymbrel",
                                 "Vectaris",
                                 "Dialog",
                                 "Version",
                                 "Google Earth (*.kml)",
                                 "GPX 1.1 (*.gpx)",
                                 "CSV, UTF-8 (*.csv)",
                                 "Parameter",
                                 "Parameters"};

bool languageNeutral(const QString& text)
{
    // Values read from the instrument or computed (numbers, versions, serials, hexadecimal bytes, type
    // codes), shown alone or after a label that reads the same, and the storage ids' code names.
    static const QRegularExpression value(
        QStringLiteral("^((Firmware|Version): "
                       ")?([-+\\d\\s.,:;/%°x()A-F]*|[A-Z]{2,3}|[A-Z]{2,}[-\\w.]*\\d[-\\w.]*)$|^e_sid_\\w+$"));
    return kSameInBoth.contains(text) || value.match(text).hasMatch() ||
           text == QCoreApplication::applicationName() ||
           text == QStringLiteral("Version: ") + QCoreApplication::applicationVersion();
}

class TranslationTest : public ServicePageFixture
{
protected:
    void TearDown() override
    {
        ServicePageFixture::TearDown();
        LanguageLoader::install(QStringLiteral("en"));
    }

    static void add(QSet<QString>* texts, QString text)
    {
        text.remove(QRegularExpression(QStringLiteral("<[^>]*>")))
            .replace(QStringLiteral("&nbsp;"), QString());
        text = text.trimmed();
        if (!text.isEmpty()) {
            texts->insert(text);
        }
    }

    // Every text a user sees in `root`: labels, buttons, group titles, combo items, tabs, column headers
    // and tool tips of the visible widgets.
    static void collect(QWidget* root, QSet<QString>* texts)
    {
        QList<QWidget*> widgets = root->findChildren<QWidget*>();
        widgets.prepend(root);
        for (QWidget* w : widgets) {
            if (!w->isVisible()) {
                continue;
            }
            add(texts, w->toolTip());
            if (auto* label = qobject_cast<QLabel*>(w)) {
                add(texts, label->text());
            } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                add(texts, button->text());
            } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
                add(texts, group->title());
            } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
                for (int i = 0; i < combo->count(); ++i) {
                    add(texts, combo->itemText(i));
                }
            } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
                for (int i = 0; i < tabs->count(); ++i) {
                    add(texts, tabs->tabText(i));
                }
            } else if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model()) {
                for (int c = 0; c < view->model()->columnCount(); ++c) {
                    add(texts, view->model()->headerData(c, Qt::Horizontal).toString());
                }
            }
        }
    }

    // Starts the window anew in `language` with every page, and collects the texts of each page with the
    // plugged instrument of `kind` attached (none: the waiting window), and of the factory reset question.
    // The bus and its instruments stay; the device objects and their panels are made anew.
    QSet<QString> textsIn(const QString& language, std::optional<SimKind> kind)
    {
        reopenIn(language);
        QSet<QString> texts;
        if (kind) {
            EXPECT_NE(attach(), nullptr);
        } else {
            manager->pollNow(); // finds nothing: the window waits and says how to connect one
        }
        for (int page : {MainWindow::AboutPage, MainWindow::InfoPage, MainWindow::MeasurementsPage,
                         MainWindow::ServicePage, MainWindow::ProductionPage, MainWindow::DevelopPage,
                         MainWindow::HistoryPage}) {
            window->sidebar()->setCurrentPage(page);
            QApplication::processEvents();
            collect(window.get(), &texts);
        }
        if (kind == SimKind::ControlUnit) {
            window->sidebar()->setCurrentPage(MainWindow::ServicePage);
            child<QAbstractButton>(service(), "factoryResetButton")->click();
            if (auto* box = dialog<QMessageBox>("factoryResetQuestion")) {
                collect(box, &texts);
                box->reject();
            } else {
                ADD_FAILURE() << "no reset question";
            }
        }
        return texts;
    }
};

TEST_F(TranslationTest, EveryVisibleTextIsGermanWithEachInstrument)
{
    for (std::optional<SimKind> kind :
         {std::optional<SimKind>(), std::optional<SimKind>(SimKind::ControlUnit),
          std::optional<SimKind>(SimKind::AcousticSensor), std::optional<SimKind>(SimKind::LocatorSensor),
          std::optional<SimKind>(SimKind::Emitter), std::optional<SimKind>(SimKind::UpdateOnly)}) {
        if (kind) {
            plugKind(*kind);
        }
        const QSet<QString> english = textsIn(QStringLiteral("en"), kind);
        const QSet<QString> german = textsIn(QStringLiteral("de"), kind);
        bus().unplugAll();
        EXPECT_TRUE(german.contains(QStringLiteral("Über"))) << "the German window was not German";
        QStringList untranslated;
        for (const QString& text : english) {
            if (german.contains(text) && !languageNeutral(text)) {
                untranslated << text;
            }
        }
        untranslated.sort();
        EXPECT_TRUE(untranslated.isEmpty()) << "kind " << (kind ? int(*kind) : -1) << ": "
                                            << untranslated.join(QStringLiteral(" | ")).toStdString();
    }
}

} // namespace
