// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/Player.h"
#include "AudioFiles.h"
#include "controls/Playlist.h"
#include "controls/UserStore.h"
#include "player/MpvPlayer.h"
#include "player/SongFile.h"
#include "support/QtPrinters.h"
#include "support/TestState.h"

#include <QCoreApplication>
#include <QPromise>

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>
#include <memory>
#include <random>

#include <sys/stat.h>

// What the timers of a player are doing, which only tests ask.
class PlayerTimersProbe {
public:
    explicit PlayerTimersProbe(const Player& player) : m_player(player) { }
    bool searchResults() const { return m_player.m_searchResultsTimer.isActive(); }
    bool clocks() const { return m_player.m_clockTimer.isActive() && m_player.m_autoRandomTimer.isActive(); }
    bool anyClock() const { return m_player.m_clockTimer.isActive() || m_player.m_autoRandomTimer.isActive(); }
    bool title() const { return m_player.m_titleTimer.isActive(); }
    bool opening() const { return m_player.m_openingTimer.isActive(); }
    bool fileCheck() const { return m_player.m_fileCheckTimer.isActive(); }

private:
    const Player& m_player;
};

namespace {

using State = MediaPlayer::PlayState;

// The player over a playlist alone; the songs it offers are kept, and the
// picker is opened as the song picker opens it.
struct PlayerRig : TestState {
    Playlist playlist;
    Player player {playlist, templates, options.autoRandom, mediaPlayer, chat};
    PlayerTimersProbe timers {player};
    QStringList offered;

    PlayerRig()
    {
        QObject::connect(&player, &Player::songsOffered, [this](const QStringList& names) {
            offered += names;
            player.setPickerOpen(true);
        });
    }
};

// Files are looked at on the test's own thread, and every random draw is
// `draw`. The player's moment to open a song ends when the test says: it
// does `duringWait` first.
class PlayerTest : public ::testing::Test {
protected:
    PlayerTest()
    {
        t->player.setFileCheck([](const QString& path) { return QtFuture::makeReadyFuture(examineSongFile(path)); });
        t->player.setRandomSource([this] { return draw; });
        t->templates.font.setText(QStringLiteral("<F>"));
        t->templates.playing.setText(QStringLiteral("%s"));
    }

    // A playlist line for a WAV file named after the song: 8000 Hz, 16 bits,
    // so its bit rate is 128 kbit/s a channel.
    QString addLine(const QString& name, int channels = 2, const QStringList& tags = {})
    {
        QString path = t.dir.filePath(name + QStringLiteral(".wav"));
        EXPECT_TRUE(writeSilentWav(path, 0.01, channels, tags));
        t->playlist.addItem(name + u';' + path);
        return path;
    }
    void result(const QString& line)
    {
        t->player.searchResults().addItem(line + u';' + t.dir.filePath(line + QStringLiteral(".wav")));
    }
    // Ends the opening moment of every song being started, one by one; a
    // look at a file on a thread of its own is waited for.
    void opened()
    {
        for (int turns = 0; turns < 1000 && t->player.isStarting(); ++turns) {
            if (!t.timers.opening()) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
                continue;
            }
            duringWait();
            t->player.announceOpened();
        }
        EXPECT_FALSE(t->player.isStarting());
    }
    void play(const QString& song)
    {
        t->player.playSong(song);
        opened();
    }

    Alone<PlayerRig> t;
    std::function<void()> duringWait = [] {};
    double draw = 0;
};

