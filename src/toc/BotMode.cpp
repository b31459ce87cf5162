#include "toc/BotMode.h"

#include "chatlink/ChatScanner.h"
#include "controls/UserInterface.h"
#include "controls/UserStore.h"
#include "toc/MarlTOCSock.h"
#include "toc/RemoveTags.h"

#include <algorithm>

const QString BotMode::kGroup = QStringLiteral("toc");
const QString BotMode::kServerKey = QStringLiteral("server");
const QString BotMode::kPortKey = QStringLiteral("port");
const QString BotMode::kAuthorizerKey = QStringLiteral("authorizer");
const QString BotMode::kAuthPortKey = QStringLiteral("authorizerport");
const QString BotMode::kVersionKey = QStringLiteral("version");
const QString BotMode::kBadExchange =
    QStringLiteral("The exchange must be a whole number from -32768 to 32767; the room was not joined.");

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

TocEndpoint stored(const QString& hostKey, const QString& defaultHost, const QString& portKey,
                   quint16 defaultPort)
{
    TocEndpoint endpoint;
    endpoint.host = GetSetting(BotMode::kGroup, hostKey, defaultHost).trimmed();
    if (endpoint.host.isEmpty())
        endpoint.host = defaultHost;
    endpoint.port = portNumber(GetSetting(BotMode::kGroup, portKey).trimmed()).value_or(defaultPort);
    return endpoint;
}

} // namespace

std::optional<TocEndpoint> TocEndpoint::parse(const QString& text, quint16 defaultPort)
{
    const QString t = text.trimmed();
    QString host = t;
    QString port;
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        if (close < 0)
            return std::nullopt;
        host = t.mid(1, close - 1);
        const QString rest = t.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(u':'))
                return std::nullopt;
            port = rest.mid(1);
            if (port.isEmpty())
                return std::nullopt;
        }
    } else if (t.count(u':') == 1) {
        host = t.section(u':', 0, 0);
        port = t.section(u':', 1);
        if (port.isEmpty())
            return std::nullopt;
    }
    if (host.isEmpty())
        return std::nullopt;
    TocEndpoint endpoint{host, defaultPort};
    if (!port.isEmpty()) {
        const auto number = portNumber(port);
        if (!number)
            return std::nullopt;
        endpoint.port = *number;
    }
    return endpoint;
}

QString TocEndpoint::toString() const
{
    const QString shown = host.contains(u':') ? u'[' + host + u']' : host;
    return shown + u':' + QString::number(port);
}

BotMode::BotMode(FormState& form, MarlTOCSock& toc, ChatScanner& chat1, UserInterface& ui)
    : m_form(form), m_toc(toc), m_chat1(chat1), m_ui(ui)
{
}

void BotMode::attachClient()
{
    connect(&m_toc, &MarlTOCSock::LoggedIn, this, &BotMode::toc_LoggedIn);
    connect(&m_toc, &MarlTOCSock::LoggedOff, this, &BotMode::toc_LoggedOff);
    connect(&m_toc, &MarlTOCSock::IncomingChatMessage, this,
            [this](qint32, const QString& strUserName, bool, const QString& strMessage) {
                toc_IncomingChatMessage(strUserName, strMessage);
            });
    // chat1 has escaped the text for the command.
    m_chat1.setTocRoute([this](const QString& text) { m_toc.SendChat(m_toc.LastChatID(), text); });
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
    return parseTocDialect(GetSetting(kGroup, kVersionKey));
}

void BotMode::storeDialect(TocDialect dialect)
{
    SaveSetting(kGroup, kVersionKey, tocDialectText(dialect));
}

void BotMode::chkBot_Click()
{
    if (m_form.chkBot.value() == 1) {
        m_form.List1Height.setValue(kListHeightBot);
        m_chat1.scan_off();
    } else {
        m_chat1.scan_on();
        m_form.List1Height.setValue(kListHeightScan);
    }
}

void BotMode::skinButton6_Click()
{
    // Any other caption means the click signs off.
    if (m_form.skinButton6.caption() == QLatin1String("Signon"))
        signOn();
    else
        m_toc.LogOff();
}

void BotMode::signOn()
{
    m_form.labToc.setCaption(QStringLiteral("Connecting"));
    const TocEndpoint host = server();
    const TocEndpoint auth = authorizer();
    m_toc.setDialect(dialect());
    m_toc.Login(m_form.botSN.text(), m_form.botPW.text(), host.host, host.port, auth.host, auth.port);
}

void BotMode::skinButton7_Click()
{
    m_toc.ChatLeave(m_toc.LastChatID());
    bool ok = false;
    const qint16 exchange = m_form.txtEx.text().trimmed().toShort(&ok);
    if (!ok) {
        // The leave has gone out already; the owner is told why no join follows.
        m_ui.messageBox(kBadExchange, QStringLiteral("TOC Bot"), UserInterface::Icon::Critical);
        return;
    }
    m_toc.JoinChat(m_form.txtChat.text(), exchange);
}

void BotMode::skinButton8_Click()
{
    m_toc.ChatLeave(m_toc.LastChatID());
}

void BotMode::toc_LoggedIn()
{
    m_form.labToc.setCaption(QStringLiteral("Signed On!"));
    m_form.skinButton6.setCaption(QStringLiteral("Logoff"));
}

void BotMode::toc_LoggedOff()
{
    m_form.skinButton6.setCaption(QStringLiteral("Signon"));
}

void BotMode::toc_IncomingChatMessage(const QString& strUserName, const QString& strMessage)
{
    // Whispers and lines of any joined room are treated alike.
    Q_EMIT aimchatscan(strUserName, RemoveTags(strMessage), QStringLiteral("0"));
}
