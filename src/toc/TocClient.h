// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toc/FlapReader.h"
#include "toc/SendQueue.h"
#include "toc/TocDialect.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <array>

// toc: signs a screen name on to the AIM service over TOC2, or to a server
// of today over TOC1 (text commands in FLAP frames over one TCP connection),
// sends its commands and turns what the server says into signals, the same
// signals in both dialects. Every command is fire and forget: answers,
// refusals included, arrive only as signals. Commands given while not
// connected are dropped without a report.
//
// Text parameters are the program's strings; they travel as UTF-8 (the
// login announces -utf8) and received text comes back the same way, falling
// back to Windows-1252 for bytes that are not UTF-8.
class TocClient : public QObject {
    Q_OBJECT
public:
    // Where the sign-on stands; the service itself only ever tells us about
    // the last step (signedOn) and the end (signedOff).
    enum class State { Disconnected, Connecting, GreetingSent, SigningOn, SignedOn };
    Q_ENUM(State)

    // One slot of the table of joined rooms.
    struct ChatRoom {
        qint32 id = 0;
        QString name;
    };

    static constexpr int kRoomSlots = 1001;
    // The service drops a client that sends a longer command (NUL included).
    static constexpr qsizetype kMaxCommandBytes = 2048;
    static constexpr int kAntiIdleInterval = 60000;

    explicit TocClient(QObject* parent = nullptr);
    ~TocClient() override;

    // Connects to the TOC server at server:port; the authorizer is only
    // named in the login command. A second signOn drops the first connection
    // silently and starts over.
    void signOn(const QString& screenName, const QString& password, const QString& server, quint16 port,
                const QString& authorizer = QString(), qint32 authorizerPort = 0);
    // Closes the connection, clears the room table, raises signedOff.
    void signOff();
    // The dialect of the next sign-on. Setting the one already set keeps
    // what auto has settled on; any other starts over.
    void setDialect(TocDialect dialect);
    // A type outside 0..255 or a payload over 65535 bytes cannot be framed
    // and is dropped like a frame sent while not connected.
    void sendFrame(qint16 type, const QByteArray& payload);
    void sendCommand(const QByteArray& command);

    void sendInstantMessage(const QString& screenName, const QString& message, bool autoResponse);
    void addBuddy(const QString& buddy, const QString& group);
    void removeBuddy(const QString& buddy, const QString& group);
    void warnUser(const QString& screenName, bool anonymous);
    void joinChat(const QString& roomName, qint16 exchange);
    // The message goes between the quotes as given: the caller escapes its
    // backslashes and double quotes. It is cut, never inside an escape pair
    // or a character, so the whole command fits in kMaxCommandBytes.
    void sendChat(qint32 roomId, const QString& message);
    void whisperInChat(qint32 roomId, const QString& screenName, const QString& message);
    void inviteToChat(qint32 roomId, const QString& inviteMessage, const QString& screenName);
    void leaveChat(qint32 roomId);
    void acceptChatInvite(qint32 roomId);
    void requestProfile(const QString& screenName);
    void requestStatus(const QString& screenName);
    void setProfile(const QString& profile);
    void setAway(const QString& message);
    // Sends nothing when the minutes are more seconds than 32 bits hold.
    void setIdle(qint32 minutes);
    void setCapabilities(const QString& capabilities);
    void formatScreenName(const QString& formattedName);
    void changePassword(const QString& oldPassword, const QString& newPassword);
    void blockUser(const QString& screenName);
    void unblockUser(const QString& screenName);
    void addCapability(const QString& capability);
    // The id of a joined room, by name ignoring blanks and case; 0 if none
    // (TOC1 numbers rooms from 0, so there 0 may also be a joined room).
    qint32 chatId(const QString& roomName) const;
    // The id of the room joined last (0 before any join, which under TOC1
    // is also the id of the first room joined).
    qint32 lastChatId() const;
    void setAntiIdle(bool enabled);

    // Data frames leave through one queue at the pace the server accepts:
    // a burst, then `perSecond` a second (0, the default, sends at once).
    // TOC errors 903 and 960 (too fast) halve it for a minute.
    void setSendRate(double perSecond);
    double sendRate() { return m_sendQueue.rate(); }
    // Drops what waits to be sent; answers how many room lines that was.
    int dropQueued() { return m_sendQueue.clear(); }
    SendQueue& sendQueue() { return m_sendQueue; }
    static constexpr qint16 kTooFast = 903;
    static constexpr qint16 kRateLimited = 960;

    // The keep-alive tick: one empty frame of type 5.
    void sendAntiIdle();

    // Received bytes, however the stream was cut: every whole frame among
    // them is handled in order, the rest waits for more. A PAUSE from the
    // server lets pending events run: the frames behind it are handled on
    // the next turn of the event loop, and a close that came with them is
    // told after them. The socket feeds this; so can a caller that has the
    // bytes some other way.
    void receiveBytes(QByteArrayView bytes);

    State state() const { return m_state; }
    // The name the service knows us by: normalised at signOn, as the server
    // wrote it once NICK came.
    QString screenName() const { return m_screenName; }
    // All bytes taken from the connection so far.
    qint64 bytesReceived() const { return m_bytesReceived; }

