// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fuzz.h"

#include "player/Mp3Header.h"

#include <QRegularExpression>

// The first byte picks the file's kind, the rest is the file. Whatever it
// holds, the labels get numbers and a channel mode, or stay as they were.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const char* const kinds[] = {"mp3", "wav", "wma", "flac", "ogg", "m4a", "asf", "txt"};
    static QTemporaryDir dir;
    FuzzInput input(data, size);
    const QString path = dir.filePath(QStringLiteral("song.") + QLatin1String(kinds[input.byte() % std::size(kinds)]));
    fuzzCheck(writeFile(path, input.rest()), "the file is written whole");
    const QString before = QStringLiteral("before");
    TextValue bitrate, khz, mode;
    for (TextValue* label : {&bitrate, &khz, &mode})
        label->setText(before);

    const SongTags tags = readMp3Header(path, bitrate, khz, mode);

    static const QRegularExpression numberOrBefore(QStringLiteral("^(-?\\d+|before)$"));
    fuzzCheck(bitrate.text().contains(numberOrBefore) && khz.text().contains(numberOrBefore),
              "a bit rate and a frequency are numbers");
    fuzzCheck(QStringList({before, "mono", "stereo"}).contains(mode.text()), "a channel mode is named");
    if (bitrate.text() == before)
        fuzzCheck(tags.artist.isEmpty() && tags.title.isEmpty() && tags.album.isEmpty(),
                  "a file that cannot be read has no tags");
    return 0;
}
