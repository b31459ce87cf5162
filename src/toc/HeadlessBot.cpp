// SPDX-License-Identifier: GPL-3.0-or-later
#include "toc/HeadlessBot.h"

#include "toc/TocClient.h"

#include <QLoggingCategory>

#include <utility>

Q_DECLARE_LOGGING_CATEGORY(lcBot)

HeadlessBot::HeadlessBot(BoolValue& useBot, BotMode& botMode, TocClient& toc, HeadlessBotSettings settings)
    : m_useBot(useBot),
      m_botMode(botMode),
      m_toc(toc),
      m_settings(std::move(settings))
{
    connect(&toc, &TocClient::stateChanged, this, [this](TocClient::State state) {
        switch (state) {
        case TocClient::State::Connecting:
            log(QStringLiteral("connecting to ") + m_botMode.server().toString());
            break;
        case TocClient::State::GreetingSent:
            log(QStringLiteral("connected; waiting for the server's sign-on frame"));
            break;
        case TocClient::State::SigningOn:
            log(QStringLiteral("signing on as ") + m_toc.screenName());
            break;
        case TocClient::State::SignedOn:
        case TocClient::State::Disconnected:
            // Told by signedOn, signedOff and the retries, with more to say.
            break;
        }
    });
    connect(&toc, &TocClient::signedOn, this, [this](const QString& name) {
        log(QStringLiteral("signed on as ") + name + QStringLiteral("; joining ") + m_botMode.account.room.text()
            + QStringLiteral(" on exchange ") + m_botMode.account.exchange.text());
        // Bot mode itself joins the room again after later sign-ons.
        if (!std::exchange(m_joined, true))
            m_botMode.join();
    });
    connect(&toc, &TocClient::signedOff, this, [this] {
        // A lost connection is told by the retry.
        if (!m_botMode.reconnect.isRunning())
            log(QStringLiteral("signed off"));
    });
    connect(&toc, &TocClient::serverError, this, [this](qint16 code) {
        if (code != Reconnector::kWrongPassword && code != Reconnector::kConnectingTooOften)
            log(QStringLiteral("the server reported error ") + QString::number(code), Level::Warning);
    });
    connect(&botMode, &BotMode::droppedBeforeSignOn, this, [this](const QString& who) {
        log(QStringLiteral("the server sent a room line (from %1) before the sign-on was complete; such lines "
                           "are ignored")
                .arg(who),
            Level::Warning);
    });
    connect(&toc, &TocClient::chatJoined, this, [this](const QString& room, qint32 id) {
        log(QStringLiteral("joined room ") + room + QStringLiteral(" (id ") + QString::number(id) + u')');
    });
    connect(&toc, &TocClient::chatLeft, this,
            [this](qint32 id) { log(QStringLiteral("left room id ") + QString::number(id)); });
    connect(&toc, &TocClient::sendRateChanged, this, [this](double perSecond) {
        if (perSecond < BotMode::sendRate()) {
            log(QStringLiteral("the server says the bot sends too fast; sending at most %1 a second for a minute")
                    .arg(perSecond),
                Level::Warning);
        } else {
            log(QStringLiteral("sending at most %1 a second again").arg(perSecond));
        }
    });
    Reconnector& reconnect = m_botMode.reconnect;
    connect(&reconnect, &Reconnector::waiting, this, [this](const QString& why, Reconnector::Milliseconds wait) {
        log(why + QStringLiteral("; trying again in ") + Reconnector::describeWait(wait), Level::Warning);
    });
    connect(&reconnect, &Reconnector::refused, this, [this](qint16 code) {
        log(QStringLiteral("the server refused the screen name or password (error %1); not trying again, "
                           "which would only lock the account")
                .arg(code),
            Level::Error);
        m_exitStatus = kRefusedExitStatus;
        Q_EMIT signOnRefused();
    });
    connect(&toc, &TocClient::dialectSettled, this, [this](TocDialect speaking) {
        log(speaking == TocDialect::Toc1
                ? QStringLiteral("the server closed the connection after toc2_login without SIGN_ON; "
                                 "signing on again with TOC1 for the rest of the run")
                : QStringLiteral("the server answered toc2_login; keeping TOC2 for the rest of the run"));
    });
}

void HeadlessBot::useDialect()
{
    const TocDialect dialect = m_settings.dialect.value_or(BotMode::storedDialect().value_or(TocDialect::Auto));
    m_botMode.setDialect(dialect);
    switch (dialect) {
    case TocDialect::Toc1:
        log(QStringLiteral("speaking TOC1"));
        break;
    case TocDialect::Toc2:
        log(QStringLiteral("speaking TOC2"));
        break;
    case TocDialect::Auto:
        log(QStringLiteral("trying TOC2 first, then TOC1 if the server hangs up on it"));
        break;
    }
}

void HeadlessBot::start()
{
    m_botMode.namedOwner.setText(m_settings.owner);
    m_botMode.account.screenName.setText(m_settings.screenName);
    m_botMode.account.password.setText(m_settings.password);
    m_botMode.account.room.setText(m_settings.room);
    m_botMode.account.exchange.setText(m_settings.exchange);
    if (m_settings.server)
        m_botMode.setServer(*m_settings.server);
    if (m_settings.authorizer)
        m_botMode.setAuthorizer(*m_settings.authorizer);
    useDialect();
    m_useBot.setValue(true);
    m_botMode.onUseBotClicked();
    // Signs on whatever the session's state.
    m_botMode.signOn();
}

void HeadlessBot::log(const QString& line, Level level)
{
    switch (level) {
    case Level::Info:
        qCInfo(lcBot).noquote().nospace() << "toc: " << line;
        break;
    case Level::Warning:
        qCWarning(lcBot).noquote().nospace() << "toc: " << line;
        break;
    case Level::Error:
        qCCritical(lcBot).noquote().nospace() << "toc: " << line;
        break;
    }
}
