// SPDX-License-Identifier: GPL-3.0-or-later
#include "toc/TocClient.h"

#include "toc/TocWire.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QSignalBlocker>
#include <QVarLengthArray>

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

#ifdef Q_OS_LINUX
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

Q_LOGGING_CATEGORY(lcToc, "quillon.toc")

namespace {

constexpr QByteArrayView kGreeting("FLAPON\r\n\r\n");
constexpr QByteArrayView kSignOnVersion("\0\0\0\1", 4);

enum FrameType : quint8 { SignOnFrame = 1, DataFrame = 2, KeepAliveFrame = 5 };

using Field = std::optional<QByteArrayView>;

std::optional<qint32> asLong(const Field& field)
{
    if (!field)
        return std::nullopt;
    bool ok = false;
    const qint32 value = field->trimmed().toInt(&ok);
    return ok ? std::optional<qint32>(value) : std::nullopt;
}

// Calls `line` with each line of the text, the last one too when it does
// not end in a line feed.
template <typename F> void forEachLine(QByteArrayView text, F line)
{
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        line(text.sliced(start, end - start));
        start = end + 1;
    }
}

// One entry of a buddy-list config, added to the texts LoggedIn carries.
void addConfigEntry(QByteArrayView kind, QByteArrayView value, QString& buddies, QString& blocked)
{
    // No one has an empty name: such a line would list a blank.
    if (value.isEmpty())
        return;
    if (kind == "d")
        blocked += decodeWireText(value) + QLatin1String("\r\n");
    else if (kind == "b")
        buddies += decodeWireText(value) + QLatin1String("\r\n");
    else if (kind == "g")
        buddies += QLatin1String("Group [") + decodeWireText(value) + QLatin1String("]\r\n");
}

std::optional<qint16> asInteger(const Field& field)
{
    if (!field)
        return std::nullopt;
    bool ok = false;
    const qint16 value = field->trimmed().toShort(&ok);
    return ok ? std::optional<qint16>(value) : std::nullopt;
}

// A peer that vanished without closing (a router lost its state, the
// machine went away) is found by the system too: an idle connection is
// probed after 60 s of silence, then every 10 s, six times, and one whose
// sent bytes (a keep-alive frame among them) stay unanswered for two
// minutes is given up.
void keepAlive(QTcpSocket& socket)
{
    socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
#ifdef Q_OS_LINUX
    const int fd = int(socket.socketDescriptor());
    for (const auto& [option, value] :
         {std::pair {TCP_KEEPIDLE, 60}, {TCP_KEEPINTVL, 10}, {TCP_KEEPCNT, 6}, {TCP_USER_TIMEOUT, 120000}})
        ::setsockopt(fd, IPPROTO_TCP, option, &value, sizeof value);
#endif
}

}  // namespace

// A server message: a command word and fields separated by colons. The
// colons are found once; the full split and the limited splits (whose last
// piece keeps the rest of the payload, colons and all) are read from them.
class TocClient::Message {
public:
    explicit Message(QByteArrayView payload) : m_payload(payload)
    {
        for (qsizetype at = payload.indexOf(':'); at >= 0; at = payload.indexOf(':', at + 1))
            m_colons.append(at);
    }

    QByteArrayView payload() const { return m_payload; }

    // F(i) of the split at every colon.
    Field F(qsizetype i) const
    {
        if (i > m_colons.size())
            return std::nullopt;
        const qsizetype from = i == 0 ? 0 : m_colons[i - 1] + 1;
        const qsizetype to = i == m_colons.size() ? m_payload.size() : m_colons[i];
        return m_payload.sliced(from, to - from);
    }

    // Piece i of the split into at most `pieces` pieces.
    Field piece(qsizetype pieces, qsizetype i) const
    {
        if (i < pieces - 1)
            return F(i);
        if (i != pieces - 1 || i > m_colons.size())
            return std::nullopt;
        const qsizetype from = i == 0 ? 0 : m_colons[i - 1] + 1;
        return m_payload.sliced(from);
    }

private:
    QByteArrayView m_payload;
    QVarLengthArray<qsizetype, 16> m_colons;
};

