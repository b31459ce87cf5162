// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/QtPrinters.h"

#include "toc/SendQueue.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

using namespace std::chrono_literals;
using Ms = std::chrono::milliseconds;

// A queue on a clock the test moves; what it writes is kept with the time.
struct Paced : ::testing::Test {
    Ms now {0};
    struct Sent {
        QByteArray bytes;
        Ms at;
        int dropped;
    };
    QList<Sent> sent;
    SendQueue queue {[this](const SendQueue::Entry& e, int dropped) {
                         sent.append({e.bytes, now, dropped});
                     },
                     [this] { return now; }};

    void line(const QByteArray& text) { queue.push({text, true, 7}); }
    // Time passes in small steps; the timer's tick comes when it is due.
    void runFor(Ms span)
    {
        for (const Ms end = now + span; now < end;) {
            now += 50ms;
            if (queue.nextPump())
                queue.pump();
        }
    }
    // In any stretch of time, at most the burst and the rate's worth left.
    void expectPaced(double perSecond)
    {
        for (qsizetype i = 0; i < sent.size(); ++i) {
            for (qsizetype j = i; j < sent.size(); ++j) {
                const double allowed = SendQueue::kBurst + perSecond * double((sent[j].at - sent[i].at).count()) / 1000;
                ASSERT_LE(double(j - i + 1), allowed + 1e-9) << i << ".." << j;
            }
        }
    }
};

TEST_F(Paced, ABurstOf300LeavesInOrderAtTheRateAndTheNextLineTellsWhatWasDropped)
{
    queue.setRate(1);
    for (int i = 0; i < 300; ++i)
        line(QByteArray::number(i));
    EXPECT_EQ(sent.size(), SendQueue::kBurst);
    EXPECT_EQ(queue.size(), SendQueue::kBound);
    ASSERT_TRUE(queue.nextPump());
    EXPECT_LE(*queue.nextPump(), 1000ms);
    // A command of the protocol (a leave, a join) is never dropped.
    queue.push({"toc_chat_leave \"7\""});
    runFor(120s);
    ASSERT_EQ(sent.size(), SendQueue::kBurst + SendQueue::kBound + 1);
    ASSERT_NO_FATAL_FAILURE(expectPaced(1));
    for (int i = 0; i < 105; ++i)
        EXPECT_EQ(sent[i].bytes, QByteArray::number(i));
    EXPECT_EQ(sent.constLast().bytes, "toc_chat_leave \"7\"");
    // The first line to leave after the drops carries their count, once.
    EXPECT_EQ(sent[SendQueue::kBurst].dropped, 195);
    EXPECT_EQ(std::accumulate(sent.begin(), sent.end(), 0, [](int n, const Sent& s) { return n + s.dropped; }), 195);
    EXPECT_EQ(queue.droppedInAll(), 195);
    EXPECT_FALSE(queue.nextPump());
}

TEST_F(Paced, TooFastHalvesTheRateForAMinuteDownToAFloor)
{
    QList<double> changed;
    QObject::connect(&queue, &SendQueue::rateChanged, [&](double rate) { changed.append(rate); });
    queue.setRate(2);
    for (int i = 0; i < 5; ++i)
        line("burst");
    queue.slowDown();
    for (int i = 0; i < 10; ++i)
        line(QByteArray::number(i));
    runFor(10s);
    ASSERT_EQ(sent.size(), 15);
    ASSERT_NO_FATAL_FAILURE(expectPaced(1));
    EXPECT_GE(sent.constLast().at, 9s);
    // Back to the full rate the moment the minute is over.
    runFor(50s);
    EXPECT_EQ(queue.rate(), 2);
    EXPECT_EQ(changed, (QList<double> {1, 2}));

    // Complaints in a row keep halving, never below one each 8 seconds.
    for (int i = 0; i < 10; ++i)
        queue.slowDown();
    EXPECT_EQ(queue.rate(), SendQueue::kSlowest);
    // An unpaced queue has no pace to halve.
    queue.setRate(0);
    changed.clear();
    queue.slowDown();
    EXPECT_TRUE(changed.isEmpty());
}

// At shut-down what waits is dropped and the closing line goes at once.
TEST_F(Paced, ClearingCountsTheRoomLinesAndAnUnpacedQueueSendsAtOnce)
{
    queue.setRate(1);
    for (int i = 0; i < 8; ++i)
        line("wait");
    queue.push({"toc_chat_join \"4\" \"Room\""});
    EXPECT_EQ(queue.clear(), 3);
    EXPECT_FALSE(queue.nextPump());
    queue.setRate(-1);
    EXPECT_EQ(queue.rate(), 0);
    line("unloaded.");
    EXPECT_EQ(sent.size(), 6);
    EXPECT_EQ(sent.constLast().bytes, "unloaded.");
    EXPECT_EQ(sent.constLast().at, Ms(0));
}

}  // namespace
