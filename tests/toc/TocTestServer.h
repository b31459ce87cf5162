#pragma once

#include "toc/FlapReader.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

// A TOC server of our own on 127.0.0.1, port chosen by the system. It keeps
// everything the client sends (the greeting and every frame, in order) and
// sends exactly what the test tells it, when the test tells it, in as many
// writes as the test wants. It never answers anything by itself.
class TocTestServer : public QObject {
    Q_OBJECT
public:
    TocTestServer();
    ~TocTestServer() override;

    quint16 port() const { return m_server.serverPort(); }
    // Stops accepting: the next connection attempt is refused.
    void stopListening() { m_server.close(); }

    // The current client (the last one accepted).
    bool hasClient() const;
    int connectionsAccepted() const { return m_accepted; }
    bool clientGone() const { return m_clientGone; }

    // What the current client sent: the bytes before its first frame (the
    // greeting) and its frames.
    QByteArray greeting() const { return m_greeting; }
    const QList<FlapFrame>& frames() const { return m_frames; }
    // The payloads of its data frames, without their closing NUL.
    QList<QByteArray> commands() const;
    // Every data-frame payload had its closing NUL.
    bool commandsEndInNul() const;

    // One write of raw bytes, pushed out at once.
    void send(const QByteArray& bytes);
    // A frame with the server's own sequence count.
    void sendFrame(quint8 type, const QByteArray& payload);
    void sendMessage(const QByteArray& message) { sendFrame(2, message); }
    // Closes the current connection.
    void closeClient();

    QByteArray frame(quint8 type, const QByteArray& payload);

    // The server's side of the conversation.
    static QByteArray signOnPayload() { return QByteArray("\0\0\0\1", 4); }
    static QByteArray SIGN_ON() { return "SIGN_ON:TOC2.0"; }
    static QByteArray NICK(const QByteArray& name) { return "NICK:" + name; }
    static QByteArray CONFIG2(const QByteArray& lines) { return "CONFIG2:" + lines; }
    static QByteArray CHAT_JOIN(qint64 id, const QByteArray& room);
    static QByteArray CHAT_IN_ENC(qint64 id, const QByteArray& user, bool whisper, const QByteArray& text);
    static QByteArray CHAT_UPDATE_BUDDY(qint64 id, bool inside, const QList<QByteArray>& users);
    static QByteArray ERROR(int code) { return "ERROR:" + QByteArray::number(code); }

private:
    void accept();
    void read();

    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    int m_accepted = 0;
    bool m_clientGone = false;
    QByteArray m_greeting;
    bool m_greetingDone = false;
    FlapReader m_reader;
    QList<FlapFrame> m_frames;
    quint16 m_sequence = 0;
};