// Compared in this order; the first equal word wins.
const std::array<TocClient::Command, 19> TocClient::kCommands {{
    {"sign_on", &TocClient::onSignOn},
    {"config2", &TocClient::onConfig2},
    {"nick", &TocClient::onNick},
    {"im_in_enc2", &TocClient::onImInEnc2},
    {"update_buddy2", &TocClient::onUpdateBuddy2},
    {"buddy_caps2", &TocClient::onBuddyCaps2},
    {"bart2", &TocClient::onBart2},
    {"error", &TocClient::onError},
    {"eviled", &TocClient::onEviled},
    {"chat_join", &TocClient::onChatJoin},
    {"chat_in_enc", &TocClient::onChatInEnc},
    {"chat_update_buddy", &TocClient::onChatUpdateBuddy},
    {"chat_invite", &TocClient::onChatInvite},
    {"chat_left", &TocClient::onChatLeft},
    {"goto_url", &TocClient::onGotoUrl},
    {"admin_nick_status", &TocClient::onAdminNickStatus},
    {"admin_passwd_status", &TocClient::onAdminPasswdStatus},
    {"pause", &TocClient::onPause},
    {"rvous_propose", &TocClient::onRvousPropose},
}};

const std::array<TocClient::Command, 4> TocClient::kToc1Commands {{
    {"config", &TocClient::onConfig},
    {"im_in", &TocClient::onImIn},
    {"update_buddy", &TocClient::onUpdateBuddy2},
    {"chat_in", &TocClient::onChatIn},
}};

TocClient::TocClient(QObject* parent) : QObject(parent)
{
    tmrAntiIdle.setInterval(kAntiIdleInterval);
    connect(&tmrAntiIdle, &QTimer::timeout, this, &TocClient::tmrAntiIdle_Timer);
    connect(&Sock, &QTcpSocket::connected, this, &TocClient::Sock_Connect);
    connect(&Sock, &QTcpSocket::readyRead, this, &TocClient::Sock_DataArrival);
    connect(&Sock, &QTcpSocket::disconnected, this, &TocClient::Sock_Close);
    connect(&Sock, &QTcpSocket::errorOccurred, this, &TocClient::Sock_Error);
    connect(&m_sendQueue, &SendQueue::rateChanged, this, &TocClient::sendRateChanged);
}

TocClient::~TocClient()
{
    // The socket would announce its own close to a half-destroyed control.
    Sock.disconnect(this);
    closeQuietly();
}

// ---- connection ----

void TocClient::Login(const QString& strUserName, const QString& strPassword, const QString& strServer, quint16 intPort,
                      const QString& strAuthorizer, qint32 lngAuthorizerPort)
{
    strScreenName = NormalizeName(strUserName);
    strRoastedPassword = roastPassword(strPassword.toUtf8());
    this->lngAuthorizerPort = lngAuthorizerPort;
    this->strAuthorizer = strAuthorizer;
    m_server = strServer;
    m_port = intPort;
    closeQuietly();
    connectToServer();
}

void TocClient::connectToServer()
{
    setState(State::Connecting);
    Sock.connectToHost(m_server, m_port);
}

void TocClient::setDialect(TocDialect dialect)
{
    if (dialect == m_dialect)
        return;
    m_dialect = dialect;
    m_speaking = dialect == TocDialect::Toc1 ? TocDialect::Toc1 : TocDialect::Toc2;
    m_settled = false;
}

void TocClient::LogOff()
{
    closeQuietly();
    Rooms.fill(ChatRoom {});
    setState(State::Disconnected);
    emit LoggedOff(strScreenName);
}

void TocClient::closeQuietly()
{
    ++m_connection;
    // What waited for this connection has no place on the next.
    m_sendQueue.clear();
    m_peerClosed = false;
    m_socketError = false;
    {
        const QSignalBlocker quiet(Sock);
        // Commands written just before (a leave, a last chat line) go out
        // before the close instead of dying in the socket's buffer.
        if (Sock.state() == QAbstractSocket::ConnectedState)
            Sock.flush();
        Sock.abort();
    }
    m_reader.clear();
}

void TocClient::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void TocClient::Sock_Connect()
{
    keepAlive(Sock);
    Sock.write(kGreeting.data(), kGreeting.size());
    setState(State::GreetingSent);
}

