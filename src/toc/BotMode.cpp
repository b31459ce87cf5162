// SPDX-License-Identifier: GPL-3.0-or-later
#include "toc/BotMode.h"

#include "chatlink/ChatScanner.h"
#include "controls/LogLine.h"
#include "controls/UserInterface.h"
#include "controls/UserStore.h"
#include "toc/RemoveTags.h"
#include "toc/TocClient.h"

#include <QDir>
#include <QHostAddress>
#include <QRegularExpression>
#include <QSettings>

#include <algorithm>
#include <utility>

const QString BotMode::kGroup = QStringLiteral("toc");
const QString BotMode::kServerKey = QStringLiteral("server");
const QString BotMode::kPortKey = QStringLiteral("port");
const QString BotMode::kAuthorizerKey = QStringLiteral("authorizer");
const QString BotMode::kAuthPortKey = QStringLiteral("authorizerport");
const QString BotMode::kVersionKey = QStringLiteral("version");
const QString BotMode::kBotGroup = QStringLiteral("bot");
const QString BotMode::kScreenNameKey = QStringLiteral("screenname");
const QString BotMode::kRoomKey = QStringLiteral("room");
const QString BotMode::kExchangeKey = QStringLiteral("exchange");
const QString BotMode::kOwnerKey = QStringLiteral("owner");
const QString BotMode::kSendRateKey = QStringLiteral("sendrate");
const QString BotMode::kBadExchange
    = QStringLiteral("The exchange must be a whole number from -32768 to 32767; the room was not joined.");

namespace {

std::optional<quint16> portNumber(const QString& text)
{
    const auto asciiDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    if (text.isEmpty() || !std::all_of(text.cbegin(), text.cend(), asciiDigit))
        return std::nullopt;
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return std::nullopt;
    return quint16(port);
}

// QHostAddress alone also takes blanks, an empty zone and any character in
// the zone after '%', a ']' or a control character too.
bool isIpv6Address(const QString& text)
{
    static const QRegularExpression shape(
        QRegularExpression::anchoredPattern(QStringLiteral("[0-9A-Fa-f:.]+(%[0-9A-Za-z._-]+)?")));
    QHostAddress address;
    return shape.match(text).hasMatch() && address.setAddress(text)
        && address.protocol() == QAbstractSocket::IPv6Protocol;
}

// A DNS name (dot-separated labels of letters, digits, '-' and '_', one
// trailing dot allowed) or a dotted IPv4 address; a name of digits and dots
// alone must be the address.
bool isHostName(const QString& text)
{
    if (text.isEmpty() || text.size() > 254)
        return false;
    const QString name = text.endsWith(u'.') ? text.chopped(1) : text;
    const auto digitOrDot = [](QChar c) { return c.isDigit() || c == u'.'; };
    if (std::all_of(name.cbegin(), name.cend(), digitOrDot)) {
        QHostAddress address;
        return name == text && name.count(u'.') == 3 && address.setAddress(name)
            && address.protocol() == QAbstractSocket::IPv4Protocol;
    }
    const auto labelChar = [](QChar c) { return c.isLetterOrNumber() || c == u'-' || c == u'_'; };
    for (const QStringView label : QStringView(name).split(u'.')) {
        if (label.isEmpty() || label.size() > 63 || !std::all_of(label.begin(), label.end(), labelChar))
            return false;
    }
    return true;
}

TocEndpoint stored(const QString& hostKey, const QString& defaultHost, const QString& portKey, quint16 defaultPort)
{
    const quint16 port = portNumber(readSetting(BotMode::kGroup, portKey).trimmed()).value_or(defaultPort);
    return TocEndpoint::parse(readSetting(BotMode::kGroup, hostKey), port).value_or(TocEndpoint {defaultHost, port});
}

}  // namespace

std::optional<TocEndpoint> TocEndpoint::parse(const QString& text, quint16 defaultPort)
{
    const QString t = text.trimmed();
    QString host = t;
    QString port;
    bool bracketed = false;
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        if (close < 0)
            return std::nullopt;
        host = t.mid(1, close - 1);
        const QString rest = t.mid(close + 1);
        if (!rest.isEmpty() && (!rest.startsWith(u':') || (port = rest.mid(1)).isEmpty()))
            return std::nullopt;
        bracketed = true;
    } else if (t.count(u':') == 1) {
        host = t.section(u':', 0, 0);
        port = t.section(u':', 1);
        if (port.isEmpty())
            return std::nullopt;
    }
    // What the brackets hold must be an IPv6 address; a bare one (more than
    // one colon) is a host without a port.
    const bool ipv6 = bracketed || host.contains(u':');
    if (ipv6 ? !isIpv6Address(host) : !isHostName(host))
        return std::nullopt;
    TocEndpoint endpoint {host, defaultPort};
    if (!port.isEmpty()) {
        const auto number = portNumber(port);
        if (!number)
            return std::nullopt;
        endpoint.port = *number;
    }
    return endpoint;
}

