// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/Mp3Header.h"
#include "AudioFiles.h"
#include "controls/Values.h"
#include "player/CoverArt.h"
#include "support/QtPrinters.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>

#include <cmath>

namespace {

// The labels start from the previous song's "b", "k" and "m"; answers them
// after the read, then the tags as "artist|title|album".
QString read(const QString& path)
{
    TextValue bitrate(QStringLiteral("b")), khz(QStringLiteral("k")), mode(QStringLiteral("m"));
    const SongTags tags = readMp3Header(path, bitrate, khz, mode);
    return QStringList({bitrate.text(), khz.text(), mode.text(), tags.artist, tags.title, tags.album}).join(u'|');
}

// Runs a tool to its end; false when it is missing or fails.
bool run(QStringList arguments, QByteArray* output = nullptr)
{
    const QString program = arguments.takeFirst();
    QProcess process;
    process.setProcessChannelMode(output ? QProcess::ForwardedErrorChannel : QProcess::ForwardedChannels);
    process.start(program, arguments);
    const bool done
        = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (output)
        *output = process.readAllStandardOutput();
    return done;
}

// One real file of each kind, made by its encoder from two seconds of pink
// noise that sox makes at the rate and channels given. The bit rate is what
// the encoder was asked for, or for 0 the average ffprobe finds; with no
// tolerance, a constant rate that ffprobe's stream rate and the shown one
// both give exactly.
struct Made {
    const char *name, *source, *encoder;  // "IN" and "OUT" stand for the two files
    int kbps, tolerance;  // percent
    const char* shown;  // kHz, mode and tags
};

const Made kMade[] = {
    {"cbr-id3v2.mp3", "-r 44100 -c 2", "lame --quiet -b 192 --ta Artist --tt Title --tl Album --add-id3v2 IN OUT", 192,
     0, "44|stereo|Artist|Title|Album"},
    // lame makes 64 kbit/s at 24 kHz (MPEG-2); the tags and its Info frame
    // would raise the file's average above the frame headers' rate.
    {"cbr64.mp3", "-r 44100 -c 2", "lame --quiet -b 64 --tt Title --add-id3v2 IN OUT", 64, 0, "24|stereo||Title|"},
    {"cbr320.mp3", "-r 44100 -c 2", "lame --quiet -b 320 IN OUT", 320, 0, "44|stereo|||"},
    // VBR: the average comes from the Xing header; MPEG-2 mono.
    {"vbr-mono.mp3", "-r 22050 -c 1", "lame --quiet -V5 -m m IN OUT", 0, 5, "22|mono|||"},
    // VBR without a Xing header: the frames tell the average.
    {"vbr-bare.mp3", "-r 44100 -c 2", "lame --quiet -V5 -t IN OUT", 0, 5, "44|stereo|||"},
    {"pcm.wav", "-r 44100 -c 2", "sox IN OUT", 1411, 1, "44|stereo|||"},
    {"lossless.flac", "-r 48000 -c 2", "sox IN OUT", 0, 3, "48|stereo|||"},
    // A short Ogg file is much header, which ffprobe counts and TagLib not.
    {"tagged.ogg", "-r 44100 -c 2",
     "ffmpeg -v error -i IN -c:a libvorbis -metadata artist=Artist -metadata title=Caf\u00e9 OUT", 0, 25,
     "44|stereo|Artist|Caf\u00e9|"},
    {"speech.opus", "-r 48000 -c 2", "ffmpeg -v error -i IN -c:a libopus -b:a 96k OUT", 0, 25, "48|stereo|||"},
    {"aac.m4a", "-r 44100 -c 2", "ffmpeg -v error -i IN -c:a aac -b:a 128k OUT", 0, 5, "44|stereo|||"},
    {"wmav2.wma", "-r 44100 -c 2", "ffmpeg -v error -i IN -c:a wmav2 -b:a 128k -metadata album=Album OUT", 128, 3,
     "44|stereo|||Album"},
    // MPEG-1 at another rate, without an Info frame.
    {"cbr320-48k.mp3", "-r 48000 -c 2", "lame --quiet -b 320 -t IN OUT", 320, 0, "48|stereo|||"},
};

// The files, made once for the whole run; empty where a tool is missing.
QString made(const Made& file)
{
    static QTemporaryDir dir;
    const QString out = dir.filePath(QLatin1String(file.name));
    const QString in = dir.filePath(QString::fromLatin1(file.source).replace(u' ', u'_') + QStringLiteral(".wav"));
    if (!QFile::exists(in)
        && !run(QStringLiteral("sox -R -n %1 -b 16 %2 synth 2 pinknoise vol 0.5").arg(file.source, in).split(u' ')))
        return {};
    QStringList encoder = QString::fromUtf8(file.encoder).split(u' ');
    encoder.replaceInStrings(QRegularExpression(QStringLiteral("^IN$")), in)
        .replaceInStrings(QRegularExpression(QStringLiteral("^OUT$")), out);
    return QFile::exists(out) || run(encoder) ? out : QString();
}

TEST(readMp3Header, ShowsTheFactsAndTagsOfRealFilesOfEveryKind)
{
    int measured = 0;
    for (const Made& file : kMade) {
        SCOPED_TRACE(file.name);
        const QString path = made(file);
        QByteArray probed = QByteArray::number(file.kbps * 1000);
        if ((file.kbps == 0 || file.tolerance == 0) && !path.isEmpty())
            run({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                 file.kbps == 0 ? "format=bit_rate" : "stream=bit_rate", "-of", "default=nw=1:nk=1", path},
                &probed);
        const int kbps = int(std::lround(probed.trimmed().toDouble() / 1000));
        if (path.isEmpty() || kbps == 0)
            continue;
        ++measured;
        const QString shown = read(path);
        EXPECT_EQ(shown.section(u'|', 1), QString::fromUtf8(file.shown));
        if (file.tolerance == 0) {
            EXPECT_EQ(kbps, file.kbps) << "ffprobe";
            EXPECT_EQ(shown.section(u'|', 0, 0).toInt(), file.kbps);
        } else {
            EXPECT_NEAR(shown.section(u'|', 0, 0).toInt(), kbps, std::max(2.0, kbps * file.tolerance / 100.0));
        }
    }
    if (measured == 0)
        GTEST_SKIP() << "no encoder could make the files (lame, sox, ffmpeg)";
    EXPECT_EQ(measured, qsizetype(std::size(kMade))) << "a tool is missing";

    // Joined to a file of another rate, a file without an average header is
    // measured over its own frames only.
    QTemporaryDir dir;
    const QString joined = dir.filePath(QStringLiteral("joined.mp3")), bare = made(kMade[4]);
    ASSERT_TRUE(writeFile(joined, readFile(bare) + readFile(made(kMade[std::size(kMade) - 1]))));
    EXPECT_EQ(read(joined), read(bare));

    // The walk stops after 20,000 frames: one more of 320 kbit/s would lift
    // their average of 32.496 (one in sixteen at 40) to 32.51.
    QByteArray frames;
    const auto add = [&](int count, char rateIndex, int bytes) {
        const QByteArray frame = QByteArray("\xff\xfb", 2) + char(rateIndex << 4 | 1 << 2) + QByteArray(bytes - 3, 0);
        frames += frame.repeated(count);
    };
    add(1, 1, 96), add(1240, 2, 120), add(18759, 1, 96), add(1, 14, 960);
    const QString walked = dir.filePath(QStringLiteral("walked.mp3"));
    ASSERT_TRUE(writeFile(walked, frames));
    EXPECT_EQ(read(walked).section(u'|', 0, 1), "32|48");
    // Behind a Xing header, whose average the tag library takes, the frames
    // are not walked: a header without one reads as the first frame's rate.
    frames = QByteArray("\xff\xfb\x14", 3) + QByteArray(33, 0) + "Xing" + QByteArray(56, 0);
    add(500, 2, 120), add(500, 1, 96);
    ASSERT_TRUE(writeFile(walked, frames));
    EXPECT_EQ(read(walked).section(u'|', 0, 0), "32");
}

// What cannot be read keeps the labels and has no tags, and never crashes:
// odd paths, files with only a header, and truncated and corrupted copies
// of the real files, mostly at either end where the reader looks. Neither
// a tag claiming 256 MiB nor a run of zeros is read to its end (the kernel
// counts the bytes).
TEST(readMp3Header, UnreadableFilesKeepTheLabelsNeverCrashAndAreNotReadToTheirEnd)
{
    const auto bytesRead = [] {
        QFile io(QStringLiteral("/proc/self/io"));
        static const QRegularExpression rchar(QStringLiteral("rchar: (\\d+)"));
        return io.open(QIODevice::ReadOnly) ? rchar.match(QString::fromLatin1(io.readAll())).captured(1).toLongLong()
                                            : -1;
    };
    QTemporaryDir dir;
    const QString kept = QStringLiteral("b|k|m|||");
    for (const QByteArray& start : {QByteArray("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10), QByteArray()}) {
        const QString huge = dir.filePath(QStringLiteral("huge.mp3"));
        ASSERT_TRUE(writeFile(huge, start) && QFile(huge).resize(300 << 20));  // sparse: no disk is used
        const qint64 before = bytesRead();
        EXPECT_EQ(read(huge), kept);
        EXPECT_LT(bytesRead() - before, 40 << 20);
    }
    // WAV headers that claim no channels or no sample rate.
    const QByteArray wav = readFile(made(kMade[5]));
    ASSERT_GT(wav.size(), 44);
    for (const auto& [at, zeros] : {std::pair(22, 2), {24, 4}}) {
        const QString claims = dir.filePath(QStringLiteral("claims.wav"));
        ASSERT_TRUE(writeFile(claims, QByteArray(wav).replace(at, zeros, QByteArray(zeros, '\0'))));
        EXPECT_EQ(read(claims), kept) << at;
    }
    const QString empty = dir.filePath(QStringLiteral("empty.mp3"));
    ASSERT_TRUE(writeFile(empty));
    for (const QString& path : {empty, dir.filePath(QStringLiteral("missing.mp3")), dir.path(), QString()})
        EXPECT_EQ(read(path), kept) << path.toStdString();

    QRandomGenerator random(13);
    static const QRegularExpression facts(QStringLiteral("^\\d+\\|\\d+\\|(stereo|mono)\\|"));
    for (const Made& file : kMade) {
        QFile real(made(file));
        if (!real.open(QIODevice::ReadOnly))
            continue;
        const QByteArray whole = real.readAll();
        QList<QByteArray> copies {whole.left(4), whole.left(1000), whole.left(whole.size() / 2)};
        for (int i = 0; i < 24; ++i) {
            QByteArray copy = whole;
            for (int n = 0; n < 8; ++n)
                copy[random.bounded(2) ? random.bounded(std::min<qsizetype>(copy.size(), 4096))
                                       : copy.size() - 1 - random.bounded(std::min<qsizetype>(copy.size(), 512))]
                    = char(random.bounded(256));
            copies << copy;
        }
        const QString path = dir.filePath(QStringLiteral("damaged-") + QLatin1String(file.name));
        for (const QByteArray& copy : copies) {
            ASSERT_TRUE(writeFile(path, copy));
            const QString shown = read(path);
            EXPECT_TRUE(shown == kept || facts.match(shown).hasMatch()) << file.name << ": " << shown.toStdString();
        }
    }
}

// The front cover of several pictures, else the first; none where the
// file has none or is of a kind the tag library does not read.
TEST(readCoverArt, TheFrontCoverOfSeveralElseTheFirst)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("covers.mp3")), source = made(kMade[2]);
    ASSERT_TRUE(!source.isEmpty() && QFile::copy(source, path));
    EXPECT_EQ(readCoverArt(path).data, QByteArray());
    const auto add = [&](TagLib::ID3v2::AttachedPictureFrame::Type type, const char* data) {
        TagLib::MPEG::File file(QFile::encodeName(path).constData());
        auto* picture = new TagLib::ID3v2::AttachedPictureFrame;
        picture->setType(type);
        picture->setMimeType("image/png");
        picture->setPicture(TagLib::ByteVector(data));
        file.ID3v2Tag(true)->addFrame(picture);
        ASSERT_TRUE(file.save());
    };
    add(TagLib::ID3v2::AttachedPictureFrame::BackCover, "back");
    add(TagLib::ID3v2::AttachedPictureFrame::Artist, "artist");
    EXPECT_EQ(readCoverArt(path).data, "back");
    add(TagLib::ID3v2::AttachedPictureFrame::FrontCover, "front");
    EXPECT_EQ(readCoverArt(path).data, "front");
    EXPECT_EQ(readCoverArt(path).mimeType, "image/png");

    // An MP4 file gives the kind of its cover as a code.
    const QString m4a = dir.filePath(QStringLiteral("covers.m4a"));
    ASSERT_TRUE(QFile::copy(made(kMade[9]), m4a));
    using Art = TagLib::MP4::CoverArt;
    for (const auto& [format, kind] : {std::pair {Art::JPEG, "image/jpeg"}, {Art::PNG, "image/png"}, {Art::GIF, ""}}) {
        {
            TagLib::MP4::File file(QFile::encodeName(m4a).constData());
            file.tag()->setItem("covr", TagLib::MP4::CoverArtList().append(Art(format, "cover")));
            ASSERT_TRUE(file.save());
        }
        EXPECT_EQ(readCoverArt(m4a).mimeType, QLatin1String(kind));
        EXPECT_EQ(readCoverArt(m4a).data, "cover");
    }

    // A file of a kind the tag library does not know.
    const QString notes = dir.filePath(QStringLiteral("notes.txt"));
    ASSERT_TRUE(writeFile(notes, "songs to find\n"));
    EXPECT_EQ(readCoverArt(notes).data, QByteArray());
}

}  // namespace
