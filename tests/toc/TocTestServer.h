// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toc/FlapReader.h"
#include "toc/TocWire.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <functional>

// A TOC server of our own on 127.0.0.1. It keeps what the last client sent
// (greeting and frames, in order) and sends what the test tells it, unless
// it is told to act as a server of either dialect by itself.
class TocTestServer : public QObject {
public:
    explicit TocTestServer(quint16 port = 0)
    {
        connect(&m_server, &QTcpServer::newConnection, this, &TocTestServer::accept);
        m_server.listen(QHostAddress::LocalHost, port);
    }
    ~TocTestServer() override
    {
        // A connection dying with the listening server would still tell us
        // it disconnected, as a half-destroyed socket.
        for (QTcpSocket* client : m_server.findChildren<QTcpSocket*>())
            client->disconnect(this);
    }

    quint16 port() const { return m_server.serverPort(); }
    int connectionsAccepted() const { return m_accepted; }
    // Called once the greeting has come, and whenever frames arrived.
    std::function<void()> onFrames;
    bool clientGone() const { return m_clientGone; }
    bool greeted(int connection, int timeoutMs = 5000)
    {
        return QTest::qWaitFor([&] { return m_accepted == connection && m_greeting.size() == kGreeting.size(); },
                               timeoutMs);
    }

    // TOC2: anyone signs on; rooms of the whole run are numbered from 77, so
    // no id equals a count by chance. TOC1 as servers run it today: hangs up
    // on toc2_login, an empty command or one over 2,048 bytes; answers a
    // wrong name or roasted password with ERROR:980; numbers rooms from 0.
    void actAsToc2() { m_acting = true; }
    void actAsToc1(const QByteArray& screenName, const QByteArray& roastedPassword)
    {
        m_acting = true;
        m_toc1Account = screenName + ' ' + roastedPassword;
    }
    qint64 lastRoom() const { return m_nextRoom - 1; }

    QByteArray greeting() const { return m_greeting; }
    const QList<FlapFrame>& frames() const { return m_frames; }
    // Data-frame payloads without their closing NUL; one without exactly
    // that NUL is marked, so no expected command matches it.
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
        return QTest::qWaitFor([&] { return commands().size() >= n; }, timeoutMs);
    }
    // The commands after the login and toc_init_done, once there are n.
    QList<QByteArray> sentAfterSignOn(qsizetype n)
    {
        waitForCommands(2 + n);
        return commands().mid(2);
    }

    void send(const QByteArray& bytes)
    {
        if (m_client && m_client->write(bytes) == bytes.size())
            m_client->flush();
    }
    QByteArray frame(quint8 type, const QByteArray& payload)
    {
        return '*' + QByteArray(1, char(type)) + encodeWord(++m_sequence) + encodeWord(quint16(payload.size()))
            + payload;
    }
    void sendMessage(const QByteArray& message) { send(frame(2, message)); }
    void sendSignOnFrame() { send(frame(1, QByteArray("\0\0\0\1", 4))); }
    void acceptLogin(const QByteArray& nick = {})
    {
        send(frame(2, "SIGN_ON:TOC2.0") + (nick.isEmpty() ? QByteArray() : frame(2, "NICK:" + nick))
             + frame(2, "CONFIG2:m:1\ndone:\n"));
    }
    void closeClient()
    {
        if (m_client)
            m_client->disconnectFromHost();
    }

    static QByteArray CHAT_JOIN(qint64 id, const QByteArray& room)
    {
        return "CHAT_JOIN:" + QByteArray::number(id) + ':' + room;
    }
    static QByteArray CHAT_IN_ENC(qint64 id, const QByteArray& user, const QByteArray& text)
    {
        return "CHAT_IN_ENC:" + QByteArray::number(id) + ':' + user + ":F:A:en:" + text;
    }

private:
    void accept()
    {
        while (QTcpSocket* client = m_server.nextPendingConnection()) {
            if (m_client)
                m_client->deleteLater();
            m_client = client;
            ++m_accepted;
            m_clientGone = m_signedOn = false;
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
        // The greeting is the only thing sent outside a frame.
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
            // An empty line leads the config, as the client must pass it over;
            // a name written the TOC2 way ends at its colon, and an empty one is
            // no entry.
            send(frame(2, "SIGN_ON:TOC1.0")
                 + frame(2, "CONFIG:\nm 1\ng Buddies\nb Owner One\nb:Al B:alias\nd::nameless\n"));
        }
        // toc_chat_join "4" "Room Name"
        if (m_signedOn && words[0] == "toc_chat_join")
            sendMessage(CHAT_JOIN(m_nextRoom++, payload.split('"').value(3)));
    }

    static constexpr QByteArrayView kGreeting {"FLAPON\r\n\r\n"};
    QPointer<QTcpSocket> m_client;
    int m_accepted = 0;
    bool m_clientGone = false, m_acting = false, m_signedOn = false;
    QByteArray m_greeting;
    FlapReader m_reader;
    QList<FlapFrame> m_frames;
    quint16 m_sequence = 0;
    QByteArray m_toc1Account;  // name and roasted password
    qint64 m_nextRoom = 77;
    QTcpServer m_server;
};