QString BotMode::storeFile()
{
    return QDir::toNativeSeparators(QSettings(profileFolder(), QStringLiteral("quillon")).fileName());
}

std::optional<QString> BotMode::storedProblem(const QString& group, const QString& key)
{
    const QString value = readSetting(group, key);
    if (value.trimmed().isEmpty())
        return std::nullopt;
    QString rule;
    // No two groups share a key's name: the key alone says what it takes.
    if (key == kServerKey || key == kAuthorizerKey) {
        if (!TocEndpoint::parse(value, 1))
            rule = QStringLiteral("HOST, HOST:PORT, [IPV6] or [IPV6]:PORT, with a host name or address and a port "
                                  "from 1 to 65535");
    } else if (key == kPortKey || key == kAuthPortKey) {
        if (!portNumber(value.trimmed()))
            rule = QStringLiteral("a port from 1 to 65535");
    } else if (key == kVersionKey) {
        if (!parseTocDialect(value))
            rule = QStringLiteral("1, 2 or auto");
    } else if (key == kExchangeKey) {
        bool ok = false;
        value.trimmed().toShort(&ok);
        if (!ok)
            rule = QStringLiteral("a whole number from -32768 to 32767");
    }
    if (rule.isEmpty())
        return std::nullopt;
    return QStringLiteral("%1: the key %2 under [%3] is \"%4\"; it takes %5").arg(storeFile(), key, group, value, rule);
}

QStringList BotMode::storedProblems() const
{
    QStringList keys;
    if (!m_server)
        keys << kServerKey << kPortKey;
    if (!m_authorizer)
        keys << kAuthorizerKey << kAuthPortKey;
    if (!m_dialect)
        keys << kVersionKey;
    QStringList problems;
    for (const QString& key : std::as_const(keys)) {
        if (auto problem = storedProblem(kGroup, key))
            problems << *problem;
    }
    return problems;
}

QString TocEndpoint::toString() const
{
    const QString shown = host.contains(u':') ? u'[' + host + u']' : host;
    return shown + u':' + QString::number(port);
}

BotMode::BotMode(const BoolValue& useBot, TextValue& owner, TocClient& toc, ChatScanner& scanner, UserInterface& ui)
    : namedOwner(readSetting(kBotGroup, kOwnerKey)),
      reconnect(toc, [this] { loginWithPanel(); }),
      m_useBot(useBot),
      m_owner(owner),
      m_toc(toc),
      m_scanner(scanner),
      m_ui(ui)
{
    connect(&reconnect, &Reconnector::waiting, this, &BotMode::onReconnectWaiting);
    connect(&reconnect, &Reconnector::refused, this, [this] {
        status.setText(QStringLiteral("Wrong name or password"));
        m_toc.signOff();
    });
    // Whoever else claims the owner's place while bot mode names one, the
    // named owner keeps it.
    connect(&m_owner, &TextValue::textChanged, this, &BotMode::applyOwner);
}

void BotMode::attachClient()
{
    connect(&m_toc, &TocClient::signedOn, this, &BotMode::onSignedOn);
    connect(&m_toc, &TocClient::signedOff, this, &BotMode::onSignedOff);
    connect(&m_toc, &TocClient::chatMessageReceived, this,
            [this](qint32, const QString& screenName, bool, const QString& message) {
                onChatMessageReceived(screenName, message);
            });
    // The scanner has escaped the text for the command.
    m_scanner.setTocRoute([this](const QString& text) { m_toc.sendChat(m_toc.lastChatId(), text); });
}

TocEndpoint BotMode::server() const
{
    return m_server.value_or(stored(kServerKey, QStringLiteral("toc.oscar.aol.com"), kPortKey, kServerPort));
}

TocEndpoint BotMode::authorizer() const
{
    return m_authorizer.value_or(
        stored(kAuthorizerKey, QStringLiteral("login.oscar.aol.com"), kAuthPortKey, kAuthorizerPort));
}

TocDialect BotMode::dialect() const
{
    return m_dialect.value_or(storedDialect().value_or(TocDialect::Toc2));
}

std::optional<TocDialect> BotMode::storedDialect()
{
    return parseTocDialect(readSetting(kGroup, kVersionKey));
}

void BotMode::storeDialect(TocDialect dialect)
{
    writeSetting(kGroup, kVersionKey, tocDialectText(dialect));
}

