// The common behaviour of device panels: following the device's connection, and the show/hide
// signals that panels use to run work only while visible.
#include "ui/devicewidget.h"
#include "devices/controlunit.h"
#include "sim/usbfs/simusbfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// The smallest panel: implements the four operations exactly as every panel does and records the states.
class RecordingPanel : public DeviceWidget
{
public:
    using DeviceWidget::DeviceWidget;
    void setDevice(BaseDevice* device) override { attachDevice(device); }
    void setDeviceConnected(bool connected) override { states.push_back(connected); }
    void onDeviceConnected() override { setDeviceConnected(true); }
    void onDeviceDisconnected() override { setDeviceConnected(false); }
    void onDeviceOptionChanged(uint optionId, QByteArray) override { options.push_back(optionId); }

    std::vector<bool> states;
    std::vector<uint> options;
};

using DeviceWidgetTest = SimUsbFixture;

TEST_F(DeviceWidgetTest, FollowsADeviceFromBeforeItConnectsUntilItIsGivenUp)
{
    auto unit = plugControlUnit();
    RecordingPanel panel;
    panel.setDevice(nullptr); // without a device: only reported disconnected
    EXPECT_EQ(panel.states, std::vector<bool>{false});
    EXPECT_EQ(panel.device(), nullptr);
    panel.states.clear();
    ControlUnit device(libusbDevice(unit));
    panel.setDevice(&device);
    ASSERT_FALSE(panel.states.empty());
    EXPECT_FALSE(panel.states.front()); // not yet open: disconnected first
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.states.back(); }, 30000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !panel.options.empty(); }, 30000)); // option reads reach it

    panel.setDevice(nullptr);
    EXPECT_FALSE(panel.states.back());
    EXPECT_EQ(panel.device(), nullptr);
    const size_t count = panel.states.size();
    emit device.connected(); // given up: no longer followed
    EXPECT_EQ(panel.states.size(), count);
}

TEST_F(DeviceWidgetTest, ShowAndHideOfThePageEmitOnce)
{
    QWidget page;
    auto* panel = new RecordingPanel(&page);
    (new QVBoxLayout(&page))->addWidget(panel);
    QSignalSpy shown(panel, &DeviceWidget::widgetShow);
    QSignalSpy hidden(panel, &DeviceWidget::widgetHide);
    page.show();
    EXPECT_EQ(shown.count(), 1);
    page.hide();
    EXPECT_EQ(hidden.count(), 1);
    page.show();
    EXPECT_EQ(shown.count(), 2);
    EXPECT_EQ(hidden.count(), 1);
}

} // namespace
