// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/Player.h"

#include "controls/ChatExit.h"
#include "controls/ChatTemplates.h"
#include "controls/Playlist.h"
#include "controls/ScreenName.h"
#include "controls/UserStore.h"
#include "player/MediaPlayer.h"
#include "player/Mp3Header.h"
#include "player/SongFile.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <limits>
#include <utility>

namespace {

// A number at the start of a text, as a number box reads it:
// what does not parse counts as 0.
double leadingNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured().trimmed().toDouble() : 0.0;
}

QString twoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// The states in which auto random looks for a song, in the order it looks.
constexpr std::array kIdleStates {MediaPlayer::Undefined, MediaPlayer::Ready, MediaPlayer::Stopped};

}  // namespace

const QString Player::kVolumeGroup = QStringLiteral("player");
const QString Player::kVolumeKey = QStringLiteral("volume");

Player::Player(Playlist& playlist, const ChatTemplates& templates, BoolValue& autoRandom, MediaPlayer& mediaPlayer,
               ChatExit& chat)
    : m_playlist(playlist),
      m_templates(templates),
      m_autoRandom(autoRandom),
      m_mediaPlayer(mediaPlayer),
      m_chat(chat)
{
    // A stored text that is no volume counts as missing.
    bool ok = false;
    const int stored = readSetting(kVolumeGroup, kVolumeKey).trimmed().toInt(&ok);
    m_volume = ok && stored >= 0 && stored <= 100 ? stored : kDefaultVolume;
    m_mediaPlayer.setVolume(m_volume);

    m_searchResultsTimer.setSingleShot(true);
    m_searchResultsTimer.setInterval(0);
    connect(&m_searchResultsTimer, &QTimer::timeout, this, &Player::takeSearchResults);

    // The two one-second timers run together, so they wake the program once,
    // and only while they have something to do.
    for (QTimer* timer : {&m_clockTimer, &m_autoRandomTimer}) {
        timer->setInterval(1000);
        timer->setTimerType(Qt::CoarseTimer);
    }
    connect(&m_clockTimer, &QTimer::timeout, this, &Player::tickClock);
    connect(&m_autoRandomTimer, &QTimer::timeout, this, &Player::tickAutoRandom);

    m_openingTimer.setSingleShot(true);
    m_openingTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_openingTimer, &QTimer::timeout, this, &Player::announceOpened);
    m_fileCheckTimer.setSingleShot(true);
    m_fileCheckTimer.setInterval(kFileCheckLimit);
    connect(&m_fileCheckTimer, &QTimer::timeout, this, &Player::giveUpFileCheck);

    // What the search results tick reads: the search results, the player's
    // state, and the clock fields and picker flag it resets.
    const auto schedule = [this] { scheduleSearchResults(); };
    connect(&m_searchResults, &QAbstractItemModel::rowsInserted, this, schedule);
    connect(&m_searchResults, &QAbstractItemModel::rowsRemoved, this, schedule);
    connect(&m_searchResults, &QAbstractItemModel::modelReset, this, schedule);
    connect(&m_mediaPlayer, &MediaPlayer::playStateChanged, this, schedule);
    connect(&m_nowPlaying.clockRunning, &BoolValue::valueChanged, this, schedule);
    connect(&m_nowPlaying.elapsedSeconds, &IntValue::valueChanged, this, schedule);

    connect(&m_mediaPlayer, &MediaPlayer::mediaError, this, &Player::mediaError);
    connect(&m_mediaPlayer, &MediaPlayer::playStateChanged, this, &Player::stateChanged);

    // A station's title is posted at once, and a new one at most once a
    // minute: the last one held back comes when the minute is over.
    m_titleTimer.setSingleShot(true);
    m_titleTimer.setInterval(std::chrono::minutes(1));
    connect(&m_titleTimer, &QTimer::timeout, this, &Player::postHeldTitle);
    connect(&m_mediaPlayer, &MediaPlayer::streamTitleChanged, this, &Player::streamTitleChanged);

    // What the clocks read.
    const auto clocks = [this] { updateClocks(); };
    connect(&m_nowPlaying.clockRunning, &BoolValue::valueChanged, this, clocks);
    connect(&m_autoRandom, &BoolValue::valueChanged, this, clocks);
    connect(&m_nowPlaying.elapsedSeconds, &IntValue::valueChanged, this, clocks);

    updateClocks();
    scheduleSearchResults();
}

