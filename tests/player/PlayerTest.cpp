#include "player/Player.h"
#include "AudioFiles.h"
#include "support/QtPrinters.h"
#include "support/TestState.h"
#include "toc/WaitFor.h"

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

// Songs open without the real 0.1 s wait unless a test asks for it, and
// every random draw is `draw`.
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
    void result(const QString& line) { t->List3.addItem(line + u';' + t.dir.filePath(line + QStringLiteral(".wav"))); }

    Alone<PlayerRig> t;
    QList<double> waits;
    std::function<void()> duringWait;
    double draw = 0;
};

TEST_F(PlayerTest, AnnouncesTheSongWithItsTemplateFilledInOrderFromTheFileAndItsTags)
{
    QStringList urls = {addLine(QStringLiteral("Tagged"), 2, 8000,
                                {{"IART", "The %album Band"}, {"INAM", "A %s Title"}, {"IPRD", "Record"}}),
                        addLine(QStringLiteral("Bare"), 1), t.dir.filePath(QStringLiteral("gone.wav"))};
    t->List2.addItem(QStringLiteral("Gone;") + urls.last());
    urls << addLine(QStringLiteral("x%kb%d%n%mb%mode%s")) << addLine(QStringLiteral("Odd %title"));
    // The player knows the duration once the file is open: the position is
    // taken before the wait, the rest after it, each placeholder from the
    // result of the one before; the tags last, as they are.
    duringWait = [this] { t.wmp.duration = QStringLiteral("1:02:03"); };
    const struct {
        const char *song, *model, *line;
    } cases[] = {
        {"Tagged", "%artist|%title|%album|%s|%kb|%n|%d", "The %album Band|A %s Title|Record|Tagged|256|1|1:02:03"},
        {"Bare", "%artist|%title|%album|%s|%mode|%mb", "|Bare||Bare|mono|204 bytes"},
        // An unreadable file keeps the last song's facts, never its tags.
        {"Gone", "%artist|%title|%album|%kb|%mode|%mb", "|Gone||128|mono|0 bytes"},
        {"x%kb%d%n%mb%mode%s", "[%s][%n][%kb][%mb][%mode][%d]",
         "[x2561:02:03%n%mbstereo%s][4][256][364 bytes][stereo][1:02:03]"},
        // A template without tags is filled as it always was.
        {"Odd %title", "%s %kb", "Odd %title 256"},
    };
    for (const auto& c : cases) {
        t.wmp.duration.clear();
        t->txtPlay.setText(QString::fromUtf8(c.model));
        t->player.Play(QString::fromUtf8(c.song));
        EXPECT_EQ(t.sent.last(), QStringLiteral("<F>") + QString::fromUtf8(c.line));
    }
    EXPECT_EQ(t.sent.size(), 5);
    EXPECT_EQ(t.wmp.urls, urls);
    EXPECT_EQ(waits, QList<double>(5, 0.1));
    EXPECT_EQ(t->labFile.caption(), "Odd %title");
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

    // No match, not even a blank name for no name: nothing starts, but the
    // clock is reset, and switched off again once the player is idle.
    t->labTime.setCaption(QStringLiteral("2:00"));
    t->txtMin.setText(QStringLiteral("2"));
    t->chkTime.setValue(0);
    t->player.Play(QStringLiteral("nothing like it"));
    t->player.Play(QString());
    EXPECT_EQ(t.wmp.urls.size() + t.sent.size(), 6);
    EXPECT_EQ(QStringList({t->labTime.caption(), t->txtMin.text()}), QStringList({"00:00", "0"}));
    EXPECT_EQ(t->chkTime.value(), 1);
    t.wmp.setState(State::Ready);
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
}

