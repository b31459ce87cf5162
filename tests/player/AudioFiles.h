#pragma once

#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <functional>
#include <utility>

// Small audio files made on the spot, and a wait on the event loop.
namespace audiofiles {

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A 16-bit PCM WAV file of silence, with an INFO list holding `tags`
// (four-letter keys such as IART, INAM, IPRD) when any are given.
inline bool writeSilentWav(const QString& path, double seconds, quint32 rate = 8000, quint16 channels = 1,
                           const QList<std::pair<QByteArray, QByteArray>>& tags = {})
{
    QByteArray info;
    for (const auto& [key, text] : tags) {
        const QByteArray value = text + '\0' + QByteArray(text.size() % 2 ? 0 : 1, '\0');
        QDataStream entry(&info, QIODevice::Append);
        entry.setByteOrder(QDataStream::LittleEndian);
        entry.writeRawData(key.constData(), 4);
        entry << quint32(text.size() + 1);
        entry.writeRawData(value.constData(), int(value.size()));
    }
    const quint16 frameBytes = 2 * channels;
    const quint32 dataSize = quint32(seconds * rate) * frameBytes;
    QByteArray wav;
    QDataStream out(&wav, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataSize + (info.isEmpty() ? 0 : 12 + info.size()));
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << channels << rate << rate * frameBytes << frameBytes << quint16(16);
    if (!info.isEmpty()) {
        out.writeRawData("LIST", 4);
        out << quint32(4 + info.size());
        out.writeRawData("INFO", 4);
        out.writeRawData(info.constData(), int(info.size()));
    }
    out.writeRawData("data", 4);
    out << dataSize;
    return writeBytes(path, wav + QByteArray(qsizetype(dataSize), '\0'));
}

// Runs a tool to its end; false when it is missing or fails. Its standard
// output goes to `output` when one is given.
inline bool runTool(const QString& program, const QStringList& arguments, QByteArray* output = nullptr)
{
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

// One figure ffprobe tells about a file's first audio stream or its whole,
// such as "stream=sample_rate" or "format=bit_rate"; empty when it cannot.
inline QString probe(const QString& path, const QString& entry)
{
    QByteArray output;
    const QStringList arguments
        = {"-v", "error", "-select_streams", "a:0", "-show_entries", entry, "-of", "default=nw=1:nk=1", path};
    return runTool(QStringLiteral("ffprobe"), arguments, &output) ? QString::fromUtf8(output).trimmed() : QString();
}

// Serves events until the condition holds or the time is up.
inline bool waitUntil(const std::function<bool()>& done, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    QTimer poll;  // bounds each wait for events
    poll.start(20);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

}  // namespace audiofiles
