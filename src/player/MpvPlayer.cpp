// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/MpvPlayer.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMetaObject>

#include "player/MpvLibrary.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <utility>
#include <vector>

Q_LOGGING_CATEGORY(lcMpv, "quillon.player.mpv", QtWarningMsg)

namespace {

// Replies to the loadfile commands carry the serial of the URL they load;
// other commands want no reply.
constexpr std::uint64_t kNoReply = 0;

// Property observation ids.
constexpr std::uint64_t kDurationProperty = 1;
constexpr std::uint64_t kAudioOutputProperty = 2;
// What an Icecast or Shoutcast station says it plays now.
constexpr std::uint64_t kStreamTitleProperty = 3;

const char* const kOptions[][2] = {
    // Audio only, and nothing of mpv's own: no window, no terminal, no
    // configuration files, scripts or key bindings of the person running it.
    {"vid", "no"},
    {"vo", "null"},
    {"audio-display", "no"},
    {"terminal", "no"},
    {"config", "no"},
    {"load-scripts", "no"},
    {"ytdl", "no"},
    {"input-default-bindings", "no"},
    {"input-vo-keyboard", "no"},
    {"osc", "no"},
    // Stay alive between songs; a song plays once and the player stops.
    {"idle", "yes"},
    {"keep-open", "no"},
    {"loop-file", "no"},
    {"loop-playlist", "no"},
    // Auto start at normal speed; the volume is set apart, from setVolume.
    {"pause", "no"},
    {"speed", "1"},
    // A machine without sound still plays in real time, silently.
    {"audio-fallback-to-null", "yes"},
    // A song ends when its last sound has been heard, not when it has been
    // handed to the sound output's buffer a fraction of a second earlier.
    {"gapless-audio", "no"},
    {"audio-client-name", "quillon"},
};

// Whether the machine has anything to play sound on. Where it has none
// (a server, CI) the silent output is chosen at once, so the sound
// libraries do not fill the terminal with their failed attempts.
bool hasSoundOutput()
{
#ifdef Q_OS_WIN
    return true;
#else
    if (!QDir(QStringLiteral("/dev/snd")).entryList({QStringLiteral("pcm*")}, QDir::System).isEmpty())
        return true;
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty()
        && (QFileInfo::exists(runtime + QStringLiteral("/pulse/native"))
            || QFileInfo::exists(runtime + QStringLiteral("/pipewire-0")));
#endif
}

}  // namespace

MpvPlayer::MpvPlayer(QObject* parent) : MediaPlayer(parent)
{ }

MpvPlayer::~MpvPlayer()
{
    if (!m_mpv)
        return;
    // After this no callback runs; a wake-up already posted dies with us.
    m_api->set_wakeup_callback(m_mpv, nullptr, nullptr);
    m_api->terminate_destroy(m_mpv);
}

bool MpvPlayer::isAvailable()
{
    if (m_mpv || m_startFailed)
        return m_mpv != nullptr;
    m_startFailed = true;
    m_api = MpvLibrary::instance();
    if (!m_api)
        return false;
    // libmpv parses numbers with the C library and refuses to start under a
    // locale whose decimal separator is not a point.
    std::setlocale(LC_NUMERIC, "C");
    m_mpv = m_api->create();
    if (!m_mpv) {
        qCWarning(lcMpv) << "quillon: libmpv could not be created; nothing will play";
        return false;
    }
    for (const auto& option : kOptions) {
        if (m_api->set_option_string(m_mpv, option[0], option[1]) < 0)
            qCDebug(lcMpv) << "option not taken:" << option[0];
    }
    m_soundMissing = !hasSoundOutput();
    if (m_soundMissing)
        m_api->set_option_string(m_mpv, "ao", "null");
    m_api->set_option_string(m_mpv, "volume", QByteArray::number(m_volume).constData());
    if (m_api->initialize(m_mpv) < 0) {
        qCWarning(lcMpv) << "quillon: libmpv could not be initialised; nothing will play";
        m_api->terminate_destroy(m_mpv);
        m_mpv = nullptr;
        return false;
    }
    m_api->observe_property(m_mpv, kDurationProperty, "duration", MPV_FORMAT_DOUBLE);
    // The output in use, known once the first song has opened one.
    m_api->observe_property(m_mpv, kAudioOutputProperty, "current-ao", MPV_FORMAT_STRING);
    m_api->observe_property(m_mpv, kStreamTitleProperty, "metadata/by-key/icy-title", MPV_FORMAT_STRING);
    m_api->set_wakeup_callback(m_mpv, &MpvPlayer::wakeUp, this);
    m_startFailed = false;
    return true;
}