Player::~Player() = default;

void Player::updateClocks()
{
    // The clock counts while a song is timed and clears a count left behind;
    // auto random ends the timing when the player stops, and picks songs
    // while it is on. A tick with nothing to do is never due, so the
    // program sleeps while nothing plays.
    const bool timing = m_nowPlaying.clockRunning.value();
    const bool counted = m_nowPlaying.elapsedSeconds.value() != 0;
    const auto run = [this](QTimer& timer, bool due) {
        if (!due || m_shutDown)
            timer.stop();
        else if (!timer.isActive())
            timer.start();
    };
    run(m_clockTimer, timing || counted);
    run(m_autoRandomTimer, timing || m_autoRandom.value());
}

void Player::setRandomSource(RandomSource source)
{
    m_random = std::move(source);
}

void Player::setOpeningTime(std::chrono::milliseconds time)
{
    m_openingTime = time;
}

void Player::setFileCheck(FileCheck check)
{
    m_fileCheck = std::move(check);
}

void Player::scheduleSearchResults()
{
    if (!m_shutDown && !m_searchResultsTimer.isActive())
        m_searchResultsTimer.start();
}

void Player::setPickerOpen(bool open)
{
    if (std::exchange(m_pickerOpen, open) != open)
        scheduleSearchResults();
}

void Player::shutdown()
{
    m_shutDown = true;
    for (QTimer* timer :
         {&m_searchResultsTimer, &m_clockTimer, &m_autoRandomTimer, &m_titleTimer, &m_openingTimer, &m_fileCheckTimer})
        timer->stop();
    // The songs still to start, and what waited for them, are dropped; a
    // look still under way is no longer listened to.
    m_starts.clear();
    m_afterStarts.clear();
    m_step = Step::Idle;
    if (m_look) {
        m_look->disconnect(this);
        m_look->deleteLater();
        m_look = nullptr;
    }
}

bool Player::hasRunningTimers() const
{
    return m_searchResultsTimer.isActive() || m_clockTimer.isActive() || m_autoRandomTimer.isActive()
        || m_titleTimer.isActive() || m_openingTimer.isActive() || m_fileCheckTimer.isActive();
}

void Player::resetClock()
{
    m_nowPlaying.time.setText(QStringLiteral("00:00"));
    m_nowPlaying.elapsedSeconds.setValue(0);
}

void Player::playSong(const QString& song, Started done)
{
    if (m_shutDown)
        return;
    // An empty name starts nothing, even a line whose name is all blanks.
    const QString key = normalizeName(song);
    // The playlist as it was asked: rows removed while a song opens must
    // not shift the positions of the ones still to start.
    const QStringList lines = key.isEmpty() ? QStringList() : m_playlist.items();
    Start start;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = Playlist::nameOf(lines.at(i));
        if (normalizeName(name) == key)
            start.lines.append({name, Playlist::pathOf(lines.at(i)), QString::number(i + 1)});
    }
    const bool matched = !start.lines.isEmpty();
    start.lineStarted = [this](const Line& line) {
        resetClock();
        m_nowPlaying.file.setText(line.name);
    };
    start.finished = [this, matched, done = std::move(done)](bool started) {
        if (!matched)
            resetClock();
        if (!matched || started)
            m_nowPlaying.clockRunning.setValue(true);
        if (done)
            done(started);
    };
    begin(std::move(start));
}

bool Player::isBusy() const
{
    // Search results waiting for the next turn: one is started, several
    // are offered.
    return isStarting() || (m_searchResultsTimer.isActive() && m_searchResults.count() > 0);
}

