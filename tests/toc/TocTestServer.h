#pragma once

#include "toc/FlapReader.h"
#include "toc/ModToc.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>
#include <optional>
#include <utility>

// A TOC server of our own on 127.0.0.1, port chosen by the system. It keeps
// everything the client sends (the greeting and every frame, in order) and
// sends exactly what the test tells it, when the test tells it, in as many
// writes as the test wants. It never answers anything by itself, unless it
// is told to act as a TOC1 server.
class TocTestServer : public QObject {
public:
    TocTestServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, &TocTestServer::accept);
        m_server.listen(QHostAddress::LocalHost, 0);
    }
    ~TocTestServer() override
    {
        // The connections die with the listening server, after this object's
        // own members; they must not report to it on their way out.
        for (QTcpSocket* client : m_server.findChildren<QTcpSocket*>())
            client->disconnect(this);
    }

    quint16 port() const { return m_server.serverPort(); }
    // Stops accepting: the next connection attempt is refused.
    void stopListening() { m_server.close(); }
    // Accepts again, on the port it had.
    bool listenAgain(quint16 port) { return m_server.listen(QHostAddress::LocalHost, port); }
    int connectionsAccepted() const { return m_accepted; }
    // Called once the greeting has come, and whenever frames arrived.
    std::function<void()> onFrames;
    bool clientGone() const { return m_clientGone; }

    // From now on it acts by itself like the TOC1 servers run today: it
    // sends its sign-on frame after the greeting, hangs up on toc2_login,
    // answers toc_signon (SIGN_ON:TOC1.0 and CONFIG:, or ERROR:980 and a
    // hang-up when the name or roasted password is not this account's),
    // ignores every other command until then, numbers the rooms joined on
    // each connection from 0, and hangs up on an empty command or one over
    // 2,048 bytes.
    void actAsToc1(const QByteArray& screenName, const QByteArray& roastedPassword)
    {
        m_toc1Account = {screenName, roastedPassword};
    }

    // What the current (last accepted) client sent: the bytes before its
    // first frame, and its frames.
    QByteArray greeting() const { return m_greeting; }
    const QList<FlapFrame>& frames() const { return m_frames; }
    // Its data-frame payloads without their closing NUL; one without exactly
    // that one NUL is marked, so no expected command matches it.
    QList<QByteArray> commands() const
    {
        QList<QByteArray> result;
        for (const FlapFrame& f : m_frames) {
            if (f.type == 2)
                result.append(f.payload.indexOf('\0') == f.payload.size() - 1 ? f.payload.chopped(1)
                                                                              : f.payload + "<NUL?>");
        }
        return result;
    }
    // The commands of the clients before it, all in one list.
    const QList<QByteArray>& earlierCommands() const { return m_earlierCommands; }

    // One write of raw bytes, pushed out at once.
    void send(const QByteArray& bytes)
    {
        if (m_client) {
            m_client->write(bytes);
            m_client->flush();
        }
    }
    // A frame with the server's own sequence count.
    QByteArray frame(quint8 type, const QByteArray& payload) { return flap(type, ++m_sequence, payload); }
    void sendFrame(quint8 type, const QByteArray& payload) { send(frame(type, payload)); }
    void sendMessage(const QByteArray& message) { sendFrame(2, message); }
    // Closes the connection once what was sent has gone out.
    void closeClient()
    {
        if (m_client)
            m_client->disconnectFromHost();
    }

    static QByteArray flap(quint8 type, quint16 sequence, const QByteArray& payload)
    {
        return '*' + QByteArray(1, char(type)) + WordBytes(sequence) + WordBytes(quint16(payload.size())) + payload;
    }
    static QByteArray signOnPayload() { return QByteArray("\0\0\0\1", 4); }
    static QByteArray SIGN_ON() { return "SIGN_ON:TOC2.0"; }
    static QByteArray CHAT_IN(qint64 id, const QByteArray& user, bool whisper, const QByteArray& text)
    {
        return "CHAT_IN:" + QByteArray::number(id) + ':' + user + (whisper ? ":T:" : ":F:") + text;
    }
    static QByteArray NICK(const QByteArray& name) { return "NICK:" + name; }
    static QByteArray CONFIG2(const QByteArray& lines) { return "CONFIG2:" + lines; }
    static QByteArray ERROR(int code) { return "ERROR:" + QByteArray::number(code); }
    static QByteArray CHAT_JOIN(qint64 id, const QByteArray& room)
    {
        return "CHAT_JOIN:" + QByteArray::number(id) + ':' + room;
    }
    static QByteArray CHAT_IN_ENC(qint64 id, const QByteArray& user, bool whisper, const QByteArray& text)
    {
        return "CHAT_IN_ENC:" + QByteArray::number(id) + ':' + user + (whisper ? ":T" : ":F") + ":A:en:" + text;
    }
    static QByteArray CHAT_UPDATE_BUDDY(qint64 id, bool inside, const QList<QByteArray>& users)
    {
        return "CHAT_UPDATE_BUDDY:" + QByteArray::number(id) + (inside ? ":T:" : ":F:") + users.join(':');
    }

