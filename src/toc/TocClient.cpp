// SPDX-License-Identifier: GPL-3.0-or-later
#include "toc/TocClient.h"

#include "toc/KeepAlive.h"
#include "toc/TocWire.h"

#include <QLoggingCategory>
#include <QSignalBlocker>
#include <QVarLengthArray>

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

Q_LOGGING_CATEGORY(lcToc, "quillon.toc")

namespace {

constexpr QByteArrayView kGreeting("FLAPON\r\n\r\n");
constexpr QByteArrayView kSignOnVersion("\0\0\0\1", 4);

enum FrameType : quint8 { SignOnFrame = 1, DataFrame = 2, KeepAliveFrame = 5 };

using Field = std::optional<QByteArrayView>;

std::optional<qint32> asInt32(const Field& field)
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

// One entry of a buddy-list config, added to the texts signedOn carries.
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

std::optional<qint16> asInt16(const Field& field)
{
    const std::optional<qint32> value = asInt32(field);
    if (!value || *value != qint16(*value))
        return std::nullopt;
    return qint16(*value);
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

    // Field i of the split at every colon.
    Field field(qsizetype i) const
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
            return field(i);
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
    m_antiIdleTimer.setInterval(kAntiIdleInterval);
    connect(&m_antiIdleTimer, &QTimer::timeout, this, &TocClient::sendAntiIdle);
    connect(&m_socket, &QTcpSocket::connected, this, &TocClient::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &TocClient::onReadyRead);
    connect(&m_socket, &QTcpSocket::disconnected, this, &TocClient::onDisconnected);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &TocClient::onSocketError);
    connect(&m_sendQueue, &SendQueue::rateChanged, this, &TocClient::sendRateChanged);
}

TocClient::~TocClient()
{
    // The socket would announce its own close to a half-destroyed control.
    m_socket.disconnect(this);
    closeQuietly();
}

// ---- connection ----

void TocClient::signOn(const QString& screenName, const QString& password, const QString& server, quint16 port,
                       const QString& authorizer, qint32 authorizerPort)
{
    m_screenName = normalizeName(screenName);
    m_roastedPassword = roastPassword(password.toUtf8());
    m_authorizerPort = authorizerPort;
    m_authorizer = authorizer;
    m_server = server;
    m_port = port;
    closeQuietly();
    connectToServer();
}

void TocClient::connectToServer()
{
    setState(State::Connecting);
    m_socket.connectToHost(m_server, m_port);
}

void TocClient::setDialect(TocDialect dialect)
{
    if (dialect == m_dialect)
        return;
    m_dialect = dialect;
    m_speaking = dialect == TocDialect::Toc1 ? TocDialect::Toc1 : TocDialect::Toc2;
    m_settled = false;
}

void TocClient::signOff()
{
    closeQuietly();
    m_rooms.fill(ChatRoom {});
    setState(State::Disconnected);
    Q_EMIT signedOff(m_screenName);
}

void TocClient::closeQuietly()
{
    ++m_connection;
    // What waited for this connection has no place on the next.
    m_sendQueue.clear();
    m_socketError = false;
    {
        const QSignalBlocker quiet(m_socket);
        // Commands written just before (a leave, a last chat line) go out
        // before the close instead of dying in the socket's buffer.
        if (m_socket.state() == QAbstractSocket::ConnectedState)
            m_socket.flush();
        m_socket.abort();
    }
    m_reader.clear();
}

void TocClient::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state);
}

void TocClient::onConnected()
{
    keepAlive(m_socket);
    m_socket.write(kGreeting.data(), kGreeting.size());
    setState(State::GreetingSent);
}

void TocClient::onReadyRead()
{
    receiveBytes(m_socket.readAll());
}

void TocClient::onDisconnected()
{
    // Already announced: a broken connection can report itself twice.
    if (m_state == State::Disconnected)
        return;
    const quint64 connection = m_connection;
    if (m_socket.bytesAvailable() > 0)
        receiveBytes(m_socket.readAll());
    // A handler of those last frames logged off or on: this close is no
    // longer news.
    if (connection != m_connection)
        return;
    // A PAUSE left frames for a later turn: the close is told after them.
    if (m_reader.hasFrame()) {
        QTimer::singleShot(0, this, [this, connection] {
            if (connection == m_connection)
                onDisconnected();
        });
        return;
    }
    finishPeerClose();
}

