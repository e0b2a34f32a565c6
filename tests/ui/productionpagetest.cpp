// The Production and Develop pages with simulated instruments: a blank board gets its identity and a
// function from an enciphered "file.options", the option-file faults, the control unit's parameters,
// the locator's calibration table, the develop page's option table and the staff switches.
#include "devices/basedevice.h"
#include "options/optiontablemodel.h"
#include "options/storageidcatalogue.h"
#include "options/storageids_vectarisunit.h"
#include "servicepagefixture.h"
#include "sim/simdefaults.h"
#include "sim/simprotocol.h"
#include "ui/developwidget.h"
#include "ui/productionwidget.h"
#include "ui/productionwidgetcontrolunit.h"
#include "ui/productionwidgetvectaris.h"
#include "ui/qjsonmodel.h"
#include "ui/startup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDataStream>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QToolButton>

namespace {

using Bytes = SimProtocol::Bytes;

constexpr quint32 kBluetooth = 0x20000028;
constexpr quint32 kCompass = 0x20000007;

class ProductionPageTest : public ServicePageFixture
{
public:
    void SetUp() override
    {
        ServicePageFixture::SetUp();
        window->setStaffPages(true, true);
    }

    ProductionWidget* production() const { return page<ProductionWidget>(MainWindow::ProductionPage); }
    DevelopWidget* develop() const { return page<DevelopWidget>(MainWindow::DevelopPage); }

    BaseDevice* attachProduction(const QPointer<BaseDevice>& previous = nullptr)
    {
        BaseDevice* device = attach(previous);
        window->sidebar()->setCurrentPage(MainWindow::ProductionPage);
        return device;
    }

    QList<QToolButton*> buttons() const
    {
        return child<QWidget>(production(), "widgetOptionsList")->findChildren<QToolButton*>();
    }

    QStringList functionButtons() const
    {
        QStringList names;
        for (QToolButton* b : buttons()) {
            names << b->text();
        }
        return names;
    }

    QToolButton* functionButton(const QString& name) const
    {
        const int at = functionButtons().indexOf(name);
        return at < 0 ? nullptr : buttons().at(at);
    }

