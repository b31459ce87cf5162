#include "player/Mp3Header.h"
#include "AudioFiles.h"
#include "controls/TextField.h"
#include "support/QtPrinters.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>

namespace {

using audiofiles::runTool;

// The three labels start from "b", "k" and "m", the previous song's.
struct Labels {
    Label lblbitrate, lblKhz, lblmode;
    QStringList read(const QString& path, SongTags* tags = nullptr)
    {
        lblbitrate.setCaption(QStringLiteral("b"));
        lblKhz.setCaption(QStringLiteral("k"));
        lblmode.setCaption(QStringLiteral("m"));
        const SongTags read = ReadMp3Header(path, lblbitrate, lblKhz, lblmode);
        if (tags)
            *tags = read;
        return {lblbitrate.caption(), lblKhz.caption(), lblmode.caption()};
    }
};

const QStringList kKept = {"b", "k", "m"};

// A real file, made by an encoder from a sound sox makes; the facts are
// what the encoder was asked for.
struct Made {
    const char* name;
    int rate;  // of the source, Hz
    int channels;  // of the source
    const char* tool;
    QStringList arguments;  // "IN" and "OUT" stand for the two files
    int kbps;  // 0: the average ffprobe finds in the whole file
    int tolerance;  // percent
    QStringList shown;  // kHz and mode
    QStringList tags;  // artist, title, album
};

// lame takes its tags in the locale's code page, ffmpeg in UTF-8.
const QStringList kTagged = {"Artist", "Caf\u00e9 Title", "Album"};
const QStringList kTaggedByLame = {"Artist", "Title", "Album"};

const Made kMade[] = {
    {"cbr192-id3v2.mp3",
     44100,
     2,
     "lame",
     {"--quiet", "-b", "192", "--ta", "Artist", "--tt", "Title", "--tl", "Album", "--add-id3v2", "IN", "OUT"},
     192,
     3,
     {"44", "stereo"},
     kTaggedByLame},
    {"cbr128-stereo-48k.mp3",
     48000,
     2,
     "lame",
     {"--quiet", "-b", "128", "-m", "s", "IN", "OUT"},
     128,
     3,
     {"48", "stereo"},
     {}},
    {"cbr64-mono-mpeg2.mp3",
     22050,
     1,
     "lame",
     {"--quiet", "-b", "64", "-m", "m", "IN", "OUT"},
     64,
     3,
     {"22", "mono"},
     {}},
    {"cbr32-mpeg25.mp3",
     22050,
     1,
     "lame",
     {"--quiet", "-b", "32", "--resample", "11.025", "IN", "OUT"},
     32,
     5,
     {"11", "mono"},
     {}},
    {"vbr-v2-joint-id3v2.mp3",
     44100,
     2,
     "lame",
     {"--quiet", "-V2", "--tt", "Only A Title", "--add-id3v2", "IN", "OUT"},
     0,
     3,
     {"44", "stereo"},
     {"", "Only A Title", ""}},
    {"vbr-v5-mono-48k.mp3", 48000, 1, "lame", {"--quiet", "-V5", "-m", "m", "IN", "OUT"}, 0, 3, {"48", "mono"}, {}},
    {"vbr-v4-22k.mp3", 22050, 2, "lame", {"--quiet", "-V4", "IN", "OUT"}, 0, 3, {"22", "stereo"}, {}},
    {"layer2.mp3",
     48000,
     2,
     "ffmpeg",
     {"-v", "error", "-i", "IN", "-c:a", "mp2", "-b:a", "256k", "-f", "mp2", "OUT"},
     256,
     3,
     {"48", "stereo"},
     {}},
    {"pcm.wav", 44100, 2, "sox", {"IN", "OUT"}, 1411, 1, {"44", "stereo"}, {}},
    {"pcm-mono.wav", 22050, 1, "sox", {"IN", "OUT"}, 353, 1, {"22", "mono"}, {}},
    {"lossless.flac", 48000, 2, "sox", {"IN", "OUT"}, 0, 3, {"48", "stereo"}, {}},
    // A short Ogg file is much header, which ffprobe counts and TagLib not.
    {"tagged.ogg",
     44100,
     2,
     "ffmpeg",
     {"-v", "error", "-i", "IN", "-c:a", "libvorbis", "-metadata", "artist=Artist", "-metadata",
      "title=Caf\u00e9 Title", "-metadata", "album=Album", "OUT"},
     0,
     25,
     {"44", "stereo"},
     kTagged},
    {"speech.opus",
     48000,
     2,
     "ffmpeg",
     {"-v", "error", "-i", "IN", "-c:a", "libopus", "-b:a", "96k", "OUT"},
     0,
     25,
     {"48", "stereo"},
     {}},
    {"aac.m4a",
     44100,
     2,
     "ffmpeg",
     {"-v", "error", "-i", "IN", "-c:a", "aac", "-b:a", "128k", "OUT"},
     0,
     5,
     {"44", "stereo"},
     {}},
    {"wmav2.wma",
     44100,
     2,
     "ffmpeg",
     {"-v", "error", "-i", "IN", "-c:a", "wmav2", "-b:a", "128k", "-metadata", "artist=Artist", "-metadata",
      "title=Caf\u00e9 Title", "-metadata", "album=Album", "OUT"},
     128,
     3,
     {"44", "stereo"},
     kTagged},
};

// Makes the files once for the whole run; an empty path where the encoder
// is missing or fails.
class RealFiles {
public:
    static RealFiles& get()
    {
        static RealFiles files;
        return files;
    }
    QString path(const Made& made)
    {
        const QString out = m_dir.filePath(QLatin1String(made.name));
        if (QFile::exists(out))
            return out;
        const QString in = source(made.rate, made.channels);
        QStringList arguments = made.arguments;
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^IN$")), in);
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^OUT$")), out);
        return !in.isEmpty() && runTool(QLatin1String(made.tool), arguments) ? out : QString();
    }

private:
    // Two seconds of pink noise, which gives VBR encoders real work.
    QString source(int rate, int channels)
    {
        const QString wav = m_dir.filePath(QStringLiteral("source-%1-%2.wav").arg(rate).arg(channels));
        const QStringList arguments = {"-R",  "-n",
                                       "-r",  QString::number(rate),
                                       "-c",  QString::number(channels),
                                       "-b",  "16",
                                       wav,   "synth",
                                       "2",   "pinknoise",
                                       "vol", "0.5"};
        return QFile::exists(wav) || runTool(QStringLiteral("sox"), arguments) ? wav : QString();
    }
    QTemporaryDir m_dir;
};

TEST(ReadMp3Header, ShowsTheFactsAndTagsOfRealFilesOfEveryKind)
{
    Labels labels;
    QStringList missing;
    for (const Made& made : kMade) {
        SCOPED_TRACE(made.name);
        const QString path = RealFiles::get().path(made);
        if (path.isEmpty()) {
            missing << QLatin1String(made.name);
            continue;
        }
        int kbps = made.kbps;
        if (kbps == 0) {
            const QString probed = audiofiles::probe(path, QStringLiteral("format=bit_rate"));
            if (probed.isEmpty()) {
                missing << QLatin1String(made.name) + QStringLiteral(" (ffprobe)");
                continue;
            }
            kbps = int(std::lround(probed.toDouble() / 1000));
        }
        SongTags tags;
        const QStringList shown = labels.read(path, &tags);
        EXPECT_EQ(shown.mid(1), made.shown);
        // The average of a short file carries its headers: a few kbit/s.
        EXPECT_NEAR(shown.at(0).toInt(), kbps, std::max(2.0, kbps * made.tolerance / 100.0))
            << shown.at(0).toStdString();
        EXPECT_EQ(QStringList({tags.artist, tags.title, tags.album}),
                  made.tags.isEmpty() ? QStringList({"", "", ""}) : made.tags);
    }
    if (missing.size() == qsizetype(std::size(kMade)))
        GTEST_SKIP() << "no encoder could make the files (lame, sox, ffmpeg)";
    if (!missing.isEmpty())
        std::cout << "[  SKIPPED ] not made or not measured, a tool is missing: " << missing.join(u' ').toStdString()
                  << '\n';
}

TEST(ReadMp3Header, FilesItCannotReadLeaveTheLabelsAndHaveNoTags)
{
    QTemporaryDir dir;
    const struct {
        const char* name;
        QByteArray bytes;
    } files[] = {
        {"empty.mp3", {}},
        {"only-a-frame-header.mp3", QByteArray("\xFF\xFB\x90\x64", 4)},
        {"id3v2-and-nothing.mp3", QByteArray("ID3\x03\x00\x00\x00\x00\x00\x10", 10) + QByteArray(16, 'x')},
        {"list.asx", "<asx version=\"3.0\"><entry><ref href=\"a.mp3\"/></entry></asx>"},
        {"track01.cda",
         QByteArray("RIFF\x24\x00\x00\x00"
                    "CDDAfmt ",
                    16)},
        {"words.txt", "no audio here"},
        {"riff-cut-short.wav", QByteArray("RIFF\x24\x00\x00\x00WAVE", 12)},
    };
    Labels labels;
    for (const auto& file : files) {
        const QString path = dir.filePath(QLatin1String(file.name));
        ASSERT_TRUE(audiofiles::writeBytes(path, file.bytes));
        SongTags tags {"x", "x", "x"};
        EXPECT_EQ(labels.read(path, &tags), kKept) << file.name;
        EXPECT_EQ(QStringList({tags.artist, tags.title, tags.album}), QStringList({"", "", ""})) << file.name;
    }
    for (const QString& path : {dir.filePath(QStringLiteral("missing.mp3")), dir.path(), QString()})
        EXPECT_EQ(labels.read(path), kKept) << path.toStdString();
}

// Truncated and corrupted copies of the real files: whatever is read, it is
// either nothing or facts in the labels' forms, and never a crash.
TEST(ReadMp3Header, DamagedFilesNeverCrashAndGiveNothingOrFactsInTheLabelsForms)
{
    QTemporaryDir dir;
    Labels labels;
    QRandomGenerator random(13);
    static const QRegularExpression facts(QStringLiteral("^\\d+ \\d+ (stereo|mono)$"));
    int damaged = 0;
    for (const Made& made : kMade) {
        const QString path = RealFiles::get().path(made);
        QFile file(path);
        if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray whole = file.readAll();
        ++damaged;
        QList<QByteArray> copies;
        for (const qsizetype size : {qsizetype(1), qsizetype(3), qsizetype(10), qsizetype(100), qsizetype(1000),
                                     whole.size() / 3, whole.size() / 2, whole.size() - 1})
            copies << whole.left(size);
        for (int i = 0; i < 24; ++i) {
            QByteArray copy = whole;
            // Mostly the headers and tags at either end, where the reader looks.
            for (int n = 0; n < 8; ++n) {
                const qsizetype at = random.bounded(2)
                    ? random.bounded(std::min<qsizetype>(copy.size(), 4096))
                    : copy.size() - 1 - random.bounded(std::min<qsizetype>(copy.size(), 512));
                copy[at] = char(random.bounded(256));
            }
            copies << copy;
        }
        for (const QByteArray& copy : copies) {
            const QString damagedPath = dir.filePath(QStringLiteral("damaged-") + QLatin1String(made.name));
            ASSERT_TRUE(audiofiles::writeBytes(damagedPath, copy));
            const QStringList shown = labels.read(damagedPath);
            EXPECT_TRUE(shown == kKept || facts.match(shown.join(u' ')).hasMatch())
                << made.name << ": " << shown.join(u' ').toStdString();
        }
    }
    if (damaged == 0)
        GTEST_SKIP() << "no encoder could make the files to damage (lame, sox, ffmpeg)";
}

// A file named .mp3 that holds no frame, or whose tag claims to be all of
// it, is not read to its end. How much the process read the kernel counts.
TEST(ReadMp3Header, AFileWithoutFramesIsNotReadToItsEnd)
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "/proc/self/io cannot be read here";
    io.close();
    const auto bytesRead = [&io] {
        io.open(QIODevice::ReadOnly);
        const QByteArray text = io.readAll();
        io.close();
        static const QRegularExpression rchar(QStringLiteral("rchar: (\\d+)"));
        return rchar.match(QString::fromLatin1(text)).captured(1).toLongLong();
    };
    QTemporaryDir dir;
    const struct {
        QByteArray start;
        qint64 bound;
    } files[] = {
        {QByteArray(), 4 << 20}, {QByteArray("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10), 40 << 20},  // a tag of 256 MiB
    };
    Labels labels;
    for (const auto& file : files) {
        const QString path = dir.filePath(QStringLiteral("damaged.mp3"));
        QFile zeros(path);
        ASSERT_TRUE(zeros.open(QIODevice::WriteOnly) && zeros.write(file.start) == file.start.size()
                    && zeros.resize(300 << 20));  // sparse: no disk is used
        zeros.close();
        const qint64 before = bytesRead();
        EXPECT_EQ(labels.read(path), kKept);
        EXPECT_LT(bytesRead() - before, file.bound) << file.start.toHex().toStdString();
    }
}

}  // namespace
