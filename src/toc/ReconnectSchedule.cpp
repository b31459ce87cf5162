// SPDX-License-Identifier: GPL-3.0-or-later
#include "toc/ReconnectSchedule.h"

#include <QRandomGenerator>

#include <algorithm>
#include <utility>

ReconnectSchedule::ReconnectSchedule(Clock clock, Jitter jitter)
    : m_clock(std::move(clock)),
      m_jitter(std::move(jitter))
{
    if (!m_clock) {
        m_clock = [] {
            return std::chrono::duration_cast<Milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
        };
    }
    if (!m_jitter)
        m_jitter = [] { return QRandomGenerator::global()->generateDouble(); };
}

void ReconnectSchedule::signedOn()
{
    m_signedOnAt = m_clock();
}

ReconnectSchedule::Milliseconds ReconnectSchedule::lost(bool connectingTooOften)
{
    if (const auto since = std::exchange(m_signedOnAt, std::nullopt); since && m_clock() - *since >= kSteadyAfter)
        m_next = kFirstWait;
    Milliseconds wait = std::exchange(m_next, std::min(m_next * 2, kLongestWait));
    if (connectingTooOften)
        wait = std::max(wait, kTooOftenWait);
    const double stretch = std::clamp(m_jitter(), 0.0, 1.0) / 10;
    return wait + Milliseconds(qint64(double(wait.count()) * stretch));
}
