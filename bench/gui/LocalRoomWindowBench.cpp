// SPDX-License-Identifier: GPL-3.0-or-later
#include "chatlink/LocalRoom.h"
#include "chatlink/SimDesktop.h"
#include "gui/LocalRoomWindow.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A transcript just under the size the room keeps.
std::string fullTranscript()
{
    std::string text;
    while (text.size() + 200 < SimDesktop::kTranscriptLimit)
        text += "<BR><!-- (10:15:02 PM) --><B>alice</B>: <FONT COLOR=#0080ff>a line said in the room, number "
            + std::to_string(text.size());
    return text;
}

// The local room and its window, shown, with a full transcript at hand.
struct FullRoom {
    SimDesktop desktop;
    LocalRoom room {desktop, QStringLiteral("owner")};
    LocalRoomWindow window {room};
    const std::string text = fullTranscript();

    FullRoom() { window.show(); }
    void setTranscript(std::string html) { desktop.sendMessage(room.window().transcript, wm::SETTEXT, 0, html); }
};

}  // namespace

// A line said in a room whose transcript is full: the window draws the new
// line, not the whole transcript again.
void BM_LocalRoomWindowLineInFullRoom(benchmark::State& state)
{
    FullRoom full;
    full.setTranscript(full.text);
    for (auto _ : state)
        full.room.sayAs(QStringLiteral("bob"), QStringLiteral("another line"));
}
BENCHMARK(BM_LocalRoomWindowLineInFullRoom)->Unit(benchmark::kMillisecond)->Iterations(50);

// Drawing all of a full transcript, as after the room drops its oldest lines.
void BM_LocalRoomWindowWholeFullRoom(benchmark::State& state)
{
    FullRoom full;
    for (auto _ : state) {
        full.setTranscript({});
        full.setTranscript(full.text);
    }
}
BENCHMARK(BM_LocalRoomWindowWholeFullRoom)->Unit(benchmark::kMillisecond)->Iterations(3);
