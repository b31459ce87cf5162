#include "player/MpvPlayer.h"
#include "AudioFiles.h"
#include "player/Player.h"
#include "support/QtPrinters.h"
#include "support/TestState.h"
#include "toc/WaitFor.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using State = MediaPlayer::PlayState;

TEST(MpvPlayerDuration, ShowsMinutesAndSecondsAndHoursFromAnHour)
{
    const std::pair<double, const char*> cases[]
        = {{0, "00:00"},      {1.02, "00:01"},     {205, "03:25"}, {3599.4, "59:59"},
           {3600, "1:00:00"}, {37230, "10:20:30"}, {-1, "00:00"}};
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(MpvPlayer::durationText(seconds), text) << seconds;
}

// Plays for real: on a machine without sound the silent output keeps time.
// Every wait is for an event, with a ceiling only a hung player reaches: the
// first song also loads libmpv, which takes long on a loaded machine.
class MpvPlayerTest : public ::testing::Test {
protected:
    static constexpr int kCeiling = 30000;

    void SetUp() override
    {
        ASSERT_TRUE(player.isAvailable());
        QObject::connect(&player, &MediaPlayer::playStateChanged, [this](int state) { states.append(state); });
    }
    QString wav(const QString& name, double seconds)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(audiofiles::writeSilentWav(path, seconds));
        return path;
    }
    bool reaches(int state)
    {
        return waitFor([&] { return player.playState() == state; }, kCeiling);
    }

    QTemporaryDir dir;
    MpvPlayer player;
    QList<int> states;
};

TEST_F(MpvPlayerTest, ASongStartedByNameIsAnnouncedWithItsDurationAndPlaysToItsEnd)
{
    TestState form;
    Player songs(form, player, form.chat);
    const QString path = wav(QStringLiteral("Short Song.wav"), 1.0);
    form.List2.addItem(QStringLiteral("Short Song;") + path);
    form.txtFont.setText(QString());
    form.txtPlay.setText(QStringLiteral("%s [%d]"));
    // Setting the URL does not wait for the file: it is still opening. The
    // opening wait serves events for its time and then, should libmpv be
    // slow on a loaded machine, until the player knows the length: what is
    // checked is that the line is built after the wait, from the player.
    QStringList opening;
    songs.setOpeningWait([&](double seconds) {
        opening << QString::number(seconds) << player.URL() << QString::number(player.playState())
                << player.durationString();
        songs.PaUse(seconds);
        waitFor([&] { return !player.durationString().isEmpty(); }, kCeiling);
    });
    QElapsedTimer clock;
    clock.start();
    songs.Play(QStringLiteral("short song"));
    EXPECT_EQ(opening, QStringList({"0.1", path, QString::number(State::Transitioning), ""}));
    EXPECT_EQ(form.sent, QStringList({"Short Song [00:01]"}));
    EXPECT_EQ(form.chkTime.value(), 1);
    ASSERT_TRUE(reaches(State::Stopped));
    // A loaded machine can only make it later, never sooner.
    EXPECT_GE(clock.elapsed(), 900);
    ASSERT_TRUE(waitFor([&] { return form.chkTime.value() == 0; }, kCeiling));
    EXPECT_EQ(form.txtSec.text(), "0");
    // The last media's duration is still known after it ended.
    EXPECT_EQ(player.durationString(), "00:01");

    // A file that cannot be opened leaves the player stopped, and says so.
    // libmpv reports in order, so by the time it says so, anything late from
    // the ended song has come in too, and has changed nothing.
    QStringList errors;
    QObject::connect(&player, &MediaPlayer::mediaError, [&](const QString& url) { errors.append(url); });
    const QStringList bad = {dir.filePath(QStringLiteral("missing.mp3")), dir.filePath(QStringLiteral("empty.mp3")),
                             dir.filePath(QStringLiteral("damaged.mp3"))};
    ASSERT_TRUE(writeFile(bad[1], {}) && writeFile(bad[2], QByteArray(5000, '\x5a')));
    for (const QString& file : bad) {
        player.setURL(file);
        ASSERT_TRUE(waitFor([&] { return errors.size() == bad.indexOf(file) + 1; }, kCeiling)) << file.toStdString();
        EXPECT_EQ(player.playState(), State::Stopped);
        EXPECT_TRUE(player.durationString().isEmpty());
    }
    EXPECT_EQ(errors, bad);
    EXPECT_EQ(states.mid(0, 6),
              QList<int>({State::Transitioning, State::Playing, State::MediaEnded, State::Stopped, State::Transitioning,
                          State::Stopped}));
}

TEST_F(MpvPlayerTest, PausesResumesReplacesAndStopsTheMedia)
{
    const QString second = wav(QStringLiteral("second.wav"), 125.0);
    player.setURL(wav(QStringLiteral("first.wav"), 30.0));
    ASSERT_TRUE(reaches(State::Playing));
    EXPECT_EQ(player.durationString(), "00:30");
    player.pause();
    EXPECT_EQ(player.playState(), State::Paused);
    player.play();
    EXPECT_EQ(player.playState(), State::Playing);

    // New media replaces the current one without a stop in between.
    states.clear();
    player.setURL(second);
    ASSERT_TRUE(reaches(State::Playing));
    EXPECT_EQ(player.durationString(), "02:05");
    player.stop();
    EXPECT_EQ(player.playState(), State::Stopped);
    // Play after stop starts the same media again. Once it plays, libmpv has
    // reported the first song's end and the stop (it reports in order):
    // neither was taken for the second song's end.
    player.play();
    ASSERT_TRUE(reaches(State::Playing));
    EXPECT_EQ(player.URL(), second);
    EXPECT_EQ(states,
              QList<int>({State::Transitioning, State::Playing, State::Stopped, State::Transitioning, State::Playing}));
}

}  // namespace
