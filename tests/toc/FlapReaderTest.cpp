#include "TocTestServer.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

// Any split of the stream gives the same frames: cut inside a header (fewer
// than six bytes waiting), inside a payload, or between many whole frames.
TEST(FlapReader, AnySplitOfTheStreamGivesTheSameFrames)
{
    QByteArray stream;
    QList<QByteArray> sent;
    for (int i = 0; i < 200; ++i) {
        sent.append(QByteArray(i % 37, char('a' + i % 26)));
        stream += TocTestServer::flap(2 + i % 4, quint16(i), sent.last());
    }
    QRandomGenerator random(42);
    for (int round = 0; round < 20; ++round) {
        FlapReader reader;
        QList<QByteArray> got;
        for (qsizetype at = 0; at < stream.size();) {
            const qsizetype n = qMin<qsizetype>(round == 0 ? 1 : random.bounded(1, 60), stream.size() - at);
            reader.append(QByteArrayView(stream).sliced(at, n));
            at += n;
            while (auto f = reader.next()) {
                EXPECT_EQ(f->marker, '*');
                EXPECT_EQ(f->type, 2 + got.size() % 4);
                EXPECT_EQ(f->sequence, got.size());
                got.append(f->payload);
            }
        }
        EXPECT_EQ(got, sent) << "round " << round;
        EXPECT_EQ(reader.pending(), 0);
    }
}
