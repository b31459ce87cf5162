// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "player/MediaPlayer.h"

#include <atomic>
#include <cstdint>

struct MpvLibrary;
struct mpv_handle;
struct mpv_event;

// The media player on libmpv: audio only, to the machine's sound output or,
// where there is none, to a silent output that keeps real time. libmpv runs
// its own threads; its events are taken on this object's thread, woken by
// libmpv's callback, so an idle player costs nothing.
class MpvPlayer : public MediaPlayer {
    Q_OBJECT
public:
    explicit MpvPlayer(QObject* parent = nullptr);
    ~MpvPlayer() override;

    void setUrl(const QString& url) override;
    QString url() const override { return m_url; }
    PlayState playState() const override { return m_state; }
    Duration duration() const override { return m_duration; }
    void play() override;
    void pause() override;
    void stop() override;
    qint64 position() const override;
    void setPosition(qint64 milliseconds) override;
    QString streamTitle() const override { return m_streamTitle; }
    int volume() const override { return m_volume; }
    void setVolume(int volume) override;

    // Sets libmpv up on first use; false when it cannot be, and the player
    // then stays Undefined.
    bool isAvailable();

    // libmpv's length in seconds, in milliseconds, always within the
    // nearest whole second: what the room is shown of it.
    static std::chrono::milliseconds durationOf(double seconds);
    // A station's title as it may be shown: one line of at most
    // kStreamTitleLength characters, without control characters.
    static QString streamTitleText(const QString& sent);
    static constexpr int kStreamTitleLength = 200;

private:
    static void wakeUp(void* self);
    void takeEvents();
    void handle(const mpv_event& event);
    void setState(PlayState state);
    void endOfMedia();
    void failed();
    void command(std::initializer_list<const char*> args, std::uint64_t reply = 0);
    void setDuration(double seconds);
    void audioOutputOpened(const QString& name);
    void setStreamTitle(const QString& title);

    const MpvLibrary* m_api = nullptr;
    mpv_handle* m_mpv = nullptr;
    bool m_startFailed = false;
    // The silent output was chosen because the machine has no other.
    bool m_soundMissing = false;
    bool m_silenceTold = false;
    std::atomic_bool m_wakePending {false};
    QString m_url;
    Duration m_duration;
    QString m_streamTitle;
    PlayState m_state = Undefined;
    int m_volume = 50;
    // The playlist entry of the last URL set. Events about earlier entries
    // arrive late and are ignored; until libmpv has named the entry, every
    // end event belongs to an earlier one.
    std::uint64_t m_loadSerial = 0;
    std::int64_t m_entry = -1;
    bool m_entryKnown = false;
    bool m_entryStarted = false;
    bool m_live = false;
};
