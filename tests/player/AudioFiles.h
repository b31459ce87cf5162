// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/TestFiles.h"

#include <QProcess>

// A 16-bit PCM WAV file of silence at 8000 Hz, made by ffmpeg, with an INFO
// list holding `tags` ("artist=...", "title=...", "album=...") when any are
// given; bit-exact output leaves out the encoder's own tag.
inline bool writeSilentWav(const QString& path, double seconds, int channels = 1, const QStringList& tags = {})
{
    QStringList arguments
        = QStringLiteral("-v error -y -f lavfi -i anullsrc=r=8000:cl=%1 -t %2 -c:a pcm_s16le -bitexact")
              .arg(channels == 1 ? "mono" : "stereo")
              .arg(seconds)
              .split(u' ');
    for (const QString& tag : tags)
        arguments << "-metadata" << tag;
    return QProcess::execute(QStringLiteral("ffmpeg"), arguments << path) == 0;
}