void Player::afterStarts(const QObject* context, std::function<void()> then)
{
    if (m_shutDown)
        return;
    if (!isStarting()) {
        then();
        return;
    }
    m_afterStarts.append({QPointer<const QObject>(context), std::move(then)});
}

void Player::begin(Start start)
{
    if (m_shutDown)
        return;
    m_starts.append(std::move(start));
    // Behind others it waits for them; advance() takes it in turn.
    if (m_starts.size() == 1 && m_step == Step::Idle)
        advance();
}

void Player::advance()
{
    // Each step either finishes here (a file already looked at, a player
    // that opens at once) or leaves for a timer or the look's answer, which
    // come back here.
    while (m_step == Step::Idle && !m_starts.isEmpty()) {
        if (!m_starts.first().lines.isEmpty()) {
            lookAt(m_starts.first().lines.first());
            continue;
        }
        const Start done = m_starts.takeFirst();
        if (done.finished)
            done.finished(done.started);
    }
    runAfterStarts();
}

void Player::runAfterStarts()
{
    // One of them may start a song; the rest wait for it in turn.
    while (!isStarting() && !m_afterStarts.isEmpty()) {
        const auto [context, then] = m_afterStarts.takeFirst();
        if (context)
            then();
    }
}

void Player::lookAt(const Line& line)
{
    // A stream has no file to look at; the player opens it.
    if (isStreamUrl(line.path)) {
        looked(SongFile());
        return;
    }
    m_step = Step::Looking;
    const QFuture<SongFile> future = m_fileCheck ? m_fileCheck(line.path) : lookAtSongFile(line.path);
    const auto answer = [](const QFuture<SongFile>& look) {
        if (look.resultCount() > 0)
            return look.result();
        SongFile lost;
        lost.problem = QStringLiteral("the look at the file failed");
        return lost;
    };
    if (future.isFinished()) {
        looked(answer(future));
        return;
    }
    // The player is still idle meanwhile, and events are served.
    m_look = new QFutureWatcher<SongFile>(this);
    connect(m_look, &QFutureWatcherBase::finished, this, [this, answer, watcher = m_look] {
        if (watcher == m_look)
            looked(answer(watcher->future()));
    });
    m_look->setFuture(future);
    m_fileCheckTimer.start();
}

void Player::giveUpFileCheck()
{
    if (m_step != Step::Looking)
        return;
    SongFile song;
    song.problem = QStringLiteral("no answer from the file system");
    looked(song);
}

void Player::looked(const SongFile& song)
{
    m_fileCheckTimer.stop();
    if (m_look) {
        m_look->disconnect(this);
        m_look->deleteLater();
        m_look = nullptr;
    }
    const Line line = m_starts.first().lines.first();
    if (!song.problem.isEmpty()) {
        m_chat.post(QStringLiteral("Cannot play %1: %2").arg(line.name, song.problem));
        lineDone(false);
        return;
    }
    m_step = Step::Opening;
    m_song = song;
    m_refused = false;
    m_mediaPlayer.setUrl(line.path);
    if (song.facts.audio)
        showAudioFacts(*song.facts.audio, m_nowPlaying.bitRate, m_nowPlaying.frequency, m_nowPlaying.mode);
    m_model = m_templates.playing.text();
    if (m_openingTime <= std::chrono::milliseconds::zero())
        announceOpened();
    else
        m_openingTimer.start(m_openingTime);
}

void Player::announceOpened()
{
    if (m_step != Step::Opening)
        return;
    m_openingTimer.stop();
    const Line line = m_starts.first().lines.first();
    // The player refused the file while it opened: it is not playing.
    if (m_refused) {
        m_chat.post(QStringLiteral("Cannot play %1: the player cannot open it").arg(line.name));
        lineDone(false);
        return;
    }
    const bool stream = isStreamUrl(line.path);
    m_stream = stream ? Stream {line.path, line.n, {}, false} : Stream {};
    m_titleTimer.stop();
    m_chat.post(nowPlayingLine(m_model, line.n, line.name, m_song.size, m_song.facts.tags));
    // A title that came while the stream opened.
    if (stream)
        streamTitleChanged(m_mediaPlayer.streamTitle());
    lineDone(true);
}