    QString text(const char* label) const { return child<QLabel>(production(), label)->text(); }
};

TEST(StaffPages, SwitchesFromTheCommandLine)
{
    struct Case
    {
        QStringList arguments;
        bool production;
        bool develop;
    };
    const Case cases[] = {
        {{"tool"}, false, false},
        {{"tool", "--production"}, true, false},
        {{"tool", "--develop"}, true, true},
        {{"tool", "--Production", "-develop", "--debug"}, false, false},
    };
    for (const Case& c : cases) {
        const StaffPages pages = staffPagesFromArguments(c.arguments);
        EXPECT_EQ(pages.production, c.production) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(pages.develop, c.develop) << c.arguments.join(' ').toStdString();
    }
}

TEST_F(ProductionPageTest, BlankBoardGetsIdentityAndFunctionThenItsFirmware)
{
    auto unit = plugControlUnit();
    unit->storeOption(SimDefaults::DeviceType, Bytes());
    unit->storeOption(SimDefaults::DeviceSerialNumber, Bytes());
    const QString dir = writeOptionFile(
        "TBX-CU", {function("Basic", {option(kBluetooth, "uint32_t", 0), option(kCompass, "uint32_t", 1)}),
                   function("Bluetooth", {option(kBluetooth, "uint32_t", 1), option(kCompass, "uint32_t", 1)},
                            "cu-bt.firmware")});
    firmwareIn(dir, "cu-bt.firmware", "7.1.0");

    BaseDevice* device = attachProduction();
    ASSERT_NE(device, nullptr);
    // No device type yet: no function is offered, whatever the file holds.
    EXPECT_TRUE(functionButtons().isEmpty());
    EXPECT_EQ(text("lblDeviceFunction"), QStringLiteral("no function"));
    // The file's device type for this PCB type is suggested; the read-out shows the board's own (none).
    auto* combo = child<QComboBox>(production(), "comboDeviceType");
    EXPECT_EQ(combo->currentText(), QStringLiteral("TBX-CU"));
    EXPECT_EQ(text("deviceTypeLabel"), QStringLiteral("Device Type: "));
    const size_t setsBefore = unit->countReceived(SimProtocol::SetOption);

    // A serial that is not printable Latin-1 is refused, not turned into '?'.
    child<QLineEdit>(production(), "editDeviceSerial")->setText(QStringLiteral("TCU-\u20ac-1"));
    child<QAbstractButton>(production(), "btnWriteParameters")->click();
    // The question would be open by now: the page asks it before the click returns.
    EXPECT_EQ(production()->findChild<QMessageBox*>(QStringLiteral("writeParametersQuestion")), nullptr);
    EXPECT_TRUE(text("lblParametersMessage").contains("cannot store"));

    child<QLineEdit>(production(), "editDeviceSerial")->setText(QStringLiteral("  TCU-26-00001 "));
    for (const QMessageBox::StandardButton button : {QMessageBox::Cancel, QMessageBox::Yes}) {
        child<QAbstractButton>(production(), "btnWriteParameters")->click();
        auto* question = dialog<QMessageBox>("writeParametersQuestion", production());
        ASSERT_NE(question, nullptr);
        EXPECT_TRUE(question->text().contains("\"TCU-26-00001\"")); // trimmed
        EXPECT_TRUE(question->text().contains("TBX-CU"));
        EXPECT_FALSE(question->text().contains("PCB Serial")); // left empty: not written
        EXPECT_FALSE(question->text().contains("PCB Type"));   // unchanged: not written
        answer(question, button);
        QTest::qWait(50);
        if (button == QMessageBox::Cancel) {
            EXPECT_EQ(unit->countReceived(SimProtocol::SetOption), setsBefore);
        }
    }

    device = attachProduction(device); // committed and rebooted
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(unit->permanentOption(SimDefaults::DeviceSerialNumber),
              SimInstrument::textValue("TCU-26-00001"));
    EXPECT_EQ(unit->permanentOption(SimDefaults::DeviceType), SimInstrument::textValue("TBX-CU"));
    EXPECT_EQ(unit->permanentOption(SimDefaults::PcbSerialNumber),
              SimInstrument::textValue("PCB-CU-0001234"));
    EXPECT_EQ(unit->permanentOption(SimDefaults::HardwareRevision), SimInstrument::textValue("D"));
    EXPECT_EQ(text("deviceTypeLabel"), QStringLiteral("Device Type: TBX-CU"));
    auto* serialEdit = child<QLineEdit>(production(), "editDeviceSerial");
    for (const auto& typed : {qMakePair(QStringLiteral("TCU-26-00001"), 0),
                              qMakePair(QStringLiteral("TCU-9"), -1), qMakePair(QString(), -2)}) {
        serialEdit->setText(typed.first);
        EXPECT_EQ(serialEdit->property("valid").toInt(), typed.second) << typed.first.toStdString();
    }

    // The board's Bluetooth is off: it carries "Basic", the only id telling the functions apart.
    EXPECT_EQ(functionButtons(), (QStringList{"Basic", "Bluetooth"}));
    EXPECT_EQ(production()->distinguishingIds(), QList<quint32>{kBluetooth});
    ASSERT_TRUE(QTest::qWaitFor([&] { return production()->deviceFunction() == "Basic"; }, kTimeoutMs));
    EXPECT_FALSE(child<QAbstractButton>(production(), "btnUpdateFirmware")->isEnabled()); // Basic has none

    functionButton("Bluetooth")->click();
    device = attachProduction(device);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(unit->permanentOption(kBluetooth), SimProtocol::words({1}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return production()->deviceFunction() == "Bluetooth"; }, kTimeoutMs));
    EXPECT_EQ(text("lblDeviceFunction"), QStringLiteral("Bluetooth"));
    EXPECT_EQ(functionButton("Bluetooth")->styleSheet(), QStringLiteral("background-color:green;"));
    EXPECT_EQ(text("lblFirmwareVersion"), QStringLiteral("7.1.0"));
    auto* update = child<QAbstractButton>(production(), "btnUpdateFirmware");
    ASSERT_TRUE(update->isEnabled());
    // Kept as a build artifact, to look at the page as the operator sees it.
    QDir().mkpath(SERVICE_UI_ARTIFACT_DIR);
    window->grab().save(QStringLiteral(SERVICE_UI_ARTIFACT_DIR "/production-page.png"));
    update->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return unit->softwareVersion() == "7.1.0"; }, 30000));
}