private:
    void accept()
    {
        while (QTcpSocket* client = m_server.nextPendingConnection()) {
            if (m_client)
                m_client->deleteLater();
            m_client = client;
            ++m_accepted;
            m_clientGone = false;
            m_earlierCommands += commands();
            m_toc1SignedOn = false;
            m_toc1Rooms = 0;
            m_greeting.clear();
            m_reader.clear();
            m_frames.clear();
            connect(client, &QTcpSocket::readyRead, this, [this, client] { read(client); });
            connect(client, &QTcpSocket::disconnected, this, [this, client] { m_clientGone |= client == m_client; });
        }
    }

    void read(QTcpSocket* client)
    {
        if (client != m_client)
            return;
        QByteArray bytes = client->readAll();
        // The greeting is the only thing sent outside a frame; it ends where
        // the first frame's marker begins.
        const qsizetype take = qMin(bytes.size(), kGreeting.size() - m_greeting.size());
        m_greeting += bytes.first(take);
        if (take > 0 && m_greeting.size() == kGreeting.size()) {
            if (m_toc1Account)
                sendFrame(1, signOnPayload());
            if (onFrames)
                onFrames();
        }
        m_reader.append(QByteArrayView(bytes).sliced(take));
        const qsizetype before = m_frames.size();
        while (auto frame = m_reader.next()) {
            m_frames.append(*frame);
            // Once it has hung up, the rest is not listened to.
            if (m_toc1Account && frame->type == 2 && client->state() == QAbstractSocket::ConnectedState)
                answerAsToc1(frame->payload);
        }
        if (onFrames && m_frames.size() > before)
            onFrames();
    }

    void answerAsToc1(const QByteArray& payload)
    {
        if (payload.size() <= 1 || payload.size() > 2048)
            return closeClient();
        const QList<QByteArray> words = payload.chopped(1).split(' ');
        if (words[0] == "toc2_login")
            return closeClient();
        if (words[0] == "toc_signon") {
            if (words.value(3) != m_toc1Account->first || words.value(4) != m_toc1Account->second) {
                sendMessage(ERROR(980));
                return closeClient();
            }
            m_toc1SignedOn = true;
            sendMessage("SIGN_ON:TOC1.0");
            sendMessage("CONFIG:m 1\ng Buddies\nb Owner One\n");
        } else if (m_toc1SignedOn && words[0] == "toc_chat_join") {
            // toc_chat_join "4" "Room Name"
            sendMessage(CHAT_JOIN(m_toc1Rooms++, payload.split('"').value(3)));
        }
    }

    static constexpr QByteArrayView kGreeting {"FLAPON\r\n\r\n"};
    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    int m_accepted = 0;
    bool m_clientGone = false;
    QByteArray m_greeting;
    FlapReader m_reader;
    QList<FlapFrame> m_frames;
    QList<QByteArray> m_earlierCommands;
    quint16 m_sequence = 0;
    std::optional<std::pair<QByteArray, QByteArray>> m_toc1Account;
    bool m_toc1SignedOn = false;
    int m_toc1Rooms = 0;
};
