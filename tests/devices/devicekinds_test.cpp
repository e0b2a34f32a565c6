// Every row of the kind table in a process without any graphics: created by the factory under a bare
// QCoreApplication (this binary links no Gui or Widgets module, so a kind that needed one would not even
// link), as the device class of its model, and telling what its row says.
#include "devices/controlunit.h"
#include "devices/devicefactory.h"
#include "devices/instrumentkind.h"
#include "devices/tymbrelsensor.h"

#include <QCoreApplication>
#include <QSet>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(DeviceKinds, EveryRowIsCreatedWithoutGraphicsAsItsRowSays)
{
    ASSERT_FALSE(QCoreApplication::instance()->inherits("QGuiApplication"));
    DeviceFactory factory;
    QSet<quint32> ids;
    QSet<QString> keys;
    for (const InstrumentKind& kind : InstrumentKind::all()) {
        SCOPED_TRACE(kind.key);
        const QString key = QString::fromLatin1(kind.key);
        EXPECT_FALSE(ids.contains(kind.usbId));
        EXPECT_FALSE(keys.contains(key));
        ids.insert(kind.usbId);
        keys.insert(key);
        EXPECT_EQ(InstrumentKind::find(kind.usbId), &kind);
        EXPECT_EQ(InstrumentKind::findKey(key), &kind);
        EXPECT_STREQ(factory.foundLine(kind.usbId), kind.foundLine);

        std::unique_ptr<UsbInstrument> created(factory.create(kind.usbId, nullptr, nullptr));
        auto* device = qobject_cast<BaseDevice*>(created.get());
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(&device->kind(), &kind);
        EXPECT_EQ(qobject_cast<ControlUnit*>(device) != nullptr,
                  kind.model == InstrumentKind::Model::ControlUnit);
        EXPECT_EQ(qobject_cast<TymbrelSensor*>(device) != nullptr,
                  kind.model == InstrumentKind::Model::AcousticSensor);
        EXPECT_EQ(device->name(), QString::fromLatin1(kind.name));
        EXPECT_EQ(device->kindKey(), key);
        EXPECT_EQ(device->usbId(), kind.reportedUsbId);
        EXPECT_TRUE(device->picture().startsWith(":/images/")) << device->picture().toStdString();
        EXPECT_EQ(device->picture(), QString::fromLatin1(kind.picture));
        EXPECT_EQ(device->optionFamily(), kind.family);
        EXPECT_EQ(device->optionIds(), StorageIdCatalogue::deviceIds(kind.family));
        // A service panel goes with behaviour of the kind's own.
        EXPECT_TRUE(kind.servicePanel == InstrumentKind::Panel::None ||
                    kind.model != InstrumentKind::Model::Generic);
    }
    EXPECT_EQ(factory.create(0x29520005, nullptr, nullptr), nullptr);
    EXPECT_EQ(factory.foundLine(0x29520005), nullptr);
    EXPECT_TRUE(DeviceFactory::kindKey(0x29520005).isEmpty());
}

} // namespace
