#include "toc/ModToc.h"
#include "toc/RemoveTags.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QList>

// The helpers the commands and frames already show whole (quoting,
// escaping, the sign-on frame's words, the byte order) are left to those
// tests.
TEST(ModToc, NamesAndPasswords)
{
    EXPECT_EQ(NormalizeName(QStringLiteral(" ÉCOLE  Room ")), QStringLiteral("écoleroom"));
    // Two lower-case hex digits a byte, a high one too.
    EXPECT_EQ(RoastPassword(QByteArray("\x5f\xff", 2)), "0x0b96");
    EXPECT_EQ(LengthPrefixed(QByteArray(70000, 'a')).size(), 2 + 65535);
}

TEST(ModToc, CutChatTextCutsOnlyBetweenWholeEscapePairsAndCharacters)
{
    EXPECT_EQ(CutChatText("Song \\\\ \\\"Name\\\" (live)", 100), "Song \\\\ \\\"Name\\\" (live)");
    EXPECT_EQ(CutChatText("ab\\\\c", 3), "ab");
    EXPECT_EQ(CutChatText("ab\\\\c", 4), "ab\\\\");
    // "é" is two bytes, "€" three and "😀" four.
    const QByteArray text = QStringLiteral("aé€😀").toUtf8();
    const QList<std::pair<qsizetype, QString>> cuts {{0, ""},    {2, "a"},   {3, "aé"},   {5, "aé"},
                                                     {6, "aé€"}, {9, "aé€"}, {10, "aé€😀"}};
    for (const auto& [limit, kept] : cuts)
        EXPECT_EQ(CutChatText(text, limit), kept.toUtf8()) << limit;
    // Broken UTF-8 (a lead byte short of its continuation, a stray
    // continuation) is kept byte for byte.
    const QByteArray broken("\xe2\x82"
                            "x\x80y",
                            5);
    EXPECT_EQ(CutChatText(broken, 100), broken);
    EXPECT_EQ(CutChatText(broken + "zzz", 2), QByteArray("\xe2\x82", 2));
}

TEST(ModToc, TextFromWireNeverLosesAByte)
{
    EXPECT_EQ(TextFromWire(QStringLiteral("héllo 😀").toUtf8()), QStringLiteral("héllo 😀"));
    // Not UTF-8: read as Windows-1252, one character per byte.
    EXPECT_EQ(TextFromWire("caf\xe9 \x80 \x93x\x94"), QStringLiteral("café € “x”"));
    EXPECT_EQ(TextFromWire(QByteArray("\x81\x8d", 2)), QString(QChar(0x81)) + QChar(0x8d));
}

TEST(RemoveTags, FirstLessThanPairsWithTheFirstGreaterThanAfterIt)
{
    const QList<std::pair<QString, QString>> cases {
        {"<font color=\"#ff0000\">p song</font>", "p song"},
        {"<HTML><BODY>a<B>b</B>c</BODY></HTML>", "abc"},
        {"no tags &amp; &lt;entities&gt;", "no tags &amp; &lt;entities&gt;"},
        // A "<" with no ">" after it ends the removal; a ">" before it stays.
        {"1 < 2", "1 < 2"},
        {"<b>x</b> a<b", "x a<b"},
        {"a > b <i>c", "a > b c"},
        // "<a<b>" is one tag; removing it can join text into a new tag.
        {"x<a<b>y>z", "xy>z"},
        {"<<>b>c", "b>c"},
        {"<>", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(RemoveTags(in), out) << in.toStdString();
}
