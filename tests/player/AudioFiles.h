// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/TestFiles.h"

#include <utility>

// Small audio files made on the spot.
namespace audiofiles {

inline QByteArray littleEndian(quint32 value, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out += char(value >> 8 * i);
    return out;
}

// A RIFF chunk, padded to an even size.
inline QByteArray chunk(const QByteArray& id, const QByteArray& body)
{
    return id + littleEndian(quint32(body.size()), 4) + body + QByteArray(body.size() % 2, '\0');
}

// A 16-bit PCM WAV file of silence, with an INFO list holding `tags`
// (four-letter keys such as IART, INAM, IPRD) when any are given.
inline bool writeSilentWav(const QString& path, double seconds, quint32 rate = 8000, quint16 channels = 1,
                           const QList<std::pair<QByteArray, QByteArray>>& tags = {})
{
    const quint16 frame = 2 * channels;
    const QByteArray format = littleEndian(1, 2) + littleEndian(channels, 2) + littleEndian(rate, 4)
        + littleEndian(rate * frame, 4) + littleEndian(frame, 2) + littleEndian(16, 2);
    QByteArray info = "INFO";
    for (const auto& [key, text] : tags)
        info += chunk(key, text + '\0');
    const QByteArray data(qsizetype(seconds * rate) * frame, '\0');
    return writeFile(
        path,
        chunk("RIFF",
              "WAVE" + chunk("fmt ", format) + (tags.isEmpty() ? "" : chunk("LIST", info)) + chunk("data", data)));
}

}  // namespace audiofiles
