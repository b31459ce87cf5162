#pragma once

#include <QString>

class Label;

// The tags of a song file; each empty where the file has none.
struct SongTags {
    QString artist;
    QString title;
    QString album;
};

// Shows the bit rate (the average, for a VBR file), sampling frequency and
// channel mode of an audio file of any kind the tag library reads, and
// returns the file's tags. A file it cannot read (unknown kind, damaged,
// empty, missing) leaves the labels as they were and has no tags.
SongTags ReadMp3Header(const QString& path, Label& lblbitrate, Label& lblKhz, Label& lblmode);

// The tags alone, for a view of the song that has no use for its facts.
SongTags ReadSongTags(const QString& path);
