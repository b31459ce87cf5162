// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fuzz.h"

#include "toc/FlapReader.h"

#include <QtEndian>

#include <tuple>

// The first byte says how many read sizes follow, the sizes cut the rest
// into reads in turn. However the stream is cut, the reader must give the
// frames one pass over the whole stream finds, and keep back the rest.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    QList<int> cuts;
    for (int n = input.byte() % 8; n > 0; --n)
        cuts.append(1 + input.byte());
    if (cuts.isEmpty())
        cuts.append(1 << 16);
    const QByteArray stream = input.rest();

    QList<FlapFrame> expected;
    qsizetype at = 0;
    while (stream.size() - at >= FlapReader::kHeaderSize) {
        const char* head = stream.constData() + at;
        const qsizetype length = qFromBigEndian<quint16>(head + 4);
        if (stream.size() - at - FlapReader::kHeaderSize < length)
            break;
        expected.append({head[0], quint8(head[1]), qFromBigEndian<quint16>(head + 2),
                         QByteArray(head + FlapReader::kHeaderSize, length)});
        at += FlapReader::kHeaderSize + length;
    }

    FlapReader reader;
    QList<FlapFrame> frames;
    qsizetype fed = 0;
    for (int i = 0; fed < stream.size(); ++i) {
        const qsizetype read = std::min<qsizetype>(cuts[i % cuts.size()], stream.size() - fed);
        reader.append(QByteArrayView(stream).sliced(fed, read));
        fed += read;
        while (auto frame = reader.next())
            frames.append(*frame);
        fuzzCheck(frames.size() <= expected.size(), "no more frames than the stream holds");
    }

    const auto fields = [](const FlapFrame& f) { return std::tuple(f.marker, f.type, f.sequence, f.payload); };
    fuzzCheck(std::ranges::equal(frames, expected, {}, fields, fields), "every whole frame, as the stream has it");
    fuzzCheck(reader.pending() == stream.size() - at, "the bytes after the last frame wait");
    fuzzCheck(reader.inStep() == (at == stream.size() || stream[at] == FlapReader::kMarker),
              "a stream is in step when what waits starts with the marker");
    reader.clear();
    fuzzCheck(reader.pending() == 0 && !reader.next(), "a cleared reader holds nothing");
    return 0;
}
