#include "TocTestServer.h"

#include "toc/ModToc.h"

#include <QHostAddress>

namespace {
constexpr QByteArrayView kGreeting("FLAPON\r\n\r\n");
}

TocTestServer::TocTestServer()
{
    connect(&m_server, &QTcpServer::newConnection, this, &TocTestServer::accept);
    m_server.listen(QHostAddress::LocalHost, 0);
}

TocTestServer::~TocTestServer()
{
    // The connections die with the listening server, after this object's
    // own members; they must not report to it on their way out.
    for (QTcpSocket* client : m_server.findChildren<QTcpSocket*>())
        client->disconnect(this);
}

bool TocTestServer::hasClient() const
{
    return m_client && m_client->state() == QAbstractSocket::ConnectedState;
}

void TocTestServer::accept()
{
    while (QTcpSocket* client = m_server.nextPendingConnection()) {
        if (m_client)
            m_client->deleteLater();
        m_client = client;
        ++m_accepted;
        m_clientGone = false;
        m_greeting.clear();
        m_greetingDone = false;
        m_reader.clear();
        m_frames.clear();
        connect(client, &QTcpSocket::readyRead, this, &TocTestServer::read);
        connect(client, &QTcpSocket::disconnected, this, [this, client] {
            if (client == m_client)
                m_clientGone = true;
        });
    }
}

void TocTestServer::read()
{
    auto* client = qobject_cast<QTcpSocket*>(sender());
    if (client != m_client)
        return;
    QByteArray bytes = client->readAll();
    if (!m_greetingDone) {
        // The greeting is the only thing sent outside a frame; it ends where
        // the first frame's marker begins.
        const qsizetype take = qMin(bytes.size(), kGreeting.size() - m_greeting.size());
        m_greeting += bytes.first(take);
        bytes.remove(0, take);
        m_greetingDone = m_greeting.size() == kGreeting.size();
    }
    m_reader.append(bytes);
    while (auto frame = m_reader.next())
        m_frames.append(*frame);
}

QList<QByteArray> TocTestServer::commands() const
{
    QList<QByteArray> result;
    for (const FlapFrame& frame : m_frames) {
        if (frame.type == 2)
            result.append(frame.payload.endsWith('\0') ? frame.payload.chopped(1) : frame.payload);
    }
    return result;
}

bool TocTestServer::commandsEndInNul() const
{
    for (const FlapFrame& frame : m_frames) {
        if (frame.type == 2 && (!frame.payload.endsWith('\0') || frame.payload.count('\0') != 1))
            return false;
    }
    return true;
}

void TocTestServer::send(const QByteArray& bytes)
{
    if (!m_client)
        return;
    m_client->write(bytes);
    m_client->flush();
}

QByteArray TocTestServer::frame(quint8 type, const QByteArray& payload)
{
    ++m_sequence;
    return '*' + QByteArray(1, char(type)) + WordBytes(m_sequence) + WordBytes(quint16(payload.size())) + payload;
}

void TocTestServer::sendFrame(quint8 type, const QByteArray& payload)
{
    send(frame(type, payload));
}

void TocTestServer::closeClient()
{
    if (m_client) {
        m_client->flush();
        m_client->disconnectFromHost();
    }
}

QByteArray TocTestServer::CHAT_JOIN(qint64 id, const QByteArray& room)
{
    return "CHAT_JOIN:" + QByteArray::number(id) + ':' + room;
}

QByteArray TocTestServer::CHAT_IN_ENC(qint64 id, const QByteArray& user, bool whisper, const QByteArray& text)
{
    return "CHAT_IN_ENC:" + QByteArray::number(id) + ':' + user + (whisper ? ":T" : ":F") + ":A:en:" + text;
}

QByteArray TocTestServer::CHAT_UPDATE_BUDDY(qint64 id, bool inside, const QList<QByteArray>& users)
{
    QByteArray message = "CHAT_UPDATE_BUDDY:" + QByteArray::number(id) + (inside ? ":T" : ":F");
    for (const QByteArray& user : users)
        message += ':' + user;
    return message;
}
