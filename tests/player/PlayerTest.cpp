#include "player/Player.h"
#include "AudioFiles.h"
#include "support/QtPrinters.h"
#include "support/TestState.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

#include <set>

namespace {

using State = MediaPlayer::PlayState;

// The player over the holders alone; the songs it offers are kept, and the
// picker's flag is raised as the picker raises it when it opens.
struct PlayerRig : TestState {
    Player player {*this, wmp, chat};
    QStringList offered;

    PlayerRig()
    {
        QObject::connect(&player, &Player::songsOffered, [this](const QStringList& names) {
            offered += names;
            music.setValue(1);
        });
    }
};

// The form with its playlist; songs open without the real 0.1 s wait
// unless a test asks for it, and every random draw is `draw`.
class PlayerTest : public ::testing::Test {
protected:
    PlayerTest()
    {
        t->player.setOpeningWait([this](double seconds) {
            waits.append(seconds);
            if (duringWait)
                duringWait();
        });
        t->player.setRandomSource([this] { return draw; });
        t->txtFont.setText(QStringLiteral("<F>"));
        t->txtPlay.setText(QStringLiteral("%s"));
    }

    // A playlist line for a WAV file named after the song: 8000 Hz, 16 bits,
    // so its bit rate is 128 kbit/s a channel.
    QString addLine(const QString& name, quint16 channels = 2, quint32 rate = 8000,
                    const QList<std::pair<QByteArray, QByteArray>>& tags = {})
    {
        const QString path = t.dir.filePath(name + QStringLiteral(".wav"));
        EXPECT_TRUE(audiofiles::writeSilentWav(path, 0.01, rate, channels, tags));
        t->List2.addItem(name + u';' + path);
        t->List1.addItem(name);
        return path;
    }

