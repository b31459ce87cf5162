// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up with a full playlist, and adding a large directory to it.
#include "support/TestForm.h"

#include <QFile>

#include <benchmark/benchmark.h>

namespace {

constexpr int kPlaylistRows = 32767;
constexpr int kDirectoryFiles = 10000;

QStringList playlistLines()
{
    QStringList lines;
    for (int i = 0; i < kPlaylistRows; ++i)
        lines.append(
            QStringLiteral("Artist %1 - Title of song %1;/home/me/Music/Artist %1/Artist %1 - Title of song %1.mp3")
                .arg(i));
    return lines;
}

void writePlaylist(const AppPaths& paths)
{
    QFile file(paths.playlistFile());
    file.open(QIODevice::WriteOnly);
    file.write(playlistLines().join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
}

void BM_StartUpWithFullPlaylist(benchmark::State& state)
{
    TestForm t;
    writePlaylist(t.paths);
    for (auto _ : state) {
        t.reset();
        t->startUp();
        benchmark::DoNotOptimize(t.sent);
    }
    state.counters["rows"] = t->library.playlist().count();
}
BENCHMARK(BM_StartUpWithFullPlaylist)->Unit(benchmark::kMillisecond);

void BM_AddDirOfTenThousandIntoFullPlaylist(benchmark::State& state)
{
    TestForm t;
    QTemporaryDir music;
    for (int i = 0; i < kDirectoryFiles; ++i)
        QFile(music.path() + QStringLiteral("/new track %1.mp3").arg(i)).open(QIODevice::WriteOnly);
    const QStringList lines = playlistLines();
    for (auto _ : state) {
        state.PauseTiming();
        t->library.clear();
        t->library.playlist().addItems(lines);
        state.ResumeTiming();
        t->library.addFolder(music.path());
    }
    state.counters["rows"] = t->library.playlist().count();
}
BENCHMARK(BM_AddDirOfTenThousandIntoFullPlaylist)->Unit(benchmark::kMillisecond);

}  // namespace
