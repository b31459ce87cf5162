#include "controls/TextField.h"
#include "player/Mp3Header.h"
#include "AudioFiles.h"
#include "support/QtPrinters.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray frame(int b3, int b4)
{
    return QByteArray("\xFF\xFB", 2) + char(b3) + char(b4);
}

// Each read starts from labels showing "b", "k" and "m", the previous song's.
class Mp3HeaderTest : public ::testing::Test {
protected:
    QStringList read(const QString& path)
    {
        lblbitrate.setCaption(QStringLiteral("b"));
        lblKhz.setCaption(QStringLiteral("k"));
        lblmode.setCaption(QStringLiteral("m"));
        ReadMp3Header(path, lblbitrate, lblKhz, lblmode);
        return {lblbitrate.caption(), lblKhz.caption(), lblmode.caption()};
    }
    QString file(const QByteArray& bytes)
    {
        const QString path = dir.filePath(QStringLiteral("song.mp3"));
        EXPECT_TRUE(audiofiles::writeBytes(path, bytes));
        return path;
    }

    QTemporaryDir dir;
    Label lblbitrate, lblKhz, lblmode;
};

TEST_F(Mp3HeaderTest, DecodesTheFirstFourBytesAsTheyAre)
{
    const struct {
        QByteArray bytes;
        QStringList shown;  // bit rate, kHz, mode
    } cases[] = {
        {frame(0x90, 0x64), {"128", "44", "stereo"}},
        {frame(0x94, 0x64), {"128", "48", "stereo"}},
        {frame(0x98, 0x64), {"128", "32", "stereo"}},
        {frame(0x00, 0x00), {"0", "44", "stereo"}},    // free format
        {frame(0xF0, 0x00), {"0", "44", "stereo"}},    // the unusable index
        {frame(0x10, 0xC0), {"32", "44", "mono"}},     // single channel
        {frame(0xA0, 0x40), {"160", "44", "stereo"}},  // joint stereo
        {frame(0xB0, 0x80), {"192", "44", "stereo"}},  // dual channel
        {frame(0xBC, 0xC0), {"192", "k", "mono"}},     // reserved frequency: the previous song's kept
        // MPEG-2 Layer III at 22.05 kHz shows the MPEG-1 values.
        {QByteArray("\xFF\xF3\x90\xC4", 4), {"128", "44", "mono"}},
        // An ID3v2 tag is not skipped: "ID3" and version 3 are the header.
        {QByteArray("ID3\x03\x00\x00\x00\x00\x10\x00", 10) + frame(0x90, 0xC4), {"48", "44", "stereo"}},
        {QByteArray("RIFF\x24\x00\x00\x00WAVE", 12), {"56", "48", "stereo"}},
        // Missing bytes of a short file read as zero.
        {QByteArray("\xFF\xFB", 2), {"0", "44", "stereo"}},
        {QByteArray("\xFF\xFB\x94", 3), {"128", "48", "stereo"}},
        {QByteArray(), {"0", "44", "stereo"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toHex(' ').toStdString());
        EXPECT_EQ(read(file(c.bytes)), c.shown);
    }
}

TEST_F(Mp3HeaderTest, UnreadableFileLeavesEveryLabelAsItWas)
{
    // Missing, a directory, no name at all.
    for (const QString& path : {dir.filePath(QStringLiteral("missing.mp3")), dir.path(), QString()})
        EXPECT_EQ(read(path), QStringList({"b", "k", "m"})) << path.toStdString();
}

TEST_F(Mp3HeaderTest, WritesFrequencyThenModeThenBitRate)
{
    QStringList order;
    for (Label* label : {&lblKhz, &lblmode, &lblbitrate})
        QObject::connect(label, &TextField::textChanged, [&order](const QString& text) { order << text; });
    read(file(frame(0x90, 0x64)));
    // After the three set by read() itself.
    EXPECT_EQ(order, QStringList({"b", "k", "m", "44", "stereo", "128"}));
}

} // namespace
