#pragma once

#include <QDataStream>
#include <QFile>

#include <utility>

// Small audio files made on the spot.
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

}  // namespace audiofiles