TEST_F(PlayerTest, TheClockCountsWhileASongIsTimedAndItsTimersRunOnlyThen)
{
    const auto running = [this] { return QList<bool> {t->player.pTime.isActive(), t->player.tmrAR.isActive()}; };
    EXPECT_EQ(running(), QList<bool>({false, false}));
    addLine(QStringLiteral("A"));
    t->player.Play(QStringLiteral("A"));
    EXPECT_EQ(running(), QList<bool>({true, true}));
    t->txtSec.setText(QStringLiteral("58"));
    t->player.pTime_Timer();
    EXPECT_EQ(t->labTime.caption(), "0:59");
    t->player.pTime_Timer();
    EXPECT_EQ(QStringList({t->labTime.caption(), t->txtMin.text()}), QStringList({"1:00", "1"}));

    // The song ends: the timing stops, then the count left behind is
    // cleared while the display stays.
    t.wmp.setState(State::Stopped);
    t->player.tmrAR_Timer();
    EXPECT_EQ(running(), QList<bool>({true, false}));
    t->player.pTime_Timer();
    EXPECT_EQ(QStringList({t->txtSec.text(), t->txtMin.text(), t->labTime.caption()}), QStringList({"0", "0", "1:00"}));
    EXPECT_EQ(running(), QList<bool>({false, false}));
    t->player.AutoRandom(true);
    EXPECT_EQ(running(), QList<bool>({false, true}));
    t->player.AutoRandom(false);
    EXPECT_EQ(running(), QList<bool>({false, false}));

    // On the next turn of the event loop, a stopped player resets the
    // clock fields; a playing one does not.
    t.wmp.setState(State::Playing);
    t->chkTime.setValue(1);
    t->txtSec.setText(QStringLiteral("17"));
    QCoreApplication::processEvents();
    EXPECT_EQ(t->chkTime.value(), 1);
    t.wmp.setState(State::Stopped);
    QCoreApplication::processEvents();
    EXPECT_EQ(QStringList({QString::number(t->chkTime.value()), t->txtSec.text()}), QStringList({"0", "0"}));
}

TEST_F(PlayerTest, SearchResultsAreTakenOnTheNextTurnOnePlayedOnceAndSeveralOfferedOnce)
{
    const QString first = addLine(QStringLiteral("First")), second = addLine(QStringLiteral("Second"));
    t->List1.setListIndex(1);
    t->txtPlay.setText(QStringLiteral("%s %n"));
    t->txtNum.setText(QStringLiteral("7"));
    // Another search lands while the first result opens, and the result
    // timer comes round again: the new result waits its turn.
    duringWait = [&] {
        if (t.wmp.urls.size() == 1) {
            result(QStringLiteral("Second"));
            t->player.Timer1_Timer();
        }
    };
    result(QStringLiteral("First"));
    ASSERT_TRUE(waitFor([&] { return t.wmp.urls.size() == 2; }, 30000));
    QCoreApplication::processEvents();
    EXPECT_EQ(t.wmp.urls, QStringList({first, second}));
    EXPECT_EQ(t.sent, QStringList({"<F>First 7", "<F>Second 7"}));
    EXPECT_EQ(t->labFile.caption(), "Second");
    // The playlist selection follows the result list's, which is none.
    EXPECT_EQ(t->List1.listIndex(), -1);

    // Two results or more are offered in the picker, once while it is open.
    for (const QStringList& names : {QStringList {"One", "Two"}, QStringList {"One", "Two", "Three"}}) {
        t->music.setValue(0);  // the last picker was closed
        t.offered.clear();
        t.sent.clear();
        for (const QString& name : names)
            result(name);
        t->player.Timer1_Timer();
        t->player.Timer1_Timer();
        EXPECT_EQ(t.sent, QStringList({QStringLiteral("<F>%1</b> Files Found, Select One.").arg(names.size())}));
        EXPECT_EQ(t.offered, names);
        EXPECT_EQ(t->List3.count(), names.size());
        t->List3.clear();
    }

    // With the real opening wait, which serves events, started once; and
    // nothing once the timers stop.
    t->player.setOpeningWait(nullptr);
    result(QStringLiteral("First"));
    ASSERT_TRUE(waitFor([&] { return t.wmp.urls.size() == 3; }, 30000));
    QCoreApplication::processEvents();
    EXPECT_EQ(t.wmp.urls, QStringList({first, second, first}));
    t->player.stopTimers();
    result(QStringLiteral("First"));
    EXPECT_FALSE(t->player.Timer1.isActive() || t->player.pTime.isActive() || t->player.tmrAR.isActive());
}