void Player::lineDone(bool started)
{
    m_step = Step::Idle;
    // The shut-down may have come with a line just posted.
    if (m_starts.isEmpty())
        return;
    Start& start = m_starts.first();
    const Line line = start.lines.takeFirst();
    if (started) {
        start.started = true;
        if (const auto hook = start.lineStarted)
            hook(line);
    }
    advance();
}

QString Player::nowPlayingLine(QString line, const QString& n, const QString& name, qint64 size,
                               const SongTags& tags) const
{
    const QString model = line;
    line.replace(QStringLiteral("%n"), n);
    // Each placeholder works on the result of the one before, so a name
    // holding a later placeholder has it filled in too.
    line.replace(QStringLiteral("%mb"), fileSizeText(size));
    line.replace(QStringLiteral("%s"), name);
    line.replace(QStringLiteral("%kb"), m_nowPlaying.bitRate.text());
    line.replace(QStringLiteral("%mode"), m_nowPlaying.mode.text());
    line.replace(QStringLiteral("%d"), durationText(m_mediaPlayer.duration()));
    // The tags come last and in one pass, so their texts are taken as they
    // are; a template that names none of them gives the line it always
    // gave, even for a song whose name holds one.
    static const QRegularExpression fromTags(QStringLiteral("%(artist|title|album)"));
    if (model.contains(fromTags)) {
        QString filled;
        qsizetype done = 0;
        for (const QRegularExpressionMatch& match : fromTags.globalMatch(line)) {
            const QString key = match.captured(1);
            filled += QStringView(line).mid(done, match.capturedStart() - done);
            filled += key == u"artist" ? tags.artist
                : key == u"album"      ? tags.album
                : tags.title.isEmpty() ? name
                                       : tags.title;
            done = match.capturedEnd();
        }
        line = filled + line.mid(done);
    }
    return line;
}

void Player::streamTitleChanged(const QString& title)
{
    // Only the stream this program started by name, while it is the media.
    if (title.isEmpty() || m_stream.path.isEmpty() || m_mediaPlayer.url() != m_stream.path)
        return;
    // A station's words are text in the room, never its markup.
    m_stream.title = title.toHtmlEscaped();
    m_nowPlaying.file.setText(m_stream.title);
    m_stream.titleDue = true;
    if (!m_titleTimer.isActive())
        postStreamTitle();
}

void Player::postHeldTitle()
{
    const MediaPlayer::PlayState state = m_mediaPlayer.playState();
    const bool playing
        = state == MediaPlayer::Playing || state == MediaPlayer::Paused || state == MediaPlayer::Transitioning;
    if (m_stream.titleDue && playing && m_mediaPlayer.url() == m_stream.path)
        postStreamTitle();
}

void Player::postStreamTitle()
{
    m_stream.titleDue = false;
    m_chat.post(nowPlayingLine(m_templates.playing.text(), m_stream.n, m_stream.title, 0, SongTags {}));
    if (!m_shutDown)
        m_titleTimer.start();
}

int Player::randomInt(const QString& a, const QString& b)
{
    double r = m_random ? m_random() : QRandomGenerator::global()->generateDouble();
    if (!(r >= 0.0))
        r = 0.0;
    if (r >= 1.0)
        r = std::nextafter(1.0, 0.0);
    const double value = std::floor(leadingNumber(a) * r + leadingNumber(b));
    if (!std::isfinite(value))
        return 0;
    return static_cast<int>(
        std::clamp(value, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max())));
}

