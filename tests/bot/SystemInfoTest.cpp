#include "bot/SystemInfo.h"
#include "support/QtPrinters.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <utility>

TEST(NumWor, SpellsGroupsDecimalsAndTheOldSpellingsOrNothing)
{
    const std::pair<const char*, const char*> cases[] = {
        {"1234567", "One Million Two Hundred Thirty Four Thousand Five Hundred Sixty Seven  "},
        {"999000000001", "Nine Hundred Ninety Nine Billion One  "},
        {"100", "One Hundred  "},
        {"2000", "Two Thousand "},
        {"14", "Fouteen  "},
        {"40", "Fourty  "},
        {"12.5", "Twelve  And Fifty "},
        {"0.07", "Seven "},
        {"0", ""},
        {"-5", ""},
        {"1e15", ""},
        {"many", ""},
    };
    for (const auto& [number, words] : cases) {
        QString a = number;
        EXPECT_EQ(numWor(a), words) << number;
    }
    // The number comes back padded; nonsense comes back as it was.
    QString a = QStringLiteral("1234567"), b = QStringLiteral("many");
    numWor(a);
    numWor(b);
    EXPECT_EQ(a + u' ' + b, "000001234567.00 many");
    EXPECT_EQ(convert("20") + convert("90") + convert("25") + convert("x"), "twenty ninety ");
}

TEST(UptimeText, FormatsWeeksDaysAndClockBeyondTheOldLimits)
{
    // 22 days 18:08 overflowed a 16-bit minute count; 49.7 days wrapped the tick count.
    const quint64 day = 86400000ULL;
    const std::pair<quint64, const char*> cases[] = {
        {3723000, "0weeks 00days 01:02:03"},      {1500, "0weeks 00days 00:00:02"},
        {2500, "0weeks 00days 00:00:02"},         {2501, "0weeks 00days 00:00:03"},
        {23 * day, "3weeks 02days 00:00:00"},     {50 * day + 3723000, "7weeks 01days 01:02:03"},
        {1000 * day, "142weeks 06days 00:00:00"},
    };
    for (const auto& [ms, text] : cases)
        EXPECT_EQ(uptimeText(ms), text) << ms;
}

TEST(MachineTexts, GroupKibibytesAndNameDriveKinds)
{
    const QLocale::Language language = QLocale::system().language();
    if (language == QLocale::C || language == QLocale::English)
        EXPECT_EQ(ramText(16ULL << 30), "16,777,216 Kbyte");
    EXPECT_TRUE(RamText().endsWith(" Kbyte"));
    EXPECT_NE(RamText(), "0 Kbyte");

    EXPECT_EQ(driveTypeText(4) + u'|' + driveTypeText(6), "CD-ROM|");
    EXPECT_FALSE(DriveTypeName("/no/such/mount/point").has_value());
    EXPECT_EQ(DriveTypeName("/proc").value_or(QString()), "Unknown");
    EXPECT_EQ(DriveTypeName("/dev/shm").value_or("RAM Disk"), "RAM Disk");
}
