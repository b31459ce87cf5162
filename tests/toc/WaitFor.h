// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

// Serves events until the condition holds or the deadline passes; answers
// whether it holds. Blocks only while no event is pending, and a coarse
// timer wakes it so the deadline is always seen.
template <typename Condition> bool waitFor(Condition condition, int timeoutMs = 5000)
{
    const QDeadlineTimer deadline(timeoutMs);
    QTimer wake;
    wake.start(25);
    while (!condition()) {
        if (deadline.hasExpired())
            return condition();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}