void TocClient::Sock_DataArrival()
{
    // A handler that lets events run swallows the socket's next
    // announcement, so read until nothing is left rather than once.
    while (Sock.bytesAvailable() > 0) {
        const QByteArray bytes = Sock.readAll();
        if (bytes.isEmpty())
            break;
        receiveBytes(bytes);
    }
}

void TocClient::Sock_Close()
{
    // Already announced: a broken connection can report itself twice.
    if (m_state == State::Disconnected)
        return;
    const quint64 connection = m_connection;
    if (Sock.bytesAvailable() > 0)
        receiveBytes(Sock.readAll());
    // A handler of those last frames logged off or on: this close is no
    // longer news.
    if (connection != m_connection)
        return;
    if (m_dispatching) {
        // Frames read before the close are still being handled further up
        // the stack; the close is announced after them.
        m_peerClosed = true;
        return;
    }
    finishPeerClose();
}

void TocClient::finishPeerClose()
{
    m_peerClosed = false;
    m_sendQueue.clear();
    m_reader.clear();  // a frame cut off by the close can never be completed
    if (hungUpOnToc2Login()) {
        signOnAgainWithToc1();
        return;
    }
    setState(State::Disconnected);
    emit LoggedOff(strScreenName);
}

// A TOC1 server takes toc2_login for garbage and closes without a word; a
// TOC2 server that refuses a sign-on says why (ERROR) before it closes.
bool TocClient::hungUpOnToc2Login() const
{
    return m_dialect == TocDialect::Auto && !m_settled && m_state == State::SigningOn && !m_socketError;
}

void TocClient::signOnAgainWithToc1()
{
    m_speaking = TocDialect::Toc1;
    m_settled = true;
    closeQuietly();
    const quint64 connection = m_connection;
    emit dialectSettled(m_speaking);
    // A handler signed on or off by itself.
    if (connection != m_connection)
        return;
    setState(State::Connecting);
    // Not from inside the socket's own close announcement, which tidies the
    // socket up after its handlers.
    QTimer::singleShot(0, this, [this, connection] {
        if (connection == m_connection)
            Sock.connectToHost(m_server, m_port);
    });
}

void TocClient::Sock_Error(QAbstractSocket::SocketError error)
{
    // A close by the server is the normal end, announced by Sock_Close.
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;
    const QString reason = Sock.errorString();
    qCDebug(lcToc) << "connection problem:" << reason;
    m_socketError = true;
    if (m_state == State::Connecting) {
        setState(State::Disconnected);
        emit connectionFailed(reason);
        return;
    }
    emit connectionFailed(reason);
    // A connection that broke without the peer closing it may end without
    // a disconnected signal; make sure its end is announced once.
    QTimer::singleShot(0, this, [this, connection = m_connection] {
        if (connection == m_connection && Sock.state() == QAbstractSocket::UnconnectedState)
            Sock_Close();
    });
}

void TocClient::streamOutOfStep()
{
    qCDebug(lcToc) << "the server's stream is out of step; closing";
    closeQuietly();
    setState(State::Disconnected);
    emit connectionFailed(QStringLiteral("the server sent bytes that are not FLAP frames"));
    emit LoggedOff(strScreenName);
}

// ---- framing ----

void TocClient::SendPacket(qint16 intIndex, const QByteArray& strData)
{
    if (Sock.state() != QAbstractSocket::ConnectedState)
        return;
    // The header cannot describe these; sending them would wreck the stream.
    if (intIndex < 0 || intIndex > 255 || strData.size() > std::numeric_limits<quint16>::max())
        return;
    ++lngSequence;
    if (lngSequence >= 65535)
        lngSequence = 0;
    QByteArray frame;
    frame.reserve(FlapReader::kHeaderSize + strData.size());
    frame.append('*').append(char(intIndex));
    frame.append(encodeWord(quint16(lngSequence))).append(encodeWord(quint16(strData.size())));
    frame.append(strData);
    Sock.write(frame);
}

void TocClient::SendPacket2(const QByteArray& strDatas)
{
    // Dropped now rather than queued, so nothing given while the connection
    // is down can go out ahead of the next sign-on.
    if (Sock.state() != QAbstractSocket::ConnectedState)
        return;
    m_sendQueue.push({strDatas});
}

