// SPDX-License-Identifier: GPL-3.0-or-later
#include "toc/TocClient.h"
#include "toc/TocWire.h"

#include <benchmark/benchmark.h>

namespace {

QByteArray chatFrames(int count)
{
    QByteArray stream;
    for (int i = 0; i < count; ++i) {
        const QByteArray payload = "CHAT_IN_ENC:123456:Some Member:F:A:en:<font color=\"#0000ff\">p song number "
            + QByteArray::number(i) + " : remix</font>";
        stream += '*' + QByteArray(1, '\x02') + encodeWord(quint16(i)) + encodeWord(quint16(payload.size())) + payload;
    }
    return stream;
}

// Chat frames arriving all at once, handed to the receive path, cut into
// frames, parsed and raised as chatMessageReceived to a connected handler.
void ReceiveChatFrames(benchmark::State& state)
{
    const int count = int(state.range(0));
    const QByteArray stream = chatFrames(count);
    TocClient toc;
    qint64 messages = 0;
    qint64 characters = 0;
    QObject::connect(&toc, &TocClient::chatMessageReceived, [&](qint32, const QString&, bool, const QString& text) {
        ++messages;
        characters += text.size();
    });
    for (auto _ : state)
        toc.receiveBytes(stream);
    if (messages != qint64(count) * state.iterations())
        state.SkipWithError("frames were lost");
    benchmark::DoNotOptimize(characters);
    state.SetItemsProcessed(state.iterations() * count);
    state.SetBytesProcessed(state.iterations() * stream.size());
}

// The same frames in reads of a network packet's size, so frames are cut
// at every possible place.
void ReceiveChatFramesInPackets(benchmark::State& state)
{
    const int count = int(state.range(0));
    const QByteArray stream = chatFrames(count);
    constexpr qsizetype kPacket = 1460;
    TocClient toc;
    qint64 messages = 0;
    QObject::connect(&toc, &TocClient::chatMessageReceived, [&] { ++messages; });
    for (auto _ : state) {
        for (qsizetype at = 0; at < stream.size(); at += kPacket)
            toc.receiveBytes(QByteArrayView(stream).sliced(at, qMin(kPacket, stream.size() - at)));
    }
    if (messages != qint64(count) * state.iterations())
        state.SkipWithError("frames were lost");
    state.SetItemsProcessed(state.iterations() * count);
}

}  // namespace

BENCHMARK(ReceiveChatFrames)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReceiveChatFramesInPackets)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
