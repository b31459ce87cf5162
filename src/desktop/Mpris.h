// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariantMap>

#include "player/Mp3Header.h"

#include <functional>
#include <memory>

class BoolValue;
class Playlist;
class MediaPlayer;

// What the desktop's media controls reach of the program.
struct MprisLinks {
    MediaPlayer& mediaPlayer;
    // The playlist, whose cursor next and prev move, and whose rows name
    // the song playing.
    const Playlist& playlist;
    // Auto random, which is the desktop's shuffle.
    const BoolValue& autoRandom;
    // Runs an owner's command as if typed in the room, reply included.
    std::function<void(const QString& command)> command;
    // Plays the selected playlist entry, as the playlist menu's Play does.
    std::function<void()> playSelected;
    // Brings the main window to the front; empty where there is none.
    std::function<void()> raise;
    // The normal shut-down.
    std::function<void()> quit;
    // Adds a file or an http(s) stream to the playlist, unless it is there
    // already, and plays it; false when it is neither.
    std::function<bool(const QString& location)> open;
    // Sets the one volume the room's "vol" sets too (kept across runs);
    // empty: the player's own.
    std::function<void(int percent)> setVolume;
};

// The player on the session bus as org.mpris.MediaPlayer2.quillon, so the
// desktop's media keys, sound menu and player widgets drive it. Its buttons
// are the owner's room commands, so the room hears of every one of them.
class Mpris : public QObject {
    Q_OBJECT
public:
    static const QString kObjectPath;

    // Registers on the session bus; null where there is none or the bus
    // refuses, which only a debug line records.
    static std::unique_ptr<Mpris> publish(MprisLinks links);
    ~Mpris() override;

    // org.mpris.MediaPlayer2
    bool canRaise() const { return bool(m_links.raise); }
    void raise();
    void quit();

    // org.mpris.MediaPlayer2.Player
    QString playbackStatus() const;
    QVariantMap metadata() const;
    double volume() const;
    void setVolume(double volume);
    // The volume was set elsewhere (the room's "vol"): the desktop is told.
    void volumeChanged();
    qint64 position() const;
    bool canGoNext() const;
    bool canGoPrevious() const;
    bool canPlay() const;
    bool canPause() const;
    bool canSeek() const;
    bool shuffle() const;
    void setShuffle(bool on);
    // Where the media went, in microseconds; -1 when it did not move.
    qint64 seek(qint64 offset);
    qint64 setPosition(const QString& trackId, qint64 position);
    // False when the address is neither a file nor an http(s) stream.
    bool openUri(const QString& uri);
    void play();
    void pause();
    void playPause();
    void stop();
    void next();
    void previous();

private:
    explicit Mpris(MprisLinks links);
    bool registerOn(const QString& serviceName);
    // The properties that announce their changes, as the bus carries them.
    QVariantMap announced() const;
    // Sends PropertiesChanged for what differs from the last sending.
    void announceChanges();
    // Notes a new media set: a new track id, and its tags and cover.
    void followTrack();
    QString title() const;
    QString trackId() const;
    // In microseconds; -1 while it is unknown.
    qint64 length() const;
    // The file:// address of the song's cover art, saved once in the cache
    // folder under a name made of its bytes; empty for a song without one.
    static QString coverArtUrl(const QString& path);

    MprisLinks m_links;
    QString m_serviceName;
    QTimer m_announce;
    QVariantMap m_announced;
    // A new number for every media set, so clients see a new track even
    // when the same song comes again.
    QString m_trackUrl;
    quint64 m_track = 0;
    SongTags m_tags;
    QString m_artUrl;
};