    // Whether the keep-alive or the send pace has a timer running.
    bool hasTimerRunning() const { return m_antiIdleTimer.isActive() || m_sendQueue.nextPump().has_value(); }
    // The program ends: no more keep-alive, and a connection there is
    // closed with a sign-off, after what was written to it has gone.
    void shutdown();

Q_SIGNALS:
    void signedOn(const QString& screenName, const QString& buddies, const QString& blocked);
    void signedOff(const QString& screenName);
    void serverError(qint16 code);
    void buddyCapabilitiesReceived(const QString& screenName, const QString& capabilities);
    void frameReceived(qint16 type, const QByteArray& payload);
    void instantMessageReceived(const QString& screenName, const QString& message);
    void buddyCameOnline(const QString& screenName);
    void buddyWentOffline(const QString& screenName);
    void warned(const QString& warner, qint16 warningLevel);
    void chatJoined(const QString& roomName, qint32 roomId);
    void chatMessageReceived(qint32 roomId, const QString& screenName, bool whisper, const QString& message);
    void chatUserUpdated(qint32 roomId, bool inside, const QString& user, const QString& nextUser);
    void chatInviteReceived(const QString& roomName, qint32 roomId, const QString& screenName, const QString& message);
    void chatLeft(qint32 roomId);
    void passwordUpdated(bool success);
    void screenNameFormatUpdated(bool success);
    void profileReceived(const QString& profile);
    void rendezvousRequested(const QString& user, const QString& uuid, const QString& cookie, const QString& ip);
    void bartDataReceived(const QString& screenName, const QString& bartData);

    // Not part of the protocol: how the connection is doing, for a host
    // that wants to show or log it.
    void stateChanged(TocClient::State state);
    // The connection could not be made, or broke, or the stream stopped
    // making sense; the reason is for people, not for parsing.
    void connectionFailed(const QString& reason);
    // Auto has settled for the rest of the run: on TOC2 when the server
    // answered toc2_login, on TOC1 when it hung up on it, in which case the
    // client is already signing on again. The failed try raises nothing else.
    void dialectSettled(TocDialect speaking);
    // The pace of sending changed: slowed after a complaint, or back.
    void sendRateChanged(double perSecond);

private:
    class Message;
    using Action = void (TocClient::*)(const Message&);
    struct Command {
        const char* word;
        Action action;
    };
    static const std::array<Command, 19> kCommands;
    // Looked at first while speaking TOC1.
    static const std::array<Command, 4> kToc1Commands;

    void onConnected();
    void onReadyRead();
    void onDisconnected();
    void onSocketError(QAbstractSocket::SocketError error);

    enum class AfterFrame { GoOn, LetEventsRun };
    void handleFrames();
    AfterFrame processFrame(qint16 type, const QByteArray& data);
    void answerSignOn(const QByteArray& payload);
    QByteArray loginCommand() const;
    void connectToServer();
    bool hungUpOnToc2Login() const;
    void signOnAgainWithToc1();
    void finishSignOn(const QString& buddies, const QString& blocked);
    void chatIn(const Message& m, qsizetype pieces);
    void imIn(const Message& m, qsizetype pieces);
    void setState(State state);
    // Drops the connection without raising anything: what signOn and signOff
    // do before their own work.
    void closeQuietly();
    void streamOutOfStep();
    void finishPeerClose();
    void writeQueued(const SendQueue::Entry& entry, int dropped);

    void onSignOn(const Message& m);
    void onConfig2(const Message& m);
    void onNick(const Message& m);
    void onImInEnc2(const Message& m);
    void onUpdateBuddy2(const Message& m);
    void onBuddyCaps2(const Message& m);
    void onBart2(const Message& m);
    void onError(const Message& m);
    void onEviled(const Message& m);
    void onChatJoin(const Message& m);
    void onChatInEnc(const Message& m);
    void onChatUpdateBuddy(const Message& m);
    void onChatInvite(const Message& m);
    void onChatLeft(const Message& m);
    void onGotoUrl(const Message& m);
    void onAdminNickStatus(const Message& m);
    void onAdminPasswdStatus(const Message& m);
    void onPause(const Message& m);
    void onRvousPropose(const Message& m);
    void onConfig(const Message& m);
    void onImIn(const Message& m);
    void onChatIn(const Message& m);

    QTimer m_antiIdleTimer;
    QTcpSocket m_socket;
    FlapReader m_reader;
    SendQueue m_sendQueue {[this](const SendQueue::Entry& entry, int dropped) { writeQueued(entry, dropped); }};

    QString m_screenName;
    QByteArray m_roastedPassword;
    QString m_authorizer;
    qint32 m_authorizerPort = 0;
    qint32 m_sequence = 0;
    std::array<ChatRoom, kRoomSlots> m_rooms;
    qint32 m_roomCursor = 0;
    qint32 m_lastRoomId = 0;
    QByteArray m_capabilities;
    QString m_server;
    quint16 m_port = 0;

    State m_state = State::Disconnected;
    qint64 m_bytesReceived = 0;
    // Counts the connections dropped by signOn, signOff or a broken stream,
    // so news about a dropped one is recognised as stale.
    quint64 m_connection = 0;
    TocDialect m_dialect = TocDialect::Toc2;
    TocDialect m_speaking = TocDialect::Toc2;
    // Auto has made up its mind: the server answered toc2_login, or hung up
    // on it and got toc_signon instead.
    bool m_settled = false;
    // The connection broke by itself rather than being closed by the server,
    // which says nothing about the dialect.
    bool m_socketError = false;
};
