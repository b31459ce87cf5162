#pragma once

#include "player/MediaPlayer.h"

// PLACEHOLDER until the libmpv backend lands.
class MpvPlayer : public MediaPlayer {
    Q_OBJECT
public:
    explicit MpvPlayer(QObject* parent = nullptr) : MediaPlayer(parent) {}
    void setURL(const QString& url) override { m_url = url; }
    QString URL() const override { return m_url; }
    int playState() const override { return Undefined; }
    QString durationString() const override { return {}; }
    void play() override {}
    void pause() override {}
    void stop() override {}

private:
    QString m_url;
};
