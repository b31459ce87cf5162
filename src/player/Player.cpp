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

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFutureWatcher>
#include <QLocale>
#include <QPromise>
#include <QRegularExpression>
#include <QScopedValueRollback>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <random>
#include <thread>
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

double clockSeededRandom()
{
    // Two draws within one clock tick still differ.
    static std::atomic<std::uint32_t> draws {0};
    const auto now = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    std::seed_seq seed {static_cast<std::uint32_t>(now), static_cast<std::uint32_t>(now >> 32), draws.fetch_add(1)};
    std::mt19937_64 generator(seed);
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

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

    searchResultsTimer.setSingleShot(true);
    searchResultsTimer.setInterval(0);
    connect(&searchResultsTimer, &QTimer::timeout, this, &Player::takeSearchResults);

    // The two one-second timers run together, so they wake the program once,
    // and only while they have something to do.
    for (QTimer* timer : {&clockTimer, &autoRandomTimer}) {
        timer->setInterval(1000);
        timer->setTimerType(Qt::CoarseTimer);
    }
    connect(&clockTimer, &QTimer::timeout, this, &Player::tickClock);
    connect(&autoRandomTimer, &QTimer::timeout, this, &Player::tickAutoRandom);

    // What searchResultsTimer reads: the search results, the player's state, and the
    // clock fields and picker flag it resets.
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
    titleTimer.setSingleShot(true);
    titleTimer.setInterval(std::chrono::minutes(1));
    connect(&titleTimer, &QTimer::timeout, this, &Player::postHeldTitle);
    connect(&m_mediaPlayer, &MediaPlayer::streamTitleChanged, this, &Player::streamTitleChanged);

    // What the clocks read.
    const auto clocks = [this] { updateClocks(); };
    connect(&m_nowPlaying.clockRunning, &BoolValue::valueChanged, this, clocks);
    connect(&m_autoRandom, &BoolValue::valueChanged, this, clocks);
    connect(&m_nowPlaying.elapsedSeconds, &IntValue::valueChanged, this, clocks);

    updateClocks();
    scheduleSearchResults();
}

void Player::updateClocks()
{
    // clockTimer counts while a song is timed and clears a count left behind;
    // autoRandomTimer ends the timing when the player stops, and picks songs while
    // auto random is on. A tick with nothing to do is never due, so the
    // program sleeps while nothing plays.
    const bool timing = m_nowPlaying.clockRunning.value();
    const bool counted = m_nowPlaying.elapsedSeconds.value() != 0;
    const auto run = [this](QTimer& timer, bool due) {
        if (!due || m_timersStopped)
            timer.stop();
        else if (!timer.isActive())
            timer.start();
    };
    run(clockTimer, timing || counted);
    run(autoRandomTimer, timing || m_autoRandom.value());
}

void Player::setRandomSource(RandomSource source)
{
    m_random = std::move(source);
}

void Player::setOpeningWait(Wait wait)
{
    m_openingWait = std::move(wait);
}

void Player::scheduleSearchResults()
{
    if (!m_timersStopped && !searchResultsTimer.isActive())
        searchResultsTimer.start();
}

void Player::setPickerOpen(bool open)
{
    if (std::exchange(m_pickerOpen, open) != open)
        scheduleSearchResults();
}

void Player::stopTimers()
{
    m_timersStopped = true;
    searchResultsTimer.stop();
    clockTimer.stop();
    autoRandomTimer.stop();
    titleTimer.stop();
}

void Player::resetClock()
{
    m_nowPlaying.time.setText(QStringLiteral("00:00"));
    m_nowPlaying.elapsedSeconds.setValue(0);
}

bool Player::playSong(const QString& song)
{
    // An empty name starts nothing, even a line whose name is all blanks.
    const QString key = normalizeName(song);
    // The playlist as it was asked: rows removed while a song opens must
    // not shift the positions of the ones still to start.
    const QStringList lines = key.isEmpty() ? QStringList() : m_playlist.items();
    bool matched = false, started = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = Playlist::nameOf(lines.at(i));
        if (normalizeName(name) != key)
            continue;
        matched = true;
        const QString path = Playlist::pathOf(lines.at(i));
        const std::optional<SongFile> song = admit(name, path);
        if (!song)
            continue;
        if (startLine(name, path, QString::number(i + 1), *song)) {
            resetClock();
            m_nowPlaying.file.setText(name);
            started = true;
        }
    }
    if (!matched)
        resetClock();
    if (!matched || started)
        m_nowPlaying.clockRunning.setValue(true);
    return started;
}

bool Player::isBusy() const
{
    // Search results waiting for searchResultsTimer's next turn: one is started, several
    // are offered.
    return m_starting > 0 || m_looking > 0 || m_takingResults
        || (searchResultsTimer.isActive() && m_searchResults.count() > 0);
}

