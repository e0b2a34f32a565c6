#include "options/storageidcatalogue.h"
#include "options/storageids_controlunit.h"

#include <gtest/gtest.h>

using Family = StorageIdCatalogue::Family;

TEST(Catalogue, DeviceListsHoldEveryKeyInDeclarationOrder)
{
    const QList<quint32> controlUnit = StorageIdCatalogue::deviceIds(Family::ControlUnit);
    ASSERT_EQ(controlUnit.size(), 200);
    EXPECT_EQ(controlUnit.first(), 0u);
    EXPECT_EQ(controlUnit.at(6), 0x10000005u);  // general terminator
    EXPECT_EQ(controlUnit.at(7), 0x20000000u);  // e_sid_cu_Option_Dummy
    EXPECT_EQ(controlUnit.at(52), 0x2000002Du); // e_sid_cu_Last
    EXPECT_EQ(controlUnit.at(53), 0x28000000u); // first user setting
    EXPECT_EQ(controlUnit.last(), 0x28528001u); // e_sid_cuu_Last

    const QList<quint32> sensor = StorageIdCatalogue::deviceIds(Family::AcousticSensor);
    ASSERT_EQ(sensor.size(), 24);
    EXPECT_EQ(sensor.last(), 0x20000010u);

    const QList<quint32> locator = StorageIdCatalogue::deviceIds(Family::LocatorSensor);
    ASSERT_EQ(locator.size(), 41);
    EXPECT_EQ(locator.last(), 0x21109C41u);
    // The 19000 Hz constant is listed after the 32768 Hz one, not in ascending order.
    const int at32768 = locator.indexOf(0x21108000u);
    ASSERT_GE(at32768, 0);
    EXPECT_EQ(locator.at(at32768 + 1), 0x21104A38u);
    EXPECT_EQ(locator.at(at32768 + 2), 0x21109C40u);

    EXPECT_TRUE(StorageIdCatalogue::deviceIds(Family::UpdateOnly).isEmpty());
}

// Frequency tables sit at base plus hertz; device-specific ids are named per kind; the Bluetooth block
// has its last entry inside and a gap before it.
TEST(Catalogue, NamesEachIdForItsKind)
{
    const struct
    {
        Family family;
        quint32 id;
        const char* name; // empty: not named
    } cases[] = {
        {Family::ControlUnit, 0x28110032u, "e_sid_cuu_vectaris_SSCalibration_50Hz"},
        {Family::ControlUnit, 0x28128000u, "e_sid_cuu_vectaris_SignalSelect_32768Hz"},
        {Family::ControlUnit, 0x285101EBu, "e_sid_cuu_mini_antenna_SSCalibration_491Hz"},
        {Family::LocatorSensor, 0x2110265Cu, "e_sid_vcs_calibration_9820Hz"},
        {Family::ControlUnit, 0x2800000Eu, "e_sid_cuu_RebootCounter"},
        {Family::ControlUnit, 0x28000013u, "e_sid_cuu_tymbrel_Loudness"},
        {Family::ControlUnit, 0x2000002Cu, "e_sid_cuu_TBX_SU2_LineLocation"},
        {Family::ControlUnit, 0x20000000u, "e_sid_cu_Option_Dummy"},
        {Family::AcousticSensor, 0x20000000u, "e_sid_su_sp_Calibration_Acoustic"},
        {Family::LocatorSensor, 0x20000000u, "e_sid_vcs_obsolete_calibration_50Hz"},
        {Family::UpdateOnly, 0x20000000u, ""},
        {Family::ControlUnit, 0x2840001Fu, "e_sid_cuu_bluetooth_Device_Last"},
        {Family::ControlUnit, 0x28400020u, "e_sid_cuu_bluetooth_ConnectedDevice"},
        {Family::ControlUnit, 0x28400005u, ""},
        {Family::ControlUnit, 0xFFFFFFFFu, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StorageIdCatalogue::name(c.family, c.id), QLatin1String(c.name)) << std::hex << c.id;
    }
    // General ids are named for every kind.
    for (Family family :
         {Family::ControlUnit, Family::AcousticSensor, Family::LocatorSensor, Family::UpdateOnly}) {
        EXPECT_EQ(StorageIdCatalogue::name(family, 0x10000004u), QStringLiteral("e_sid_DeviceSerialNumber"));
        EXPECT_EQ(StorageIdCatalogue::name(family, 0u), QStringLiteral("e_sid_None"));
    }
    EXPECT_TRUE(StorageIdCatalogue::keyName(StorageIDs_ControlUnit::staticMetaObject, "Options", 0x28400020u)
                    .isEmpty());
}