void TocClient::finishPeerClose()
{
    m_sendQueue.clear();
    m_reader.clear();  // a frame cut off by the close can never be completed
    if (hungUpOnToc2Login()) {
        signOnAgainWithToc1();
        return;
    }
    setState(State::Disconnected);
    Q_EMIT signedOff(m_screenName);
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
    Q_EMIT dialectSettled(m_speaking);
    // A handler signed on or off by itself.
    if (connection != m_connection)
        return;
    setState(State::Connecting);
    // Not from inside the socket's own close announcement, which tidies the
    // socket up after its handlers.
    QTimer::singleShot(0, this, [this, connection] {
        if (connection == m_connection)
            m_socket.connectToHost(m_server, m_port);
    });
}

void TocClient::onSocketError(QAbstractSocket::SocketError error)
{
    // A close by the server is the normal end, announced by onDisconnected.
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;
    const QString reason = m_socket.errorString();
    qCDebug(lcToc) << "connection problem:" << reason;
    m_socketError = true;
    if (m_state == State::Connecting) {
        setState(State::Disconnected);
        Q_EMIT connectionFailed(reason);
        return;
    }
    Q_EMIT connectionFailed(reason);
    // A connection that broke without the peer closing it may end without
    // a disconnected signal; make sure its end is announced once.
    QTimer::singleShot(0, this, [this, connection = m_connection] {
        if (connection == m_connection && m_socket.state() == QAbstractSocket::UnconnectedState)
            onDisconnected();
    });
}

void TocClient::streamOutOfStep()
{
    qCDebug(lcToc) << "the server's stream is out of step; closing";
    closeQuietly();
    setState(State::Disconnected);
    Q_EMIT connectionFailed(QStringLiteral("the server sent bytes that are not FLAP frames"));
    Q_EMIT signedOff(m_screenName);
}

// ---- framing ----

void TocClient::sendFrame(qint16 type, const QByteArray& payload)
{
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        return;
    // The header cannot describe these; sending them would wreck the stream.
    if (type < 0 || type > 255 || payload.size() > std::numeric_limits<quint16>::max())
        return;
    ++m_sequence;
    if (m_sequence >= 65535)
        m_sequence = 0;
    QByteArray frame;
    frame.reserve(FlapReader::kHeaderSize + payload.size());
    frame.append('*').append(char(type));
    frame.append(encodeWord(quint16(m_sequence))).append(encodeWord(quint16(payload.size())));
    frame.append(payload);
    m_socket.write(frame);
}

void TocClient::sendCommand(const QByteArray& command)
{
    // Dropped now rather than queued, so nothing given while the connection
    // is down can go out ahead of the next sign-on.
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        return;
    m_sendQueue.push({command});
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
    sendFrame(DataFrame, command);
}

void TocClient::receiveBytes(QByteArrayView bytes)
{
    m_bytesReceived += bytes.size();
    m_reader.append(bytes);
    handleFrames();
}

void TocClient::handleFrames()
{
    // A handler may signOn or signOff; both clear the reader, so whatever the
    // loop finds next belongs to the new connection.
    for (;;) {
        if (!m_reader.inStep()) {
            streamOutOfStep();
            return;
        }
        const std::optional<FlapFrame> frame = m_reader.next();
        if (!frame)
            return;
        if (processFrame(frame->type, frame->payload) == AfterFrame::LetEventsRun) {
            // The frames behind a PAUSE wait for the next turn of the event
            // loop, so what is pending there runs first.
            QTimer::singleShot(0, this, [this, connection = m_connection] {
                if (connection == m_connection)
                    handleFrames();
            });
            return;
        }
    }
}