void Player::playRandomMatch(const QString& part)
{
    const QString text = normalizeName(part);
    QStringList candidates;
    for (const QString& name : m_playlist.names()) {
        if (normalizeName(name).contains(text))
            candidates.append(name);
    }
    if (!candidates.isEmpty())
        playSong(candidates.value(randomInt(QString::number(candidates.count()), QStringLiteral("0"))));
    else
        playSong(QString());
}

void Player::setAutoRandom(bool on)
{
    m_autoRandom.setValue(on);
}

void Player::setVolume(int percent)
{
    percent = std::clamp(percent, 0, 100);
    m_mediaPlayer.setVolume(percent);
    if (percent == m_volume)
        return;
    m_volume = percent;
    writeSetting(kVolumeGroup, kVolumeKey, QString::number(percent));
    Q_EMIT volumeChanged(percent);
}

bool Player::hasSong(const QString& name) const
{
    const QString key = normalizeName(name);
    if (key.isEmpty())
        return false;
    const QStringList& lines = m_playlist.items();
    return std::any_of(lines.cbegin(), lines.cend(),
                       [&](const QString& line) { return normalizeName(Playlist::nameOf(line)) == key; });
}

void Player::playQueued(Started done)
{
    while (m_queue.count() > 0) {
        const QString name = m_queue.item(0);
        m_queue.removeItem(0);
        if (!hasSong(name))
            continue;
        // One that cannot play has said why; the next one is tried.
        playSong(name, [this, done = std::move(done)](bool started) {
            if (started)
                done(true);
            else
                playQueued(done);
        });
        return;
    }
    done(false);
}

void Player::skip()
{
    m_songEnded = false;
    playQueued([this](bool started) {
        if (!started)
            m_mediaPlayer.stop();
    });
}

void Player::stateChanged(MediaPlayer::PlayState state)
{
    // The owner's stop is no end of a song: the queue waits for one.
    m_songEnded = state == MediaPlayer::MediaEnded || (m_songEnded && state == MediaPlayer::Stopped);
}

bool Player::followWithQueued(Started done)
{
    const MediaPlayer::PlayState state = m_mediaPlayer.playState();
    if (!m_songEnded || (state != MediaPlayer::MediaEnded && state != MediaPlayer::Stopped))
        return false;
    m_songEnded = false;
    playQueued(std::move(done));
    return true;
}

void Player::takeSearchResults()
{
    // Results are taken once the songs being started have been announced,
    // in the order they were asked for.
    if (isStarting()) {
        afterStarts(this, [this] { scheduleSearchResults(); });
        return;
    }
    followWithQueued([](bool) {});
    if (m_mediaPlayer.playState() == MediaPlayer::Stopped) {
        m_nowPlaying.clockRunning.setValue(false);
        m_nowPlaying.elapsedSeconds.setValue(0);
    }

    TextList& results = m_searchResults;
    if (results.count() == 1) {
        const int cursor = results.selectedRow();
        results.selectRow(0);
        const QString line = results.selectedText();
        // Taken out before the song starts, so results found while it
        // opens are kept for the next tick.
        results.clear();
        Start start;
        start.lines.append({Playlist::nameOf(line), Playlist::pathOf(line), m_hitNumber});
        start.lineStarted = [this, cursor](const Line& started) {
            m_playlist.selectRow(cursor);
            m_nowPlaying.file.setText(started.name);
            m_nowPlaying.clockRunning.setValue(true);
        };
        begin(std::move(start));
    } else if (results.count() >= 2 && !m_pickerOpen) {
        m_chat.post(QString::number(results.count()) + QStringLiteral("</b> Files Found, Select One."));
        QStringList names;
        names.reserve(results.count());
        for (const QString& row : results.items())
            names.append(Playlist::nameOf(row));
        Q_EMIT songsOffered(names);
    }
}

void Player::tickClock()
{
    if (!m_nowPlaying.clockRunning.value()) {
        m_nowPlaying.elapsedSeconds.setValue(0);
        return;
    }
    const int elapsed = m_nowPlaying.elapsedSeconds.value() + 1;
    m_nowPlaying.elapsedSeconds.setValue(elapsed);
    m_nowPlaying.time.setText(QString::number(elapsed / 60) + u':' + twoDigits(elapsed % 60));
}

