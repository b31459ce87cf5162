// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/Player.h"
#include "AudioFiles.h"
#include "controls/Playlist.h"
#include "controls/UserStore.h"
#include "player/MpvPlayer.h"
#include "player/SongFile.h"
#include "support/QtPrinters.h"
#include "support/TestState.h"

#include <QSemaphore>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string_view>

#include <sys/stat.h>

namespace {

using State = MediaPlayer::PlayState;

// The player over a playlist alone; the songs it offers are kept, and the
// picker is opened as the song picker opens it.
struct PlayerRig : TestState {
    Playlist playlist;
    Player player {playlist, templates, options.autoRandom, mediaPlayer, chat};
    QStringList offered;

    PlayerRig()
    {
        QObject::connect(&player, &Player::songsOffered, [this](const QStringList& names) {
            offered += names;
            player.setPickerOpen(true);
        });
    }
};

// Songs open without the real 0.1 s wait, and every random draw is `draw`.
class PlayerTest : public ::testing::Test {
protected:
    PlayerTest()
    {
        t->player.setOpeningWait([this](double) { duringWait(); });
        t->player.setRandomSource([this] { return draw; });
        t->templates.font.setText(QStringLiteral("<F>"));
        t->templates.playing.setText(QStringLiteral("%s"));
    }

