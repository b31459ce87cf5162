// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/MpvPlayer.h"
#include "AudioFiles.h"
#include "controls/Playlist.h"
#include "player/Player.h"
#include "support/QtPrinters.h"
#include "support/TestState.h"

#include <QDir>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using State = MediaPlayer::PlayState;

// Plays for real: on a machine without sound the silent output keeps time.
// Every wait is for an event, with a ceiling only a hung player reaches: the
// first song also loads libmpv, which takes long on a loaded machine.
TEST(MpvPlayer, ASongStartedByNameIsAnnouncedWithItsDurationPlaysToItsEndAndABadFileIsReported)
{
    constexpr int kCeiling = 30000;
    MpvPlayer player;
    ASSERT_TRUE(player.isAvailable());
    QList<State> states;
    QObject::connect(&player, &MediaPlayer::playStateChanged, [&](State state) { states.append(state); });
    player.stop();  // nothing loaded: no state to leave
    QStringList silent;
    QObject::connect(&player, &MediaPlayer::noSoundOutput, [&](const QString& why) { silent.append(why); });
    TestState form;
    Playlist playlist;
    Player songs(playlist, form.templates, form.options.autoRandom, player, form.chat);
    const QString path = form.dir.filePath(QStringLiteral("Short Song.wav"));
    ASSERT_TRUE(writeSilentWav(path, 1.0));
    playlist.addItem(QStringLiteral("Short Song;") + path);
    form.templates.font.setText(QString());
    form.templates.playing.setText(QStringLiteral("%s [%d]"));
    // Setting the URL does not wait for the file: it is still opening.
    // Should libmpv be slow on a loaded machine, the opening moment is
    // ended only once the player knows the length: what is checked is that
    // the line is built after it, from the player.
    QElapsedTimer clock;
    clock.start();
    songs.playSong(QStringLiteral("short song"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.url() == path; }, kCeiling));
    EXPECT_EQ(player.playState(), State::Transitioning);
    EXPECT_EQ(player.duration(), std::nullopt);
    EXPECT_TRUE(songs.isStarting());
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.duration().has_value(); }, kCeiling));
    songs.announceOpened();
    EXPECT_EQ(form.sent, QStringList({"Short Song [00:01]"}));
    EXPECT_TRUE(songs.nowPlaying().clockRunning.value());
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.playState() == State::Stopped; }, kCeiling));
    // A loaded machine can only make it later, never sooner.
    EXPECT_GE(clock.elapsed(), 900);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !songs.nowPlaying().clockRunning.value(); }, kCeiling));
    EXPECT_EQ(songs.nowPlaying().elapsedSeconds.value(), 0);
    player.pause();  // nothing plays: nothing to pause
    EXPECT_EQ(player.playState(), State::Stopped);
    // The last media's duration is still known after it ended.
    EXPECT_EQ(player.duration(), std::chrono::milliseconds(1000));

    // A file that cannot be opened leaves the player stopped, and says so;
    // anything late from the ended song has come in by then (libmpv
    // reports in order) and changed nothing.
    QStringList errors;
    QObject::connect(&player, &MediaPlayer::mediaError, [&](const QString& url) { errors.append(url); });
    const QString bad = form.dir.filePath(QStringLiteral("damaged.mp3"));
    ASSERT_TRUE(writeFile(bad, QByteArray(5000, '\x5a')));
    player.setUrl(bad);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !errors.isEmpty(); }, kCeiling));
    EXPECT_EQ(errors, QStringList {bad});
    EXPECT_EQ(player.playState(), State::Stopped);
    EXPECT_EQ(player.duration(), std::nullopt);
    EXPECT_EQ(states.mid(0, 6),
              QList<State>({State::Transitioning, State::Playing, State::MediaEnded, State::Stopped,
                            State::Transitioning, State::Stopped}));

    // Without a sound device (as on this machine kind) the silence is told
    // once, at the first song, however many follow.
    states.clear();
    songs.playSong(QStringLiteral("short song"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return states.contains(State::Playing); }, kCeiling));
    songs.announceOpened();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.playState() == State::Stopped; }, kCeiling));
    if (QDir(QStringLiteral("/dev/snd")).isEmpty() && qEnvironmentVariableIsEmpty("PULSE_SERVER")) {
        EXPECT_EQ(silent,
                  QStringList {"no sound output: no sound device or sound server was found; songs play silently"});
    }

    // A playlist file plays the song it lists to its end.
    const QString list = form.dir.filePath(QStringLiteral("list.m3u"));
    ASSERT_TRUE(writeFile(list, path.toUtf8() + '\n'));
    states.clear();
    player.setUrl(list);
    ASSERT_TRUE(QTest::qWaitFor([&] { return states.contains(State::MediaEnded); }, kCeiling));
    EXPECT_EQ(states.mid(0, 3), QList<State>({State::Transitioning, State::Playing, State::MediaEnded}));
}

// A sound server's socket counts as an output even where no device is: it
// is tried, and only then is the silence told, as an output that would not open.
TEST(MpvPlayer, ASoundServersSocketIsTriedBeforeSongsPlaySilently)
{
    if (!QDir(QStringLiteral("/dev/snd")).entryList({QStringLiteral("pcm*")}, QDir::System).isEmpty()
        || !qEnvironmentVariableIsEmpty("PULSE_SERVER"))
        GTEST_SKIP() << "this machine has a sound output";
    const QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    const auto restore = qScopeGuard([&] {
        if (runtimeDir.isNull())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", runtimeDir);
    });
    TestState form;
    const QString path = form.dir.filePath(QStringLiteral("song.wav"));
    ASSERT_TRUE(writeSilentWav(path, 0.2));
    for (const char* socket : {"pulse/native", "pipewire-0"}) {
        QTemporaryDir runtime;
        ASSERT_TRUE(QDir(runtime.path()).mkpath(QStringLiteral("pulse")) && writeFile(runtime.filePath(socket)));
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        MpvPlayer player;
        QStringList silent;
        QObject::connect(&player, &MediaPlayer::noSoundOutput, [&](const QString& why) { silent.append(why); });
        player.setUrl(path);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !silent.isEmpty(); }, 30000));
        EXPECT_EQ(silent, QStringList {"no sound output: the sound output could not be opened; songs play silently"})
            << socket;
    }
}

}  // namespace