TEST_F(PlayerTest, AutoRandomStartsARandomSongWheneverThePlayerIsIdleButNeverOneThatWouldNotOpen)
{
    const QString a = addLine(QStringLiteral("A"));
    t->player.AutoRandom(true);
    const auto tick = [this](int state, double r, bool fails = false) {
        t.wmp.setState(state);
        draw = r;
        t->player.tmrAR_Timer();
        if (fails)
            t.wmp.fail();
    };
    // One song is always picked, whatever the draw; a busy player is left alone.
    for (const int idle : {State::Undefined, State::Ready, State::Stopped})
        tick(idle, 0.999999);
    tick(State::Playing, 0);
    tick(State::Paused, 0);
    EXPECT_EQ(t.wmp.urls, QStringList({a, a, a}));

    // Two songs are both picked over time; off, nothing starts.
    const QString b = addLine(QStringLiteral("B"));
    for (const double r : {0.7, 0.2, 0.5, 0.49})
        tick(State::Stopped, r);
    EXPECT_EQ(t->List1.listIndex(), 0);
    t->player.AutoRandom(false);
    tick(State::Stopped, 0);
    EXPECT_EQ(t.wmp.urls.mid(3), QStringList({b, a, b, a}));

    // B fails once and is never drawn again; A plays, which ends the run of
    // failures; then C, D and A fail in a row, and auto random goes off.
    const QString c = addLine(QStringLiteral("C")), d = addLine(QStringLiteral("D"));
    t->player.AutoRandom(true);
    const std::pair<double, bool> picks[] = {{0.3, true}, {0.3, false}, {0.5, true}, {0.5, true}, {0.9, true}};
    for (const auto& [r, fails] : picks)
        tick(State::Stopped, r, fails);
    EXPECT_EQ(t.wmp.urls.mid(7), QStringList({b, a, c, d, a}));
    const QString off = QStringLiteral("<F>A</b>uto random off: 3 songs in a row would not play");
    EXPECT_EQ(t.sent.count(off), 1);
    EXPECT_EQ(t.sent.constLast(), off);
    EXPECT_EQ(t->chkenabled.value(), 0);

    // Switched on again, it finds nothing left that plays.
    t->player.AutoRandom(true);
    tick(State::Stopped, 0);
    EXPECT_EQ(t.wmp.urls.size(), 12);
}

TEST_F(PlayerTest, RandomIsTheWholePartOfItsLinearFunctionAndPicksAmongNamesHoldingTheText)
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

    const QString red = addLine(QStringLiteral("Red Song"));
    addLine(QStringLiteral("Blue"));
    const QString another = addLine(QStringLiteral("Another Redsong"));
    const QString green = addLine(QStringLiteral("Green"));
    // An empty text makes every song a candidate; with none, the clock is
    // reset and nothing starts.
    for (const auto& [text, r] : {std::pair {QStringLiteral("r edS"), 0.6}, {QString(), 0.99}, {QString(), 0.0}}) {
        draw = r;
        t->player.randomString(text);
    }
    t->labTime.setCaption(QStringLiteral("1:00"));
    t->player.randomString(QStringLiteral("purple"));
    EXPECT_EQ(t.wmp.urls, QStringList({another, green, red}));
    EXPECT_EQ(t->lstRan.count(), 0);
    EXPECT_EQ(t->labTime.caption(), "00:00");

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
    t->player.PaUse(0);
    EXPECT_FALSE(served);
    // A loaded machine can make the wait longer, never shorter.
    QElapsedTimer clock;
    clock.start();
    t->player.PaUse(0.05);
    EXPECT_TRUE(served);
    EXPECT_GE(clock.elapsed(), 50);
}

TEST(FileSize, BoundariesOfEachUnitAndSizesBeyondTwoGibibytes)
{
    const auto local = [](QString text) { return text.replace(u'.', QLocale::system().decimalPoint()); };
    const std::pair<qint64, const char*> cases[]
        = {{1023, "1023 bytes"}, {1024, "1.00 KB"},    {1048575, "1024.00 KB"},
           {1048576, "1.00 MB"}, {3690987, "3.52 MB"}, {1073741824, "1.00 GB"}};
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(fileSizeText(bytes), local(QLatin1String(text))) << bytes;
    QTemporaryDir dir;
    QFile big(dir.filePath(QStringLiteral("big.wav")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(3LL * 1073741824));  // sparse: no disk is used
    big.close();
    EXPECT_EQ(GetFileSize(big.fileName()), local(QStringLiteral("3.00 GB")));
    EXPECT_EQ(GetFileSize(dir.path()), "0 bytes");
}

}  // namespace
