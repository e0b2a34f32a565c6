// Every device kind in a process without any graphics: created under a bare QCoreApplication (this
// binary links no Gui or Widgets module, so a kind that needed one would not even link), with its
// picture as a resource path, and its panels coming only from an installed panel factory.
#include "devices/controlunit.h"
#include "devices/devicepanelfactory.h"
#include "devices/tymbrelsensor.h"
#include "devices/tymbrelsensor2.h"
#include "devices/updateonly.h"
#include "devices/vectarisemitter.h"
#include "devices/vectarisminiantenna.h"
#include "devices/vectarissensor.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

struct KindCase
{
    const char* className;
    std::function<BaseDevice*()> create;
    const char* picture;
    bool hasServicePanel;
};

const KindCase kKinds[] = {
    {"ControlUnit", [] { return new ControlUnit(nullptr); }, ":/images/controlunit.png", true},
    {"TymbrelSensor", [] { return new TymbrelSensor(nullptr); }, ":/images/tymbrel_sensor.png", true},
    {"TymbrelSensor2", [] { return new TymbrelSensor2(nullptr); }, ":/images/tymbrel_sensor_gray.png", true},
    {"VectarisSensor", [] { return new VectarisSensor(nullptr); }, ":/images/vectaris_sensor.png", false},
    {"VectarisMiniAntenna", [] { return new VectarisMiniAntenna(nullptr); }, ":/images/mna.png", false},
    {"VectarisEmitter", [] { return new VectarisEmitter(nullptr); }, ":/images/vcg.png", false},
    {"UpdateOnly", [] { return new UpdateOnly(nullptr); }, ":/images/pcb.jpg", false},
};

void PrintTo(const KindCase& kind, std::ostream* out)
{
    *out << kind.className;
}

// Stands in for the user interface: a plain QObject per panel, counted per role.
class CountingFactory : public DevicePanelFactory
{
public:
    Panel createPanel(BaseDevice* device, Role role, QWidget*) override
    {
        auto* object = new QObject; // owned by the test through `made`, or deleted by the device
        object->setObjectName(QString::fromLatin1(device->metaObject()->className()));
        made[role == Role::Service ? 1 : 0].append(object);
        return {nullptr, object};
    }
    QList<QPointer<QObject>> made[2];
};

class DeviceKinds : public ::testing::TestWithParam<KindCase>
{
protected:
    void TearDown() override { DevicePanelFactory::install(nullptr); }
};

TEST_P(DeviceKinds, CreatedWithoutGraphicsWithPictureAndFactoryPanels)
{
    ASSERT_FALSE(QCoreApplication::instance()->inherits("QGuiApplication"));
    const KindCase& kind = GetParam();
    std::unique_ptr<BaseDevice> device(kind.create());
    EXPECT_STREQ(device->metaObject()->className(), kind.className);
    EXPECT_EQ(device->picture(), QString::fromLatin1(kind.picture));
    // Nothing installed: no panels.
    EXPECT_EQ(device->productionWidget(nullptr), nullptr);
    EXPECT_EQ(device->serviceWidget(nullptr), nullptr);

    auto owned = std::make_unique<CountingFactory>();
    CountingFactory* factory = owned.get();
    DevicePanelFactory::install(std::move(owned));
    for (int round = 0; round < 2; ++round) { // kept: asked twice, made once
        device->productionWidget(nullptr);
        device->serviceWidget(nullptr);
    }
    ASSERT_EQ(factory->made[0].size(), 1);
    EXPECT_EQ(factory->made[0].first()->objectName(), QString::fromLatin1(kind.className));
    EXPECT_EQ(factory->made[1].size(), kind.hasServicePanel ? 1 : 0);

    // A page that let the panel go (released, then deleted) gets a fresh one; releasing twice or an
    // unknown object is harmless.
    QObject stranger;
    device->releasePanel(&stranger);
    device->releasePanel(factory->made[0].first());
    device->releasePanel(factory->made[0].first());
    delete factory->made[0].first().data();
    device->productionWidget(nullptr);
    EXPECT_EQ(factory->made[0].size(), 2);
    // Deleted without being released: noticed as well.
    delete factory->made[0].last().data();
    device->productionWidget(nullptr);
    ASSERT_EQ(factory->made[0].size(), 3);

    // The device takes the panels it still keeps with it.
    device.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(factory->made[0].last().isNull());
    for (const QPointer<QObject>& panel : factory->made[1]) {
        EXPECT_TRUE(panel.isNull());
    }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, DeviceKinds, ::testing::ValuesIn(kKinds));

} // namespace