std::optional<SongFile> Player::admit(const QString& name, const QString& path)
{
    // A stream has no file to look at; the player opens it.
    if (isStreamUrl(path))
        return SongFile();
    std::optional<SongFile> song = examine(path);
    if (!song)
        return std::nullopt;
    if (!song->problem.isEmpty()) {
        m_chat.post(QStringLiteral("Cannot play %1: %2").arg(name, song->problem));
        return std::nullopt;
    }
    return song;
}

std::optional<SongFile> Player::examine(const QString& path)
{
    // The look runs on a thread of its own, which a file system that does
    // not answer may keep for good; nothing waits for it at the end.
    QPromise<SongFile> promise;
    const QFuture<SongFile> future = promise.future();
    QFutureWatcher<SongFile> watcher;
    // Its end is an event, and that event ends the wait below.
    connect(&watcher, &QFutureWatcherBase::finished, &watcher, [] {});
    watcher.setFuture(future);
    std::thread([promise = std::move(promise), check = m_fileCheck ? m_fileCheck : FileCheck(&examineSongFile),
                 path]() mutable {
        promise.start();
        promise.addResult(check(path));
        promise.finish();
    }).detach();

    // The player is still idle meanwhile; auto random must not take it.
    const QScopedValueRollback looking(m_looking, m_looking + 1);
    QDeadlineTimer deadline(m_fileCheckLimit, Qt::PreciseTimer);
    QTimer wake;
    wake.setSingleShot(true);
    while (!future.isFinished() && !deadline.hasExpired() && !m_timersStopped) {
        wake.start(std::max<qint64>(1, deadline.remainingTime()));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    // The program ended meanwhile: nothing more is said.
    if (m_timersStopped)
        return std::nullopt;
    if (!future.isFinished()) {
        SongFile song;
        song.problem = QStringLiteral("no answer from the file system");
        return song;
    }
    return future.result();
}

void Player::setFileCheck(FileCheck check, std::chrono::milliseconds limit)
{
    m_fileCheck = std::move(check);
    m_fileCheckLimit = limit;
}

bool Player::startLine(const QString& name, const QString& path, const QString& n, const SongFile& song)
{
    const QScopedValueRollback starting(m_starting, m_starting + 1);
    Opening opening {path};
    m_openings.append(&opening);
    m_mediaPlayer.setUrl(path);
    if (song.facts.audio)
        showAudioFacts(*song.facts.audio, m_nowPlaying.bitRate, m_nowPlaying.frequency, m_nowPlaying.mode);
    const QString model = m_templates.playing.text();
    if (m_openingWait)
        m_openingWait(0.1);
    else
        waitServingEvents(0.1);
    m_openings.removeOne(&opening);
    // The closing line may have gone out during the wait; nothing is
    // announced after it.
    if (m_timersStopped)
        return false;
    // The player refused the file while it opened: it is not playing.
    if (opening.refused) {
        m_chat.post(QStringLiteral("Cannot play %1: the player cannot open it").arg(name));
        return false;
    }
    const bool stream = isStreamUrl(path);
    m_stream = stream ? Stream {path, n, {}, false} : Stream {};
    titleTimer.stop();
    m_chat.post(nowPlayingLine(model, n, name, song.size, song.facts.tags));
    // A title that came while the stream opened.
    if (stream)
        streamTitleChanged(m_mediaPlayer.streamTitle());
    return true;
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
    line.replace(QStringLiteral("%d"), m_mediaPlayer.durationString());
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
    if (!titleTimer.isActive())
        postStreamTitle();
}

void Player::postHeldTitle()
{
    const int state = m_mediaPlayer.playState();
    const bool playing
        = state == MediaPlayer::Playing || state == MediaPlayer::Paused || state == MediaPlayer::Transitioning;
    if (m_stream.titleDue && playing && m_mediaPlayer.url() == m_stream.path)
        postStreamTitle();
}

void Player::postStreamTitle()
{
    m_stream.titleDue = false;
    m_chat.post(nowPlayingLine(m_templates.playing.text(), m_stream.n, m_stream.title, 0, SongTags {}));
    if (!m_timersStopped)
        titleTimer.start();
}

void Player::waitServingEvents(double seconds)
{
    if (!(seconds > 0))
        return;
    // A monotonic deadline: a change of the wall clock or midnight does not
    // shorten or stretch the wait.
    const auto wait = std::chrono::duration<double>(std::min(seconds, 1e6));
    QDeadlineTimer deadline(std::chrono::duration_cast<std::chrono::nanoseconds>(wait), Qt::PreciseTimer);
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    while (!deadline.hasExpired()) {
        // Sleep until an event comes or the wait is over, never spinning.
        wake.start(std::max<qint64>(1, deadline.remainingTime()));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

int Player::randomInt(const QString& a, const QString& b)
{
    double r = m_random ? m_random() : clockSeededRandom();
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

bool Player::playQueued()
{
    TextList& queue = m_queue;
    while (queue.count() > 0) {
        const QString name = queue.item(0);
        queue.removeItem(0);
        // One that cannot play has said why; the next one is tried.
        if (hasSong(name) && playSong(name))
            return true;
    }
    return false;
}

void Player::skip()
{
    m_songEnded = false;
    if (!playQueued())
        m_mediaPlayer.stop();
}

void Player::stateChanged(int state)
{
    // The owner's stop is no end of a song: the queue waits for one.
    m_songEnded = state == MediaPlayer::MediaEnded || (m_songEnded && state == MediaPlayer::Stopped);
}

bool Player::followWithQueued()
{
    const int state = m_mediaPlayer.playState();
    if (!m_songEnded || (state != MediaPlayer::MediaEnded && state != MediaPlayer::Stopped))
        return false;
    m_songEnded = false;
    return playQueued();
}

void Player::takeSearchResults()
{
    // A song started here waits while it opens, and events run meanwhile;
    // a tick arriving then would see the same results again. It is put off
    // until this one is done.
    if (m_takingResults) {
        m_resultsMissed = true;
        return;
    }
    {
        const QScopedValueRollback busy(m_takingResults, true);

        followWithQueued();
        if (m_mediaPlayer.playState() == MediaPlayer::Stopped) {
            m_nowPlaying.clockRunning.setValue(false);
            m_nowPlaying.elapsedSeconds.setValue(0);
        }

        TextList& results = m_searchResults;
        if (results.count() == 1) {
            const int cursor = results.selectedRow();
            results.selectRow(0);
            const QString line = results.selectedText();
            const QString name = Playlist::nameOf(line);
            const QString path = Playlist::pathOf(line);
            // Taken out before the song starts, so results found while it
            // opens are kept for the next tick.
            results.clear();
            const std::optional<SongFile> song = admit(name, path);
            if (song && startLine(name, path, m_hitNumber, *song)) {
                m_playlist.selectRow(cursor);
                m_nowPlaying.file.setText(name);
                m_nowPlaying.clockRunning.setValue(true);
            }
        } else if (results.count() >= 2 && !m_pickerOpen) {
            m_chat.post(QString::number(results.count()) + QStringLiteral("</b> Files Found, Select One."));
            QStringList names;
            names.reserve(results.count());
            for (const QString& row : results.items())
                names.append(Playlist::nameOf(row));
            Q_EMIT songsOffered(names);
        }
    }
    if (std::exchange(m_resultsMissed, false))
        scheduleSearchResults();
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
    const int state = m_mediaPlayer.playState();
    if (state == MediaPlayer::Stopped || state == MediaPlayer::Undefined || state == MediaPlayer::Ready)
        m_nowPlaying.clockRunning.setValue(false);
    // A tick that comes while a song is looked at or a pick opens would
    // start another.
    if (m_inAutoPick || m_looking > 0)
        return;
    // Whichever tick comes first after a song's end plays the queue's first.
    if (followWithQueued() || !m_autoRandom.value())
        return;
    const QScopedValueRollback picking(m_inAutoPick, true);
    for (const int idle : {MediaPlayer::Undefined, MediaPlayer::Ready, MediaPlayer::Stopped}) {
        if (!m_autoRandom.value() || m_mediaPlayer.playState() != idle)
            continue;
        // A file that would not open would be announced again every few
        // seconds; it is left out for the rest of the run.
        QList<int> playable;
        const QStringList lines = m_playlist.items();
        for (int i = 0; i < m_playlist.count(); ++i) {
            if (!m_unplayable.contains(Playlist::pathOf(lines.value(i))))
                playable.append(i);
        }
        if (playable.isEmpty())
            continue;
        if (!std::exchange(m_autoPickFailed, false))
            m_autoFailures = 0;
        const int cursor = m_playlist.selectedRow();
        m_playlist.selectRow(playable.at(randomInt(QString::number(playable.size()), QStringLiteral("0"))));
        if (playSong(m_playlist.selectedName())) {
            m_autoPicked = m_mediaPlayer.url();
        } else if (!m_timersStopped) {
            m_autoPicked.clear();
            m_playlist.selectRow(cursor);
            autoPickFailed();
        }
    }
}

void Player::mediaError(const QString& url)
{
    m_unplayable.insert(url);
    for (Opening* opening : std::as_const(m_openings))
        opening->refused = opening->refused || opening->path == url;
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
