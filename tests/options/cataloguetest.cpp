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

TEST(Catalogue, FrequencyTablesSitAtBasePlusHertz)
{
    EXPECT_EQ(StorageIdCatalogue::name(Family::ControlUnit, 0x28110032u),
              QStringLiteral("e_sid_cuu_vectaris_SSCalibration_50Hz"));
    EXPECT_EQ(StorageIdCatalogue::name(Family::ControlUnit, 0x28128000u),
              QStringLiteral("e_sid_cuu_vectaris_SignalSelect_32768Hz"));
    EXPECT_EQ(StorageIdCatalogue::name(Family::ControlUnit, 0x285101EBu),
              QStringLiteral("e_sid_cuu_mini_antenna_SSCalibration_491Hz"));
    EXPECT_EQ(StorageIdCatalogue::name(Family::LocatorSensor, 0x2110265Cu),
              QStringLiteral("e_sid_vcs_calibration_9820Hz"));
    EXPECT_EQ(StorageIdCatalogue::name(Family::ControlUnit, 0x2800000Eu),
              QStringLiteral("e_sid_cuu_RebootCounter"));
    EXPECT_EQ(StorageIdCatalogue::name(Family::ControlUnit, 0x28000013u),
              QStringLiteral("e_sid_cuu_tymbrel_Loudness"));
    EXPECT_EQ(StorageIdCatalogue::name(Family::ControlUnit, 0x2000002Cu),
              QStringLiteral("e_sid_cuu_TBX_SU2_LineLocation"));
}

TEST(Catalogue, DeviceSpecificIdsAreNamedPerKind)
{
    EXPECT_EQ(StorageIdCatalogue::name(Family::ControlUnit, 0x20000000u),
              QStringLiteral("e_sid_cu_Option_Dummy"));
    EXPECT_EQ(StorageIdCatalogue::name(Family::AcousticSensor, 0x20000000u),
              QStringLiteral("e_sid_su_sp_Calibration_Acoustic"));
    EXPECT_EQ(StorageIdCatalogue::name(Family::LocatorSensor, 0x20000000u),
              QStringLiteral("e_sid_vcs_obsolete_calibration_50Hz"));
    EXPECT_TRUE(StorageIdCatalogue::name(Family::UpdateOnly, 0x20000000u).isEmpty());

    // General ids are named for every kind.
    for (Family family :
         {Family::ControlUnit, Family::AcousticSensor, Family::LocatorSensor, Family::UpdateOnly}) {
        EXPECT_EQ(StorageIdCatalogue::name(family, 0x10000004u), QStringLiteral("e_sid_DeviceSerialNumber"));
        EXPECT_EQ(StorageIdCatalogue::name(family, 0u), QStringLiteral("e_sid_None"));
    }
}

TEST(Catalogue, BluetoothBlockHasItsLastEntryInsideAndAGapBefore)
{
    EXPECT_EQ(StorageIdCatalogue::name(Family::ControlUnit, 0x2840001Fu),
              QStringLiteral("e_sid_cuu_bluetooth_Device_Last"));
    EXPECT_EQ(StorageIdCatalogue::name(Family::ControlUnit, 0x28400020u),
              QStringLiteral("e_sid_cuu_bluetooth_ConnectedDevice"));
    EXPECT_TRUE(StorageIdCatalogue::name(Family::ControlUnit, 0x28400005u).isEmpty());
    EXPECT_TRUE(StorageIdCatalogue::name(Family::ControlUnit, 0xFFFFFFFFu).isEmpty());
    EXPECT_TRUE(StorageIdCatalogue::keyName(StorageIDs_ControlUnit::staticMetaObject, "Options", 0x28400020u)
                    .isEmpty());
}