void TocClient::setSendRate(double perSecond)
{
    m_sendQueue.setRate(perSecond);
}

void TocClient::writeQueued(const SendQueue::Entry& entry, int dropped)
{
    QByteArray command = entry.bytes;
    if (entry.roomLine) {
        const QByteArray head = "toc_chat_send " + QByteArray::number(entry.room) + " \"";
        const QByteArray told
            = dropped > 0 ? "<i>(" + QByteArray::number(dropped) + " lines not sent: too many at once)</i> " : "";
        // The server drops a client whose command is too long, so the text
        // is cut to leave room for the closing quote and NUL.
        const qsizetype room = kMaxCommandBytes - head.size() - 2;
        command = head + cutChatText(told + entry.bytes, room) + '"';
    }
    command.append('\0');
    SendPacket(DataFrame, command);
}

void TocClient::receiveBytes(QByteArrayView bytes)
{
    m_bytesReceived += bytes.size();
    m_reader.append(bytes);
    if (m_dispatching)
        return;
    m_dispatching = true;
    // A handler may Login or LogOff; both clear the reader, so whatever the
    // loop finds next belongs to the new connection.
    for (;;) {
        if (!m_reader.inStep()) {
            streamOutOfStep();
            break;
        }
        const std::optional<FlapFrame> frame = m_reader.next();
        if (!frame)
            break;
        ProcessFrame(frame->type, frame->payload);
    }
    m_dispatching = false;
    if (m_peerClosed)
        finishPeerClose();
}

void TocClient::ProcessFrame(qint16 intIndex, const QByteArray& strData)
{
    emit IncomingPacket(intIndex, strData);
    if (intIndex == SignOnFrame) {
        answerSignOn(strData);
        return;
    }
    if (intIndex != DataFrame)
        return;
    if (m_dialect == TocDialect::Auto && !m_settled && m_state == State::SigningOn) {
        m_settled = true;
        emit dialectSettled(m_speaking);
    }
    QByteArrayView payload(strData);
    // Our own commands end in NUL; a server that ends its messages the same
    // way must not have the NUL stuck to the last field.
    if (payload.endsWith('\0'))
        payload.chop(1);
    const Message message(payload);
    const QByteArray word = message.F(0)->toByteArray().toLower();
    const auto run = [&](const auto& commands) {
        const auto command
            = std::find_if(commands.begin(), commands.end(), [&](const Command& c) { return word == c.word; });
        if (command == commands.end())
            return false;
        (this->*command->action)(message);
        return true;
    };
    if (m_speaking == TocDialect::Toc1 && run(kToc1Commands))
        return;
    run(kCommands);
}

void TocClient::answerSignOn(const QByteArray& payload)
{
    if (payload != kSignOnVersion)
        return;
    // FLAP version 1, then TLV 1: the screen name.
    SendPacket(SignOnFrame, QByteArrayLiteral("\0\0\0\1\0\1") + prefixWithLength(strScreenName.toUtf8()));
    SendPacket2(loginCommand());
    setState(State::SigningOn);
}

QByteArray TocClient::loginCommand() const
{
    const QByteArray who = strAuthorizer.toUtf8() + ' ' + QByteArray::number(lngAuthorizerPort) + ' '
        + strScreenName.toUtf8() + ' ' + strRoastedPassword;
    if (m_speaking == TocDialect::Toc1)
        return "toc_signon " + who + " english " + quoteArgument("MarlSockTOC1.0");
    return "toc2_login " + who + " English  " + quoteArgument("MarlSockTOC2.0") + " 160 US " + quoteArgument("") + ' '
        + quoteArgument("") + " 3 0 30303 -kentucky -utf8 52093817";
}

// ---- server messages ----

void TocClient::onSignOn(const Message&)
{ }

void TocClient::onConfig2(const Message& m)
{
    QString buddies;
    QString blocked;
    forEachLine(m.payload(), [&](QByteArrayView line) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            return;
        QByteArrayView second = line.sliced(colon + 1);
        if (const qsizetype next = second.indexOf(':'); next >= 0)
            second.truncate(next);
        addConfigEntry(line.first(colon), second, buddies, blocked);
    });
    signedOn(buddies, blocked);
}

