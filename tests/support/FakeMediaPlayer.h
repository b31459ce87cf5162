#pragma once

#include "player/MediaPlayer.h"

#include <QStringList>

// A player whose state the test sets; it records what it was told.
class FakeMediaPlayer : public MediaPlayer {
    Q_OBJECT
public:
    using MediaPlayer::MediaPlayer;

    void setURL(const QString& url) override
    {
        m_url = url;
        urls.append(url);
        setState(Playing);
    }
    QString URL() const override { return m_url; }
    int playState() const override { return state; }
    QString durationString() const override { return duration; }
    void play() override { calls.append(QStringLiteral("play")); }
    void pause() override { calls.append(QStringLiteral("pause")); }
    void stop() override { calls.append(QStringLiteral("stop")); }
    qint64 position() const override { return positionMs; }
    int volume() const override { return loudness; }
    void setVolume(int volume) override { loudness = volume; }

    void setState(int s)
    {
        state = s;
        Q_EMIT playStateChanged(s);
    }

    int state = Undefined;
    QString duration = QStringLiteral("03:25");
    qint64 positionMs = 0;
    int loudness = 50;
    QStringList urls;
    QStringList calls;

private:
    QString m_url;
};
