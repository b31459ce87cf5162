// SPDX-License-Identifier: GPL-3.0-or-later
#include "toc/SendQueue.h"

#include <algorithm>
#include <cmath>
#include <utility>

using namespace std::chrono;

SendQueue::SendQueue(Writer write, Clock clock) : m_write(std::move(write)), m_clock(std::move(clock))
{
    m_pumpTimer.setSingleShot(true);
    m_pumpTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_pumpTimer, &QTimer::timeout, this, &SendQueue::pump);
    m_filled = now();
}

milliseconds SendQueue::now() const
{
    return m_clock ? m_clock() : duration_cast<milliseconds>(steady_clock::now().time_since_epoch());
}

void SendQueue::setRate(double perSecond)
{
    refill();
    m_rate = std::isfinite(perSecond) && perSecond > 0 ? perSecond : 0;
    pump();
}

double SendQueue::rate()
{
    refill();
    return m_rate * m_factor;
}

void SendQueue::slowDown()
{
    if (m_rate <= 0)
        return;
    refill();
    m_factor = std::max(m_factor / 2, std::min(1.0, kSlowest / m_rate));
    m_slowUntil = now() + kSlowFor;
    Q_EMIT rateChanged(m_rate * m_factor);
}

void SendQueue::refill()
{
    const milliseconds at = now();
    // Tokens earned before the slow minute ended were earned at the slow rate.
    if (m_factor < 1 && at >= m_slowUntil) {
        m_tokens
            = std::min<double>(kBurst, m_tokens + duration<double>(m_slowUntil - m_filled).count() * m_rate * m_factor);
        m_filled = m_slowUntil;
        m_factor = 1;
        Q_EMIT rateChanged(m_rate);
    }
    if (at > m_filled)
        m_tokens = std::min<double>(kBurst, m_tokens + duration<double>(at - m_filled).count() * m_rate * m_factor);
    m_filled = std::max(m_filled, at);
}

void SendQueue::push(Entry entry)
{
    if (entry.roomLine && size() >= kBound) {
        ++m_unsaid;
        ++m_droppedInAll;
        return;
    }
    m_entries.push_back(std::move(entry));
    pump();
}

int SendQueue::clear()
{
    const auto lines = std::count_if(m_entries.cbegin(), m_entries.cend(), [](const Entry& e) { return e.roomLine; });
    m_entries.clear();
    m_pumpTimer.stop();
    m_droppedInAll += int(lines);
    return int(lines);
}

void SendQueue::pump()
{
    while (!m_entries.empty()) {
        const bool paced = m_rate > 0;
        if (paced) {
            refill();
            if (m_tokens < 1)
                break;
            m_tokens -= 1;
        }
        const Entry entry = std::move(m_entries.front());
        m_entries.pop_front();
        m_write(entry, entry.roomLine ? std::exchange(m_unsaid, 0) : 0);
    }
    // Unpaced, the loop above leaves nothing waiting.
    if (m_entries.empty()) {
        m_pumpTimer.stop();
        return;
    }
    const double wait = (1 - m_tokens) / (m_rate * m_factor) * 1000;
    m_pumpTimer.start(int(std::ceil(std::clamp(wait, 1.0, 3.6e6))));
}

std::optional<milliseconds> SendQueue::nextPump() const
{
    if (!m_pumpTimer.isActive())
        return std::nullopt;
    return milliseconds(m_pumpTimer.interval());
}