// TOC1's config: a kind letter, a blank and the rest of the line, which
// may hold blanks ("b Bob Smith"). A server that writes the TOC2 way, with
// a colon after the letter, is understood too.
void TocClient::onConfig(const Message& m)
{
    QString buddies;
    QString blocked;
    forEachLine(m.piece(2, 1).value_or(QByteArrayView()), [&](QByteArrayView line) {
        if (line.size() < 2 || (line[1] != ' ' && line[1] != ':'))
            return;
        QByteArrayView value = line.sliced(2);
        if (const qsizetype next = value.indexOf(':'); line[1] == ':' && next >= 0)
            value.truncate(next);
        addConfigEntry(line.first(1), value, buddies, blocked);
    });
    signedOn(buddies, blocked);
}

void TocClient::signedOn(const QString& buddies, const QString& blocked)
{
    SendPacket2("toc_init_done");
    setState(State::SignedOn);
    emit LoggedIn(strScreenName, buddies, blocked);
}

void TocClient::onNick(const Message& m)
{
    if (const Field name = m.F(1))
        strScreenName = decodeWireText(*name);
}

void TocClient::onImInEnc2(const Message& m)
{
    imIn(m, 10);
}

// IM_IN:<user>:<auto T/F>:<message>
void TocClient::onImIn(const Message& m)
{
    imIn(m, 4);
}

// The user is the first field, the message the last piece of the split
// into `pieces`, colons and all.
void TocClient::imIn(const Message& m, qsizetype pieces)
{
    const Field user = m.F(1);
    const Field message = m.piece(pieces, pieces - 1);
    if (user && message)
        emit IncomingMessage(decodeWireText(*user), decodeWireText(*message));
}

void TocClient::onUpdateBuddy2(const Message& m)
{
    const Field user = m.F(1);
    const Field online = m.F(2);
    if (!user || !online)
        return;
    if (online->toByteArray().toUpper() == "T")
        emit BuddyOnline(decodeWireText(*user));
    else
        emit BuddyOffline(decodeWireText(*user));
}

void TocClient::onBuddyCaps2(const Message& m)
{
    const Field user = m.F(1);
    const Field caps = m.F(2);
    if (user && caps)
        emit IncomingBuddyCapabilities(decodeWireText(*user), decodeWireText(*caps));
}

void TocClient::onBart2(const Message& m)
{
    const Field user = m.F(1);
    const Field bart = m.F(2);
    if (user && bart)
        emit IncomingBartData(decodeWireText(*user), decodeWireText(*bart));
}

void TocClient::onError(const Message& m)
{
    const auto code = asInteger(m.F(1));
    if (!code)
        return;
    if (*code == kTooFast || *code == kRateLimited)
        m_sendQueue.slowDown();
    emit Error(*code);
}

void TocClient::onEviled(const Message& m)
{
    const auto level = asInteger(m.F(1));
    const Field warner = m.F(2);
    if (level && warner)
        emit Warned(decodeWireText(*warner), *level);
}

void TocClient::onChatJoin(const Message& m)
{
    const auto id = asLong(m.F(1));
    const Field name = m.F(2);
    if (id)
        lngLastRoomID = *id;
    ++lngRoomCursor;
    if (lngRoomCursor >= 1000)
        lngRoomCursor = 0;
    if (id)
        Rooms[lngRoomCursor].lngID = *id;
    if (name)
        Rooms[lngRoomCursor].strName = decodeWireText(*name);
    if (id && name)
        emit JoinedChat(decodeWireText(*name), *id);
}

void TocClient::onChatInEnc(const Message& m)
{
    chatIn(m, 7);
}

// CHAT_IN:<room id>:<user>:<whisper T/F>:<message>
void TocClient::onChatIn(const Message& m)
{
    chatIn(m, 5);
}

// Room, user and whisper flag are the first three fields, the message the
// last piece of the split into `pieces`, colons and all.
void TocClient::chatIn(const Message& m, qsizetype pieces)
{
    const auto room = asLong(m.F(1));
    const Field user = m.F(2);
    const Field whisper = m.F(3);
    const Field message = m.piece(pieces, pieces - 1);
    if (room && user && whisper && message)
        emit IncomingChatMessage(*room, decodeWireText(*user), *whisper == "T", decodeWireText(*message));
}

