#pragma once

#include "sim/simacousticsensor.h"
#include "sim/simcontrolunit.h"
#include "sim/siminstrumentfactory.h"
#include "sim/usbfs/simusbbus.h"

#include <gtest/gtest.h>
#include <libusb.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

// GoogleTest fixture: a fresh simulated bus per test, created before libusb's default context and
// torn down after it. A test asks for its instruments in one line:
//     auto unit = plugControlUnit();
//     libusb_device* device = libusbDevice(unit); // held by the fixture until TearDown()
// Tests whose code under test calls libusb_init()/libusb_exit() itself (the USB manager) override
// initialiseLibusb() to return false and must have libusb shut down before TearDown().
class SimUsbFixture : public ::testing::Test
{
protected:
    virtual bool initialiseLibusb() const { return true; }

    void SetUp() override
    {
        m_bus = std::make_unique<SimUsbBus>();
        ASSERT_TRUE(SimUsbBus::preloadActive()) << "umockdev preload missing";
        if (initialiseLibusb()) {
            ASSERT_EQ(libusb_init(nullptr), 0);
            m_libusbInitialised = true;
        }
    }

    void TearDown() override
    {
        for (libusb_device* device : m_heldDevices) {
            libusb_unref_device(device);
        }
        m_heldDevices.clear();
        if (m_libusbInitialised) {
            libusb_exit(nullptr);
            m_libusbInitialised = false;
        }
        m_bus.reset();
    }

    SimUsbBus& bus() { return *m_bus; }

    template <typename Instrument>
    std::shared_ptr<Instrument> plug(std::shared_ptr<Instrument> instrument, uint8_t busNumber = 1,
                                     uint8_t address = 0)
    {
        m_bus->plug(instrument, busNumber, address);
        return instrument;
    }

    std::shared_ptr<SimInstrument> plugKind(SimKind kind, SimFirmware firmware = SimFirmware::Current)
    {
        return plug(SimInstrumentFactory::create(kind, firmware));
    }

    std::shared_ptr<SimControlUnit> plugControlUnit(SimFirmware firmware = SimFirmware::Current)
    {
        return plug(std::make_shared<SimControlUnit>(firmware));
    }

    std::shared_ptr<SimAcousticSensor>
    plugAcousticSensor(SimAcousticSensor::Generation generation = SimAcousticSensor::Generation::First,
                       SimFirmware firmware = SimFirmware::Current)
    {
        return plug(std::make_shared<SimAcousticSensor>(generation, firmware));
    }

    // The libusb device at the instrument's current port, or null when it is not plugged. The fixture
    // holds a reference until TearDown(), so the pointer stays valid for the whole test (also after an
    // unplug). libusb learns of a new device from its "add" event; a loaded machine may deliver that a
    // little late, so the lookup keeps trying for a second.
    libusb_device* libusbDevice(const std::shared_ptr<SimInstrument>& instrument)
    {
        const std::optional<SimUsbBus::Port> port = m_bus->portOf(instrument);
        if (!port) {
            return nullptr;
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (libusb_device* found = SimUsbBus::findLibusbDevice(*port)) {
                m_heldDevices.push_back(found);
                return found;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return nullptr;
    }

private:
    std::unique_ptr<SimUsbBus> m_bus;
    std::vector<libusb_device*> m_heldDevices;
    bool m_libusbInitialised = false;
};