    Alone<PlayerRig> t;
    QList<double> waits;
    std::function<void()> duringWait;
    double draw = 0;
};

TEST_F(PlayerTest, AnnouncesTheStartedSongWithTheTemplateFilledIn)
{
    addLine(QStringLiteral("First"));
    addLine(QStringLiteral("Second"));
    const QString third = addLine(QStringLiteral("Third"));
    t->txtPlay.setText(QStringLiteral("<b>P</b>laying [%s / %n] [%kb Kb/s] [%mb] [%mode]"));
    t->player.Play(QStringLiteral("Third"));

    EXPECT_EQ(t.sent, QStringList({"<F><b>P</b>laying [Third / 3] [256 Kb/s] [364 bytes] [stereo]"}));
    EXPECT_EQ(t.wmp.urls, QStringList({third}));
    EXPECT_EQ(waits, QList<double>({0.1}));
    EXPECT_EQ(t->labFile.caption(), "Third");
}

TEST_F(PlayerTest, FillsPlaceholdersInOrderSoTheNameTakesLaterOnesOnly)
{
    const QString name = QStringLiteral("x%kb%d%n%mb%mode%s");
    addLine(name);
    t->txtPlay.setText(QStringLiteral("[%s][%n][%kb][%mb][%mode][%d]"));
    t.wmp.duration.clear();
    // The player knows the duration once the file is open; the position
    // was taken before the wait, the rest after it.
    duringWait = [this] {
        t.wmp.duration = QStringLiteral("1:02:03");
        t->lblbitrate.setCaption(QStringLiteral("999"));
    };

    t->player.Play(name);

    EXPECT_EQ(t.sent, QStringList({"<F>[x9991:02:03%n%mbstereo%s][1][999][364 bytes][stereo][1:02:03]"}));
}

TEST_F(PlayerTest, FillsTheTagPlaceholdersFromTheFileTakingTheNameForAMissingTitle)
{
    addLine(QStringLiteral("Tagged"), 2, 8000,
            {{"IART", "The %album Band"}, {"INAM", "A %s Title"}, {"IPRD", "Record"}});
    addLine(QStringLiteral("Bare"), 1);
    t->List2.addItem(QStringLiteral("Gone;") + t.dir.filePath(QStringLiteral("gone.wav")));
    addLine(QStringLiteral("Odd %title"));
    const struct {
        const char* song;
        const char* model;
        const char* line;
    } cases[] = {
        // A tag's text is taken as it is, even one that looks like a placeholder.
        {"Tagged", "%artist|%title|%album|%s|%kb", "The %album Band|A %s Title|Record|Tagged|256"},
        {"Bare", "%artist|%title|%album|%s|%mode", "|Bare||Bare|mono"},
        // An unreadable file keeps the last song's facts, never its tags.
        {"Gone", "%artist|%title|%album|%kb|%mode", "|Gone||128|mono"},
        // A template without them is filled as it always was.
        {"Odd %title", "%s %kb", "Odd %title 256"},
    };
    for (const auto& c : cases) {
        t->txtPlay.setText(QString::fromUtf8(c.model));
        t->player.Play(QString::fromUtf8(c.song));
        EXPECT_EQ(t.sent.last(), QStringLiteral("<F>") + QString::fromUtf8(c.line));
    }
}

TEST_F(PlayerTest, StartsEveryLineOfTheNameInOrderWhateverItsCaseAndBlanks)
{
    const QString a = addLine(QStringLiteral("Same Song"));
    addLine(QStringLiteral(" "));
    const QString b = addLine(QStringLiteral("sameSong"), 1, 32000);
    const QString rock = addLine(QStringLiteral("Rock;Roll"));  // its file still plays
    t->txtPlay.setText(QStringLiteral("%s #%n %kb %mode"));

    t->player.Play(QStringLiteral("  SAME so ng "));
    t->player.Play(QStringLiteral("rock"));
    EXPECT_EQ(t.wmp.urls, QStringList({a, b, rock}));
    EXPECT_EQ(t.sent, QStringList({"<F>Same Song #1 256 stereo", "<F>sameSong #3 512 mono", "<F>Rock #4 256 stereo"}));

    // No match, not even a blank name for no name: nothing starts, but the clock is reset.
    t->labTime.setCaption(QStringLiteral("2:00"));
    t->txtMin.setText(QStringLiteral("2"));
    t->chkTime.setValue(0);
    t->player.Play(QStringLiteral("nothing like it"));
    t->player.Play(QString());
    EXPECT_EQ(t.wmp.urls.size(), 3);
    EXPECT_EQ(t.sent.size(), 3);
    EXPECT_EQ(t->labTime.caption(), "00:00");
    EXPECT_EQ(t->txtMin.text(), "0");
    EXPECT_EQ(t->chkTime.value(), 1);
    // With the player idle the clock is switched off again within a second.
    t.wmp.setState(State::Stopped);
    t->player.tmrAR_Timer();
    EXPECT_EQ(t->chkTime.value(), 0);

    // Rows removed while a song opens change neither which songs start nor
    // the positions they are announced with.
    duringWait = [&] {
        if (t->List2.count() == 4) {
            t->List2.removeItem(0);
            t->List1.removeItem(0);
        }
    };
    t->player.Play(QStringLiteral("same song"));
    EXPECT_EQ(t.wmp.urls.mid(3), QStringList({a, b}));
    EXPECT_EQ(t.sent.mid(3), QStringList({"<F>Same Song #1 256 stereo", "<F>sameSong #3 512 mono"}));
    EXPECT_EQ(t->List1.items(), QStringList({" ", "sameSong", "Rock;Roll"}));
}

TEST_F(PlayerTest, ClockCountsSecondsIntoMinutes)
{
    t->chkTime.setValue(1);
    t->txtSec.setText(QStringLiteral("58"));
    t->player.pTime_Timer();
    EXPECT_EQ(t->labTime.caption(), "0:59");
    t->player.pTime_Timer();
    EXPECT_EQ(t->labTime.caption(), "1:00");
    EXPECT_EQ(t->txtMin.text(), "1");

    // Stopped clock: the counts go back to zero, the display stays.
    t->chkTime.setValue(0);
    t->player.pTime_Timer();
    EXPECT_EQ(t->txtSec.text(), "0");
    EXPECT_EQ(t->txtMin.text(), "0");
    EXPECT_EQ(t->labTime.caption(), "1:00");
}

TEST_F(PlayerTest, TheOneSecondClocksRunOnlyWhileTheyHaveSomethingToDo)
{
    const auto running = [this] { return QList<bool> {t->player.pTime.isActive(), t->player.tmrAR.isActive()}; };
    EXPECT_EQ(running(), QList<bool>({false, false}));
    addLine(QStringLiteral("A"));
    t->player.Play(QStringLiteral("A"));
    t.wmp.setState(State::Playing);
    t->player.pTime_Timer();
    EXPECT_EQ(running(), QList<bool>({true, true}));
    // The song ends: the timing stops, then the count left behind is cleared.
    t.wmp.setState(State::Stopped);
    t->player.tmrAR_Timer();
    EXPECT_EQ(running(), QList<bool>({true, false}));
    t->player.pTime_Timer();
    EXPECT_EQ(running(), QList<bool>({false, false}));
    t->player.AutoRandom(true);
    EXPECT_EQ(running(), QList<bool>({false, true}));
    t->player.AutoRandom(false);
    EXPECT_EQ(running(), QList<bool>({false, false}));
}

TEST_F(PlayerTest, OneSearchResultIsPlayedAndSeveralAreOfferedOnceInThePicker)
{
    addLine(QStringLiteral("Miss"));
    const QString hit = addLine(QStringLiteral("Hit"));
    t->List1.setListIndex(0);
    t->txtPlay.setText(QStringLiteral("%s %n"));
    t->txtNum.setText(QStringLiteral("2"));
    t->List3.addItem(QStringLiteral("Hit;") + hit);
    t->player.Timer1_Timer();
    t->player.Timer1_Timer();
    EXPECT_EQ(t.sent, QStringList({"<F>Hit 2"}));
    EXPECT_EQ(t->labFile.caption(), "Hit");
    // The playlist selection follows the result list's, which is none.
    EXPECT_EQ(t->List1.listIndex(), -1);

    // Two results or more are offered in the picker, once while it is open.
    for (const QStringList& names : {QStringList {"One", "Two"}, QStringList {"One", "Two", "Three"}}) {
        // The last picker was closed.
        t->music.setValue(0);
        t->List3.clear();
        t.offered.clear();
        t.sent.clear();
        for (const QString& name : names)
            t->List3.addItem(name + QStringLiteral(";/m/") + name + QStringLiteral(".mp3"));
        t->player.Timer1_Timer();
        ASSERT_EQ(t->music.value(), 1) << names.size();
        t->player.Timer1_Timer();
        EXPECT_EQ(t.sent, QStringList({QStringLiteral("<F>%1</b> Files Found, Select One.").arg(names.size())}));
        EXPECT_EQ(t.offered, names);
        EXPECT_EQ(t->List3.count(), names.size());
    }
    EXPECT_EQ(t.wmp.urls, QStringList({hit}));
}

TEST_F(PlayerTest, TickDuringTheOpeningWaitDoesNotStartTheSameResultAgain)
{
    const QString first = addLine(QStringLiteral("First"));
    const QString second = addLine(QStringLiteral("Second"));
    t->List3.addItem(QStringLiteral("First;") + first);
    duringWait = [&] {
        // Another search lands while the first result opens, and the
        // result timer comes round again.
        if (t->List3.count() == 0 && t.wmp.urls.size() == 1) {
            t->List3.addItem(QStringLiteral("Second;") + second);
            t->player.Timer1_Timer();
        }
    };

    t->player.Timer1_Timer();

    EXPECT_EQ(t.sent, QStringList({"<F>First"}));
    // The later result is kept, and is due on the next turn of the loop.
    EXPECT_EQ(t->List3.items(), QStringList({"Second;" + second}));
    EXPECT_TRUE(t->player.Timer1.isActive());
    t->player.Timer1_Timer();
    EXPECT_EQ(t.wmp.urls, QStringList({first, second}));
}

TEST_F(PlayerTest, TimerOneActsOnTheNextTurnOfTheEventLoopUntilTheTimersStop)
{
    // A stopped player resets the clock fields; a playing one does not.
    t.wmp.setState(State::Playing);
    t->chkTime.setValue(1);
    t->txtSec.setText(QStringLiteral("17"));
    QCoreApplication::processEvents();
    EXPECT_EQ(t->chkTime.value(), 1);
    t.wmp.setState(State::Stopped);
    QCoreApplication::processEvents();
    EXPECT_EQ(t->chkTime.value(), 0);
    EXPECT_EQ(t->txtSec.text(), "0");

    // A result is taken over and started once, with the real opening wait.
    t->player.setOpeningWait(nullptr);
    const QString hit = addLine(QStringLiteral("Hit"));
    t->List3.addItem(QStringLiteral("Hit;") + hit);
    ASSERT_TRUE(audiofiles::waitUntil([&] { return !t.sent.isEmpty(); }, 3000));
    QCoreApplication::processEvents();
    EXPECT_EQ(t.wmp.urls, QStringList({hit}));
    EXPECT_EQ(t.sent, QStringList({"<F>Hit"}));

    t->player.stopTimers();
    t->List3.addItem(QStringLiteral("Hit;") + hit);
    EXPECT_FALSE(t->player.Timer1.isActive() || t->player.pTime.isActive() || t->player.tmrAR.isActive());
}

TEST_F(PlayerTest, AutoRandomStartsARandomSongWheneverThePlayerIsIdle)
{
    const QString a = addLine(QStringLiteral("A"));
    t->player.AutoRandom(true);
    const auto tick = [this](int state, double r) {
        t.wmp.setState(state);
        draw = r;
        t->player.tmrAR_Timer();
    };

    // One song is always picked, whatever the draw; a busy player is left alone.
    for (const int idle : {State::Undefined, State::Ready, State::Stopped})
        tick(idle, 0.999999);
    tick(State::Playing, 0);
    tick(State::Paused, 0);
    EXPECT_EQ(t.wmp.urls, QStringList({a, a, a}));

    // Two songs are both picked over time.
    const QString b = addLine(QStringLiteral("B"));
    for (const double r : {0.7, 0.2, 0.5, 0.49})
        tick(State::Stopped, r);
    EXPECT_EQ(t.wmp.urls.mid(3), QStringList({b, a, b, a}));
    EXPECT_EQ(t->List1.listIndex(), 0);

    // Off after on: nothing more starts; nor does anything with no songs.
    t->player.AutoRandom(false);
    EXPECT_EQ(t->chkenabled.value(), 0);
    tick(State::Stopped, 0);
    t->List1.clear();
    t->player.AutoRandom(true);
    tick(State::Stopped, 0);
    EXPECT_EQ(t.wmp.urls.size(), 7);
}

TEST_F(PlayerTest, AutoRandomLeavesOutFilesThatWouldNotOpenAndStopsAfterThreeFailuresInARow)
{
    const QString a = addLine(QStringLiteral("A")), b = addLine(QStringLiteral("B"));
    const QString c = addLine(QStringLiteral("C")), d = addLine(QStringLiteral("D"));
    t->player.AutoRandom(true);
    const auto pick = [this](double r, bool fails) {
        t.wmp.setState(State::Stopped);
        draw = r;
        t->player.tmrAR_Timer();
        if (fails)
            t.wmp.fail();
    };
    // B fails once and is never drawn again; A plays, which ends the run of
    // failures; then C, D and A fail in a row.
    const std::pair<double, bool> picks[] = {{0.3, true}, {0.3, false}, {0.5, true}, {0.5, true}, {0.9, true}};
    for (const auto& [r, fails] : picks)
        pick(r, fails);
    EXPECT_EQ(t.wmp.urls, QStringList({b, a, c, d, a}));
    const QString off = QStringLiteral("<F>A</b>uto random off: 3 songs in a row would not play");
    EXPECT_EQ(t.sent.count(off), 1);
    EXPECT_EQ(t.sent.constLast(), off);
    EXPECT_EQ(t->chkenabled.value(), 0);

    // Switched on again, it finds nothing left that plays.
    t->player.AutoRandom(true);
    pick(0, false);
    EXPECT_EQ(t.wmp.urls.size(), 5);
}

TEST_F(PlayerTest, RandomStringPicksAmongNamesHoldingTheText)
{
    const QString red = addLine(QStringLiteral("Red Song"));
    addLine(QStringLiteral("Blue"));
    const QString another = addLine(QStringLiteral("Another Redsong"));
    const QString green = addLine(QStringLiteral("Green"));

    for (const auto& [text, r] : {std::pair {QStringLiteral("r edS"), 0.6}, {QString(), 0.99}, {QString(), 0.0}}) {
        draw = r;
        t->player.randomString(text);  // an empty text makes every song a candidate
    }
    EXPECT_EQ(t.wmp.urls, QStringList({another, green, red}));
    EXPECT_EQ(t->lstRan.count(), 0);

    // No candidate: the clock is reset and nothing starts.
    t->labTime.setCaption(QStringLiteral("1:00"));
    t->player.randomString(QStringLiteral("purple"));
    EXPECT_EQ(t.wmp.urls.size(), 3);
    EXPECT_EQ(t->labTime.caption(), "00:00");
}

TEST_F(PlayerTest, RandomIsTheWholePartOfItsLinearFunction)
{
    // A source outside [0, 1) cannot push the result out of range.
    const struct {
        double r;
        const char *a, *b;
        int value;
    } cases[]
        = {{0.5, "3", "0", 1}, {0.999999, "3", "0", 2}, {1.0, "3", "0", 2}, {-0.5, "3", "0", 0}, {0.25, "abc", "7", 7}};
    for (const auto& c : cases) {
        draw = c.r;
        EXPECT_EQ(t->player.Random(QString::fromLatin1(c.a), QString::fromLatin1(c.b)), c.value) << c.r;
    }

    // Clock-seeded draws made within one clock tick still differ.
    t->player.setRandomSource(nullptr);
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i)
        seen.insert(t->player.Random(QStringLiteral("10000"), QStringLiteral("1000")));
    EXPECT_GE(*seen.begin(), 1000);
    EXPECT_LT(*seen.begin(), 2000);
    EXPECT_GT(*seen.rbegin(), 10000);
    EXPECT_LE(*seen.rbegin(), 10999);
}