void TocClient::onChatUpdateBuddy(const Message& m)
{
    const auto room = asLong(m.F(1));
    const Field inside = m.F(2);
    const Field user = m.F(3);
    const Field user2 = m.F(4);
    if (room && inside && user && user2)
        emit ChatUserUpdate(*room, *inside == "T", decodeWireText(*user), decodeWireText(*user2));
}

void TocClient::onChatInvite(const Message& m)
{
    const Field name = m.F(1);
    const auto room = asLong(m.F(2));
    const Field sender = m.F(3);
    const Field message = m.F(4);
    if (name && room && sender && message)
        emit IncomingChatInvite(decodeWireText(*name), *room, decodeWireText(*sender), decodeWireText(*message));
}

void TocClient::onChatLeft(const Message& m)
{
    if (const auto room = asLong(m.F(1)))
        emit LeftChat(*room);
}

void TocClient::onGotoUrl(const Message& m)
{
    if (const Field url = m.F(2))
        emit IncomingProfile(decodeWireText(*url));
}

void TocClient::onAdminNickStatus(const Message& m)
{
    if (const auto status = asInteger(m.F(1)))
        emit ScreenNameFormatUpdate(*status == 0);
}

void TocClient::onAdminPasswdStatus(const Message& m)
{
    if (const auto status = asInteger(m.F(1)))
        emit PassWordUpdate(*status == 0);
}

void TocClient::onPause(const Message&)
{
    QCoreApplication::processEvents();
}

void TocClient::onRvousPropose(const Message& m)
{
    const Field user = m.F(1);
    const Field uuid = m.F(2);
    const Field cookie = m.F(3);
    const Field ip = m.F(6);
    if (user && uuid && cookie && ip)
        emit RendevousRequest(decodeWireText(*user), decodeWireText(*uuid), decodeWireText(*cookie),
                              decodeWireText(*ip));
}

// ---- commands ----

void TocClient::SendIm(const QString& strUserName, const QString& strMessage, bool blnAutoResponse)
{
    // Normalising leaves the quotes alone, so quoting first or last is one.
    QByteArray command = "toc_send_im " + quoteArgument(NormalizeName(strUserName).toUtf8());
    command += ' ' + quoteArgument(escapeArgument(strMessage.toUtf8()));
    if (blnAutoResponse)
        command += " auto";
    SendPacket2(command);
}

// TOC1 keeps no groups on the server and wants names normalised.
void TocClient::AddBuddy(const QString& strBuddy, const QString& strGroup)
{
    if (m_speaking == TocDialect::Toc1)
        return SendPacket2("toc_add_buddy " + quoteArgument(NormalizeName(strBuddy).toUtf8()));
    SendPacket2("toc2_new_buddies {g:" + strGroup.toUtf8() + "\nb:" + strBuddy.toUtf8() + "\n}");
}

void TocClient::RemoveBuddy(const QString& strBuddy, const QString& strGroup)
{
    if (m_speaking == TocDialect::Toc1)
        return SendPacket2("toc_remove_buddy " + quoteArgument(NormalizeName(strBuddy).toUtf8()));
    SendPacket2("toc2_remove_buddy " + quoteArgument(strBuddy.toUtf8()) + ' ' + quoteArgument(strGroup.toUtf8()));
}

void TocClient::WarnUser(const QString& strUserName, bool blnAnonymous)
{
    SendPacket2("toc_evil " + quoteArgument(strUserName.toUtf8()) + ' '
                + quoteArgument(blnAnonymous ? "anon" : "norm"));
}

void TocClient::JoinChat(const QString& strRoomName, qint16 intExchange)
{
    SendPacket2("toc_chat_join " + quoteArgument(QByteArray::number(intExchange)) + ' '
                + quoteArgument(strRoomName.toUtf8()));
}

void TocClient::SendChat(qint32 lngID, const QString& strMessage)
{
    // The caller escapes the text; it is framed when it leaves the queue.
    if (Sock.state() == QAbstractSocket::ConnectedState)
        m_sendQueue.push({strMessage.toUtf8(), true, lngID});
}

