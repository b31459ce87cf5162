// SPDX-License-Identifier: GPL-3.0-or-later
// The work a song request costs on a full playlist. The cost at rest of the
// whole program is measured by idle_cost.sh beside this file.
#include "app/MainForm.h"
#include "controls/Values.h"
#include "player/Mp3Header.h"
#include "support/TestState.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kSongs = 32767;

struct Form {
    QTemporaryDir dir;
    NoWindows windows;
    FakeMediaPlayer mediaPlayer;
    FakeUserInterface ui;
    MainForm form {AppPaths {dir.path(), dir.path()}, windows, mediaPlayer, ui};

    Form()
    {
        QStringList lines;
        for (int i = 1; i <= kSongs; ++i) {
            const QString name = QStringLiteral("Artist %1 - Song Title %1").arg(i);
            lines.append(name + QStringLiteral(";/music/") + name + QStringLiteral(".mp3"));
        }
        form.library.playlist().addItems(lines);
        // The fake player opens nothing: no time is given to it.
        form.player.setOpeningTime(std::chrono::milliseconds(0));
    }
};

void BM_PlayNameNotInPlaylist(benchmark::State& state)
{
    Form f;
    for (auto _ : state)
        f.form.player.playSong(QStringLiteral("No Such Song"));
}
BENCHMARK(BM_PlayNameNotInPlaylist)->Unit(benchmark::kMillisecond);

// A song whose file is gone: the look at it on a thread of its own, the
// wait for it and the line that says why.
void BM_PlayMissingFile(benchmark::State& state)
{
    Form f;
    for (auto _ : state) {
        f.form.player.playSong(QStringLiteral("Artist 1 - Song Title 1"));
        while (f.form.player.isStarting())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}
BENCHMARK(BM_PlayMissingFile)->Unit(benchmark::kMicrosecond);

void BM_RandomStringWithoutCandidates(benchmark::State& state)
{
    Form f;
    for (auto _ : state)
        f.form.player.playRandomMatch(QStringLiteral("zzz"));
}
BENCHMARK(BM_RandomStringWithoutCandidates)->Unit(benchmark::kMillisecond);

void BM_IdleTicks(benchmark::State& state)
{
    Form f;
    f.mediaPlayer.setState(MediaPlayer::Stopped);
    for (auto _ : state) {
        f.form.player.takeSearchResults();
        f.form.player.tickClock();
        f.form.player.tickAutoRandom();
    }
}
BENCHMARK(BM_IdleTicks);

// Runs an encoder; false when it is missing or fails.
bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// A three-minute song as a ripper makes it: lame, with an ID3v2 tag.
void BM_ReadMp3Header(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("song.wav"));
    const QString mp3 = dir.filePath(QStringLiteral("song.mp3"));
    // 0: CBR with lame's Info frame; 1: VBR with a Xing header; 2: VBR
    // without one, whose frames are walked for the average.
    const bool vbr = state.range(0) >= 1;
    const QStringList rate = !vbr ? QStringList {"-b", "192"}
        : state.range(0) == 1     ? QStringList {"-V2"}
                                  : QStringList {"-V2", "-t"};
    const QStringList tags = {"--ta", "Artist", "--tt", "Title", "--tl", "Album", "--add-id3v2"};
    if (!run(QStringLiteral("sox"),
             {"-R", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", "180", "pinknoise"})
        || !run(QStringLiteral("lame"), QStringList {"--quiet"} + rate + tags + QStringList {wav, mp3})) {
        state.SkipWithError("sox or lame is missing");
        return;
    }
    TextValue bitrate, khz, mode;
    for (auto _ : state)
        benchmark::DoNotOptimize(readMp3Header(mp3, bitrate, khz, mode));
    state.SetLabel((vbr ? "VBR " : "CBR ") + bitrate.text().toStdString() + " kbit/s");
}
BENCHMARK(BM_ReadMp3Header)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// 64 MiB of zeros under an .mp3 name: no frame anywhere to be found.
void BM_ReadMp3HeaderWithoutFrames(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zeros.mp3"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.resize(64 << 20);
    file.close();
    TextValue bitrate, khz, mode;
    for (auto _ : state)
        benchmark::DoNotOptimize(readMp3Header(path, bitrate, khz, mode));
}
BENCHMARK(BM_ReadMp3HeaderWithoutFrames)->Unit(benchmark::kMillisecond);

}  // namespace
