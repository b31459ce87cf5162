#include "player/Mp3Header.h"
#include "AudioFiles.h"
#include "controls/TextField.h"
#include "support/QtPrinters.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace {

// The labels start from "b", "k" and "m", the previous song's; answers
// them after the read, and the tags as "artist|title|album".
QStringList read(const QString& path, QString* tags = nullptr)
{
    Label bitrate(QStringLiteral("b")), khz(QStringLiteral("k")), mode(QStringLiteral("m"));
    const SongTags found = ReadMp3Header(path, bitrate, khz, mode);
    if (tags)
        *tags = QStringList({found.artist, found.title, found.album}).join(u'|');
    return {bitrate.caption(), khz.caption(), mode.caption()};
}

const QStringList kKept = {"b", "k", "m"};

// Runs a tool to its end; false when it is missing or fails.
bool run(const QString& command, QByteArray* output = nullptr)
{
    QStringList arguments = QProcess::splitCommand(command);
    const QString program = arguments.takeFirst();
    if (QStandardPaths::findExecutable(program).isEmpty())
        return false;
    QProcess process;
    process.setProcessChannelMode(output ? QProcess::ForwardedErrorChannel : QProcess::ForwardedChannels);
    process.start(program, arguments);
    const bool done
        = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (output)
        *output = process.readAllStandardOutput();
    return done;
}

// A real file, made by an encoder from two seconds of pink noise that sox
// makes at the rate and channels given; the facts are what the encoder was
// asked for, or for 0 kbit/s the average ffprobe finds in the whole file.
// lame takes its tags in the locale's code page, ffmpeg in UTF-8.
struct Made {
    const char* name;
    const char* source;  // sox's rate and channels
    const char* encoder;  // "IN" and "OUT" stand for the two files
    int kbps;
    int tolerance;  // percent
    const char* shown;  // kHz and mode
    const char* tags;
};

const Made kMade[] = {
    {"cbr192-id3v2.mp3", "-r 44100 -c 2", "lame --quiet -b 192 --ta Artist --tt Title --tl Album --add-id3v2 IN OUT",
     192, 3, "44 stereo", "Artist|Title|Album"},
    {"cbr128-stereo-48k.mp3", "-r 48000 -c 2", "lame --quiet -b 128 -m s IN OUT", 128, 3, "48 stereo", "||"},
    {"cbr64-mono-mpeg2.mp3", "-r 22050 -c 1", "lame --quiet -b 64 -m m IN OUT", 64, 3, "22 mono", "||"},
    {"cbr32-mpeg25.mp3", "-r 22050 -c 1", "lame --quiet -b 32 --resample 11.025 IN OUT", 32, 5, "11 mono", "||"},
    {"vbr-v2-joint-id3v2.mp3", "-r 44100 -c 2", "lame --quiet -V2 --tt \"Only A Title\" --add-id3v2 IN OUT", 0, 3,
     "44 stereo", "|Only A Title|"},
    {"vbr-v5-mono-48k.mp3", "-r 48000 -c 1", "lame --quiet -V5 -m m IN OUT", 0, 3, "48 mono", "||"},
    {"layer2.mp3", "-r 48000 -c 2", "ffmpeg -v error -i IN -c:a mp2 -b:a 256k -f mp2 OUT", 256, 3, "48 stereo", "||"},
    {"pcm.wav", "-r 44100 -c 2", "sox IN OUT", 1411, 1, "44 stereo", "||"},
    {"lossless.flac", "-r 48000 -c 2", "sox IN OUT", 0, 3, "48 stereo", "||"},
    // A short Ogg file is much header, which ffprobe counts and TagLib not.
    {"tagged.ogg", "-r 44100 -c 2",
     "ffmpeg -v error -i IN -c:a libvorbis -metadata artist=Artist -metadata \"title=Caf\u00e9 Title\" -metadata "
     "album=Album OUT",
     0, 25, "44 stereo", "Artist|Caf\u00e9 Title|Album"},
    {"speech.opus", "-r 48000 -c 2", "ffmpeg -v error -i IN -c:a libopus -b:a 96k OUT", 0, 25, "48 stereo", "||"},
    {"aac.m4a", "-r 44100 -c 2", "ffmpeg -v error -i IN -c:a aac -b:a 128k OUT", 0, 5, "44 stereo", "||"},
    {"wmav2.wma", "-r 44100 -c 2",
     "ffmpeg -v error -i IN -c:a wmav2 -b:a 128k -metadata artist=Artist -metadata \"title=Caf\u00e9 Title\" "
     "-metadata album=Album OUT",
     128, 3, "44 stereo", "Artist|Caf\u00e9 Title|Album"},
};

// The files, made once for the whole run; empty where a tool is missing.
QString made(const Made& file)
{
    static QTemporaryDir dir;
    const QString out = dir.filePath(QLatin1String(file.name));
    const QString in = dir.filePath(QString::fromLatin1(file.source).replace(u' ', u'_') + QStringLiteral(".wav"));
    if (!QFile::exists(in)
        && !run(QStringLiteral("sox -R -n %1 -b 16 %2 synth 2 pinknoise vol 0.5").arg(file.source, in)))
        return {};
    QString encoder = QString::fromUtf8(file.encoder);
    encoder.replace(QRegularExpression(QStringLiteral("\\bIN\\b")), in)
        .replace(QRegularExpression(QStringLiteral("\\bOUT$")), out);
    return QFile::exists(out) || run(encoder) ? out : QString();
}

