// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

#include "controls/NowPlaying.h"
#include "controls/TextList.h"
#include "player/Mp3Header.h"
#include <chrono>

#include <functional>
#include <optional>

class ChatExit;
class BoolValue;
struct ChatTemplates;
class Playlist;
class MediaPlayer;
struct SongFile;

// Starts songs by name and announces them; the search-result, clock and
// auto random timers.
class Player : public QObject {
    Q_OBJECT
public:
    Player(Playlist& playlist, const ChatTemplates& templates, BoolValue& autoRandom, MediaPlayer& mediaPlayer,
           ChatExit& chat);

    // What the main window shows of the song that plays.
    NowPlaying& nowPlaying() { return m_nowPlaying; }
    // Search results (playlist rows) waiting for searchResultsTimer: one is played,
    // several are offered.
    TextList& searchResults() { return m_searchResults; }
    // The number a search result's now-playing line shows: the last hit's.
    const QString& hitNumber() const { return m_hitNumber; }
    void setHitNumber(const QString& number) { m_hitNumber = number; }
    // While the song picker is open, several results are not offered again.
    void setPickerOpen(bool open);
    bool isPickerOpen() const { return m_pickerOpen; }

    // True when a song started. A song whose file cannot be played is not
    // started: the room is told why, and the clock, the file label and the
    // playlist cursor stay as they were.
    bool playSong(const QString& song);
    // Waits so many seconds while serving events.
    void waitServingEvents(double seconds);
    // The whole part of a * r + b for a random r in [0, 1).
    int randomInt(const QString& a, const QString& b);
    void playRandomMatch(const QString& part);
    void setAutoRandom(bool on);
    void stopTimers();
    // Whether a song is being started, or search results wait to be
    // started or offered.
    bool isBusy() const;

    // The loudness, 0 to 100: kept in the per-user store and applied to the
    // media player; 50 until set.
    int volume() const { return m_volume; }
    // Clamped to 0..100, stored and applied.
    void setVolume(int percent);
    static const QString kVolumeGroup;  // "player"
    static const QString kVolumeKey;  // "volume"
    static constexpr int kDefaultVolume = 50;

    // The play-next queue holds song names. When a song ends by
    // itself or is skipped, the queue's first song still in the playlist
    // plays, before auto random would pick one.
    static constexpr int kQueueSize = 100;
    TextList& queue() { return m_queue; }
    // Plays the first queued song still in the playlist, dropping the ones
    // before it that are not; false when none was left.
    bool playQueued();
    // Ends the current song: the queue's first plays, or the player stops.
    void skip();
    // Whether a playlist line has this name, as Play matches names.
    bool hasSong(const QString& name) const;

    // The timers' work, one tick each.
    // Takes over the search results: one is played, several are offered.
    void takeSearchResults();
    // The play clock.
    void tickClock();
    // Auto random: a random song whenever the player is idle, never one
    // that failed to open in this run; three failures in a row turn it off.
    void tickAutoRandom();
    static constexpr int kAutoRandomFailures = 3;
    // A station's title held back because the last one was posted less
    // than a minute ago: posted now, if the station still plays.
    void postHeldTitle();

    // Where Random's r comes from: a number in [0, 1). By default a
    // generator reseeded from the clock on every draw.
    using RandomSource = std::function<double()>;
    void setRandomSource(RandomSource source);
    // The wait that gives the player time to open a song before it is
    // announced; waitServingEvents unless replaced.
    using Wait = std::function<void(double seconds)>;
    void setOpeningWait(Wait wait);
    // How a song's file is looked at before it starts (on a thread of its
    // own), and how long that may take before the file counts as not
    // answering; examineSongFile and two seconds unless replaced.
    using FileCheck = std::function<SongFile(const QString& path)>;
    void setFileCheck(FileCheck check, std::chrono::milliseconds limit);
    static constexpr std::chrono::milliseconds kFileCheckLimit {2000};

    // searchResultsTimer is due on the next turn of the event loop whenever something
    // it looks at has changed, rather than every millisecond.
    QTimer searchResultsTimer;
    QTimer clockTimer;
    QTimer autoRandomTimer;
    QTimer titleTimer;

Q_SIGNALS:
    // Several search results wait and no picker is open: the names to offer.
    void songsOffered(const QStringList& names);
    void volumeChanged(int percent);

private:
    std::optional<SongFile> admit(const QString& name, const QString& path);
    bool startLine(const QString& name, const QString& path, const QString& n, const SongFile& song);
    std::optional<SongFile> examine(const QString& path);
    void autoPickFailed();
    void scheduleSearchResults();
    void updateClocks();
    void resetClock();
    void mediaError(const QString& url);
    void stateChanged(int state);
    // After a song ended by itself: the queue's first song, if any.
    bool followWithQueued();
    QString nowPlayingLine(QString line, const QString& n, const QString& name, qint64 size,
                           const SongTags& tags) const;
    void streamTitleChanged(const QString& title);
    void postStreamTitle();

    Playlist& m_playlist;
    const ChatTemplates& m_templates;
    BoolValue& m_autoRandom;
    MediaPlayer& m_mediaPlayer;
    ChatExit& m_chat;
    RandomSource m_random;
    Wait m_openingWait;
    FileCheck m_fileCheck;
    std::chrono::milliseconds m_fileCheckLimit = kFileCheckLimit;
    bool m_inAutoPick = false;
    int m_looking = 0;
    // The songs waiting for their announcement while the player opens
    // them, and whether it refused them meanwhile.
    struct Opening {
        QString path;
        bool refused = false;
    };
    QList<Opening*> m_openings;
    bool m_takingResults = false;
    int m_starting = 0;
    bool m_resultsMissed = false;
    bool m_timersStopped = false;
    // Paths the player could not open in this run.
    QSet<QString> m_unplayable;
    // Auto random's last pick, whether it failed, and the failures in a row.
    QString m_autoPicked;
    bool m_autoPickFailed = false;
    int m_autoFailures = 0;
    int m_volume = kDefaultVolume;
    NowPlaying m_nowPlaying;
    TextList m_searchResults;
    TextList m_queue;
    QString m_hitNumber = QStringLiteral("0");
    bool m_pickerOpen = false;
    // The last song ended by itself (or would not play) and nothing has
    // started since.
    bool m_songEnded = false;
    // The stream last started by name, for the now-playing lines its own
    // titles bring; empty when the last line started was a file.
    struct Stream {
        QString path;
        QString n;
        QString title;
        bool titleDue = false;
    } m_stream;
};

// A file's size as the now-playing line shows it ("1.00 KB", "512 bytes"),
// with the locale's decimal separator.
QString fileSizeText(qint64 bytes);