TocClient::AfterFrame TocClient::processFrame(qint16 type, const QByteArray& data)
{
    Q_EMIT frameReceived(type, data);
    if (type == SignOnFrame) {
        answerSignOn(data);
        return AfterFrame::GoOn;
    }
    if (type != DataFrame)
        return AfterFrame::GoOn;
    if (m_dialect == TocDialect::Auto && !m_settled && m_state == State::SigningOn) {
        m_settled = true;
        Q_EMIT dialectSettled(m_speaking);
    }
    QByteArrayView payload(data);
    // Our own commands end in NUL; a server that ends its messages the same
    // way must not have the NUL stuck to the last field.
    if (payload.endsWith('\0'))
        payload.chop(1);
    const Message message(payload);
    const QByteArray word = message.field(0)->toByteArray().toLower();
    const auto find = [&](const auto& commands) -> const Command* {
        const auto command
            = std::find_if(commands.begin(), commands.end(), [&](const Command& c) { return word == c.word; });
        return command == commands.end() ? nullptr : &*command;
    };
    const Command* command = m_speaking == TocDialect::Toc1 ? find(kToc1Commands) : nullptr;
    if (!command)
        command = find(kCommands);
    if (!command)
        return AfterFrame::GoOn;
    (this->*command->action)(message);
    return command->action == &TocClient::onPause ? AfterFrame::LetEventsRun : AfterFrame::GoOn;
}

void TocClient::answerSignOn(const QByteArray& payload)
{
    if (payload != kSignOnVersion)
        return;
    // FLAP version 1, then TLV 1: the screen name.
    sendFrame(SignOnFrame, QByteArrayLiteral("\0\0\0\1\0\1") + prefixWithLength(m_screenName.toUtf8()));
    sendCommand(loginCommand());
    setState(State::SigningOn);
}

QByteArray TocClient::loginCommand() const
{
    const QByteArray who = m_authorizer.toUtf8() + ' ' + QByteArray::number(m_authorizerPort) + ' '
        + m_screenName.toUtf8() + ' ' + m_roastedPassword;
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
    finishSignOn(buddies, blocked);
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
    finishSignOn(buddies, blocked);
}

void TocClient::finishSignOn(const QString& buddies, const QString& blocked)
{
    sendCommand("toc_init_done");
    setState(State::SignedOn);
    Q_EMIT signedOn(m_screenName, buddies, blocked);
}

void TocClient::onNick(const Message& m)
{
    if (const Field name = m.field(1))
        m_screenName = decodeWireText(*name);
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
    const Field user = m.field(1);
    const Field message = m.piece(pieces, pieces - 1);
    if (user && message)
        Q_EMIT instantMessageReceived(decodeWireText(*user), decodeWireText(*message));
}

void TocClient::onUpdateBuddy2(const Message& m)
{
    const Field user = m.field(1);
    const Field online = m.field(2);
    if (!user || !online)
        return;
    if (online->toByteArray().toUpper() == "T")
        Q_EMIT buddyCameOnline(decodeWireText(*user));
    else
        Q_EMIT buddyWentOffline(decodeWireText(*user));
}

void TocClient::onBuddyCaps2(const Message& m)
{
    const Field user = m.field(1);
    const Field caps = m.field(2);
    if (user && caps)
        Q_EMIT buddyCapabilitiesReceived(decodeWireText(*user), decodeWireText(*caps));
}

void TocClient::onBart2(const Message& m)
{
    const Field user = m.field(1);
    const Field bart = m.field(2);
    if (user && bart)
        Q_EMIT bartDataReceived(decodeWireText(*user), decodeWireText(*bart));
}

void TocClient::onError(const Message& m)
{
    const auto code = asInt16(m.field(1));
    if (!code)
        return;
    if (*code == kTooFast || *code == kRateLimited)
        m_sendQueue.slowDown();
    Q_EMIT serverError(*code);
}

void TocClient::onEviled(const Message& m)
{
    const auto level = asInt16(m.field(1));
    const Field warner = m.field(2);
    if (level && warner)
        Q_EMIT warned(decodeWireText(*warner), *level);
}

void TocClient::onChatJoin(const Message& m)
{
    const auto id = asInt32(m.field(1));
    const Field name = m.field(2);
    if (id)
        m_lastRoomId = *id;
    ++m_roomCursor;
    if (m_roomCursor >= 1000)
        m_roomCursor = 0;
    if (id)
        m_rooms[m_roomCursor].id = *id;
    if (name)
        m_rooms[m_roomCursor].name = decodeWireText(*name);
    if (id && name)
        Q_EMIT chatJoined(decodeWireText(*name), *id);
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
    const auto room = asInt32(m.field(1));
    const Field user = m.field(2);
    const Field whisper = m.field(3);
    const Field message = m.piece(pieces, pieces - 1);
    if (room && user && whisper && message)
        Q_EMIT chatMessageReceived(*room, decodeWireText(*user), *whisper == "T", decodeWireText(*message));
}