    // A playlist line for a WAV file named after the song: 8000 Hz, 16 bits,
    // so its bit rate is 128 kbit/s a channel.
    QString addLine(const QString& name, int channels = 2, const QStringList& tags = {})
    {
        const QString path = t.dir.filePath(name + QStringLiteral(".wav"));
        EXPECT_TRUE(writeSilentWav(path, 0.01, channels, tags));
        t->playlist.addItem(name + u';' + path);
        return path;
    }
    void result(const QString& line)
    {
        t->player.searchResults().addItem(line + u';' + t.dir.filePath(line + QStringLiteral(".wav")));
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
    duringWait = [this] { t.mediaPlayer.duration = QStringLiteral("1:02:03"); };
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
        t.mediaPlayer.duration.clear();
        t->templates.playing.setText(QString::fromUtf8(c.model));
        t->player.playSong(QString::fromUtf8(c.song));
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
    EXPECT_TRUE(t->player.clockTimer.isActive() && t->player.autoRandomTimer.isActive());
    t->player.nowPlaying().clockRunning.setValue(false);
    t->player.tickClock();
    EXPECT_FALSE(t->player.clockTimer.isActive() || t->player.autoRandomTimer.isActive());
}

// Whatever the reason, the room gets one line instead of the now-playing
// line, and the clock and the file label stay as they were. The look at
// the file runs while events are served, and a file system that does not
// answer in time counts as a reason too.
TEST_F(PlayerTest, ASongThatCannotBePlayedIsSaidOnceAndChangesNothing)
{
    const QString plays = addLine(QStringLiteral("Plays"));
    const QString folder = t.dir.filePath(QStringLiteral("folder")), pipe = t.dir.filePath(QStringLiteral("pipe"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    t->playlist.addItems({QStringLiteral("Gone;") + t.dir.filePath(QStringLiteral("gone.wav")),
                          QStringLiteral("Folder;") + folder, QStringLiteral("Pipe;") + pipe,
                          QStringLiteral("Hung;/hung/song.mp3")});
    const auto gate = std::make_shared<QSemaphore>();
    t->player.setFileCheck(
        [gate](const QString& path) {
            if (path.startsWith(QLatin1String("/hung/")))
                gate->acquire();
            return examineSongFile(path);
        },
        std::chrono::milliseconds(200));
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
        bool served = false;
        QTimer::singleShot(0, [&] { served = true; });
        EXPECT_FALSE(t->player.playSong(QString::fromUtf8(song)));
        // A look that does not answer is waited for with events served.
        if (std::string_view(song) == "Hung")
            EXPECT_TRUE(served);
        EXPECT_EQ(t.sent, QStringList {QStringLiteral("<F>Cannot play %1: %2").arg(song, why)});
    }
    // Refused by the player while it opens: not announced either.
    duringWait = [this] { t.mediaPlayer.fail(); };
    t.sent.clear();
    EXPECT_FALSE(t->player.playSong(QStringLiteral("Plays")));
    EXPECT_EQ(t.sent, QStringList {"<F>Cannot play Plays: the player cannot open it"});
    EXPECT_EQ(t.mediaPlayer.urls, QStringList {plays});
    EXPECT_EQ(QStringList({t->player.nowPlaying().file.text(), t->player.nowPlaying().time.text(),
                           QString::number(t->player.nowPlaying().elapsedSeconds.value())}),
              QStringList({"Before", "3:07", "187"}));
    EXPECT_FALSE(t->player.nowPlaying().clockRunning.value());

    // The program ends while a look waits: nothing more is said.
    duringWait = [] {};
    t.sent.clear();
    QTimer::singleShot(0, [this] { t->player.stopTimers(); });
    EXPECT_FALSE(t->player.playSong(QStringLiteral("Hung")));
    EXPECT_EQ(t.sent, QStringList());
    gate->release(2);
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
    t->player.playSong(QStringLiteral("live"));
    EXPECT_EQ(t.mediaPlayer.urls, QStringList {station});
    EXPECT_EQ(t.sent, QStringList({"<F>live #1", "<F>Ana &amp; &lt;i&gt;Bo&lt;/i&gt; #1"}));
    EXPECT_TRUE(t->player.titleTimer.isActive());

    for (const char* title : {"Second", "Third"})
        Q_EMIT t.mediaPlayer.streamTitleChanged(QString::fromUtf8(title));
    EXPECT_EQ(t.sent.size(), 2);
    EXPECT_EQ(t->player.nowPlaying().file.text(), "Third");
    t->player.postHeldTitle();
    t->player.postHeldTitle();
    EXPECT_EQ(t.sent.mid(2), QStringList {"<F>Third #1"});

    // Another song ends the station's lines, held back or new.
    Q_EMIT t.mediaPlayer.streamTitleChanged(QStringLiteral("Fourth"));
    t->player.playSong(QStringLiteral("Song"));
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
    t->player.playSong(QStringLiteral("  SAME so ng "));
    EXPECT_EQ(t.mediaPlayer.urls, QStringList({a, b}));
    EXPECT_EQ(t.sent, QStringList({"<F>Same Song #1 stereo", "<F>sameSong #3 mono"}));
}

TEST_F(PlayerTest, OneSearchResultIsPlayedAndTwoOrMoreAreOfferedOnce)
{
    const QString first = addLine(QStringLiteral("First"));
    t->templates.playing.setText(QStringLiteral("%s %n"));
    t->player.setHitNumber(QStringLiteral("7"));
    // Only results waiting for the next turn hold the room's lines back.
    ASSERT_TRUE(t->player.searchResultsTimer.isActive());
    EXPECT_FALSE(t->player.isBusy());
    result(QStringLiteral("First"));
    EXPECT_TRUE(t->player.isBusy());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !t.mediaPlayer.urls.isEmpty(); }, 30000));
    EXPECT_EQ(t.mediaPlayer.urls, QStringList {first});
    EXPECT_EQ(t.sent, QStringList {"<F>First 7"});
    t.sent.clear();
    const QStringList names {"One", "Two", "Three"};
    for (const QString& name : names)
        result(name);
    t->player.takeSearchResults();
    t->player.takeSearchResults();
    EXPECT_EQ(t.sent, QStringList {"<F>3</b> Files Found, Select One."});
    EXPECT_EQ(t.offered, names);
    EXPECT_EQ(t->player.searchResults().count(), 3);
    EXPECT_EQ(t.mediaPlayer.urls.size(), 1);
}

// A song that would not open, or whose file is missing (an unmounted
// music folder), counts as a failure and leaves the cursor where it was.
TEST_F(PlayerTest, AutoRandomNeverPicksASongThatWouldNotOpenAndStopsAfterThreeFailuresInARow)
{
    const QString a = addLine(QStringLiteral("A")), b = addLine(QStringLiteral("B"));
    const QString c = addLine(QStringLiteral("C"));
    t->playlist.addItem(QStringLiteral("D;/gone/D.mp3"));
    const auto tick = [this](int state, double r, bool fails) {
        t.mediaPlayer.setState(state);
        draw = r;
        t->player.tickAutoRandom();
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
    QList<int> told;
    QObject::connect(&t->player, &Player::volumeChanged, [&](int v) { told.append(v); });
    for (const int volume : {130, 100, -4})
        t->player.setVolume(volume);
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