void TocClient::ChatWhisper(qint32 lngID, const QString& strUserName, const QString& strMessage)
{
    SendPacket2("toc_chat_whisper " + quoteArgument(QByteArray::number(lngID)) + ' '
                + quoteArgument(NormalizeName(strUserName).toUtf8()) + ' '
                + quoteArgument(escapeArgument(strMessage.toUtf8())));
}

void TocClient::ChatInvite(qint32 lngID, const QString& strInviteMessage, const QString& strUserName)
{
    SendPacket2("toc_chat_invite " + quoteArgument(QByteArray::number(lngID)) + ' '
                + quoteArgument(escapeArgument(strInviteMessage.toUtf8())) + ' ' + quoteArgument(strUserName.toUtf8()));
}

void TocClient::ChatLeave(qint32 lngID)
{
    SendPacket2("toc_chat_leave " + quoteArgument(QByteArray::number(lngID)));
}

void TocClient::AcceptChatInvite(qint32 lngID)
{
    SendPacket2("toc_chat_accept " + quoteArgument(QByteArray::number(lngID)));
}

void TocClient::GetProfile(const QString& strUserName)
{
    SendPacket2("toc_get_info " + quoteArgument(NormalizeName(strUserName).toUtf8()));
}

void TocClient::GetStatus(const QString& strUserName)
{
    SendPacket2("toc_get_status " + quoteArgument(NormalizeName(strUserName).toUtf8()));
}

void TocClient::SetProfile(const QString& strProfile)
{
    SendPacket2("toc_set_info " + quoteArgument(strProfile.toUtf8()));
}

void TocClient::SetAway(const QString& strMessage)
{
    SendPacket2("toc_set_away " + quoteArgument(escapeArgument(strMessage.toUtf8())));
}

void TocClient::SetIdle(qint32 lngMinutes)
{
    const qint64 seconds = qint64(lngMinutes) * 60;
    if (seconds > std::numeric_limits<qint32>::max() || seconds < std::numeric_limits<qint32>::min())
        return;
    SendPacket2("toc_set_idle " + quoteArgument(QByteArray::number(seconds)));
}

void TocClient::SetCapabilities(const QString& strCapUUID)
{
    SendPacket2("toc_set_caps " + quoteArgument(strCapUUID.toUtf8()));
}

void TocClient::FormatUserName(const QString& strNewFormattedUserName)
{
    SendPacket2("toc_format_nick " + quoteArgument(strNewFormattedUserName.toUtf8()));
}

void TocClient::ChangePassword(const QString& strOldPassword, const QString& strNewPassword)
{
    SendPacket2("toc_change_passwd " + quoteArgument(strOldPassword.toUtf8()) + ' '
                + quoteArgument(strNewPassword.toUtf8()));
}

void TocClient::BlockUser(const QString& strUserName)
{
    if (m_speaking == TocDialect::Toc1)
        return SendPacket2("toc_add_deny " + quoteArgument(NormalizeName(strUserName).toUtf8()));
    SendPacket2("toc2_add_deny " + quoteArgument(strUserName.toUtf8()));
}

void TocClient::UnBlockUser(const QString& strUserName)
{
    if (m_speaking == TocDialect::Toc1)
        return SendPacket2("toc_remove_deny " + quoteArgument(NormalizeName(strUserName).toUtf8()));
    SendPacket2("toc2_remove_deny " + quoteArgument(strUserName.toUtf8()));
}

void TocClient::AddCapability(const QString& strUUID)
{
    const QByteArray uuid = strUUID.toUtf8();
    if (strCapabilities.contains(uuid))
        return;
    strCapabilities += ' ' + uuid;
    SendPacket2("toc_set_caps " + quoteArgument(strCapabilities));
}

qint32 TocClient::GetChatID(const QString& strRoomName) const
{
    const QString wanted = NormalizeName(strRoomName);
    for (const ChatRoom& room : Rooms) {
        if (NormalizeName(room.strName) == wanted)
            return room.lngID;
    }
    return 0;
}

qint32 TocClient::LastChatID() const
{
    return lngLastRoomID;
}

void TocClient::AntiIdle(bool blnEnabled)
{
    if (blnEnabled)
        tmrAntiIdle.start();
    else
        tmrAntiIdle.stop();
}

void TocClient::tmrAntiIdle_Timer()
{
    SendPacket(KeepAliveFrame, QByteArray());
}
