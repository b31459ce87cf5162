// The work a song request costs on a full playlist. The cost at rest of the
// whole program is measured by idle_cost.sh beside this file.
#include "app/MainForm.h"
#include "controls/TextField.h"
#include "player/Mp3Header.h"
#include "support/FakeMediaPlayer.h"
#include "support/FakeUserInterface.h"
#include "support/NoWindows.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kSongs = 32767;

struct Form {
    QTemporaryDir dir;
    NoWindows windows;
    FakeMediaPlayer wmp;
    FakeUserInterface ui;
    MainForm form{AppPaths{dir.path(), dir.path()}, windows, wmp, ui};

    Form()
    {
        QStringList lines;
        QStringList names;
        for (int i = 1; i <= kSongs; ++i) {
            const QString name = QStringLiteral("Artist %1 - Song Title %1").arg(i);
            names.append(name);
            lines.append(name + QStringLiteral(";/music/") + name + QStringLiteral(".mp3"));
        }
        form.List2.addItems(lines);
        form.List1.addItems(names);
        form.player.stopTimers();
    }
};

void BM_PlayNameNotInPlaylist(benchmark::State& state)
{
    Form f;
    for (auto _ : state)
        f.form.player.Play(QStringLiteral("No Such Song"));
}
BENCHMARK(BM_PlayNameNotInPlaylist)->Unit(benchmark::kMillisecond);

void BM_RandomStringWithoutCandidates(benchmark::State& state)
{
    Form f;
    for (auto _ : state)
        f.form.player.randomString(QStringLiteral("zzz"));
}
BENCHMARK(BM_RandomStringWithoutCandidates)->Unit(benchmark::kMillisecond);

void BM_IdleTicks(benchmark::State& state)
{
    Form f;
    f.wmp.setState(MediaPlayer::Stopped);
    for (auto _ : state) {
        f.form.player.Timer1_Timer();
        f.form.player.pTime_Timer();
        f.form.player.tmrAR_Timer();
    }
}
BENCHMARK(BM_IdleTicks);

void BM_ReadMp3Header(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("song.mp3"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray("\xFF\xFB\x90\x64", 4) + QByteArray(4 << 20, '\0'));
    file.close();
    Label bitrate, khz, mode;
    for (auto _ : state)
        ReadMp3Header(path, bitrate, khz, mode);
}
BENCHMARK(BM_ReadMp3Header)->Unit(benchmark::kMicrosecond);

} // namespace
