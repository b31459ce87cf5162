#include "toc/FlapReader.h"
#include "toc/ModToc.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QList>
#include <QRandomGenerator>

namespace {

QByteArray frame(quint8 type, quint16 sequence, const QByteArray& payload)
{
    return '*' + QByteArray(1, char(type)) + WordBytes(sequence) + WordBytes(quint16(payload.size())) + payload;
}

QList<QByteArray> payloads(FlapReader& reader)
{
    QList<QByteArray> result;
    while (auto f = reader.next())
        result.append(f->payload);
    return result;
}

} // namespace

TEST(FlapReader, TakesWholeFramesAndKeepsAStartedOne)
{
    FlapReader reader;
    const QByteArray third = frame(2, 3, "third");
    reader.append(frame(2, 1, "one") + frame(5, 2, "") + third.first(8));
    auto first = reader.next();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->marker, '*');
    EXPECT_EQ(first->type, 2);
    EXPECT_EQ(first->sequence, 1);
    EXPECT_EQ(first->payload, "one");
    auto second = reader.next();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->type, 5);
    EXPECT_TRUE(second->payload.isEmpty());
    EXPECT_FALSE(reader.next());
    EXPECT_EQ(reader.pending(), 8);
    reader.append(third.sliced(8));
    EXPECT_EQ(payloads(reader), QList<QByteArray>{"third"});
    EXPECT_EQ(reader.pending(), 0);
}

TEST(FlapReader, WaitsWhileFewerThanSixBytesAreThere)
{
    FlapReader reader;
    const QByteArray f = frame(2, 9, "x");
    for (int i = 0; i < 6; ++i) {
        reader.append(f.sliced(i, 1));
        EXPECT_FALSE(reader.next()) << "after " << i + 1 << " bytes";
    }
    reader.append(f.sliced(6));
    EXPECT_EQ(payloads(reader), QList<QByteArray>{"x"});
}

TEST(FlapReader, AnySplitOfTheStreamGivesTheSameFrames)
{
    QByteArray stream;
    QList<QByteArray> sent;
    for (int i = 0; i < 200; ++i) {
        const QByteArray payload(i % 37, char('a' + i % 26));
        sent.append(payload);
        stream += frame(2, quint16(i), payload);
    }
    QRandomGenerator random(42);
    for (int round = 0; round < 20; ++round) {
        FlapReader reader;
        QList<QByteArray> got;
        for (qsizetype at = 0; at < stream.size();) {
            const qsizetype n = qMin<qsizetype>(random.bounded(1, 60), stream.size() - at);
            reader.append(QByteArrayView(stream).sliced(at, n));
            at += n;
            got += payloads(reader);
        }
        EXPECT_EQ(got, sent) << "round " << round;
        EXPECT_EQ(reader.pending(), 0);
    }
}

TEST(FlapReader, LengthsOf32768AndMoreAreUnsigned)
{
    FlapReader reader;
    const QByteArray big(40000, 'z');
    reader.append(frame(2, 1, big).first(30000));
    EXPECT_FALSE(reader.next());
    reader.append(frame(2, 1, big).sliced(30000) + frame(2, 2, "after"));
    EXPECT_EQ(payloads(reader), (QList<QByteArray>{big, "after"}));
}
