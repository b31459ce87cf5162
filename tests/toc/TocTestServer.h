#pragma once

#include "toc/FlapReader.h"
#include "toc/ModToc.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

// A TOC server of our own on 127.0.0.1, port chosen by the system. It keeps
// everything the client sends (the greeting and every frame, in order) and
// sends exactly what the test tells it, when the test tells it, in as many
// writes as the test wants. It never answers anything by itself.
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
        if (onFrames && take > 0 && m_greeting.size() == kGreeting.size())
            onFrames();
        m_reader.append(QByteArrayView(bytes).sliced(take));
        const qsizetype before = m_frames.size();
        while (auto frame = m_reader.next())
            m_frames.append(*frame);
        if (onFrames && m_frames.size() > before)
            onFrames();
    }

    static constexpr QByteArrayView kGreeting{"FLAPON\r\n\r\n"};
    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    int m_accepted = 0;
    bool m_clientGone = false;
    QByteArray m_greeting;
    FlapReader m_reader;
    QList<FlapFrame> m_frames;
    quint16 m_sequence = 0;
};
