#include "serial/PortSettings.h"

#include <gtest/gtest.h>

using namespace PortSettings;

TEST(PortSettings, TheEightSpeedsGiveTheirSettings)
{
    EXPECT_EQ(SettingsForSpeed(1200), QStringLiteral("1200,N,8,1"));
    EXPECT_EQ(SettingsForSpeed(2400), QStringLiteral("2400,N,8,1"));
    EXPECT_EQ(SettingsForSpeed(4800), QStringLiteral("4800,N,8,1"));
    EXPECT_EQ(SettingsForSpeed(9600), QStringLiteral("9600,N,8,1"));
    EXPECT_EQ(SettingsForSpeed(19200), QStringLiteral("19200,N,8,1"));
    EXPECT_EQ(SettingsForSpeed(38400), QStringLiteral("38400,N,8,1"));
    EXPECT_EQ(SettingsForSpeed(57600), QStringLiteral("57600,N,8,1"));
    EXPECT_EQ(SettingsForSpeed(115200), QStringLiteral("115200,N,8,1"));
}

TEST(PortSettings, AnyOtherSpeedGives57600)
{
    EXPECT_EQ(SettingsForSpeed(14400), QStringLiteral("57600,N,8,1"));
    EXPECT_EQ(SettingsForSpeed(0), QStringLiteral("57600,N,8,1"));
    EXPECT_EQ(SettingsForSpeed(1200.5), QStringLiteral("57600,N,8,1"));
    EXPECT_EQ(SettingsForSpeed(-9600), QStringLiteral("57600,N,8,1"));
}

TEST(PortSettings, OnlyCom1ToCom9SelectAPort)
{
    EXPECT_EQ(PortNumberFromText(QStringLiteral("COM1")), 1);
    EXPECT_EQ(PortNumberFromText(QStringLiteral("COM9")), 9);
    EXPECT_EQ(PortNumberFromText(QStringLiteral("COM12")), 0);
    EXPECT_EQ(PortNumberFromText(QStringLiteral("COM10")), 0);
    EXPECT_EQ(PortNumberFromText(QStringLiteral("COM0")), 0);
    EXPECT_EQ(PortNumberFromText(QStringLiteral("COM")), 0);
    EXPECT_EQ(PortNumberFromText(QStringLiteral("com3")), 0);
    EXPECT_EQ(PortNumberFromText(QStringLiteral(" COM3")), 0);
    EXPECT_EQ(PortNumberFromText(QString()), 0);
}

// The settings text both platforms' links take: what it gives, and what is no such text.
TEST(PortSettings, SettingsTextGivesTheLine)
{
    using PortSettings::LineSettings;
    LineSettings line;
    ASSERT_TRUE(PortSettings::ParseSettings(QStringLiteral("1200,N,8,1"), &line));
    EXPECT_EQ(line.baudRate, 1200);
    EXPECT_EQ(line.parity, LineSettings::NoParity);
    EXPECT_EQ(line.dataBits, 8);
    EXPECT_EQ(line.stopBits, LineSettings::OneStop);
    ASSERT_TRUE(PortSettings::ParseSettings(QStringLiteral(" 9600 , e , 7 , 1.5 "), &line));
    EXPECT_EQ(line.baudRate, 9600);
    EXPECT_EQ(line.parity, LineSettings::EvenParity);
    EXPECT_EQ(line.dataBits, 7);
    EXPECT_EQ(line.stopBits, LineSettings::OneAndHalfStop);
    for (const char *text : {"", "1200,N,8", "0,N,8,1", "1200,X,8,1", "1200,NO,8,1", "1200,N,9,1",
                             "1200,N,8,3", "1200,N,8,1,1"}) {
        EXPECT_FALSE(PortSettings::ParseSettings(QString::fromLatin1(text), &line)) << text;
    }
    EXPECT_EQ(line.baudRate, 9600) << "a text refused leaves the settings as they were";
}