TEST_F(ProductionPageTest, WritingTheIdentitySaysItsOutcomeAndKeepsEachTextToOnePacket)
{
    auto unit = plugControlUnit();
    BaseDevice* device = attachProduction();
    ASSERT_NE(device, nullptr);
    // No field takes more than one set-option packet holds (1024 bytes less command and id).
    for (const char* name : {"editDeviceSerial", "editPcbType", "editPcbSerial"}) {
        auto* edit = child<QLineEdit>(production(), name);
        edit->setText(QString(2000, QLatin1Char('A')));
        EXPECT_EQ(edit->text().size(), 1016) << name;
        edit->clear();
    }

    struct Case
    {
        const char* label;
        uint32_t failing; // command whose packet stalls once; 0: none
        const char* says; // the message once the outcome is known
        bool restarts;
    };
    const Case cases[] = {
        {"set fails", SimProtocol::SetOption, "Writing the parameters failed; nothing was stored.", false},
        {"store fails", SimProtocol::WriteOptions, "Storing the parameters failed", true},
        {"both work", 0, "Parameters sent; the device restarts.", true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.failing != 0) {
            unit->faults().pipeErrorOn(c.failing, 1);
        }
        // What the message says each time one of the two operations has come back.
        // Queued, so that the page has taken the outcome first. On a slow machine the store may come
        // back before the send's queued call runs; the page then rightly says the final outcome.
        QStringList said;
        bool stored = false;
        QList<bool> storedWhenSaid;
        auto* message = child<QLabel>(production(), "lblParametersMessage");
        const auto watch =
            QObject::connect(device, &BaseDevice::operationStarted, production(), [&](Operation* op) {
                if (op->kind() == Operation::Kind::WriteOptions) {
                    QObject::connect(op, &Operation::finished, production(), [&] { stored = true; });
                }
                if (op->kind() == Operation::Kind::SendOptions ||
                    op->kind() == Operation::Kind::WriteOptions) {
                    QObject::connect(
                        op, &Operation::finished, production(),
                        [&] {
                            said << message->text();
                            storedWhenSaid << stored;
                        },
                        Qt::QueuedConnection);
                }
            });
        child<QLineEdit>(production(), "editDeviceSerial")->setText(QStringLiteral("TCU-%1").arg(++n));
        child<QAbstractButton>(production(), "btnWriteParameters")->click();
        auto* question = dialog<QMessageBox>("writeParametersQuestion", production());
        ASSERT_NE(question, nullptr);
        answer(question, QMessageBox::Yes);
        ASSERT_TRUE(QTest::qWaitFor([&] { return said.size() == (c.restarts ? 2 : 1); }, kTimeoutMs));
        QObject::disconnect(watch);
        EXPECT_TRUE(said.last().startsWith(QLatin1String(c.says))) << said.last().toStdString();
        // Success is said only once the values are stored, not when they were posted.
        if (!storedWhenSaid.first()) {
            EXPECT_FALSE(said.first().contains(QStringLiteral("restarts"))) << said.first().toStdString();
        }
        if (c.restarts) {
            device = attachProduction(device);
            ASSERT_NE(device, nullptr);
        }
    }
    EXPECT_EQ(unit->permanentOption(SimDefaults::DeviceSerialNumber), SimInstrument::textValue("TCU-3"));
}