std::chrono::milliseconds MpvPlayer::durationOf(double seconds)
{
    // Never beyond what the count holds, however long libmpv says.
    if (!std::isfinite(seconds) || seconds <= 0)
        return std::chrono::milliseconds(0);
    seconds = std::min(seconds, 1e12);
    // Kept within the second the length is nearest to, which a product
    // rounded up at a half second could leave.
    const auto nearest = qint64(std::llround(seconds));
    const auto milliseconds
        = std::clamp(qint64(std::floor(seconds * 1000)), nearest * 1000 - 500, nearest * 1000 + 499);
    return std::chrono::milliseconds(std::max<qint64>(0, milliseconds));
}

QString MpvPlayer::streamTitleText(const QString& sent)
{
    QString text;
    // Line and paragraph separators are blanks to simplified() already.
    for (const QChar c : sent)
        text += c.category() == QChar::Other_Control ? u' ' : c;
    text = text.simplified();
    if (text.size() > kStreamTitleLength) {
        // Never half a surrogate pair.
        text.truncate(kStreamTitleLength - 1);
        if (text.back().isHighSurrogate())
            text.chop(1);
        text += u'\u2026';
    }
    return text;
}

void MpvPlayer::setUrl(const QString& url)
{
    m_url = url;
    m_duration.reset();
    setStreamTitle({});
    if (!isAvailable())
        return;
    // A new media starts playing even if the last one was paused.
    command({"set", "pause", "no"});
    m_entryKnown = false;
    m_entryStarted = false;
    m_live = false;
    const QByteArray target = url.toUtf8();
    command({"loadfile", target.constData(), "replace"}, ++m_loadSerial);
    setState(Transitioning);
}

void MpvPlayer::play()
{
    if (!isAvailable())
        return;
    switch (m_state) {
    case Paused:
        command({"set", "pause", "no"});
        setState(m_entryStarted ? Playing : Transitioning);
        break;
    case Stopped:
    case MediaEnded:
    case Ready:
        // Play after stop starts the current media again from its start.
        if (!m_url.isEmpty())
            setUrl(m_url);
        break;
    default:
        break;
    }
}

void MpvPlayer::pause()
{
    if (!isAvailable() || (m_state != Playing && m_state != Transitioning))
        return;
    command({"set", "pause", "yes"});
    setState(Paused);
}

void MpvPlayer::stop()
{
    if (!isAvailable() || m_state == Undefined || m_state == Stopped)
        return;
    command({"stop"});
    // Whatever libmpv still reports about this entry is history now.
    ++m_loadSerial;
    m_entryKnown = false;
    setState(Stopped);
}

qint64 MpvPlayer::position() const
{
    double seconds = 0;
    if (!m_mpv || !m_entryStarted || m_api->get_property(m_mpv, "time-pos", MPV_FORMAT_DOUBLE, &seconds) < 0)
        return 0;
    return std::isfinite(seconds) && seconds > 0 ? std::llround(seconds * 1000) : 0;
}

void MpvPlayer::setPosition(qint64 milliseconds)
{
    if (!m_mpv || !m_entryStarted)
        return;
    const QByteArray seconds = QByteArray::number(double(std::max<qint64>(0, milliseconds)) / 1000.0, 'f', 3);
    command({"seek", seconds.constData(), "absolute"});
}

void MpvPlayer::setVolume(int volume)
{
    m_volume = std::clamp(volume, 0, 100);
    // Kept for the first song when libmpv is not loaded yet.
    if (m_mpv)
        command({"set", "volume", QByteArray::number(m_volume).constData()});
}

void MpvPlayer::command(std::initializer_list<const char*> args, std::uint64_t reply)
{
    std::vector<const char*> argv(args);
    argv.push_back(nullptr);
    const int result = m_api->command_async(m_mpv, reply, argv.data());
    if (result < 0)
        qCDebug(lcMpv) << "command refused:" << *args.begin() << m_api->error_string(result);
}

void MpvPlayer::wakeUp(void* self)
{
    // Called on one of libmpv's threads: only hand the work over.
    auto* player = static_cast<MpvPlayer*>(self);
    if (!player->m_wakePending.exchange(true))
        QMetaObject::invokeMethod(player, &MpvPlayer::takeEvents, Qt::QueuedConnection);
}

