#include "app/AppPaths.h"
#include "app/MainForm.h"
#include "app/UserInterface.h"
#include "bot/Discovery.h"
#include "chatlink/WindowSystem.h"
#include "player/MediaPlayer.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct SilentPlayer : MediaPlayer {
    void setURL(const QString& url) override { m_url = url; }
    QString URL() const override { return m_url; }
    int playState() const override { return Stopped; }
    QString durationString() const override { return {}; }
    void play() override {}
    void pause() override {}
    void stop() override {}
    QString m_url;
};

struct NoScreen : UserInterface {
    void messageBox(const QString&, const QString&, Icon) override {}
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName() override { return {}; }
    void addTrayIcon() override {}
    void removeTrayIcon() override {}
    void minimizeMainWindow() override {}
    void hideMainWindow() override {}
    void showMainWindow() override {}
    void showForm(Form) override {}
    void closeForm(Form) override {}
    int closingGeometry() const override { return 9000; }
    void setClosingGeometry(int) override {}
    void endProgram() override {}
};

struct EmptyDesktop : WindowSystem {
    Hwnd findWindow(std::string_view) override { return 0; }
    Hwnd findChild(Hwnd, Hwnd, std::string_view) override { return 0; }
    std::intptr_t sendMessage(Hwnd, unsigned, std::uintptr_t, std::intptr_t) override { return 0; }
    std::intptr_t sendMessage(Hwnd, unsigned, std::uintptr_t, std::string&) override { return 0; }
    void doEvents() override {}
};

const QString kOwner = QStringLiteral("Owner Me");

// A form with the largest playlist a list box holds, half of whose names
// contain "blue".
struct BigForm {
    QTemporaryDir dir;
    EmptyDesktop desktop;
    SilentPlayer player;
    NoScreen screen;
    std::unique_ptr<MainForm> form;

    BigForm()
    {
        form = std::make_unique<MainForm>(AppPaths{dir.path(), dir.path()}, desktop, player, screen);
        form->discovery.Timer2.stop();
        form->lbuser.setCaption(kOwner);
        form->txtNumber.setText(Discovery::kIdle);
        fill();
    }
    void fill()
    {
        QStringList lines;
        for (int i = 0; i < 32767; ++i) {
            const QString name = (i % 2 ? QStringLiteral("Blue Song ") : QStringLiteral("Red Song ")) + QString::number(i);
            lines.append(name + QStringLiteral(";/home/me/Music/") + name + QStringLiteral(".mp3"));
        }
        form->List1.clear();
        form->List2.clear();
        form->List2.addItems(lines);
        form->library.addSongs();
    }
};

void BM_SearchFullPlaylist(benchmark::State& state)
{
    BigForm f;
    for (auto _ : state) {
        f.form->interpreter.chat1_aimchatscan(kOwner, QStringLiteral("p blue song 1"), QStringLiteral("0"));
        state.PauseTiming();
        f.form->List3.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SearchFullPlaylist)->Unit(benchmark::kMillisecond);

void BM_RemoveHalfOfFullPlaylist(benchmark::State& state)
{
    BigForm f;
    for (auto _ : state) {
        f.form->interpreter.chat1_aimchatscan(kOwner, QStringLiteral("rem blue"), QStringLiteral("0"));
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
        f.form->interpreter.chat1_aimchatscan(QStringLiteral("Bob"), text, QStringLiteral("(12:00:01 PM)"));
}
BENCHMARK(BM_LineFromAnotherMember);

} // namespace
