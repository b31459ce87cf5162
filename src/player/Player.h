// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFuture>
#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

#include "controls/NowPlaying.h"
#include "controls/TextList.h"
#include "player/MediaPlayer.h"
#include "player/Mp3Header.h"
#include "player/SongFile.h"

#include <chrono>

#include <functional>
#include <optional>

class ChatExit;
class BoolValue;
struct ChatTemplates;
class Playlist;

// Starts songs by name and announces them; the search-result, clock and
// auto random timers.
//
// A song is started in steps that wait for no one: its file is looked at on
// a thread of its own, then the player is given a moment to open it before
// the now-playing line goes out. Starts asked for meanwhile wait their turn,
// so songs are always announced in the order they were asked for.
class Player : public QObject {
    Q_OBJECT
public:
    Player(Playlist& playlist, const ChatTemplates& templates, BoolValue& autoRandom, MediaPlayer& mediaPlayer,
           ChatExit& chat);
    ~Player() override;

    // What the main window shows of the song that plays.
    NowPlaying& nowPlaying() { return m_nowPlaying; }
    // Search results (playlist rows) waiting for the next turn of the event
    // loop: one is played, several are offered.
    TextList& searchResults() { return m_searchResults; }
    // The number a search result's now-playing line shows: the last hit's.
    const QString& hitNumber() const { return m_hitNumber; }
    void setHitNumber(const QString& number) { m_hitNumber = number; }
    // While the song picker is open, several results are not offered again.
    void setPickerOpen(bool open);
    bool isPickerOpen() const { return m_pickerOpen; }

    // Told, once every line of the name has been tried, whether a song started.
    using Started = std::function<void(bool started)>;
    // Starts every playlist line of the name, in order. A song whose file
    // cannot be played is not started: the room is told why, and the clock,
    // the file label and the playlist cursor stay as they were.
    void playSong(const QString& song, Started done = {});
    // Whether a song is being looked at or opened, or waits its turn.
    bool isStarting() const { return !m_starts.isEmpty(); }
    // Runs `then` once no song is being started (at once when none is), so
    // that what follows a start in one command comes after its line. Dropped
    // with `context`, and at the shut-down.
    void afterStarts(const QObject* context, std::function<void()> then);
    // The whole part of a * r + b for a random r in [0, 1).
    int randomInt(const QString& a, const QString& b);
    void playRandomMatch(const QString& part);
    void setAutoRandom(bool on);
    // Stops the timers and drops the songs still to start: after the
    // closing line nothing more is said.
    void shutdown();
    // Whether any of the timers runs; none does while nothing plays.
    bool hasRunningTimers() const;
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
    // The player has had its moment to open the song being started: it is
    // announced now.
    void announceOpened();
    // The look at a song's file has not answered in time: the file counts
    // as not answering.
    void giveUpFileCheck();

    // Where Random's r comes from: a number in [0, 1). By default Qt's
    // system-seeded generator.
    using RandomSource = std::function<double()>;
    void setRandomSource(RandomSource source);
    // How long the player is given to open a song before it is announced;
    // zero announces it at once (a player that opens nothing, in tests).
    void setOpeningTime(std::chrono::milliseconds time);
    static constexpr std::chrono::milliseconds kOpeningTime {100};
    // How a song's file is looked at before it starts: a future, because a
    // file system may not answer; lookAtSongFile unless replaced. A look
    // that takes longer than kFileCheckLimit counts as not answering.
    using FileCheck = std::function<QFuture<SongFile>(const QString& path)>;
    void setFileCheck(FileCheck check);
    static constexpr std::chrono::milliseconds kFileCheckLimit {2000};

Q_SIGNALS:
    // Several search results wait and no picker is open: the names to offer.
    void songsOffered(const QStringList& names);
    void volumeChanged(int percent);

private:
    friend class PlayerTimersProbe;

    // A playlist line to start, with the number its line shows.
    struct Line {
        QString name, path, n;
    };
    // One request: its lines are tried in turn, then `finished` is told.
    struct Start {
        QList<Line> lines;
        // After each line that started, before the next is tried.
        std::function<void(const Line& line)> lineStarted;
        Started finished;
        bool started = false;
    };
    enum class Step { Idle, Looking, Opening };

    void begin(Start start);
    void advance();
    void lookAt(const Line& line);
    void looked(const SongFile& song);
    void lineDone(bool started);
    void runAfterStarts();
    void playQueued(Started done);
    void autoPickFrom(int idleIndex);
    void autoPickFailed();
    void scheduleSearchResults();
    void updateClocks();
    void resetClock();
    void mediaError(const QString& url);
    void stateChanged(MediaPlayer::PlayState state);
    // After a song ended by itself: the queue's first song still in the
    // playlist, and `done` told whether one started; false, and nothing
    // told, when no song had ended.
    bool followWithQueued(Started done);
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
    std::chrono::milliseconds m_openingTime = kOpeningTime;
    FileCheck m_fileCheck;

    // Due on the next turn of the event loop whenever something the search
    // results tick looks at has changed, rather than every millisecond.
    QTimer m_searchResultsTimer;
    QTimer m_clockTimer;
    QTimer m_autoRandomTimer;
    QTimer m_titleTimer;
    QTimer m_openingTimer;
    QTimer m_fileCheckTimer;

    // The requests in order; the first one's first line is the one at work.
    QList<Start> m_starts;
    Step m_step = Step::Idle;
    // The look at the file under way; its answer is taken only from it.
    QFutureWatcher<SongFile>* m_look = nullptr;
    // The song being opened: what its file told, the template as it was
    // when the song was set, and whether the player refused it meanwhile.
    SongFile m_song;
    QString m_model;
    bool m_refused = false;
    QList<std::pair<QPointer<const QObject>, std::function<void()>>> m_afterStarts;
    bool m_shutDown = false;
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
// A media's length as the now-playing line shows it: "MM:SS", "H:MM:SS"
// from an hour, to the nearest second; empty while it is unknown.
QString durationText(MediaPlayer::Duration duration);
