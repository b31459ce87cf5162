// SPDX-License-Identifier: GPL-3.0-or-later
#include "toc/Reconnector.h"

#include <utility>

using State = TocClient::State;

Reconnector::Reconnector(TocClient& toc, std::function<void()> signOn) : m_toc(toc), m_signOn(std::move(signOn))
{
    for (QTimer* timer : {&tmrRetry, &tmrSignOnWait})
        timer->setSingleShot(true);
    tmrSignOnWait.setInterval(kSignOnWaitMs);
    connect(&tmrRetry, &QTimer::timeout, this, &Reconnector::tmrRetry_Timer);
    connect(&tmrSignOnWait, &QTimer::timeout, this, &Reconnector::tmrSignOnWait_Timer);
    connect(&m_toc, &TocClient::stateChanged, this, &Reconnector::toc_stateChanged);
    connect(&m_toc, &TocClient::serverError, this, &Reconnector::toc_Error);
    connect(&m_toc, &TocClient::connectionFailed, this, &Reconnector::lose);
    // The server closing the connection is told by signedOff alone.
    connect(&m_toc, &TocClient::signedOff, this, [this] { lose({}); });
}

void Reconnector::start()
{
    m_running = true;
    tmrRetry.stop();
}

void Reconnector::stop()
{
    m_running = false;
    tmrRetry.stop();
    tmrSignOnWait.stop();
}

void Reconnector::tmrRetry_Timer()
{
    tmrRetry.stop();
    if (m_running)
        m_signOn();
}

void Reconnector::tmrSignOnWait_Timer()
{
    tmrSignOnWait.stop();
    if (!m_running || m_toc.state() == State::SignedOn)
        return;
    lose(QStringLiteral("no answer to sign-on within %1 s").arg(kSignOnWaitMs / 1000));
    // The wait has begun, so the signedOff this raises is not a second loss.
    m_toc.signOff();
}

void Reconnector::toc_stateChanged(State state)
{
    if (state == State::Connecting) {
        m_reached = state;
        if (m_running)
            tmrSignOnWait.start();
        return;
    }
    if (state == State::Disconnected)
        return;
    m_reached = state;
    if (state == State::SignedOn) {
        tmrSignOnWait.stop();
        m_tooOften = false;
        m_schedule.signedOn();
    }
}

void Reconnector::toc_Error(qint16 code)
{
    if (!m_running || m_toc.state() == State::SignedOn)
        return;
    if (code == kWrongPassword) {
        stop();
        Q_EMIT refused(code);
    } else if (code == kConnectingTooOften) {
        m_tooOften = true;
    }
}

void Reconnector::lose(const QString& reason)
{
    // One loss is often told twice (a socket error, then the close).
    if (!m_running || tmrRetry.isActive())
        return;
    tmrSignOnWait.stop();
    QString why;
    switch (m_reached) {
    case State::Disconnected:
    case State::Connecting:
        why = QStringLiteral("could not connect");
        break;
    case State::GreetingSent:
    case State::SigningOn:
        why = QStringLiteral("connection lost while signing on");
        break;
    case State::SignedOn:
        why = QStringLiteral("connection lost");
        break;
    }
    if (m_tooOften)
        why = QStringLiteral("the server says we connect too often");
    else if (!reason.isEmpty())
        why += QStringLiteral(" (") + reason + u')';
    const Milliseconds wait = m_schedule.lost(std::exchange(m_tooOften, false));
    tmrRetry.start(int(wait.count()));
    Q_EMIT waiting(why, wait);
}

QString Reconnector::describeWait(Milliseconds wait)
{
    const qint64 seconds = std::max<qint64>(1, (wait.count() + 500) / 1000);
    if (seconds < 60)
        return QString::number(seconds) + QStringLiteral(" s");
    const QString minutes = QString::number(seconds / 60) + QStringLiteral(" min");
    return seconds % 60 == 0 ? minutes : minutes + u' ' + QString::number(seconds % 60) + QStringLiteral(" s");
}
