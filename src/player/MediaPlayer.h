// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <optional>

// The media player the main form drives: the few operations of a Windows
// Media Player control that the program uses, with its published state
// codes. One implementation per playback engine, and a double for tests.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    enum PlayState {
        Undefined = 0,
        Stopped = 1,
        Paused = 2,
        Playing = 3,
        MediaEnded = 8,
        // Between setting a URL and the media being open: busy, not idle.
        Transitioning = 9,
        Ready = 10,
    };
    Q_ENUM(PlayState)
    // How long a media plays; unknown (nullopt) until it has opened, and for
    // a live stream.
    using Duration = std::optional<std::chrono::milliseconds>;

    using QObject::QObject;
    ~MediaPlayer() override = default;

    // Opens the file or stream and starts it at once; returns at once.
    virtual void setUrl(const QString& url) = 0;
    virtual QString url() const = 0;
    virtual PlayState playState() const = 0;
    // The current media's length; kept after it ended, until another is set.
    virtual Duration duration() const = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    // Where the current media is, in milliseconds; 0 when none is open.
    virtual qint64 position() const = 0;
    // Moves the current media to a place, in milliseconds; nothing where
    // none is open.
    virtual void setPosition(qint64 milliseconds) { Q_UNUSED(milliseconds) }
    // What a stream says it plays now (a radio station's title), as plain
    // text; empty for files, and for a stream until it first says.
    virtual QString streamTitle() const { return {}; }
    // The loudness, 0 (silent) to 100 (as recorded); 50 at start.
    virtual int volume() const = 0;
    virtual void setVolume(int volume) = 0;

Q_SIGNALS:
    void playStateChanged(MediaPlayer::PlayState state);
    // The media last set could not be opened or played (missing, empty,
    // damaged); the player is stopped.
    void mediaError(const QString& url);
    // Songs play, but nothing can be heard: there is no sound output, or
    // it could not be opened. Said once, when the first song starts.
    void noSoundOutput(const QString& why);
    void streamTitleChanged(const QString& title);
};
