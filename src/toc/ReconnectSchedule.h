// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <optional>

// How long to wait before signing on again after a connection failed or was
// lost: 1 s, then twice as long each time up to 5 minutes, each wait
// stretched by up to a tenth at random so that many bots dropped together
// do not come back together. A connection that stayed signed on for 10
// minutes starts the count over; a server that says we connect too often
// is left alone for at least 10 minutes.
class ReconnectSchedule {
public:
    using Milliseconds = std::chrono::milliseconds;
    // A monotonic clock, and a source of numbers in [0, 1) for the jitter.
    using Clock = std::function<Milliseconds()>;
    using Jitter = std::function<double()>;

    static constexpr Milliseconds kFirstWait {1000};
    static constexpr Milliseconds kLongestWait {5 * 60 * 1000};
    static constexpr Milliseconds kSteadyAfter {10 * 60 * 1000};
    static constexpr Milliseconds kTooOftenWait {10 * 60 * 1000};

    explicit ReconnectSchedule(Clock clock = {}, Jitter jitter = {});

    // A connection has signed on.
    void signedOn();
    // The connection failed or was lost: the wait before the next try.
    Milliseconds lost(bool connectingTooOften = false);

private:
    Clock m_clock;
    Jitter m_jitter;
    Milliseconds m_next = kFirstWait;
    std::optional<Milliseconds> m_signedOnAt;
};
