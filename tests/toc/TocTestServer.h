#pragma once

#include "WaitFor.h"

#include "toc/FlapReader.h"
#include "toc/ModToc.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

// A TOC server of our own on 127.0.0.1, on the port given or one the system
// chooses. It keeps everything the client sends (the greeting and every
// frame, in order) and sends exactly what the test tells it, when the test
// tells it, in as many writes as the test wants; unless it is told to act
// as a server of either dialect.
class TocTestServer : public QObject {
public:
    explicit TocTestServer(quint16 port = 0)
    {
        connect(&m_server, &QTcpServer::newConnection, this, &TocTestServer::accept);
        m_server.listen(QHostAddress::LocalHost, port);
    }
    ~TocTestServer() override
    {
        // The connections die with the listening server, after this object's
        // own members; they must not report to it on their way out.
        for (QTcpSocket* client : m_server.findChildren<QTcpSocket*>())
            client->disconnect(this);
    }

    bool isListening() const { return m_server.isListening(); }
    quint16 port() const { return m_server.serverPort(); }
    // The next connection attempt is refused.
    void stopListening() { m_server.close(); }
    int connectionsAccepted() const { return m_accepted; }
    // Called once the greeting has come, and whenever frames arrived.
    std::function<void()> onFrames;
    bool clientGone() const { return m_clientGone; }
    // Whether the n-th client greets in time.
    bool greeted(int connection, int timeoutMs = 5000)
    {
        return waitFor([&] { return m_accepted == connection && m_greeting.size() == kGreeting.size(); }, timeoutMs);
    }

    // From now on it acts by itself: it sends its sign-on frame after the
    // greeting and answers the login and every join. As a TOC2 server it
    // lets anyone sign on and numbers the rooms of the whole run from 77,
    // so that no room id equals a count or a table slot by chance.
    // As a TOC1 server of today it hangs up on toc2_login, answers
    // toc_signon (ERROR:980 and a hang-up when the name or roasted password
    // is not this account's), ignores other commands until then, numbers
    // the rooms of each connection from 0, and hangs up on an empty command
    // or one over 2,048 bytes.
    void actAsToc2() { m_acting = true; }
    void actAsToc1(const QByteArray& screenName, const QByteArray& roastedPassword)
    {
        m_acting = true;
        m_toc1Account = screenName + ' ' + roastedPassword;
    }
    qint64 lastRoom() const { return m_nextRoom - 1; }

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
    bool waitForCommands(qsizetype n, int timeoutMs = 5000)
    {
        return waitFor([&] { return commands().size() >= n; }, timeoutMs);
    }
    // The commands after the login and toc_init_done, once there are n.
    QList<QByteArray> sentAfterSignOn(qsizetype n)
    {
        waitForCommands(2 + n);
        return commands().mid(2);
    }
    // The commands of the clients before it, all in one list.
    const QList<QByteArray>& earlierCommands() const { return m_earlierCommands; }

    // One write of raw bytes, pushed out at once.
    void send(const QByteArray& bytes)
    {
        if (m_client && m_client->write(bytes) == bytes.size())
            m_client->flush();
    }
    // A frame with the server's own sequence count.
    QByteArray frame(quint8 type, const QByteArray& payload)
    {
        return '*' + QByteArray(1, char(type)) + WordBytes(++m_sequence) + WordBytes(quint16(payload.size())) + payload;
    }
    void sendFrame(quint8 type, const QByteArray& payload) { send(frame(type, payload)); }
    void sendMessage(const QByteArray& message) { sendFrame(2, message); }
    void sendSignOnFrame() { sendFrame(1, QByteArray("\0\0\0\1", 4)); }
    // The server's answer to a TOC2 login it accepts.
    void acceptLogin(const QByteArray& nick = {})
    {
        send(frame(2, "SIGN_ON:TOC2.0") + (nick.isEmpty() ? QByteArray() : frame(2, "NICK:" + nick))
             + frame(2, "CONFIG2:m:1\ndone:\n"));
    }
    // Closes the connection once what was sent has gone out.
    void closeClient()
    {
        if (m_client)
            m_client->disconnectFromHost();
    }

    static QByteArray CHAT_JOIN(qint64 id, const QByteArray& room)
    {
        return "CHAT_JOIN:" + QByteArray::number(id) + ':' + room;
    }
    static QByteArray CHAT_IN_ENC(qint64 id, const QByteArray& user, bool whisper, const QByteArray& text)
    {
        return "CHAT_IN_ENC:" + QByteArray::number(id) + ':' + user + (whisper ? ":T" : ":F") + ":A:en:" + text;
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
            m_signedOn = false;
            if (!m_toc1Account.isEmpty())
                m_nextRoom = 0;
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
        const bool greeted = take > 0 && m_greeting.size() == kGreeting.size();
        if (greeted && m_acting)
            sendSignOnFrame();
        m_reader.append(QByteArrayView(bytes).sliced(take));
        const qsizetype before = m_frames.size();
        while (auto frame = m_reader.next()) {
            m_frames.append(*frame);
            // Once it has hung up, the rest is not listened to.
            if (m_acting && frame->type == 2 && client->state() == QAbstractSocket::ConnectedState)
                answer(frame->payload);
        }
        if (onFrames && (greeted || m_frames.size() > before))
            onFrames();
    }

    void answer(const QByteArray& payload)
    {
        const QList<QByteArray> words = payload.left(payload.size() - 1).split(' ');
        if (m_toc1Account.isEmpty()) {
            m_signedOn |= words[0] == "toc2_login";
            if (words[0] == "toc2_login")
                acceptLogin(words.value(3));
        } else if (payload.size() <= 1 || payload.size() > 2048 || words[0] == "toc2_login") {
            return closeClient();
        } else if (words[0] == "toc_signon") {
            if (words.value(3) + ' ' + words.value(4) != m_toc1Account) {
                sendMessage("ERROR:980");
                return closeClient();
            }
            m_signedOn = true;
            send(frame(2, "SIGN_ON:TOC1.0") + frame(2, "CONFIG:m 1\ng Buddies\nb Owner One\n"));
        }
        // toc_chat_join "4" "Room Name"
        if (m_signedOn && words[0] == "toc_chat_join")
            sendMessage(CHAT_JOIN(m_nextRoom++, payload.split('"').value(3)));
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
    bool m_acting = false;
    QByteArray m_toc1Account;  // name and roasted password
    bool m_signedOn = false;
    qint64 m_nextRoom = 77;
};