void TocClient::onChatUpdateBuddy(const Message& m)
{
    const auto room = asInt32(m.field(1));
    const Field inside = m.field(2);
    const Field user = m.field(3);
    const Field nextUser = m.field(4);
    if (room && inside && user && nextUser)
        Q_EMIT chatUserUpdated(*room, *inside == "T", decodeWireText(*user), decodeWireText(*nextUser));
}

void TocClient::onChatInvite(const Message& m)
{
    const Field name = m.field(1);
    const auto room = asInt32(m.field(2));
    const Field sender = m.field(3);
    const Field message = m.field(4);
    if (name && room && sender && message)
        Q_EMIT chatInviteReceived(decodeWireText(*name), *room, decodeWireText(*sender), decodeWireText(*message));
}

void TocClient::onChatLeft(const Message& m)
{
    if (const auto room = asInt32(m.field(1)))
        Q_EMIT chatLeft(*room);
}

void TocClient::onGotoUrl(const Message& m)
{
    if (const Field url = m.field(2))
        Q_EMIT profileReceived(decodeWireText(*url));
}

void TocClient::onAdminNickStatus(const Message& m)
{
    if (const auto status = asInt16(m.field(1)))
        Q_EMIT screenNameFormatUpdated(*status == 0);
}

void TocClient::onAdminPasswdStatus(const Message& m)
{
    if (const auto status = asInt16(m.field(1)))
        Q_EMIT passwordUpdated(*status == 0);
}

// The receive loop lets pending events run before the next frame.
void TocClient::onPause(const Message&)
{ }

void TocClient::onRvousPropose(const Message& m)
{
    const Field user = m.field(1);
    const Field uuid = m.field(2);
    const Field cookie = m.field(3);
    const Field ip = m.field(6);
    if (user && uuid && cookie && ip)
        Q_EMIT rendezvousRequested(decodeWireText(*user), decodeWireText(*uuid), decodeWireText(*cookie),
                                   decodeWireText(*ip));
}

// ---- commands ----

void TocClient::sendInstantMessage(const QString& screenName, const QString& message, bool autoResponse)
{
    // Normalising leaves the quotes alone, so quoting first or last is one.
    QByteArray command = "toc_send_im " + quoteArgument(normalizeName(screenName).toUtf8());
    command += ' ' + quoteArgument(escapeArgument(message.toUtf8()));
    if (autoResponse)
        command += " auto";
    sendCommand(command);
}

// TOC1 keeps no groups on the server and wants names normalised.
void TocClient::addBuddy(const QString& buddy, const QString& group)
{
    if (m_speaking == TocDialect::Toc1)
        return sendCommand("toc_add_buddy " + quoteArgument(normalizeName(buddy).toUtf8()));
    sendCommand("toc2_new_buddies {g:" + group.toUtf8() + "\nb:" + buddy.toUtf8() + "\n}");
}

void TocClient::removeBuddy(const QString& buddy, const QString& group)
{
    if (m_speaking == TocDialect::Toc1)
        return sendCommand("toc_remove_buddy " + quoteArgument(normalizeName(buddy).toUtf8()));
    sendCommand("toc2_remove_buddy " + quoteArgument(buddy.toUtf8()) + ' ' + quoteArgument(group.toUtf8()));
}

void TocClient::warnUser(const QString& screenName, bool anonymous)
{
    sendCommand("toc_evil " + quoteArgument(screenName.toUtf8()) + ' ' + quoteArgument(anonymous ? "anon" : "norm"));
}

void TocClient::joinChat(const QString& roomName, qint16 exchange)
{
    sendCommand("toc_chat_join " + quoteArgument(QByteArray::number(exchange)) + ' '
                + quoteArgument(roomName.toUtf8()));
}

void TocClient::sendChat(qint32 roomId, const QString& message)
{
    // The caller escapes the text; it is framed when it leaves the queue.
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        m_sendQueue.push({message.toUtf8(), true, roomId});
}

