// SPDX-License-Identifier: GPL-3.0-or-later
#include "toc/Reconnector.h"

#include <utility>

using State = TocClient::State;

Reconnector::Reconnector(TocClient& toc, std::function<void()> signOn) : m_toc(toc), m_signOn(std::move(signOn))
{
    for (QTimer* timer : {&m_retryTimer, &m_signOnTimer})
        timer->setSingleShot(true);
    m_signOnTimer.setInterval(kSignOnWaitMs);
    connect(&m_retryTimer, &QTimer::timeout, this, &Reconnector::onRetryDue);
    connect(&m_signOnTimer, &QTimer::timeout, this, &Reconnector::onSignOnTimedOut);
    connect(&m_toc, &TocClient::stateChanged, this, &Reconnector::onClientStateChanged);
    connect(&m_toc, &TocClient::serverError, this, &Reconnector::onServerError);
    connect(&m_toc, &TocClient::connectionFailed, this, &Reconnector::lose);
    // The server closing the connection is told by signedOff alone.
    connect(&m_toc, &TocClient::signedOff, this, [this] { lose({}); });
}

void Reconnector::start()
{
    m_running = true;
    m_retryTimer.stop();
}

void Reconnector::stop()
{
    m_running = false;
    m_retryTimer.stop();
    m_signOnTimer.stop();
}

void Reconnector::onRetryDue()
{
    m_retryTimer.stop();
    if (m_running)
        m_signOn();
}

void Reconnector::onSignOnTimedOut()
{
    m_signOnTimer.stop();
    if (!m_running || m_toc.state() == State::SignedOn)
        return;
    lose(QStringLiteral("no answer to sign-on within %1 s").arg(kSignOnWaitMs / 1000));
    // The wait has begun, so the signedOff this raises is not a second loss.
    m_toc.signOff();
}

void Reconnector::onClientStateChanged(State state)
{
    if (state == State::Connecting) {
        m_reached = state;
        if (m_running)
            m_signOnTimer.start();
        return;
    }
    if (state == State::Disconnected)
        return;
    m_reached = state;
    if (state == State::SignedOn) {
        m_signOnTimer.stop();
        m_tooOften = false;
        m_schedule.signedOn();
    }
}

void Reconnector::onServerError(qint16 code)
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
    if (!m_running || m_retryTimer.isActive())
        return;
    m_signOnTimer.stop();
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
    m_retryTimer.start(int(wait.count()));
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
