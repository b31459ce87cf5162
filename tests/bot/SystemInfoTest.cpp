#include "bot/SystemInfo.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <utility>

// The advert spells its counts out, and "info" tells the uptime.
TEST(SystemInfo, SpellsNumbersAndTellsUptimeBeyondTheOldLimits)
{
    const std::pair<const char*, const char*> words[] = {
        {"1234567", "One Million Two Hundred Thirty Four Thousand Five Hundred Sixty Seven  "},
        {"14", "Fouteen  "},
        {"40", "Fourty  "},
        {"12.5", "Twelve  And Fifty "},
        {"0", ""},
        {"-5", ""},
        {"1e15", ""},
        {"many", ""},
    };
    for (const auto& [number, spelt] : words) {
        QString a = number;
        EXPECT_EQ(numWor(a), spelt) << number;
    }
    // 22 days 18:08 overflowed a 16-bit minute count; 49.7 days wrapped the tick count.
    const quint64 day = 86400000ULL;
    EXPECT_EQ(uptimeText(2501), "0weeks 00days 00:00:03");
    EXPECT_EQ(uptimeText(50 * day + 3723000), "7weeks 01days 01:02:03");
}