void Player::tickAutoRandom()
{
    const MediaPlayer::PlayState state = m_mediaPlayer.playState();
    if (state == MediaPlayer::Stopped || state == MediaPlayer::Undefined || state == MediaPlayer::Ready)
        m_nowPlaying.clockRunning.setValue(false);
    // A tick that comes while a song is being started would start another.
    if (isStarting())
        return;
    // Whichever tick comes first after a song's end plays the queue's first;
    // when none of the queue plays, auto random picks as it would have.
    const bool queued = followWithQueued([this](bool started) {
        if (!started)
            autoPickFrom(0);
    });
    if (!queued)
        autoPickFrom(0);
}

void Player::autoPickFrom(int idleIndex)
{
    for (int i = idleIndex; i < int(kIdleStates.size()); ++i) {
        if (!m_autoRandom.value() || m_mediaPlayer.playState() != kIdleStates.at(std::size_t(i)))
            continue;
        // A file that would not open would be announced again every few
        // seconds; it is left out for the rest of the run.
        QList<int> playable;
        const QStringList lines = m_playlist.items();
        for (int row = 0; row < lines.size(); ++row) {
            if (!m_unplayable.contains(Playlist::pathOf(lines.at(row))))
                playable.append(row);
        }
        if (playable.isEmpty())
            continue;
        if (!std::exchange(m_autoPickFailed, false))
            m_autoFailures = 0;
        const int cursor = m_playlist.selectedRow();
        m_playlist.selectRow(playable.at(randomInt(QString::number(playable.size()), QStringLiteral("0"))));
        // The state is read afresh for the states after this one once the
        // pick has been tried.
        playSong(m_playlist.selectedName(), [this, cursor, i](bool started) {
            if (started) {
                m_autoPicked = m_mediaPlayer.url();
            } else {
                m_autoPicked.clear();
                m_playlist.selectRow(cursor);
                autoPickFailed();
            }
            autoPickFrom(i + 1);
        });
        return;
    }
}

void Player::mediaError(const QString& url)
{
    m_unplayable.insert(url);
    if (m_step == Step::Opening && m_starts.first().lines.first().path == url)
        m_refused = true;
    // A queued song that would not play gives way to the next one.
    if (m_queue.count() > 0) {
        m_songEnded = true;
        scheduleSearchResults();
    }
    if (url == m_autoPicked && m_autoRandom.value())
        autoPickFailed();
}

void Player::autoPickFailed()
{
    m_autoPickFailed = true;
    if (++m_autoFailures < kAutoRandomFailures)
        return;
    m_autoFailures = 0;
    setAutoRandom(false);
    m_chat.post(QStringLiteral("A</b>uto random off: %1 songs in a row would not play").arg(kAutoRandomFailures));
}

QString fileSizeText(qint64 bytes)
{
    if (bytes < 1024)
        return QString::number(bytes) + QStringLiteral(" bytes");
    static const struct {
        qint64 unit;
        const char* name;
    } units[] = {{1073741824, " GB"}, {1048576, " MB"}, {1024, " KB"}};
    for (const auto& u : units) {
        if (bytes >= u.unit) {
            QString number = QString::number(double(bytes) / double(u.unit), 'f', 2);
            number.replace(u'.', QLocale::system().decimalPoint());
            return number + QLatin1String(u.name);
        }
    }
    return {};
}

QString durationText(MediaPlayer::Duration duration)
{
    if (!duration)
        return {};
    // To the nearest second, a half second up.
    const qint64 total = std::max<qint64>(0, (qint64(duration->count()) + 500) / 1000);
    const qint64 hours = total / 3600;
    const QString minutesAndSeconds = twoDigits(total / 60 % 60) + u':' + twoDigits(total % 60);
    return hours > 0 ? QString::number(hours) + u':' + minutesAndSeconds : minutesAndSeconds;
}