TEST_F(PlayerTest, AnnouncesTheSongWithItsTemplateFilledInOrderFromTheFileAndItsTags)
{
    QStringList urls
        = {addLine(QStringLiteral("Tagged"), 2, {"artist=The %album Band", "title=A %s Title", "album=Record"}),
           addLine(QStringLiteral("Bare"), 1)};
    // The last one's file name holds the playlist's separator.
    urls << addLine(QStringLiteral("x%kb%d%n%mb%mode%s")) << addLine(QStringLiteral("Odd %title;x"));
    // The player knows the duration once the file is open: the position is
    // taken before the wait, the rest after it, each placeholder from the
    // result of the one before; the tags last, as they are.
    duringWait = [this] { t.mediaPlayer.length = std::chrono::seconds(3723); };
    const struct {
        const char *song, *model, *line;
    } cases[] = {
        {"Tagged", "%artist|%title|%album|%s|%kb|%n|%d", "The %album Band|A %s Title|Record|Tagged|256|1|1:02:03"},
        {"Bare", "%artist|%title|%album|%s|%mode|%mb", "|Bare||Bare|mono|204 bytes"},
        {"x%kb%d%n%mb%mode%s", "[%s][%n][%kb][%mb][%mode][%d]",
         "[x2561:02:03%n%mbstereo%s][3][256][364 bytes][stereo][1:02:03]"},
        // A template without tags is filled as it always was.
        {"Odd %title", "%s %kb", "Odd %title 256"},
    };
    for (const auto& c : cases) {
        t.mediaPlayer.length.reset();
        t->templates.playing.setText(QString::fromUtf8(c.model));
        play(QString::fromUtf8(c.song));
        EXPECT_EQ(t.sent.last(), QStringLiteral("<F>") + QString::fromUtf8(c.line));
    }
    EXPECT_EQ(t.sent.size(), 4);
    EXPECT_EQ(t.mediaPlayer.urls, urls);
    EXPECT_EQ(t->player.nowPlaying().file.text(), "Odd %title");
    // The clock counts from the start, a second a tick.
    for (int tick = 0; tick < 61; ++tick)
        t->player.tickClock();
    EXPECT_EQ(t->player.nowPlaying().time.text(), "1:01");
    // Once the song is over the count is cleared, and then nothing ticks.
    EXPECT_TRUE(t.timers.clocks());
    t->player.nowPlaying().clockRunning.setValue(false);
    t->player.tickClock();
    EXPECT_FALSE(t.timers.anyClock());
}

