#include "bot/SystemInfo.h"

#include <QLocale>

#include <gtest/gtest.h>

TEST(NumWor, SpellsEachGroupWithItsWord)
{
    QString a = QStringLiteral("1234567");
    EXPECT_EQ(numWor(a), "One Million Two Hundred Thirty Four Thousand Five Hundred Sixty Seven  ");
    EXPECT_EQ(a, "000001234567.00");
    a = QStringLiteral("999000000001");
    EXPECT_EQ(numWor(a), "Nine Hundred Ninety Nine Billion One  ");
    a = QStringLiteral("100");
    EXPECT_EQ(numWor(a), "One Hundred  ");
    a = QStringLiteral("2000");
    EXPECT_EQ(numWor(a), "Two Thousand ");
}

TEST(NumWor, KeepsTheOldSpellings)
{
    QString a = QStringLiteral("14");
    EXPECT_EQ(numWor(a), "Fouteen  ");
    a = QStringLiteral("40");
    EXPECT_EQ(numWor(a), "Fourty  ");
}

TEST(NumWor, DecimalsZeroAndNonsense)
{
    QString a = QStringLiteral("12.5");
    EXPECT_EQ(numWor(a), "Twelve  And Fifty ");
    a = QStringLiteral("0.07");
    EXPECT_EQ(numWor(a), "Seven ");
    a = QStringLiteral("0");
    EXPECT_EQ(numWor(a), "");
    a = QStringLiteral("many");
    EXPECT_EQ(numWor(a), "");
    EXPECT_EQ(a, "many");
    a = QStringLiteral("-5");
    EXPECT_EQ(numWor(a), "");
    a = QStringLiteral("1e15");
    EXPECT_EQ(numWor(a), "");
}

TEST(Convert, OnlyListedValuesHaveWords)
{
    EXPECT_EQ(convert(QStringLiteral("25")), "");
    EXPECT_EQ(convert(QStringLiteral("0")), "");
    EXPECT_EQ(convert(QStringLiteral("20")), "twenty ");
    EXPECT_EQ(convert(QStringLiteral("90")), "ninety ");
    EXPECT_EQ(convert(QStringLiteral("x")), "");
}

TEST(UptimeText, FormatsWeeksDaysAndClock)
{
    EXPECT_EQ(uptimeText((3600 + 2 * 60 + 3) * 1000ULL), "0weeks 00days 01:02:03");
    EXPECT_EQ(uptimeText(1500), "0weeks 00days 00:00:02");
    EXPECT_EQ(uptimeText(2500), "0weeks 00days 00:00:02");
    EXPECT_EQ(uptimeText(2501), "0weeks 00days 00:00:03");
}

TEST(UptimeText, StaysRightBeyondTheOldLimits)
{
    // 22 days 18:08 overflowed a 16-bit minute count; 49.7 days wrapped the tick count.
    const quint64 day = 86400000ULL;
    EXPECT_EQ(uptimeText(23 * day), "3weeks 02days 00:00:00");
    EXPECT_EQ(uptimeText(50 * day + 3723000), "7weeks 01days 01:02:03");
    EXPECT_EQ(uptimeText(1000 * day), "142weeks 06days 00:00:00");
    EXPECT_TRUE(UptimeText().contains(QStringLiteral("weeks ")));
}

TEST(RamText, GroupsKibibytesAndReadsMoreThanTwoGibibytes)
{
    const QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C || locale.language() == QLocale::English) {
        EXPECT_EQ(ramText(524288ULL * 1024), "524,288 Kbyte");
        EXPECT_EQ(ramText(16ULL << 30), "16,777,216 Kbyte");
    }
    EXPECT_TRUE(RamText().endsWith(QStringLiteral(" Kbyte")));
    EXPECT_NE(RamText(), "0 Kbyte");
}

TEST(DriveTypeName, NamesCodesAndFailsForMissingPaths)
{
    EXPECT_EQ(driveTypeText(4), "CD-ROM");
    EXPECT_EQ(driveTypeText(5), "RAM Disk");
    EXPECT_EQ(driveTypeText(6), "");
    EXPECT_FALSE(DriveTypeName(QStringLiteral("/no/such/mount/point")).has_value());
    EXPECT_FALSE(DriveTypeName(QString()).has_value());
    EXPECT_EQ(DriveTypeName(QStringLiteral("/proc")).value_or(QString()), "Unknown");
    EXPECT_EQ(DriveTypeName(QStringLiteral("/dev/shm")).value_or(QStringLiteral("RAM Disk")), "RAM Disk");
}

TEST(AboutBox, TitleAndVersion)
{
    EXPECT_EQ(AboutBox::caption(), "About Quillon");
    EXPECT_EQ(AboutBox::versionText(), "Version 3.2.0");
}
