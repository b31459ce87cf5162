#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QString>
#include <QTimer>
#include <QtEndian>

#include <functional>

// Small audio files made on the spot, and a wait on the event loop.
namespace audiofiles {

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A mono 16-bit PCM WAV file of silence.
inline bool writeSilentWav(const QString& path, double seconds, int rate = 8000)
{
    const quint32 frames = quint32(seconds * rate);
    const quint32 dataSize = frames * 2;
    QByteArray wav;
    const auto u32 = [&wav](quint32 v) {
        const quint32 le = qToLittleEndian(v);
        wav.append(reinterpret_cast<const char*>(&le), 4);
    };
    const auto u16 = [&wav](quint16 v) {
        const quint16 le = qToLittleEndian(v);
        wav.append(reinterpret_cast<const char*>(&le), 2);
    };
    wav.append("RIFF");
    u32(36 + dataSize);
    wav.append("WAVEfmt ");
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(quint32(rate));
    u32(quint32(rate) * 2);
    u16(2);
    u16(16);
    wav.append("data");
    u32(dataSize);
    wav.append(QByteArray(int(dataSize), '\0'));
    return writeBytes(path, wav);
}

// Serves events until the condition holds or the time is up.
inline bool waitUntil(const std::function<bool()>& done, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    QTimer poll;  // bounds each wait for events
    poll.start(20);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

} // namespace audiofiles