double BotMode::sendRate()
{
    const QString text = readSetting(kBotGroup, kSendRateKey).trimmed();
    bool ok = false;
    const double rate = text.toDouble(&ok);
    if (text.isEmpty() || (ok && rate > 0 && rate <= 100))
        return text.isEmpty() ? kSendRate : rate;
    static bool said = false;
    if (!std::exchange(said, true)) {
        logLine(stderr, LogLevel::Warning,
                QStringLiteral("quillon: [bot] sendrate \"%1\" is not a number of messages a second from above 0 "
                               "to 100; sending %2 a second")
                    .arg(text)
                    .arg(kSendRate));
    }
    return kSendRate;
}

void BotMode::closing()
{
    const int dropped = m_toc.dropQueued();
    m_toc.setSendRate(0);
    if (dropped > 0) {
        logLine(stderr, LogLevel::Info,
                QStringLiteral("toc: %1 queued line%2 dropped at shut-down")
                    .arg(dropped)
                    .arg(dropped == 1 ? QString() : QStringLiteral("s")));
    }
}

void BotMode::onUseBotClicked()
{
    if (m_useBot.value()) {
        panelShown.setValue(true);
        m_scanner.stopScanning();
    } else {
        m_scanner.startScanning();
        panelShown.setValue(false);
        // Out of bot mode nothing signs on by itself.
        reconnect.stop();
    }
    applyOwner();
}

void BotMode::onOwnerEdited()
{
    writeSetting(kBotGroup, kOwnerKey, namedOwner.text());
    applyOwner();
}

void BotMode::applyOwner()
{
    const QString owner = namedOwner.text().trimmed();
    const bool named = m_useBot.value() && !owner.isEmpty();
    if (named && m_owner.text() != owner) {
        if (!m_ownerBefore)
            m_ownerBefore = m_owner.text();
        m_owner.setText(owner);
    } else if (!named && m_ownerBefore) {
        m_owner.setText(*std::exchange(m_ownerBefore, std::nullopt));
    }
}

void BotMode::onSignOnClicked()
{
    if (m_session == Session::SignedOff)
        signOn();
    else
        logOff();
}

void BotMode::signOn()
{
    for (const QString& problem : storedProblems())
        m_ui.messageBox(problem + QStringLiteral("; the default is used."), QStringLiteral("TOC Bot"),
                        UserInterface::Icon::Critical);
    reconnect.start();
    loginWithPanel();
}

void BotMode::logOff()
{
    reconnect.stop();
    m_room.reset();
    m_toc.signOff();
}

void BotMode::loginWithPanel()
{
    status.setText(QStringLiteral("Connecting"));
    const TocEndpoint host = server();
    const TocEndpoint auth = authorizer();
    m_toc.setDialect(dialect());
    m_toc.setSendRate(sendRate());
    m_toc.signOn(account.screenName.text(), account.password.text(), host.host, host.port, auth.host, auth.port);
}

void BotMode::join()
{
    m_toc.leaveChat(m_toc.lastChatId());
    bool ok = false;
    const qint16 exchange = account.exchange.text().trimmed().toShort(&ok);
    if (!ok) {
        // The leave has gone out already; the owner is told why no join follows.
        m_ui.messageBox(kBadExchange, QStringLiteral("TOC Bot"), UserInterface::Icon::Critical);
        return;
    }
    m_room = Room {account.room.text(), exchange};
    m_toc.joinChat(m_room->name, exchange);
}

void BotMode::part()
{
    m_room.reset();
    m_toc.leaveChat(m_toc.lastChatId());
}

void BotMode::onSignedOn()
{
    status.setText(QStringLiteral("Signed On!"));
    setSession(Session::SignedOn);
    // Finds a connection that went silent; it ends with the connection.
    m_toc.setAntiIdle(true);
    if (m_room)
        m_toc.joinChat(m_room->name, m_room->exchange);
}

void BotMode::onSignedOff()
{
    setSession(Session::SignedOff);
    m_toc.setAntiIdle(false);
}

void BotMode::setSession(Session session)
{
    if (std::exchange(m_session, session) != session)
        Q_EMIT sessionChanged(session);
}

void BotMode::onReconnectWaiting(const QString&, Reconnector::Milliseconds wait)
{
    status.setText(QStringLiteral("Retry in ") + Reconnector::describeWait(wait));
}

void BotMode::onChatMessageReceived(const QString& screenName, const QString& message)
{
    // Nothing acts before the sign-on is complete: a server that sends room
    // lines first is not one to take commands from.
    if (m_toc.state() != TocClient::State::SignedOn) {
        if (!std::exchange(m_droppedEarlyLine, true))
            Q_EMIT droppedBeforeSignOn(screenName);
        return;
    }
    // Whispers and lines of any joined room are treated alike.
    Q_EMIT lineReceived(screenName, removeTags(message), QStringLiteral("0"));
}