TEST_F(PlayerTest, PaUseServesEventsUntilItsTimeIsUp)
{
    bool served = false;
    QMetaObject::invokeMethod(
        &t->player, [&] { served = true; }, Qt::QueuedConnection);
    // No time to wait: back at once, without serving anything.
    t->player.PaUse(0);
    t->player.PaUse(-3);
    EXPECT_FALSE(served);

    // A loaded machine can make the wait longer, never shorter; the ceiling
    // only catches a wait that never ends.
    QElapsedTimer clock;
    clock.start();
    t->player.PaUse(0.05);
    EXPECT_TRUE(served);
    EXPECT_GE(clock.elapsed(), 50);
    EXPECT_LT(clock.elapsed(), 30000);
}

TEST(FileSize, BoundariesOfEachUnitAndSizesBeyondTwoGibibytes)
{
    const QString point = QLocale::system().decimalPoint();
    const QList<std::pair<qint64, QString>> cases = {
        {0, "0 bytes"},
        {1023, "1023 bytes"},
        {1024, "1" + point + "00 KB"},
        {1048575, "1024" + point + "00 KB"},
        {1048576, "1" + point + "00 MB"},
        {3690987, "3" + point + "52 MB"},
        {1073741824, "1" + point + "00 GB"},
        {2147483648LL, "2" + point + "00 GB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(fileSizeText(bytes), text) << bytes;

    QTemporaryDir dir;
    const QString big = dir.path() + QStringLiteral("/big.wav");
    QFile file(big);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(3LL * 1073741824));  // sparse: no disk is used
    file.close();
    EXPECT_EQ(GetFileSize(big), "3" + point + "00 GB");
    EXPECT_EQ(GetFileSize(dir.path() + QStringLiteral("/missing.mp3")), "0 bytes");
    EXPECT_EQ(GetFileSize(dir.path()), "0 bytes");
}

}  // namespace
