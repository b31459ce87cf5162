// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <deque>
#include <functional>
#include <optional>

// What the bot sends waits here and leaves at a pace the server accepts: a
// burst of kBurst messages, then `rate` a second. Room lines beyond kBound
// are dropped and counted, and the next room line that leaves says how
// many. Nothing is ever reordered.
class SendQueue : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<std::chrono::milliseconds()>;
    struct Entry {
        QByteArray bytes;
        // A room line (its room and its escaped text); otherwise a command
        // of the protocol that is never dropped.
        bool roomLine = false;
        qint32 room = 0;
    };
    // Writes one entry; `dropped` room lines were dropped just before it.
    using Writer = std::function<void(const Entry& entry, int dropped)>;

    static constexpr int kBurst = 5;
    static constexpr qsizetype kBound = 100;
    static constexpr std::chrono::minutes kSlowFor {1};
    // However often the server complains, one message every 8 s still goes.
    static constexpr double kSlowest = 0.125;

    // Without a clock, the steady clock.
    explicit SendQueue(Writer write, Clock clock = {});

    // Messages a second; 0 (the default) sends everything at once.
    void setRate(double perSecond);
    // The rate that applies now: halved for a minute after each complaint.
    double rate();
    // The server said we send too fast.
    void slowDown();

    void push(Entry entry);
    // Drops everything waiting; answers how many room lines that was.
    int clear();
    qsizetype size() const { return qsizetype(m_entries.size()); }
    // Room lines dropped since the start.
    int droppedInAll() const { return m_droppedInAll; }

    // Sends what may leave now; the pump timer calls it when the next may.
    void pump();
    // How long after it was last set the pump timer ticks; nothing while
    // nothing waits for the pace.
    std::optional<std::chrono::milliseconds> nextPump() const;

Q_SIGNALS:
    // The pace changed: slowed by a complaint, or back after the minute.
    void rateChanged(double perSecond);

private:
    std::chrono::milliseconds now() const;
    void refill();

    QTimer m_pumpTimer;
    Writer m_write;
    Clock m_clock;
    std::deque<Entry> m_entries;
    double m_rate = 0;
    double m_factor = 1;
    double m_tokens = kBurst;
    std::chrono::milliseconds m_filled {0};
    std::chrono::milliseconds m_slowUntil {0};
    int m_unsaid = 0;
    int m_droppedInAll = 0;
};