TEST_F(ProductionPageTest, OptionFileFaultsGiveTheirMessageAndWriteNothing)
{
    auto unit = plugControlUnit();
    unit->storeOption(SimDefaults::DeviceType, SimInstrument::textValue("TBX-CU"));
    const QJsonArray good{option(kBluetooth, "uint32_t", 1)};
    const QString valid = writeOptionFile("TBX-CU", {function("Good", good)}, "valid");
    firmwareIn(valid, "any.firmware", "1.0.0");
    BaseDevice* device = attachProduction();
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(functionButtons(), QStringList{"Good"});
    ASSERT_TRUE(waitIdle(device));

    QDir(files.path()).mkpath("missing");
    QDir(files.path()).mkpath("garbage");
    const QString garbage = QFileInfo(firmware.write("garbage/file.options", "not enciphered at all")).path();
    const QString foreign = writeOptionFile("VC-SU", {function("Foreign", good)}, "foreign");
    // A type that cannot be encoded, and an id that is no number.
    const QString unencodable = writeOptionFile(
        "TBX-CU",
        {function("Broken", {option(kBluetooth, "uint32_t", 1), option(kCompass, "int64_t", 1)}),
         function("BadId", {QJsonObject{{"id", "0x2000"}, {"type", "uint32_t"}, {"value", 1}}})},
        "unencodable");

    // One function only: nothing tells functions apart, so all its ids are compared (the board's
    // Bluetooth is off, its compass on).
    const QString soloMismatch =
        writeOptionFile("TBX-CU", {function("Solo", {option(kBluetooth, "uint32_t", 1)})}, "solo-bt");
    const QString soloMatch =
        writeOptionFile("TBX-CU", {function("Solo", {option(kCompass, "uint32_t", 1)})}, "solo-compass");

    struct Case
    {
        QString directory;
        QStringList buttons;
        QStringList messageParts;
        QString function;
    };
    const Case cases[] = {
        {QString(), {}, {"No firmware directory", "file.options"}, ""},
        {files.filePath("missing"), {}, {"unable to load file", "file.options"}, ""},
        {garbage, {}, {"unable to load file"}, ""},
        {foreign, {}, {"offers no function", "TBX-CU"}, ""},
        {unencodable, {"Broken", "BadId"}, {"Broken", "int64_t", "BadId", "0x2000"}, ""},
        {soloMismatch, {"Solo"}, {}, ""},
        {soloMatch, {"Solo"}, {}, "Solo"},
    };
    const size_t setsBefore = unit->countReceived(SimProtocol::SetOption);
    for (const Case& c : cases) {
        const std::string name =
            c.directory.isEmpty() ? std::string("no directory") : c.directory.toStdString();
        production()->reloadOptionsFile(c.directory);
        EXPECT_EQ(functionButtons(), c.buttons) << name;
        for (const QString& part : c.messageParts) {
            EXPECT_TRUE(text("lblOptionsState").contains(part))
                << name << ": " << text("lblOptionsState").toStdString();
        }
        for (const QString& b : c.buttons) {
            // Refused functions are offered disabled, and even a forced click writes nothing.
            EXPECT_EQ(functionButton(b)->isEnabled(), c.messageParts.isEmpty()) << name;
            if (!c.messageParts.isEmpty()) {
                QMetaObject::invokeMethod(functionButton(b), "clicked");
            }
        }
        // The previous file's function is gone; a single function is recognised only by its values.
        ASSERT_TRUE(waitIdle(device));
        EXPECT_EQ(production()->deviceFunction(), c.function) << name;
        if (!c.function.isEmpty()) {
            production()->setDevice(nullptr); // forget the recognised function for the next case
            production()->setDevice(device);
            ASSERT_TRUE(waitIdle(device));
        }
    }
    QTest::qWait(200);
    EXPECT_EQ(unit->countReceived(SimProtocol::SetOption), setsBefore);
    EXPECT_EQ(device->pendingJobCount(), 0);
}

// With the Production page alone (--production): its button shows, the Develop page's does not, and only
// the Production page is handed the device.
TEST_F(ProductionPageTest, ControlUnitParametersReadEditedWrittenAndReadBackWithoutTheDevelopPage)
{
    window->setStaffPages(true, false);
    auto unit = plugControlUnit();
    unit->storeOption(kBluetooth, SimProtocol::words({1}));
    unit->storeOption(0x20000013, SimInstrument::floatValue(150.0f)); // beyond what the field shows (99.99)
    BaseDevice* device = attachProduction();
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(window->sidebar()->button(MainWindow::ProductionPage)->isVisible());
    EXPECT_FALSE(window->sidebar()->button(MainWindow::DevelopPage)->isVisible());
    EXPECT_EQ(develop()->device(), nullptr);
    auto* panel = qobject_cast<ProductionWidgetControlUnit*>(production()->productionPanel());
    ASSERT_NE(panel, nullptr);
    auto* write = child<QAbstractButton>(panel, "btnWriteParameters");
    EXPECT_FALSE(child<QWidget>(panel, "formWidget")->isEnabled());
    child<QGroupBox>(panel, "groupParameters")->setChecked(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return write->isEnabled(); }, kTimeoutMs));
    EXPECT_EQ(child<QSpinBox>(panel, "spinActivityTimeout")->value(), 600);
    EXPECT_EQ(child<QSpinBox>(panel, "spinMaxReboots")->value(), 3);
    EXPECT_DOUBLE_EQ(child<QDoubleSpinBox>(panel, "doubleSpinBnrThreshold")->value(), 0.5);
    EXPECT_DOUBLE_EQ(child<QDoubleSpinBox>(panel, "doubleSpinSheathFaultCh1")->value(), 99.99);
    QList<QCheckBox*> boxes = child<QWidget>(panel, "groupGeneral")->findChildren<QCheckBox*>();
    boxes += child<QWidget>(panel, "groupOptions")->findChildren<QCheckBox*>();
    ASSERT_EQ(boxes.size(), 11);
    for (QCheckBox* box : boxes) {
        const bool on = box->text() == "Bluetooth" || box->text() == "Compass" ||
                        box->text() == "Background Noise Reduction";
        EXPECT_EQ(box->isChecked(), on) << box->text().toStdString();
    }

    child<QSpinBox>(panel, "spinActivityTimeout")->setValue(1200);
    child<QDoubleSpinBox>(panel, "doubleSpinBnrMax")->setValue(12.5);
    write->click();
    write->click(); // a double click writes once
    device = attachProduction(device);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(unit->permanentOption(0x20000010), SimProtocol::words({1200}));
    EXPECT_EQ(unit->permanentOption(0x20000017), SimInstrument::floatValue(12.5f));
    EXPECT_EQ(unit->permanentOption(0x20000013),
              SimInstrument::floatValue(150.0f)); // not clamped by the write
    EXPECT_EQ(unit->permanentOption(0x20000012), SimProtocol::words({3}));
    EXPECT_EQ(unit->countReceived(SimProtocol::WriteOptions), 1u);

    panel = qobject_cast<ProductionWidgetControlUnit*>(production()->productionPanel());
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return child<QSpinBox>(panel, "spinActivityTimeout")->value() == 1200; }, kTimeoutMs));
    // Unplugged: read-outs cleared and controls disabled.
    bus().unplugAll();
    ASSERT_TRUE(waitDetached());
    EXPECT_EQ(text("deviceTypeLabel"), QStringLiteral("Device Type:"));
    EXPECT_FALSE(child<QWidget>(production(), "groupParameters")->isEnabled());
    EXPECT_EQ(production()->productionPanel(), nullptr);
}