// Whatever the reason, the room gets one line instead of the now-playing
// line, and the clock and the file label stay as they were. The look at
// the file runs on a thread while events are served, and a file system
// that does not answer in time counts as a reason too.
TEST_F(PlayerTest, ASongThatCannotBePlayedIsSaidOnceAndChangesNothing)
{
    const QString plays = addLine(QStringLiteral("Plays"));
    const QString folder = t.dir.filePath(QStringLiteral("folder")), pipe = t.dir.filePath(QStringLiteral("pipe"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    t->playlist.addItems({QStringLiteral("Gone;") + t.dir.filePath(QStringLiteral("gone.wav")),
                          QStringLiteral("Folder;") + folder, QStringLiteral("Pipe;") + pipe,
                          QStringLiteral("Hung;/hung/song.mp3")});
    // The hung file system answers only when the test is done.
    auto hung = std::make_shared<QPromise<SongFile>>();
    t->player.setFileCheck([&hung](const QString& path) {
        return path.startsWith(QLatin1String("/hung/")) ? hung->future() : lookAtSongFile(path);
    });
    t->player.nowPlaying().file.setText(QStringLiteral("Before"));
    t->player.nowPlaying().elapsedSeconds.setValue(187);
    t->player.nowPlaying().time.setText(QStringLiteral("3:07"));
    t->player.nowPlaying().clockRunning.setValue(false);
    const std::pair<const char*, const char*> cases[] = {
        {"Gone", "no such file"},
        {"Folder", "it is a folder"},
        {"Pipe", "not a regular file"},
        {"Hung", "no answer from the file system"},
    };
    for (const auto& [song, why] : cases) {
        t.sent.clear();
        t->player.playSong(QString::fromUtf8(song));
        if (QLatin1String(song) == QLatin1String("Hung")) {
            // Nothing is said before the look has answered, lines wait,
            // and events are served meanwhile.
            EXPECT_TRUE(t->player.isBusy());
            EXPECT_TRUE(t.timers.fileCheck());
            QCoreApplication::processEvents();
            EXPECT_EQ(t.sent, QStringList());
            t->player.giveUpFileCheck();
        }
        for (int turns = 0; t->player.isStarting() && turns < 1000; ++turns)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        EXPECT_EQ(t.sent, QStringList {QStringLiteral("<F>Cannot play %1: %2").arg(song, why)});
        EXPECT_FALSE(t.timers.fileCheck());
    }
    // Refused by the player while it opens: not announced either.
    duringWait = [this] { t.mediaPlayer.fail(); };
    t.sent.clear();
    play(QStringLiteral("Plays"));
    EXPECT_EQ(t.sent, QStringList {"<F>Cannot play Plays: the player cannot open it"});
    EXPECT_EQ(t.mediaPlayer.urls, QStringList {plays});
    EXPECT_EQ(QStringList({t->player.nowPlaying().file.text(), t->player.nowPlaying().time.text(),
                           QString::number(t->player.nowPlaying().elapsedSeconds.value())}),
              QStringList({"Before", "3:07", "187"}));
    EXPECT_FALSE(t->player.nowPlaying().clockRunning.value());

    // The program ends while a look waits and while a song opens: nothing
    // more is said, even when the file system answers after all, and
    // nothing runs.
    t.sent.clear();
    hung = std::make_shared<QPromise<SongFile>>();
    duringWait = [] {};
    t->player.playSong(QStringLiteral("Hung"));
    t->player.playSong(QStringLiteral("Plays"));
    bool followed = false;
    t->player.afterStarts(&t.player, [&] { followed = true; });
    t->player.shutdown();
    hung->start();
    hung->addResult(SongFile());
    hung->finish();
    QCoreApplication::processEvents();
    t->player.giveUpFileCheck();
    t->player.announceOpened();
    t->player.playSong(QStringLiteral("Plays"));
    EXPECT_EQ(t.sent, QStringList());
    EXPECT_EQ(t.mediaPlayer.urls.size(), 1);
    EXPECT_FALSE(followed);
    EXPECT_FALSE(t->player.isBusy() || t->player.hasRunningTimers());
}

// A station's own title replaces its name in the now-playing line, as text:
// at once, then at most once a minute (the last title held back comes when
// the minute is over), and only while that station plays.
TEST_F(PlayerTest, AStationsTitleIsAnnouncedAsTextAtOnceThenAtMostOnceAMinute)
{
    const QString station = QStringLiteral("http://radio.example.org:8000/live%3Bx");
    t->playlist.addItem(QStringLiteral("live;") + station);
    addLine(QStringLiteral("Song"));
    t->templates.playing.setText(QStringLiteral("%s #%n"));
    duringWait = [this] { t.mediaPlayer.title = QStringLiteral("Ana & <i>Bo</i>"); };
    play(QStringLiteral("live"));
    EXPECT_EQ(t.mediaPlayer.urls, QStringList {station});
    EXPECT_EQ(t.sent, QStringList({"<F>live #1", "<F>Ana &amp; &lt;i&gt;Bo&lt;/i&gt; #1"}));
    EXPECT_TRUE(t.timers.title());

    for (const char* title : {"Second", "Third"})
        Q_EMIT t.mediaPlayer.streamTitleChanged(QString::fromUtf8(title));
    EXPECT_EQ(t.sent.size(), 2);
    EXPECT_EQ(t->player.nowPlaying().file.text(), "Third");
    t->player.postHeldTitle();
    t->player.postHeldTitle();
    EXPECT_EQ(t.sent.mid(2), QStringList {"<F>Third #1"});

    // Another song ends the station's lines, held back or new.
    Q_EMIT t.mediaPlayer.streamTitleChanged(QStringLiteral("Fourth"));
    duringWait = [] {};
    play(QStringLiteral("Song"));
    Q_EMIT t.mediaPlayer.streamTitleChanged(QStringLiteral("Fifth"));
    t->player.postHeldTitle();
    EXPECT_EQ(t.sent.mid(3), QStringList {"<F>Song #2"});
    EXPECT_EQ(t->player.nowPlaying().file.text(), "Song");

    // What a station sends is made one line of bounded length.
    const QString longTitle = QString(300, u'a') + QStringLiteral("\U0001F3B5");
    EXPECT_EQ(MpvPlayer::streamTitleText(QStringLiteral(" A\r\nB\u2028C\u2029\tD\x01 ")), "A B C D");
    EXPECT_EQ(MpvPlayer::streamTitleText(longTitle), QString(199, u'a') + QStringLiteral("\u2026"));
    EXPECT_EQ(MpvPlayer::streamTitleText(QString(198, u'a') + QStringLiteral("\U0001F3B5\U0001F3B5")),
              QString(198, u'a') + QStringLiteral("\u2026"));
}

TEST_F(PlayerTest, StartsEveryLineOfTheNameInOrderEvenWhenRowsGoDuringTheOpeningWait)
{
    const QString a = addLine(QStringLiteral("Same Song"));
    addLine(QStringLiteral("Other"));
    const QString b = addLine(QStringLiteral("sameSong"), 1);
    t->templates.playing.setText(QStringLiteral("%s #%n %mode"));
    // Rows removed while a song opens change neither which songs start nor
    // the positions they are announced with.
    duringWait = [&] {
        if (t->playlist.count() == 3) {
            t->playlist.removeItem(0);
        }
    };
    play(QStringLiteral("  SAME so ng "));
    EXPECT_EQ(t.mediaPlayer.urls, QStringList({a, b}));
    EXPECT_EQ(t.sent, QStringList({"<F>Same Song #1 stereo", "<F>sameSong #3 mono"}));
}

// Songs asked for while one opens wait their turn, and what a command does
// after its song comes after that song's line.
TEST_F(PlayerTest, StartsAskedForMeanwhileAreAnnouncedInTurnAndWhatFollowsWaitsForThem)
{
    const QString one = addLine(QStringLiteral("One")), two = addLine(QStringLiteral("Two"));
    QStringList order;
    const auto told = [&](const char* what) {
        return [&order, what](bool started) { order << QString::fromLatin1(what) + (started ? u'+' : u'-'); };
    };
    t->player.playSong(QStringLiteral("One"), told("one"));
    t->player.playSong(QStringLiteral("Two"), told("two"));
    t->player.playSong(QStringLiteral("None"), told("none"));
    QObject context;
    t->player.afterStarts(&context, [&] { order << QStringLiteral("after"); });
    {
        QObject gone;
        t->player.afterStarts(&gone, [&] { order << QStringLiteral("gone"); });
    }
    EXPECT_EQ(t.mediaPlayer.urls, QStringList {one});
    EXPECT_TRUE(t->player.isBusy());
    t->player.announceOpened();
    EXPECT_EQ(t.mediaPlayer.urls, QStringList({one, two}));
    EXPECT_EQ(order, QStringList {"one+"});
    t->player.announceOpened();
    EXPECT_EQ(t.sent, QStringList({"<F>One", "<F>Two"}));
    EXPECT_EQ(order, QStringList({"one+", "two+", "none-", "after"}));
    EXPECT_FALSE(t->player.isBusy());
    // With nothing to start, it follows at once.
    t->player.afterStarts(&context, [&] { order << QStringLiteral("now"); });
    EXPECT_EQ(order.last(), "now");
}

TEST_F(PlayerTest, OneSearchResultIsPlayedAndTwoOrMoreAreOfferedOnce)
{
    const QString first = addLine(QStringLiteral("First")), second = addLine(QStringLiteral("Second"));
    t->templates.playing.setText(QStringLiteral("%s %n"));
    t->player.setHitNumber(QStringLiteral("7"));
    // Only results waiting for the next turn hold the room's lines back.
    ASSERT_TRUE(t.timers.searchResults());
    EXPECT_FALSE(t->player.isBusy());
    result(QStringLiteral("First"));
    EXPECT_TRUE(t->player.isBusy());
    t->player.takeSearchResults();
    EXPECT_EQ(t.mediaPlayer.urls, QStringList {first});
    // A result found while it opens is taken once it has been announced.
    result(QStringLiteral("Second"));
    t->player.takeSearchResults();
    EXPECT_EQ(t.mediaPlayer.urls, QStringList {first});
    t->player.announceOpened();
    EXPECT_EQ(t.sent, QStringList {"<F>First 7"});
    EXPECT_TRUE(t.timers.searchResults());
    t->player.takeSearchResults();
    opened();
    EXPECT_EQ(t.mediaPlayer.urls, QStringList({first, second}));
    EXPECT_EQ(t.sent, QStringList({"<F>First 7", "<F>Second 7"}));
    EXPECT_EQ(t->player.nowPlaying().file.text(), "Second");
    t.sent.clear();
    const QStringList names {"One", "Two", "Three"};
    for (const QString& name : names)
        result(name);
    t->player.takeSearchResults();
    t->player.takeSearchResults();
    EXPECT_EQ(t.sent, QStringList {"<F>3</b> Files Found, Select One."});
    EXPECT_EQ(t.offered, names);
    EXPECT_EQ(t->player.searchResults().count(), 3);
    EXPECT_EQ(t.mediaPlayer.urls.size(), 2);
}

// A song that would not open, or whose file is missing (an unmounted
// music folder), counts as a failure and leaves the cursor where it was.
TEST_F(PlayerTest, AutoRandomNeverPicksASongThatWouldNotOpenAndStopsAfterThreeFailuresInARow)
{
    const QString a = addLine(QStringLiteral("A")), b = addLine(QStringLiteral("B"));
    const QString c = addLine(QStringLiteral("C"));
    t->playlist.addItem(QStringLiteral("D;/gone/D.mp3"));
    const auto tick = [this](State state, double r, bool fails) {
        t.mediaPlayer.setState(state);
        draw = r;
        t->player.tickAutoRandom();
        opened();
        if (fails)
            t.mediaPlayer.fail();
    };
    t->player.setAutoRandom(true);
    // A busy player is left alone. B fails once and is never drawn again; A
    // plays, which ends the run of failures; then C, A and the missing D
    // fail in a row (a draw of 1, which a source may give, is the last song).
    tick(State::Playing, 0, false);
    tick(State::Paused, 0, false);
    const std::pair<double, bool> picks[] = {{0.3, true}, {0.3, false}, {0.5, true}, {0.0, true}, {1.0, false}};
    for (const auto& [r, fails] : picks)
        tick(State::Stopped, r, fails);
    EXPECT_EQ(t.mediaPlayer.urls, QStringList({b, a, c, a}));
    EXPECT_EQ(t.sent,
              QStringList({"<F>B", "<F>A", "<F>C", "<F>A", "<F>Cannot play D: no such file",
                           "<F>A</b>uto random off: 3 songs in a row would not play"}));
    EXPECT_FALSE(t->options.autoRandom.value());
    EXPECT_EQ(t->playlist.selectedRow(), 0);
    tick(State::Stopped, 0, false);
    // Switched on again, it finds nothing left that plays.
    t->player.setAutoRandom(true);
    tick(State::Stopped, 0, false);
    EXPECT_EQ(t.mediaPlayer.urls.size(), 4);
}

// A song's own end (or a skip, or a queued song that would not play) starts
// the queue's next song still in the playlist, before auto random; the
// owner's stop does not.
TEST_F(PlayerTest, TheQueuePlaysWhenASongEndsAndWaitsOutAStop)
{
    const QString a = addLine(QStringLiteral("A")), b = addLine(QStringLiteral("B"));
    const QString c = addLine(QStringLiteral("C"));
    t->player.setOpeningTime(std::chrono::milliseconds(0));
    t->player.queue().addItems({"b", "Gone", "C", "A", "B"});
    t->player.setAutoRandom(true);
    t->player.playSong(QStringLiteral("A"));
    // A tick while the song plays leaves its clock running.
    t.mediaPlayer.setState(State::Playing);
    t->player.tickAutoRandom();
    EXPECT_TRUE(t->player.nowPlaying().clockRunning.value());
    t.mediaPlayer.setState(State::Stopped);
    t->player.tickAutoRandom();
    t->player.takeSearchResults();
    EXPECT_EQ(t.mediaPlayer.urls, QStringList({a, a}));  // auto random's pick, not the queue's
    t.mediaPlayer.setState(State::MediaEnded);
    t.mediaPlayer.setState(State::Stopped);
    t->player.tickAutoRandom();
    t->player.takeSearchResults();
    t.mediaPlayer.fail();
    t->player.takeSearchResults();
    // An end the player has not yet followed with a stop counts too.
    t.mediaPlayer.setState(State::MediaEnded);
    t->player.takeSearchResults();
    t->player.skip();
    EXPECT_EQ(t.mediaPlayer.urls, QStringList({a, a, b, c, a, b}));
    EXPECT_EQ(t->player.queue().count(), 0);
    t->player.skip();
    EXPECT_EQ(t.mediaPlayer.calls, QStringList {"stop"});
}

// The text the now-playing line showed of libmpv's length in seconds
// before lengths were kept as numbers.
QString formerDurationText(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0)
        seconds = 0;
    const qint64 total = std::llround(seconds);
    const qint64 h = total / 3600;
    const qint64 m = total / 60 % 60;
    const qint64 s = total % 60;
    const auto two = [](qint64 v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    if (h > 0)
        return QString::number(h) + u':' + two(m) + u':' + two(s);
    return two(m) + u':' + two(s);
}

// Every length libmpv may give shows as it always did, through the count of
// milliseconds it is kept as; an unknown one shows as nothing.
TEST(DurationText, EveryLengthShowsAsItAlwaysDid)
{
    using std::chrono::milliseconds;
    EXPECT_EQ(durationText(std::nullopt), QString());
    const std::pair<qint64, const char*> named[]
        = {{0, "00:00"},         {499, "00:00"},         {500, "00:01"},           {59000, "00:59"},
           {60000, "01:00"},     {3599000, "59:59"},     {3599499, "59:59"},       {3599500, "1:00:00"},
           {3600000, "1:00:00"}, {36000000, "10:00:00"}, {360000000, "100:00:00"}, {-1500, "00:00"}};
    for (const auto& [ms, text] : named)
        EXPECT_EQ(durationText(milliseconds(ms)), QLatin1String(text)) << ms;

    // Every millisecond of the first minutes, and around every half second
    // of two days.
    for (qint64 ms = 0; ms <= 200000; ++ms)
        ASSERT_EQ(durationText(milliseconds(ms)), formerDurationText(double(ms) / 1000)) << ms;
    for (qint64 second = 0; second <= 172800; ++second) {
        for (const qint64 ms : {second * 1000 + 499, second * 1000 + 500, second * 1000 + 501}) {
            ASSERT_EQ(durationText(milliseconds(ms)), formerDurationText(double(ms) / 1000)) << ms;
        }
    }

    // libmpv's own seconds: drawn at random, the halves and just below them,
    // and what is no length at all.
    std::mt19937_64 random(30);
    std::uniform_real_distribution<double> anyLength(0, 400000);
    QList<double> lengths {0, -1, std::nan(""), std::numeric_limits<double>::infinity(), 1e-9, 59.5, 3599.5};
    for (int i = 0; i < 100000; ++i)
        lengths.append(anyLength(random));
    for (double half = 0.5; half < 400000; half = half * 1.7 + 1) {
        const double at = std::floor(half) + 0.5;
        lengths << at << std::nextafter(at, 0.0) << std::nextafter(at, 1e9) << at - 0.0005;
    }
    for (const double seconds : lengths)
        ASSERT_EQ(durationText(MpvPlayer::durationOf(seconds)), formerDurationText(seconds))
            << std::setprecision(17) << seconds;
}

// Bytes below a kilobyte, else two decimals of the largest unit that fits.
TEST(FileSizeText, BytesBelowAKilobyteElseTheLargestUnitThatFits)
{
    const std::pair<qint64, const char*> sizes[] = {{1023, "1023 bytes"},
                                                    {1024, "1.00 KB"},
                                                    {1048575, "1024.00 KB"},
                                                    {1048576, "1.00 MB"},
                                                    {1610612736, "1.50 GB"}};
    for (const auto& [bytes, text] : sizes)
        EXPECT_EQ(fileSizeText(bytes), QString::fromLatin1(text)) << bytes;
}

TEST_F(PlayerTest, TheVolumeIsClampedKeptAndRestoredAndABadStoredOneIsFifty)
{
    // The store outlives the test: what a run before this one kept goes.
    writeSetting(Player::kVolumeGroup, Player::kVolumeKey, QString());
    Player player(t->playlist, t->templates, t->options.autoRandom, t.mediaPlayer, t);
    QList<int> told;
    QObject::connect(&player, &Player::volumeChanged, [&](int v) { told.append(v); });
    for (const int volume : {130, 100, -4})
        player.setVolume(volume);
    EXPECT_EQ(told, (QList<int> {100, 0}));
    EXPECT_EQ(t.mediaPlayer.loudness, 0);
    FakeMediaPlayer other;
    const auto restored = [&] { return Player(t->playlist, t->templates, t->options.autoRandom, other, t).volume(); };
    EXPECT_EQ(restored(), 0);
    EXPECT_EQ(other.loudness, 0);
    for (const auto& [stored, volume] : {std::pair("abc", 50), {"101", 50}, {"", 50}, {" 100", 100}}) {
        writeSetting(Player::kVolumeGroup, Player::kVolumeKey, QString::fromLatin1(stored));
        EXPECT_EQ(restored(), volume) << stored;
    }
}

}  // namespace
