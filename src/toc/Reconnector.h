// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toc/ReconnectSchedule.h"
#include "toc/TocClient.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <utility>

// Keeps a TOC client signed on: when a sign-on fails or a signed-on
// connection is lost, it signs on again after the schedule's wait, for as
// long as it is running. A refused password stops it for good (trying again
// would only lock the account); a server that says we connect too often is
// left alone for ten minutes.
class Reconnector : public QObject {
    Q_OBJECT
public:
    using Milliseconds = ReconnectSchedule::Milliseconds;

    // TOC error codes of a refused sign-on.
    static constexpr qint16 kWrongPassword = 980;
    static constexpr qint16 kConnectingTooOften = 983;
    // A sign-on that has not completed by then counts as failed.
    static constexpr int kSignOnWaitMs = 30000;

    // signOn starts one sign-on of toc, as the first one was started.
    Reconnector(TocClient& toc, std::function<void()> signOn);
    // For a clock or jitter of one's own.
    void setSchedule(ReconnectSchedule schedule) { m_schedule = std::move(schedule); }

    // Call as the first sign-on starts: from then on, failures are retried.
    void start();
    // No more retries; a wait under way is dropped.
    void stop();
    bool isRunning() const { return m_running; }
    bool isWaiting() const { return m_retryTimer.isActive(); }

    // The wait before the next try is over.
    void onRetryDue();
    // The sign-on under way took too long.
    void onSignOnTimedOut();

    // Waiting to try again, or timing a sign-on under way.
    bool hasTimerRunning() const { return m_retryTimer.isActive() || m_signOnTimer.isActive(); }

    // "connection lost" and the like, with the time until the next try.
    static QString describeWait(Milliseconds wait);

Q_SIGNALS:
    // A try failed or a connection was lost (why, for people), and the next
    // one starts after `wait`.
    void waiting(const QString& why, Milliseconds wait);
    // The server refused the screen name or password; nothing more is tried.
    void refused(qint16 code);

private:
    void lose(const QString& reason);
    void onClientStateChanged(TocClient::State state);
    void onServerError(qint16 code);

    QTimer m_retryTimer;
    QTimer m_signOnTimer;
    TocClient& m_toc;
    std::function<void()> m_signOn;
    ReconnectSchedule m_schedule;
    bool m_running = false;
    bool m_tooOften = false;
    // How far the current try got before it ended.
    TocClient::State m_reached = TocClient::State::Disconnected;
};
