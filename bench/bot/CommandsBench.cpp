// SPDX-License-Identifier: GPL-3.0-or-later
#include "bot/OwnerDiscovery.h"
#include "support/TestForm.h"

#include <benchmark/benchmark.h>

namespace {

const QString kOwner = QStringLiteral("Owner Me");

// A form whose owner is known, with the largest playlist a list box holds,
// half of whose names contain "blue".
struct BigForm : TestForm {
    BigForm()
    {
        // Measured without the test's record of every line sent.
        QObject::disconnect(&form->scanner, &ChatScanner::sendChatCalled, nullptr, nullptr);
        form->discovery.shutdown();
        form->discovery.owner().setText(kOwner);
        fill();
    }
    void fill()
    {
        QStringList lines;
        for (int i = 0; i < 32767; ++i) {
            const QString name = QLatin1String(i % 2 ? "Blue Song " : "Red Song ") + QString::number(i);
            lines.append(name + QStringLiteral(";/home/me/Music/") + name + QStringLiteral(".mp3"));
        }
        form->library.clear();
        form->library.playlist().addItems(lines);
    }
    void owner(const QString& text) { form->interpreter.handleLine(kOwner, text, QStringLiteral("0")); }
};

void BM_SearchFullPlaylist(benchmark::State& state)
{
    BigForm f;
    for (auto _ : state) {
        f.owner(QStringLiteral("p blue song 1"));
        state.PauseTiming();
        f->player.searchResults().clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SearchFullPlaylist)->Unit(benchmark::kMillisecond);

void BM_RemoveHalfOfFullPlaylist(benchmark::State& state)
{
    BigForm f;
    for (auto _ : state) {
        f.owner(QStringLiteral("rem blue"));
        state.PauseTiming();
        f.fill();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RemoveHalfOfFullPlaylist)->Unit(benchmark::kMillisecond);

void BM_LineFromAnotherMember(benchmark::State& state)
{
    BigForm f;
    const QString text = QStringLiteral("p blue song, and then rem everything/please");
    for (auto _ : state)
        f->interpreter.handleLine(QStringLiteral("Bob"), text, QStringLiteral("(12:00:01 PM)"));
}
BENCHMARK(BM_LineFromAnotherMember);

// The owner's chat that is no command goes past every command's test.
void BM_OwnerLineThatIsNoCommand(benchmark::State& state)
{
    BigForm f;
    const QString text = QStringLiteral("nice song, who sings it?");
    for (auto _ : state)
        f.owner(text);
}
BENCHMARK(BM_OwnerLineThatIsNoCommand);

}  // namespace
