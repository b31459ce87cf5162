#include "toc/ModToc.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

TEST(ModToc, NormalizeNameDropsEveryBlankAndLowerCases)
{
    EXPECT_EQ(NormalizeName(QStringLiteral(" Marl  Bot ")), QStringLiteral("marlbot"));
    EXPECT_EQ(NormalizeName(QStringLiteral("ÉCOLE Room")), QStringLiteral("écoleroom"));
    EXPECT_EQ(NormalizeName(QString()), QString());
}

TEST(ModToc, RoastPasswordXorsWithTicTocInLowerCaseHex)
{
    EXPECT_EQ(RoastPassword(""), "0x");
    // 'a' ^ 'T' = 0x35; the eighth byte starts over at 'T'.
    EXPECT_EQ(RoastPassword("a"), "0x35");
    EXPECT_EQ(RoastPassword("aaaaaaaa"), "0x3508024e350e0235");
    const QByteArray roasted = RoastPassword("Tic/Toc");
    EXPECT_EQ(roasted, "0x00000000000000");
    // Values below 16 keep their leading zero, and hex letters are lower-case.
    EXPECT_EQ(RoastPassword(QByteArray("\x5f\xff", 2)), "0x0b96");
    const QByteArray five = RoastPassword("hello");
    EXPECT_EQ(five.size(), 2 + 2 * 5);
    EXPECT_EQ(five, five.toLower());
}

TEST(ModToc, QuoteArgLeavesTheInsideAlone)
{
    EXPECT_EQ(QuoteArg(""), "\"\"");
    EXPECT_EQ(QuoteArg("a \"b\" \\c"), "\"a \"b\" \\c\"");
}

TEST(ModToc, EscapeArgPutsOneBackslashBeforeEachSpecialCharacter)
{
    EXPECT_EQ(EscapeArg("say \"hi\" \\ (now)"), "say \\\"hi\\\" \\\\ \\(now\\)");
    EXPECT_EQ(EscapeArg("[a]{b}"), "\\[a\\]\\{b\\}");
    EXPECT_EQ(EscapeArg("\\\""), "\\\\\\\"");
    EXPECT_EQ(EscapeArg("plain $ text:é"), "plain $ text:é");
}

TEST(ModToc, ByteEncodings)
{
    EXPECT_EQ(BytesFromList("0 0 0 1 0 1"), QByteArray("\0\0\0\1\0\1", 6));
    EXPECT_EQ(BytesFromList("255 x 256  7"), QByteArray("\xff\x07", 2));
    EXPECT_EQ(WordBytes(0), QByteArray("\0\0", 2));
    EXPECT_EQ(WordBytes(0x1234), "\x12\x34");
    EXPECT_EQ(WordBytes(65535), "\xff\xff");
    EXPECT_EQ(LengthPrefixed("marlbot"), QByteArray("\0\x07marlbot", 9));
    EXPECT_EQ(LengthPrefixed(QByteArray(70000, 'a')).size(), 2 + 65535);
}

TEST(ModToc, WordFromBytesReadsTheWholeUnsignedRange)
{
    EXPECT_EQ(WordFromBytes(QByteArray("\0\x05", 2)), 5);
    EXPECT_EQ(WordFromBytes("\x7f\xff"), 32767);
    EXPECT_EQ(WordFromBytes(QByteArray("\x80\0", 2)), 32768);
    EXPECT_EQ(WordFromBytes("\xff\xff"), 65535);
    for (const quint16 n : {0, 1, 255, 256, 40000, 65535})
        EXPECT_EQ(WordFromBytes(WordBytes(n)), n);
}

TEST(ModToc, CutChatTextLeavesTextThatFitsAlone)
{
    EXPECT_EQ(CutChatText("Song \\\\ \\\"Name\\\" (live) [x]", 100), "Song \\\\ \\\"Name\\\" (live) [x]");
}

TEST(ModToc, CutChatTextCutsOnlyBetweenWholeUnits)
{
    // An escape pair that does not fit whole is left out whole.
    EXPECT_EQ(CutChatText("ab\\\\c", 3), "ab");
    EXPECT_EQ(CutChatText("ab\\\\c", 4), "ab\\\\");
    EXPECT_EQ(CutChatText("a\\\"b", 2), "a");
    // "é" is two bytes, "€" three and "😀" four: none is ever split.
    const QByteArray text = QStringLiteral("aé€😀").toUtf8();
    EXPECT_EQ(CutChatText(text, 2), "a");
    EXPECT_EQ(CutChatText(text, 3), QStringLiteral("aé").toUtf8());
    EXPECT_EQ(CutChatText(text, 5), QStringLiteral("aé").toUtf8());
    EXPECT_EQ(CutChatText(text, 6), QStringLiteral("aé€").toUtf8());
    EXPECT_EQ(CutChatText(text, 9), QStringLiteral("aé€").toUtf8());
    EXPECT_EQ(CutChatText(text, 10), text);
    EXPECT_EQ(CutChatText(text, 0), "");
}

TEST(ModToc, CutChatTextKeepsBrokenUtf8ByteForByte)
{
    // A lead byte without its continuation, then a stray continuation.
    const QByteArray broken("\xe2\x82" "x\x80y", 5);
    EXPECT_EQ(CutChatText(broken, 100), broken);
    EXPECT_EQ(CutChatText(broken + "zzz", 2), QByteArray("\xe2\x82", 2));
}

TEST(ModToc, TextFromWireNeverLosesAByte)
{
    EXPECT_EQ(TextFromWire(QStringLiteral("héllo 😀").toUtf8()), QStringLiteral("héllo 😀"));
    // Not UTF-8: read as Windows-1252, one character per byte.
    EXPECT_EQ(TextFromWire("caf\xe9 \x80 \x93x\x94"), QStringLiteral("café € “x”"));
    EXPECT_EQ(TextFromWire(QByteArray("\x81\x8d", 2)), QString(QChar(0x81)) + QChar(0x8d));
    EXPECT_EQ(TextFromWire(""), QString());
}