TEST(ReadMp3Header, ShowsTheFactsAndTagsOfRealFilesOfEveryKind)
{
    QStringList missing;
    for (const Made& file : kMade) {
        SCOPED_TRACE(file.name);
        const QString path = made(file);
        QByteArray probed = QByteArray::number(file.kbps * 1000);
        if (file.kbps == 0 && !path.isEmpty())
            run(QStringLiteral("ffprobe -v error -show_entries format=bit_rate -of default=nw=1:nk=1 ") + path,
                &probed);
        const int kbps = int(std::lround(probed.trimmed().toDouble() / 1000));
        if (path.isEmpty() || kbps == 0) {
            missing << QLatin1String(file.name);
            continue;
        }
        QString tags;
        const QStringList shown = read(path, &tags);
        EXPECT_EQ(shown.mid(1).join(u' '), file.shown);
        // The average of a short file carries its headers: a few kbit/s.
        EXPECT_NEAR(shown.at(0).toInt(), kbps, std::max(2.0, kbps * file.tolerance / 100.0))
            << shown.at(0).toStdString();
        EXPECT_EQ(tags, QString::fromUtf8(file.tags));
    }
    if (missing.size() == qsizetype(std::size(kMade)))
        GTEST_SKIP() << "no encoder could make the files (lame, sox, ffmpeg)";
    if (!missing.isEmpty())
        std::printf("[  SKIPPED ] not made or not measured, a tool is missing: %s\n", qPrintable(missing.join(u' ')));
}

// What cannot be read leaves the labels and has no tags. A file named .mp3
// that holds no frame, or whose tag claims to be all of it, is not read to
// its end either (how much the process read, the kernel counts).
TEST(ReadMp3Header, FilesItCannotReadLeaveTheLabelsAndAreNotReadToTheirEnd)
{
    const auto bytesRead = [] {
        QFile io(QStringLiteral("/proc/self/io"));
        static const QRegularExpression rchar(QStringLiteral("rchar: (\\d+)"));
        return io.open(QIODevice::ReadOnly) ? rchar.match(QString::fromLatin1(io.readAll())).captured(1).toLongLong()
                                            : -1;
    };
    QTemporaryDir dir;
    const std::pair<const char*, QByteArray> files[] = {
        {"empty.mp3", {}},
        {"only-a-frame-header.mp3", QByteArray("\xFF\xFB\x90\x64", 4)},
        {"id3v2-and-nothing.mp3", QByteArray("ID3\x03\x00\x00\x00\x00\x00\x10", 10) + QByteArray(16, 'x')},
        {"list.asx", "<asx version=\"3.0\"><entry><ref href=\"a.mp3\"/></entry></asx>"},
        {"track01.cda",
         QByteArray("RIFF\x24\x00\x00\x00"
                    "CDDAfmt ",
                    16)},
        {"riff-cut-short.wav", QByteArray("RIFF\x24\x00\x00\x00WAVE", 12)},
        {"zeros.mp3", {}},
        {"tag-of-256-MiB.mp3", QByteArray("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10)},
    };
    QStringList paths = {dir.filePath(QStringLiteral("missing.mp3")), dir.path(), QString()};
    for (const auto& [name, bytes] : files) {
        paths << dir.filePath(QLatin1String(name));
        ASSERT_TRUE(writeFile(paths.last(), bytes));
    }
    // Sparse: no disk is used.
    for (const QString& big : paths.mid(paths.size() - 2))
        ASSERT_TRUE(QFile(big).resize(300 << 20));
    for (const QString& path : paths) {
        const qint64 before = bytesRead();
        QString tags;
        EXPECT_EQ(read(path, &tags), kKept) << path.toStdString();
        EXPECT_EQ(tags, "||") << path.toStdString();
        EXPECT_LT(bytesRead() - before, path.contains(QStringLiteral("256-MiB")) ? 40 << 20 : 4 << 20)
            << path.toStdString();
    }
}

// Truncated and corrupted copies of the real files, mostly in the headers
// and tags at either end, where the reader looks: whatever is read, it is
// nothing or facts in the labels' forms, and never a crash.
TEST(ReadMp3Header, DamagedFilesNeverCrashAndGiveNothingOrFactsInTheLabelsForms)
{
    QTemporaryDir dir;
    QRandomGenerator random(13);
    static const QRegularExpression facts(QStringLiteral("^\\d+ \\d+ (stereo|mono)$"));
    int damaged = 0;
    for (const Made& file : kMade) {
        QFile real(made(file));
        if (!real.open(QIODevice::ReadOnly))
            continue;
        const QByteArray whole = real.readAll();
        ++damaged;
        QList<QByteArray> copies;
        for (const qsizetype size : {qsizetype(1), qsizetype(10), qsizetype(1000), whole.size() / 2, whole.size() - 1})
            copies << whole.left(size);
        for (int i = 0; i < 24; ++i) {
            QByteArray copy = whole;
            for (int n = 0; n < 8; ++n) {
                const qsizetype at = random.bounded(2)
                    ? random.bounded(std::min<qsizetype>(copy.size(), 4096))
                    : copy.size() - 1 - random.bounded(std::min<qsizetype>(copy.size(), 512));
                copy[at] = char(random.bounded(256));
            }
            copies << copy;
        }
        const QString path = dir.filePath(QStringLiteral("damaged-") + QLatin1String(file.name));
        for (const QByteArray& copy : copies) {
            ASSERT_TRUE(writeFile(path, copy));
            const QStringList shown = read(path);
            EXPECT_TRUE(shown == kKept || facts.match(shown.join(u' ')).hasMatch())
                << file.name << ": " << shown.join(u' ').toStdString();
        }
    }
    if (damaged == 0)
        GTEST_SKIP() << "no encoder could make the files to damage (lame, sox, ffmpeg)";
}

}  // namespace
