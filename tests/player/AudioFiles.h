#pragma once

#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QFile>
#include <QTimer>

#include <functional>

// Small audio files made on the spot, and a wait on the event loop.
namespace audiofiles {

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A mono 16-bit PCM WAV file of silence.
inline bool writeSilentWav(const QString& path, double seconds, quint32 rate = 8000)
{
    const quint32 dataSize = quint32(seconds * rate) * 2;
    QByteArray wav;
    QDataStream out(&wav, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataSize);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << rate * 2 << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << dataSize;
    return writeBytes(path, wav + QByteArray(qsizetype(dataSize), '\0'));
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

} // namespace audiofiles
