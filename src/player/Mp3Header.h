// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

class TextValue;

// The tags of a song file; each empty where the file has none.
struct SongTags {
    QString artist;
    QString title;
    QString album;
};

// What the main window shows of a song: bit rate in kbit/s, sampling
// frequency in whole kHz, and whether it has one channel.
struct AudioFacts {
    int kbps = 0;
    int khz = 0;
    bool mono = false;
};

struct SongFacts {
    // Unset where the file could not be read (unknown kind, damaged, empty,
    // missing).
    std::optional<AudioFacts> audio;
    SongTags tags;
};

// The facts and tags of an audio file of any kind the tag library reads.
// The bit rate is the frame header's for a constant-rate MP3 and the
// file's average for a variable-rate one. Touches nothing but the file, so
// it may run on any thread.
SongFacts readSongFacts(const QString& path);

// Writes the facts into the three values the main window shows.
void showAudioFacts(const AudioFacts& facts, TextValue& bitRate, TextValue& frequency, TextValue& mode);

// Both of the above: a file it cannot read leaves the labels as they were
// and has no tags.
SongTags readMp3Header(const QString& path, TextValue& bitRate, TextValue& frequency, TextValue& mode);

// The tags alone, for a view of the song that has no use for its facts.
SongTags readSongTags(const QString& path);