void TocClient::whisperInChat(qint32 roomId, const QString& screenName, const QString& message)
{
    sendCommand("toc_chat_whisper " + quoteArgument(QByteArray::number(roomId)) + ' '
                + quoteArgument(normalizeName(screenName).toUtf8()) + ' '
                + quoteArgument(escapeArgument(message.toUtf8())));
}

void TocClient::inviteToChat(qint32 roomId, const QString& inviteMessage, const QString& screenName)
{
    sendCommand("toc_chat_invite " + quoteArgument(QByteArray::number(roomId)) + ' '
                + quoteArgument(escapeArgument(inviteMessage.toUtf8())) + ' ' + quoteArgument(screenName.toUtf8()));
}

void TocClient::leaveChat(qint32 roomId)
{
    sendCommand("toc_chat_leave " + quoteArgument(QByteArray::number(roomId)));
}

void TocClient::acceptChatInvite(qint32 roomId)
{
    sendCommand("toc_chat_accept " + quoteArgument(QByteArray::number(roomId)));
}

void TocClient::requestProfile(const QString& screenName)
{
    sendCommand("toc_get_info " + quoteArgument(normalizeName(screenName).toUtf8()));
}

void TocClient::requestStatus(const QString& screenName)
{
    sendCommand("toc_get_status " + quoteArgument(normalizeName(screenName).toUtf8()));
}

void TocClient::setProfile(const QString& profile)
{
    sendCommand("toc_set_info " + quoteArgument(profile.toUtf8()));
}

void TocClient::setAway(const QString& message)
{
    sendCommand("toc_set_away " + quoteArgument(escapeArgument(message.toUtf8())));
}

void TocClient::setIdle(qint32 minutes)
{
    const qint64 seconds = qint64(minutes) * 60;
    if (seconds > std::numeric_limits<qint32>::max() || seconds < std::numeric_limits<qint32>::min())
        return;
    sendCommand("toc_set_idle " + quoteArgument(QByteArray::number(seconds)));
}

void TocClient::setCapabilities(const QString& capabilities)
{
    sendCommand("toc_set_caps " + quoteArgument(capabilities.toUtf8()));
}

void TocClient::formatScreenName(const QString& formattedName)
{
    sendCommand("toc_format_nick " + quoteArgument(formattedName.toUtf8()));
}

void TocClient::changePassword(const QString& oldPassword, const QString& newPassword)
{
    sendCommand("toc_change_passwd " + quoteArgument(oldPassword.toUtf8()) + ' ' + quoteArgument(newPassword.toUtf8()));
}

void TocClient::blockUser(const QString& screenName)
{
    if (m_speaking == TocDialect::Toc1)
        return sendCommand("toc_add_deny " + quoteArgument(normalizeName(screenName).toUtf8()));
    sendCommand("toc2_add_deny " + quoteArgument(screenName.toUtf8()));
}

void TocClient::unblockUser(const QString& screenName)
{
    if (m_speaking == TocDialect::Toc1)
        return sendCommand("toc_remove_deny " + quoteArgument(normalizeName(screenName).toUtf8()));
    sendCommand("toc2_remove_deny " + quoteArgument(screenName.toUtf8()));
}

void TocClient::addCapability(const QString& capability)
{
    const QByteArray uuid = capability.toUtf8();
    if (m_capabilities.contains(uuid))
        return;
    m_capabilities += ' ' + uuid;
    sendCommand("toc_set_caps " + quoteArgument(m_capabilities));
}

qint32 TocClient::chatId(const QString& roomName) const
{
    const QString wanted = normalizeName(roomName);
    for (const ChatRoom& room : m_rooms) {
        if (normalizeName(room.name) == wanted)
            return room.id;
    }
    return 0;
}

qint32 TocClient::lastChatId() const
{
    return m_lastRoomId;
}

void TocClient::setAntiIdle(bool enabled)
{
    if (enabled)
        m_antiIdleTimer.start();
    else
        m_antiIdleTimer.stop();
}

void TocClient::shutdown()
{
    m_antiIdleTimer.stop();
    if (m_state != State::Disconnected)
        signOff();
}

void TocClient::sendAntiIdle()
{
    sendFrame(KeepAliveFrame, QByteArray());
}
