#include "bot/AnsiText.h"

#include <gtest/gtest.h>

TEST(AnsiText, ChatTextCrossesAsWindows1252)
{
    EXPECT_EQ(toAnsi(QStringLiteral("<b>OnlineHost</b>: Cleared!")), QByteArray("<b>OnlineHost</b>: Cleared!"));
    EXPECT_EQ(toAnsi(QStringLiteral("\u00bb \u00f1 \u20ac \u2122")), QByteArray("\xbb \xf1 \x80 \x99"));
    EXPECT_EQ(toAnsi(QStringLiteral("\u4e2d")), QByteArray("?"));
    EXPECT_EQ(fromAnsi(QByteArray("\x80\x96\xbb")), QStringLiteral("\u20ac\u2013\u00bb"));
}

TEST(AnsiText, EveryByteComesBackAsItWent)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(toAnsi(fromAnsi(all)), all);
}
