#include "support/TestForm.h"
#include "AudioFiles.h"

#include <QElapsedTimer>
#include <QLocale>

#include <gtest/gtest.h>

#include <deque>

namespace {

// The form with its playlist; songs open without the real 0.1 s wait
// unless a test asks for it, and random draws come from `draws`.
class PlayerTest : public ::testing::Test {
protected:
    PlayerTest()
    {
        t->player.setOpeningWait([this](double seconds) {
            waits.append(seconds);
            if (duringWait)
                duringWait();
        });
        t->player.setRandomSource([this] {
            if (draws.empty())
                return 0.0;
            const double r = draws.front();
            draws.pop_front();
            return r;
        });
        t->txtFont.setText(QStringLiteral("<F>"));
    }

    // A song file that begins with the given header bytes, padded to `size`.
    QString song(const QString& fileName, const QByteArray& header = QByteArray("\xFF\xFB\x90\x64", 4), int size = 4)
    {
        const QString path = t.dir.filePath(fileName);
        EXPECT_TRUE(audiofiles::writeBytes(path, header + QByteArray(size - header.size(), '\0')));
        return path;
    }
    void addLine(const QString& name, const QString& path)
    {
        t->List2.addItem(name + u';' + path);
        t->List1.addItem(name);
    }

    TestForm t;
    QList<double> waits;
    std::function<void()> duringWait;
    std::deque<double> draws;
};

TEST_F(PlayerTest, AnnouncesTheStartedSongWithTheTemplateFilledIn)
{
    addLine(QStringLiteral("First"), song(QStringLiteral("First.mp3")));
    addLine(QStringLiteral("Second"), song(QStringLiteral("Second.mp3")));
    const QString third = song(QStringLiteral("Third.mp3"), QByteArray("\xFF\xFB\x90\x64", 4), 2048);
    addLine(QStringLiteral("Third"), third);
    t->txtPlay.setText(QStringLiteral("<b>P</b>laying [%s / %n] [%kb Kb/s] [%mb] [%mode]"));
    t->labTime.setCaption(QStringLiteral("3:14"));
    t->txtSec.setText(QStringLiteral("14"));

    t->player.Play(QStringLiteral("Third"));

    const QString size = QStringLiteral("2") + QLocale::system().decimalPoint() + QStringLiteral("00 KB");
    EXPECT_EQ(t.sent, QStringList({"<F><b>P</b>laying [Third / 3] [128 Kb/s] [" + size + "] [stereo]"}));
    EXPECT_EQ(t.wmp.urls, QStringList({third}));
    EXPECT_EQ(waits, QList<double>({0.1}));
    EXPECT_EQ(t->labFile.caption(), "Third");
    EXPECT_EQ(t->lblKhz.caption(), "44");
    EXPECT_EQ(t->labTime.caption(), "00:00");
    EXPECT_EQ(t->txtSec.text(), "0");
    EXPECT_EQ(t->txtMin.text(), "0");
    EXPECT_EQ(t->chkTime.value(), 1);
    // Play leaves the playlist cursor alone.
    EXPECT_EQ(t->List1.listIndex(), -1);
}

TEST_F(PlayerTest, FillsPlaceholdersInOrderSoTheNameTakesLaterOnesOnly)
{
    const QString name = QStringLiteral("x%kb%d%n%mb%mode%s");
    addLine(name, song(QStringLiteral("odd.mp3")));
    t->txtPlay.setText(QStringLiteral("[%s][%n][%kb][%mb][%mode][%d]"));
    t.wmp.duration = QStringLiteral("03:25");

    t->player.Play(name);

    ASSERT_EQ(t.sent.size(), 1);
    EXPECT_EQ(t.sent.first(), "<F>[x12803:25%n%mbstereo%s][1][128][4 bytes][stereo][03:25]");
}

TEST_F(PlayerTest, TakesTheDurationAndHeaderAsTheyAreAfterTheOpeningWait)
{
    addLine(QStringLiteral("Song"), song(QStringLiteral("Song.mp3")));
    t->txtPlay.setText(QStringLiteral("%n %d %kb"));
    t.wmp.duration.clear();
    t->txtNum.setText(QStringLiteral("5"));
    duringWait = [this] {
        // The player reports the duration once the file is open; the
        // position was already taken before the wait.
        t.wmp.duration = QStringLiteral("1:02:03");
        t->lblbitrate.setCaption(QStringLiteral("999"));
    };

    t->player.Play(QStringLiteral("Song"));

    EXPECT_EQ(t.sent, QStringList({"<F>1 1:02:03 999"}));
}

TEST_F(PlayerTest, MatchesNamesWhateverTheirCaseAndBlanksAndStartsEveryMatchInOrder)
{
    const QString a = song(QStringLiteral("a.mp3"));
    const QString b = song(QStringLiteral("b.mp3"), QByteArray("\xFF\xFB\xE0\xC0", 4));
    addLine(QStringLiteral("Same Song"), a);
    addLine(QStringLiteral("Other"), song(QStringLiteral("o.mp3")));
    addLine(QStringLiteral("sameSong"), b);
    t->txtPlay.setText(QStringLiteral("%s #%n %kb %mode"));

    t->player.Play(QStringLiteral("  SAME so ng "));

    EXPECT_EQ(t.wmp.urls, QStringList({a, b}));
    EXPECT_EQ(t.sent, QStringList({"<F>Same Song #1 128 stereo", "<F>sameSong #3 320 mono"}));
    EXPECT_EQ(t.wmp.URL(), b);
    EXPECT_EQ(t->labFile.caption(), "sameSong");
}

TEST_F(PlayerTest, NameWithoutMatchStartsNothingButResetsTheClock)
{
    addLine(QStringLiteral("Song"), song(QStringLiteral("Song.mp3")));
    addLine(QStringLiteral(" "), song(QStringLiteral("blank.mp3")));
    t->labTime.setCaption(QStringLiteral("2:00"));
    t->txtMin.setText(QStringLiteral("2"));

    t->player.Play(QStringLiteral("nothing like it"));
    t->player.Play(QString());

    EXPECT_TRUE(t.wmp.urls.isEmpty());
    EXPECT_TRUE(t.sent.isEmpty());
    EXPECT_EQ(t->labTime.caption(), "00:00");
    EXPECT_EQ(t->txtMin.text(), "0");
    EXPECT_EQ(t->chkTime.value(), 1);

    // With the player idle the clock is switched off again within a second.
    t.wmp.setState(MediaPlayer::Stopped);
    t->player.tmrAR_Timer();
    EXPECT_EQ(t->chkTime.value(), 0);
}

TEST_F(PlayerTest, NameHoldingSemicolonStillPlaysItsFile)
{
    const QString path = song(QStringLiteral("Rock;Roll.mp3"));
    t->List2.addItem(QStringLiteral("Rock;Roll;") + path);
    t->txtPlay.setText(QStringLiteral("%s"));

    t->player.Play(QStringLiteral("Rock"));

    EXPECT_EQ(t.wmp.urls, QStringList({path}));
    EXPECT_EQ(t.sent, QStringList({"<F>Rock"}));
}

TEST_F(PlayerTest, ClockCountsSecondsIntoMinutes)
{
    t->chkTime.setValue(1);
    t->txtSec.setText(QStringLiteral("3"));
    t->player.pTime_Timer();
    EXPECT_EQ(t->labTime.caption(), "0:04");

    t->txtSec.setText(QStringLiteral("58"));
    t->player.pTime_Timer();
    EXPECT_EQ(t->labTime.caption(), "0:59");
    t->player.pTime_Timer();
    EXPECT_EQ(t->labTime.caption(), "1:00");
    EXPECT_EQ(t->txtSec.text(), "0");
    EXPECT_EQ(t->txtMin.text(), "1");

    t->txtMin.setText(QStringLiteral("12"));
    t->txtSec.setText(QStringLiteral("33"));
    t->player.pTime_Timer();
    EXPECT_EQ(t->labTime.caption(), "12:34");

    // Stopped clock: the counts go back to zero, the display stays.
    t->chkTime.setValue(0);
    t->player.pTime_Timer();
    EXPECT_EQ(t->txtSec.text(), "0");
    EXPECT_EQ(t->txtMin.text(), "0");
    EXPECT_EQ(t->labTime.caption(), "12:34");
}

TEST_F(PlayerTest, SearchResultAloneIsPlayedWithItsFoundPosition)
{
    const QString path = song(QStringLiteral("Hit.mp3"));
    addLine(QStringLiteral("Miss"), song(QStringLiteral("Miss.mp3")));
    addLine(QStringLiteral("Hit"), path);
    t->List1.setListIndex(0);
    t->txtPlay.setText(QStringLiteral("%s %n"));
    t->txtNum.setText(QStringLiteral("2"));
    t->List3.addItem(QStringLiteral("Hit;") + path);

    t->player.Timer1_Timer();

    EXPECT_EQ(t.wmp.urls, QStringList({path}));
    EXPECT_EQ(t.sent, QStringList({"<F>Hit 2"}));
    EXPECT_EQ(t->List3.count(), 0);
    EXPECT_EQ(t->labFile.caption(), "Hit");
    EXPECT_EQ(t->chkTime.value(), 1);
    // The playlist selection follows the result list's, which is none.
    EXPECT_EQ(t->List1.listIndex(), -1);

    t->player.Timer1_Timer();
    EXPECT_EQ(t.wmp.urls.size(), 1);
}

TEST_F(PlayerTest, SeveralSearchResultsAreOfferedOnceInThePicker)
{
    t->List3.addItems({QStringLiteral("One;/m/One.mp3"), QStringLiteral("Two;/m/Two.mp3"),
                       QStringLiteral("Three;/m/Three.mp3")});

    t->player.Timer1_Timer();
    t->player.Timer1_Timer();

    EXPECT_EQ(t.sent, QStringList({"<F>3</b> Files Found, Select One."}));
    EXPECT_EQ(t->frmSong.List1.items(), QStringList({"One", "Two", "Three"}));
    EXPECT_EQ(t->music.value(), 1);
    EXPECT_EQ(t.ui.events.count(QStringLiteral("open%1").arg(int(UserInterface::Form::Song))), 1);
    EXPECT_EQ(t->List3.count(), 3);
    EXPECT_TRUE(t.wmp.urls.isEmpty());
}

TEST_F(PlayerTest, PickerAlreadyOpenGetsNoSecondNotice)
{
    t->music.setValue(1);
    t->List3.addItems({QStringLiteral("One;/m/One.mp3"), QStringLiteral("Two;/m/Two.mp3")});

    t->player.Timer1_Timer();

    EXPECT_TRUE(t.sent.isEmpty());
    EXPECT_TRUE(t.ui.events.isEmpty());
    EXPECT_EQ(t->frmSong.List1.count(), 0);
}

TEST_F(PlayerTest, TickDuringTheOpeningWaitDoesNotStartTheSameResultAgain)
{
    const QString first = song(QStringLiteral("First.mp3"));
    const QString second = song(QStringLiteral("Second.mp3"));
    t->txtPlay.setText(QStringLiteral("%s"));
    t->List3.addItem(QStringLiteral("First;") + first);
    bool firstWait = true;
    duringWait = [&] {
        if (!std::exchange(firstWait, false))
            return;
        // Another search lands while the first result opens, and the
        // result timer comes round again.
        t->List3.addItem(QStringLiteral("Second;") + second);
        t->player.Timer1_Timer();
    };

    t->player.Timer1_Timer();

    EXPECT_EQ(t.wmp.urls, QStringList({first}));
    EXPECT_EQ(t.sent, QStringList({"<F>First"}));
    // The later result is kept, and is due on the next turn of the loop.
    EXPECT_EQ(t->List3.items(), QStringList({"Second;" + second}));
    EXPECT_TRUE(t->player.Timer1.isActive());

    t->player.Timer1_Timer();
    EXPECT_EQ(t.wmp.urls, QStringList({first, second}));
}

TEST_F(PlayerTest, ResultsAreTakenOverOnTheNextTurnOfTheEventLoopAndStartedOnce)
{
    // The real opening wait, during which the loop keeps turning.
    t->player.setOpeningWait(nullptr);
    const QString path = song(QStringLiteral("Hit.mp3"));
    t->txtPlay.setText(QStringLiteral("%s"));
    t->List3.addItem(QStringLiteral("Hit;") + path);

    ASSERT_TRUE(audiofiles::waitUntil([&] { return !t.sent.isEmpty(); }, 3000));
    QCoreApplication::processEvents();

    EXPECT_EQ(t.wmp.urls, QStringList({path}));
    EXPECT_EQ(t.sent, QStringList({"<F>Hit"}));
    EXPECT_EQ(t->List3.count(), 0);
}

TEST_F(PlayerTest, StoppedPlayerResetsTheClockFieldsOnTheNextTurn)
{
    t.wmp.setState(MediaPlayer::Playing);
    t->chkTime.setValue(1);
    t->txtSec.setText(QStringLiteral("17"));
    t->txtMin.setText(QStringLiteral("2"));
    QCoreApplication::processEvents();
    EXPECT_EQ(t->chkTime.value(), 1);

    t.wmp.setState(MediaPlayer::MediaEnded);
    t.wmp.setState(MediaPlayer::Stopped);
    QCoreApplication::processEvents();

    EXPECT_EQ(t->chkTime.value(), 0);
    EXPECT_EQ(t->txtSec.text(), "0");
    EXPECT_EQ(t->txtMin.text(), "0");
}

TEST_F(PlayerTest, AutoRandomWithOneSongAlwaysPicksIt)
{
    const QString path = song(QStringLiteral("Only.mp3"));
    addLine(QStringLiteral("Only"), path);
    t->player.AutoRandom(true);
    ASSERT_EQ(t->chkenabled.value(), 1);

    for (const int idle : {MediaPlayer::Undefined, MediaPlayer::Ready, MediaPlayer::Stopped}) {
        draws = {0.999999};
        t.wmp.setState(idle);
        t->player.tmrAR_Timer();
    }

    EXPECT_EQ(t.wmp.urls, QStringList({path, path, path}));
    EXPECT_EQ(t->List1.listIndex(), 0);

    // A busy player is left alone.
    t->player.tmrAR_Timer();
    t.wmp.setState(MediaPlayer::Paused);
    t->player.tmrAR_Timer();
    EXPECT_EQ(t.wmp.urls.size(), 3);
}

TEST_F(PlayerTest, AutoRandomWithTwoSongsPicksBothOverTime)
{
    const QString a = song(QStringLiteral("A.mp3"));
    const QString b = song(QStringLiteral("B.mp3"));
    addLine(QStringLiteral("A"), a);
    addLine(QStringLiteral("B"), b);
    t->player.AutoRandom(true);

    for (const double r : {0.7, 0.2, 0.5, 0.49}) {
        draws = {r};
        t.wmp.setState(MediaPlayer::Stopped);
        t->player.tmrAR_Timer();
    }

    EXPECT_EQ(t.wmp.urls, QStringList({b, a, b, a}));
    EXPECT_EQ(t->List1.listIndex(), 0);
}

TEST_F(PlayerTest, AutoRandomOffOnlyStopsTheClock)
{
    addLine(QStringLiteral("Song"), song(QStringLiteral("Song.mp3")));
    t->player.AutoRandom(true);
    t->player.AutoRandom(false);
    EXPECT_EQ(t->chkenabled.value(), 0);

    t->chkTime.setValue(1);
    t.wmp.setState(MediaPlayer::Ready);
    t->player.tmrAR_Timer();

    EXPECT_TRUE(t.wmp.urls.isEmpty());
    EXPECT_EQ(t->chkTime.value(), 0);

    // Auto random with nothing to pick from picks nothing.
    t->List1.clear();
    t->List2.clear();
    t->player.AutoRandom(true);
    t->player.tmrAR_Timer();
    EXPECT_TRUE(t.wmp.urls.isEmpty());
}

TEST_F(PlayerTest, RandomStringPicksAmongNamesHoldingTheText)
{
    const QString paths[] = {song(QStringLiteral("1.mp3")), song(QStringLiteral("2.mp3")),
                             song(QStringLiteral("3.mp3")), song(QStringLiteral("4.mp3"))};
    addLine(QStringLiteral("Red Song"), paths[0]);
    addLine(QStringLiteral("Blue"), paths[1]);
    addLine(QStringLiteral("Another Redsong"), paths[2]);
    addLine(QStringLiteral("Green"), paths[3]);

    draws = {0.6};
    t->player.randomString(QStringLiteral("r edS"));
    EXPECT_EQ(t.wmp.urls, QStringList({paths[2]}));
    EXPECT_EQ(t->lstRan.count(), 0);

    // An empty text makes every song a candidate.
    draws = {0.5};
    t->player.randomString(QString());
    EXPECT_EQ(t.wmp.urls.last(), paths[2]);
    draws = {0.99};
    t->player.randomString(QString());
    EXPECT_EQ(t.wmp.urls.last(), paths[3]);
    draws = {0.0};
    t->player.randomString(QString());
    EXPECT_EQ(t.wmp.urls.last(), paths[0]);

    // No candidate: the clock is reset and nothing starts.
    t->labTime.setCaption(QStringLiteral("1:00"));
    t->player.randomString(QStringLiteral("purple"));
    EXPECT_EQ(t.wmp.urls.size(), 4);
    EXPECT_EQ(t->labTime.caption(), "00:00");
    EXPECT_EQ(t->lstRan.count(), 0);
}

TEST_F(PlayerTest, RandomIsTheWholePartOfItsLinearFunction)
{
    draws = {0.0, 0.5, 0.999999, 1.0, -0.5};
    EXPECT_EQ(t->player.Random(QStringLiteral("10000"), QStringLiteral("1000")), 1000);
    EXPECT_EQ(t->player.Random(QStringLiteral("3"), QStringLiteral("0")), 1);
    EXPECT_EQ(t->player.Random(QStringLiteral("3"), QStringLiteral("0")), 2);
    // A source outside [0, 1) cannot push the result out of range.
    EXPECT_EQ(t->player.Random(QStringLiteral("3"), QStringLiteral("0")), 2);
    EXPECT_EQ(t->player.Random(QStringLiteral("3"), QStringLiteral("0")), 0);

    draws = {0.25};
    EXPECT_EQ(t->player.Random(QStringLiteral("abc"), QStringLiteral("7")), 7);
}

TEST_F(PlayerTest, ClockSeededRandomCoversItsRange)
{
    t->player.setRandomSource(nullptr);
    int low = 1 << 30;
    int high = -1;
    for (int i = 0; i < 2000; ++i) {
        const int value = t->player.Random(QStringLiteral("10000"), QStringLiteral("1000"));
        ASSERT_GE(value, 1000);
        ASSERT_LE(value, 10999);
        low = std::min(low, value);
        high = std::max(high, value);
    }
    // Draws made within one clock tick still differ.
    EXPECT_LT(low, 2000);
    EXPECT_GT(high, 10000);
}

TEST_F(PlayerTest, PaUseServesEventsUntilItsTimeIsUp)
{
    bool served = false;
    QMetaObject::invokeMethod(&*t, [&] { served = true; }, Qt::QueuedConnection);
    QElapsedTimer clock;
    clock.start();

    t->player.PaUse(0.05);

    EXPECT_TRUE(served);
    EXPECT_GE(clock.elapsed(), 50);
    EXPECT_LT(clock.elapsed(), 1000);

    clock.restart();
    t->player.PaUse(0);
    t->player.PaUse(-3);
    EXPECT_LT(clock.elapsed(), 50);
}

TEST_F(PlayerTest, StoppedTimersStayStopped)
{
    t->player.stopTimers();
    t->List3.addItem(QStringLiteral("Hit;/m/Hit.mp3"));
    EXPECT_FALSE(t->player.Timer1.isActive());
    EXPECT_FALSE(t->player.pTime.isActive());
    EXPECT_FALSE(t->player.tmrAR.isActive());
}

} // namespace