void MpvPlayer::takeEvents()
{
    m_wakePending = false;
    // Drain everything: libmpv calls back only when the queue was empty.
    while (m_mpv) {
        const mpv_event* event = m_api->wait_event(m_mpv, 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        handle(*event);
    }
}

void MpvPlayer::handle(const mpv_event& event)
{
    switch (event.event_id) {
    case MPV_EVENT_COMMAND_REPLY: {
        if (event.reply_userdata == kNoReply || event.reply_userdata != m_loadSerial)
            break;
        const auto* reply = static_cast<const mpv_event_command*>(event.data);
        if (event.error < 0) {
            qCDebug(lcMpv) << "cannot load" << m_url << m_api->error_string(event.error);
            failed();
            break;
        }
        const mpv_node& result = reply->result;
        if (result.format == MPV_FORMAT_NODE_MAP) {
            for (int i = 0; i < result.u.list->num; ++i) {
                if (qstrcmp(result.u.list->keys[i], "playlist_entry_id") == 0
                    && result.u.list->values[i].format == MPV_FORMAT_INT64) {
                    m_entry = result.u.list->values[i].u.int64;
                    m_entryKnown = true;
                }
            }
        }
        break;
    }
    case MPV_EVENT_START_FILE: {
        const auto* start = static_cast<const mpv_event_start_file*>(event.data);
        if (m_entryKnown && start->playlist_entry_id == m_entry)
            m_entryStarted = true;
        break;
    }
    case MPV_EVENT_FILE_LOADED: {
        if (!m_entryStarted)
            break;
        // Asked rather than waited for: a song as long as the last one
        // would bring no change notice.
        // A live stream has no length: what the library guesses from the
        // first bytes it has read is not one.
        int seekable = 0;
        m_live = m_api->get_property(m_mpv, "seekable", MPV_FORMAT_FLAG, &seekable) >= 0 && !seekable;
        double seconds = 0;
        if (m_live)
            m_duration.reset();
        else if (m_api->get_property(m_mpv, "duration", MPV_FORMAT_DOUBLE, &seconds) >= 0)
            setDuration(seconds);
        if (m_state == Transitioning)
            setState(Playing);
        break;
    }
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        if (!m_entryKnown || end->playlist_entry_id != m_entry)
            break;
        switch (end->reason) {
        case MPV_END_FILE_REASON_EOF:
            endOfMedia();
            break;
        case MPV_END_FILE_REASON_REDIRECT:
            // A playlist file or stream: its first entry is the media now.
            m_entry = end->playlist_insert_id;
            m_entryStarted = false;
            if (end->playlist_insert_num_entries == 0)
                setState(Stopped);
            break;
        case MPV_END_FILE_REASON_ERROR:
            qCDebug(lcMpv) << "cannot play" << m_url << m_api->error_string(end->error);
            failed();
            break;
        default:
            setState(Stopped);
            break;
        }
        break;
    }
    case MPV_EVENT_PROPERTY_CHANGE: {
        const auto* property = static_cast<const mpv_event_property*>(event.data);
        if (event.reply_userdata == kDurationProperty && m_entryStarted && !m_live
            && property->format == MPV_FORMAT_DOUBLE)
            setDuration(*static_cast<const double*>(property->data));
        else if (event.reply_userdata == kAudioOutputProperty && property->format == MPV_FORMAT_STRING)
            audioOutputOpened(QString::fromUtf8(*static_cast<const char* const*>(property->data)));
        else if (event.reply_userdata == kStreamTitleProperty && m_entryStarted)
            setStreamTitle(property->format == MPV_FORMAT_STRING
                               ? streamTitleText(QString::fromUtf8(*static_cast<const char* const*>(property->data)))
                               : QString());
        break;
    }
    default:
        break;
    }
}

void MpvPlayer::audioOutputOpened(const QString& name)
{
    // The silent output keeps songs in time, so the room still works; the
    // person at the machine is told once why nothing is heard.
    if (name != QLatin1String("null") || std::exchange(m_silenceTold, true))
        return;
    const QString why = m_soundMissing
        ? QStringLiteral("no sound output: no sound device or sound server was found; songs play silently")
        : QStringLiteral("no sound output: the sound output could not be opened; songs play silently");
    qCWarning(lcMpv).noquote().nospace() << "quillon: " << why;
    Q_EMIT noSoundOutput(why);
}

void MpvPlayer::setDuration(double seconds)
{
    m_duration = durationOf(seconds);
}

void MpvPlayer::setStreamTitle(const QString& title)
{
    if (title == m_streamTitle)
        return;
    m_streamTitle = title;
    Q_EMIT streamTitleChanged(title);
}

void MpvPlayer::endOfMedia()
{
    // A playlist stream may hold more entries; one media plays once.
    command({"stop"});
    m_entryKnown = false;
    setState(MediaEnded);
    // Media ended is a state of its own for one turn of the event loop, as
    // listeners of the state change expect, then the player is stopped.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_state == MediaEnded)
                setState(Stopped);
        },
        Qt::QueuedConnection);
}

void MpvPlayer::failed()
{
    m_entryKnown = false;
    setState(Stopped);
    Q_EMIT mediaError(m_url);
}

void MpvPlayer::setState(PlayState state)
{
    if (state == m_state)
        return;
    m_state = state;
    Q_EMIT playStateChanged(state);
}
