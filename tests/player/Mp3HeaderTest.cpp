#include "controls/TextField.h"
#include "player/Mp3Header.h"
#include "AudioFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Labels {
    Label lblbitrate{QStringLiteral("0")};
    Label lblKhz{QStringLiteral("0")};
    Label lblmode{QStringLiteral("mono")};

    void read(const QString& path) { ReadMp3Header(path, lblbitrate, lblKhz, lblmode); }
    QStringList shown() const { return {lblbitrate.caption(), lblKhz.caption(), lblmode.caption()}; }
};

class Mp3HeaderTest : public ::testing::Test {
protected:
    QString file(const QByteArray& bytes)
    {
        const QString path = dir.filePath(QStringLiteral("song%1.mp3").arg(++made));
        EXPECT_TRUE(audiofiles::writeBytes(path, bytes));
        return path;
    }
    static QByteArray header(unsigned char b1, unsigned char b2, unsigned char b3, unsigned char b4)
    {
        QByteArray bytes;
        for (unsigned char b : {b1, b2, b3, b4})
            bytes.append(char(b));
        return bytes;
    }

    QTemporaryDir dir;
    int made = 0;
    Labels labels;
};

TEST_F(Mp3HeaderTest, DecodesBitRateFrequencyAndModeFromTheThirdAndFourthBytes)
{
    struct Case {
        unsigned char b3, b4;
        QStringList shown;  // bit rate, kHz, mode
    };
    const Case cases[] = {
        {0x90, 0x64, {"128", "44", "stereo"}},
        {0x94, 0x64, {"128", "48", "stereo"}},
        {0x98, 0x64, {"128", "32", "stereo"}},
        {0x00, 0x00, {"0", "44", "stereo"}},    // free format
        {0xF0, 0x00, {"0", "44", "stereo"}},    // the unusable index
        {0x10, 0xC0, {"32", "44", "mono"}},     // single channel
        {0xE0, 0xFF, {"320", "44", "mono"}},
        {0xA0, 0x40, {"160", "44", "stereo"}},  // joint stereo
        {0xB0, 0x80, {"192", "44", "stereo"}},  // dual channel
        {0x54, 0x00, {"64", "48", "stereo"}},
    };
    for (const Case& c : cases) {
        labels.read(file(header(0xFF, 0xFB, c.b3, c.b4)));
        EXPECT_EQ(labels.shown(), c.shown) << std::hex << int(c.b3) << ' ' << int(c.b4);
    }
}

TEST_F(Mp3HeaderTest, IgnoresVersionAndLayerAndSearchesForNoFrame)
{
    // MPEG-2 Layer III at 22.05 kHz (frequency index 0) shows MPEG-1 values.
    labels.read(file(header(0xFF, 0xF3, 0x90, 0xC4)));
    EXPECT_EQ(labels.shown(), QStringList({"128", "44", "mono"}));

    // An ID3v2 tag is read as if it were a header: "ID3" and version 3.
    labels.read(file(QByteArray("ID3\x03\x00\x00\x00\x00\x10\x00", 10) + header(0xFF, 0xFB, 0x90, 0xC4)));
    EXPECT_EQ(labels.shown(), QStringList({"48", "44", "stereo"}));

    // Anything else is decoded from whatever it begins with.
    labels.read(file("RIFF\x24\x00\x00\x00WAVE"));
    EXPECT_EQ(labels.shown(), QStringList({"56", "48", "stereo"}));
}

TEST_F(Mp3HeaderTest, ReservedFrequencyKeepsThePreviousSongsValue)
{
    labels.read(file(header(0xFF, 0xFB, 0x94, 0x00)));
    ASSERT_EQ(labels.lblKhz.caption(), "48");
    labels.read(file(header(0xFF, 0xFB, 0xBC, 0xC0)));
    EXPECT_EQ(labels.shown(), QStringList({"192", "48", "mono"}));
}

TEST_F(Mp3HeaderTest, ShortFilesReadMissingBytesAsZero)
{
    labels.read(file(header(0xFF, 0xFB, 0xE0, 0xC0)));
    labels.read(file(QByteArray("\xFF\xFB", 2)));
    EXPECT_EQ(labels.shown(), QStringList({"0", "44", "stereo"}));

    labels.read(file(header(0xFF, 0xFB, 0xE0, 0xC0)));
    labels.read(file(QByteArray("\xFF\xFB\x94", 3)));
    EXPECT_EQ(labels.shown(), QStringList({"128", "48", "stereo"}));

    labels.read(file(header(0xFF, 0xFB, 0xE0, 0xC0)));
    labels.read(file(QByteArray()));
    EXPECT_EQ(labels.shown(), QStringList({"0", "44", "stereo"}));
}

TEST_F(Mp3HeaderTest, UnreadableFileLeavesEveryLabelAsItWas)
{
    labels.read(file(header(0xFF, 0xFB, 0xD4, 0xC0)));
    const QStringList before = labels.shown();
    ASSERT_EQ(before, QStringList({"256", "48", "mono"}));

    labels.read(dir.filePath(QStringLiteral("missing.mp3")));
    EXPECT_EQ(labels.shown(), before);
    labels.read(dir.path());  // a directory cannot be read as a file
    EXPECT_EQ(labels.shown(), before);
    labels.read(QString());
    EXPECT_EQ(labels.shown(), before);
}

TEST_F(Mp3HeaderTest, WritesFrequencyThenModeThenBitRate)
{
    Labels fresh;
    fresh.lblbitrate.setCaption(QStringLiteral("?"));
    fresh.lblKhz.setCaption(QStringLiteral("?"));
    fresh.lblmode.setCaption(QStringLiteral("?"));
    QStringList order;
    QObject::connect(&fresh.lblbitrate, &TextField::textChanged, [&] { order << QStringLiteral("bitrate"); });
    QObject::connect(&fresh.lblKhz, &TextField::textChanged, [&] { order << QStringLiteral("khz"); });
    QObject::connect(&fresh.lblmode, &TextField::textChanged, [&] { order << QStringLiteral("mode"); });
    fresh.read(file(header(0xFF, 0xFB, 0x90, 0x64)));
    EXPECT_EQ(order, QStringList({"khz", "mode", "bitrate"}));
}

} // namespace