TEST(LocatorRecord, ShowsSixSinglesAndTheTrailingInteger)
{
    struct Case
    {
        QByteArray value;
        QString text;
    };
    QByteArray record;
    QDataStream out(&record, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.setFloatingPointPrecision(QDataStream::SinglePrecision);
    out << qint32(50) << 1.0f << 2.5f << 0.001f << 3.0f << 4.0f << 5.0f << qint32(7);
    const Case cases[] = {
        {record, "1; 2.5; 0.001; 3; 4; 5; 7"},
        {record + QByteArray("extra"), "1; 2.5; 0.001; 3; 4; 5; 7"},
        {record.left(31), ""}, // short: no stray bytes
        {QByteArray(), ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProductionWidgetVectaris::recordText(c.value), c.text) << c.value.size();
    }
}

TEST_F(ProductionPageTest, LocatorTableIsFilled)
{
    auto sensor = plugKind(SimKind::LocatorSensor);
    BaseDevice* device = attachProduction();
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(waitIdle(device));
    auto* panel = qobject_cast<ProductionWidgetVectaris*>(production()->productionPanel());
    ASSERT_NE(panel, nullptr);
    auto* form = qobject_cast<QFormLayout*>(child<QWidget>(panel, "widgetFrequencyCalibration")->layout());
    ASSERT_NE(form, nullptr);
    const QList<quint32> ids = StorageIdCatalogue::ids(StorageIDs_VectarisUnit::staticMetaObject, "Options");
    ASSERT_EQ(form->rowCount(), 34);
    ASSERT_EQ(ids.size(), 34);
    int filled = 0;
    for (int row = 0; row < 34; ++row) {
        const quint32 id = ids.at(row);
        auto* label = qobject_cast<QLabel*>(form->itemAt(row, QFormLayout::LabelRole)->widget());
        auto* field = qobject_cast<QLineEdit*>(form->itemAt(row, QFormLayout::FieldRole)->widget());
        ASSERT_TRUE(label && field);
        EXPECT_EQ(label->text(),
                  StorageIdCatalogue::keyName(StorageIDs_VectarisUnit::staticMetaObject, "Options", id));
        const auto stored = sensor->option(id);
        const QByteArray bytes = stored ? SimInstrument::toByteArray(*stored) : QByteArray();
        EXPECT_EQ(field->text(), ProductionWidgetVectaris::recordText(bytes)) << label->text().toStdString();
        filled += field->text().isEmpty() ? 0 : 1;
    }
    EXPECT_GT(filled, 10);
}

// With both staff pages (--develop) both buttons show and both pages are handed the device.
TEST_F(ProductionPageTest, DevelopTableNamesAndFourColumnsAndJsonTree)
{
    plugControlUnit();
    BaseDevice* device = attach();
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(window->sidebar()->button(MainWindow::ProductionPage)->isVisible());
    EXPECT_TRUE(window->sidebar()->button(MainWindow::DevelopPage)->isVisible());
    EXPECT_EQ(production()->device(), device);
    EXPECT_EQ(develop()->device(), device);
    window->sidebar()->setCurrentPage(MainWindow::DevelopPage);
    // The values the unit reported on connecting already sit in columns that fit them.
    auto* view = child<QTableView>(develop(), "optionsTableView");
    const auto* cells = static_cast<QAbstractItemView*>(view); // the size hint is public here
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return view->columnWidth(1) >= cells->sizeHintForColumn(1); }, kTimeoutMs));
    child<QAbstractButton>(develop(), "ReadAllOptionsButton")->click();
    auto* state = child<QLabel>(develop(), "jobStateLabel");
    EXPECT_EQ(state->text(), "Reading 200 options…");
    ASSERT_TRUE(QTest::qWaitFor([&] { return state->text() == "200 of 200 options read"; }, kTimeoutMs))
        << state->text().toStdString();
    OptionTableModel* table = develop()->optionTable();
    const int row = table->shownIds().indexOf(0x20000010);
    ASSERT_GE(row, 0);
    EXPECT_EQ(table->index(row, 0).data().toString(), QStringLiteral("0x20000010"));
    EXPECT_EQ(table->index(row, 1).data().toString(), QStringLiteral("e_sid_cu_Option_ActivityWatchdogTime"));
    // The catalogue's order, whatever order the values reached the cache in.
    QList<quint32> inCatalogueOrder;
    for (quint32 id : StorageIdCatalogue::deviceIds(StorageIdCatalogue::Family::ControlUnit)) {
        if (table->shownIds().contains(id)) {
            inCatalogueOrder.append(id);
        }
    }
    EXPECT_EQ(table->shownIds(), inCatalogueOrder);
    EXPECT_EQ(table->index(row, 2).data().toString(), QStringLiteral("58020000"));
    EXPECT_EQ(table->index(row, 3).data().toInt(), 600);
    const int language = table->shownIds().indexOf(0x28000006);
    ASSERT_GE(language, 0);
    EXPECT_EQ(table->index(language, 1).data().toString(), QStringLiteral("e_sid_cuu_Language"));
    // Terminators and e_sid_None are unknown to the unit: answered empty, no row.
    EXPECT_EQ(table->shownIds().indexOf(0), -1);

    const QString json = firmware.write(
        "plain.json",
        R"({"basefirmware": "base.firmware", "devices": [{"device_type": "TBX-CU", "functions": []}]})");
    chooseFile(json, "readJsonOptions", "openOptionDescriptionDialog", develop());
    QJsonModel* tree = develop()->jsonModel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return tree->rowCount() == 2; }, 20000));
    EXPECT_EQ(tree->index(0, 0).data().toString(), QStringLiteral("basefirmware"));
    EXPECT_EQ(tree->index(0, 1).data().toString(), QStringLiteral("base.firmware"));
    const QModelIndex devices = tree->index(1, 0);
    ASSERT_EQ(tree->rowCount(devices), 1);
    const QModelIndex type = tree->index(0, 0, tree->index(0, 0, devices));
    EXPECT_EQ(type.data().toString(), QStringLiteral("device_type"));
    EXPECT_EQ(type.siblingAtColumn(1).data().toString(), QStringLiteral("TBX-CU"));
    QDir().mkpath(SERVICE_UI_ARTIFACT_DIR);
    window->grab().save(QStringLiteral(SERVICE_UI_ARTIFACT_DIR "/develop-page.png"));
}

TEST_F(ProductionPageTest, DevelopTableSaysWhenAReadIsPartial)
{
    // This firmware stays silent for an id it does not know, which ends the read there.
    plugControlUnit(SimFirmware::Legacy);
    ASSERT_NE(attach(), nullptr);
    window->sidebar()->setCurrentPage(MainWindow::DevelopPage);
    child<QAbstractButton>(develop(), "ReadAllOptionsButton")->click();
    auto* state = child<QLabel>(develop(), "jobStateLabel");
    ASSERT_TRUE(QTest::qWaitFor([&] { return state->text().contains("partial"); }, 20000))
        << state->text().toStdString();
    EXPECT_TRUE(state->text().contains("of 200 options read: the table is partial"));
    EXPECT_FALSE(state->text().startsWith("200 of"));
}

} // namespace
