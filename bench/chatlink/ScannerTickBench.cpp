// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppPaths.h"
#include "app/MainForm.h"
#include "chatlink/SimDesktop.h"
#include "controls/UserInterface.h"
#include "player/MediaPlayer.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

class SilentPlayer : public MediaPlayer {
public:
    void setUrl(const QString&) override { }
    QString url() const override { return {}; }
    PlayState playState() const override { return Undefined; }
    Duration duration() const override { return {}; }
    void play() override { }
    void pause() override { }
    void stop() override { }
    qint64 position() const override { return 0; }
    int volume() const override { return 0; }
    void setVolume(int) override { }
};

class SilentUi : public UserInterface {
public:
    void messageBox(const QString&, const QString&, Icon, Closed) override { }
    void inputBox(const QString&, const QString&, const QString&, Answered) override { }
    void openFileName(Answered) override { }
    void addTrayIcon() override { }
    void removeTrayIcon() override { }
    void minimizeMainWindow() override { }
    void hideMainWindow() override { }
    void showMainWindow() override { }
    void showForm(Form) override { }
    void closeForm(Form) override { }
    int closingGeometry() const override { return 9000; }
    void setClosingGeometry(int) override { }
    void endProgram() override { }
};

// A main form watching a chat window whose transcript holds 1 MiB of
// lines, some with characters outside Latin-1.
struct Room {
    QTemporaryDir dir;
    SimDesktop desktop;
    SilentPlayer player;
    SilentUi ui;
    SimDesktop::AimChat chat = desktop.openAimChat("me");
    MainForm form {AppPaths {dir.path(), dir.path()}, desktop, player, ui};

    Room()
    {
        const std::string line = "<BR><!-- (10:15:02 PM) --><B>alice</B>: <FONT LANG=\"0\">p some song \xc2\xbb "
                                 "now\xe2\x80\xa6 \xe2\x82\xac</FONT>";
        std::string transcript;
        while (transcript.size() + line.size() <= SimDesktop::kTranscriptLimit)
            transcript += line;
        transcript.append(SimDesktop::kTranscriptLimit - transcript.size(), 'x');
        transcript.replace(transcript.size() - line.size(), line.size(), line);
        desktop.sendMessage(chat.transcript, wm::SETTEXT, 0, transcript);
    }
};

// The usual tick: nothing new was said.
void BM_ScannerTickNothingNew(benchmark::State& state)
{
    Room room;
    room.form.scanner.startScanning();
    for (auto _ : state)
        room.form.scanner.lookForNewLines();
    state.SetBytesProcessed(state.iterations() * std::int64_t(SimDesktop::kTranscriptLimit));
}
BENCHMARK(BM_ScannerTickNothingNew)->Unit(benchmark::kMicrosecond);

// A tick that finds a new line and reports it (the member saying it, and
// the client trimming its oldest lines now and then, included).
void BM_ScannerTickNewLine(benchmark::State& state)
{
    Room room;
    int reported = 0;
    QObject::connect(&room.form.scanner, &ChatScanner::lineReceived, [&] { ++reported; });
    room.form.scanner.startScanning();
    for (auto _ : state) {
        room.desktop.say(room.chat.window, "bob", "p some other song");
        room.form.scanner.lookForNewLines();
    }
    if (reported != state.iterations())
        state.SkipWithError("the tick did not report the line");
    state.SetBytesProcessed(state.iterations() * std::int64_t(SimDesktop::kTranscriptLimit));
}
BENCHMARK(BM_ScannerTickNewLine)->Unit(benchmark::kMicrosecond);

}  // namespace
