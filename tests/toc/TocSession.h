#pragma once

#include "TocTestServer.h"
#include "WaitFor.h"
#include "support/QtPrinters.h"

#include "toc/MarlTOCSock.h"

#include <QMetaMethod>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <type_traits>

// Every event the client raises, in order, as "Name(arg|arg|...)";
// IncomingPacket is counted apart because every frame raises it.
class TocEventLog : public QObject {
public:
    explicit TocEventLog(MarlTOCSock& toc) : m_toc(toc)
    {
        using T = MarlTOCSock;
        on(&T::LoggedIn, &T::LoggedOff, &T::Error, &T::IncomingBuddyCapabilities, &T::IncomingMessage, &T::BuddyOnline,
           &T::BuddyOffline, &T::Warned, &T::JoinedChat, &T::IncomingChatMessage, &T::ChatUserUpdate,
           &T::IncomingChatInvite, &T::LeftChat, &T::PassWordUpdate, &T::ScreenNameFormatUpdate, &T::IncomingProfile,
           &T::RendevousRequest, &T::IncomingBartData);
        connect(&toc, &T::IncomingPacket, this, [this](qint16, const QByteArray& data) {
            ++packets;
            lastPacket = data;
        });
        connect(&toc, &T::connectionFailed, this, [this] { ++failures; });
    }

    bool has(const QString& prefix) const
    {
        return std::any_of(events.begin(), events.end(), [&](const QString& e) { return e.startsWith(prefix); });
    }

    QStringList events;
    int packets = 0;
    QByteArray lastPacket;
    int failures = 0;

private:
    template <typename... Args, typename... More> void on(void (MarlTOCSock::*signal)(Args...), More... more)
    {
        const QString name = QString::fromLatin1(QMetaMethod::fromSignal(signal).name());
        connect(&m_toc, signal, this, [this, name](Args... args) {
            events.append(name + u'(' + QStringList {text(args)...}.join(u'|') + u')');
        });
        if constexpr (sizeof...(More) > 0)
            on(more...);
    }
    template <typename V> static QString text(const V& v)
    {
        if constexpr (std::is_same_v<V, bool>)
            return v ? QStringLiteral("true") : QStringLiteral("false");
        else if constexpr (std::is_arithmetic_v<V>)
            return QString::number(v);
        else
            return v;
    }

    MarlTOCSock& m_toc;
};

// A client, our server and the client's event log, with the steps of a
// sign-on as separate moves so a test can stop or meddle between any two.
struct TocSession : ::testing::Test {
    TocTestServer server;
    MarlTOCSock toc;
    TocEventLog log {toc};

    void connectClient(const QString& user = QStringLiteral("Marl Bot"))
    {
        const int before = server.connectionsAccepted();
        toc.Login(user, QStringLiteral("secret"), QStringLiteral("127.0.0.1"), server.port(),
                  QStringLiteral("login.example"), 29999);
        ASSERT_TRUE(waitFor([&] { return server.connectionsAccepted() > before && server.greeting().size() == 10; }));
    }

    // Greeting, the server's sign-on frame, and the client's two answers.
    void reachSigningOn(const QString& user = QStringLiteral("Marl Bot"))
    {
        ASSERT_NO_FATAL_FAILURE(connectClient(user));
        server.sendFrame(1, TocTestServer::signOnPayload());
        ASSERT_TRUE(waitFor([&] { return server.frames().size() >= 2; }));
    }

    // The whole sign-on; the log starts afresh after it.
    void signOn()
    {
        ASSERT_NO_FATAL_FAILURE(reachSigningOn());
        server.sendMessage(TocTestServer::SIGN_ON());
        server.sendMessage(TocTestServer::CONFIG2("m:1\ndone:\n"));
        ASSERT_TRUE(waitFor([&] { return toc.state() == MarlTOCSock::State::SignedOn; }));
        log.events.clear();
        log.packets = 0;
    }

    bool waitForCommands(qsizetype n)
    {
        return waitFor([&] { return server.commands().size() >= n; });
    }
    // The commands after the login and toc_init_done, once there are n.
    QList<QByteArray> sentAfterSignOn(qsizetype n)
    {
        EXPECT_TRUE(waitForCommands(2 + n));
        return server.commands().mid(2);
    }

    // Sends the messages in one write and waits until all were handled.
    void say(const QList<QByteArray>& messages)
    {
        QByteArray bytes;
        for (const QByteArray& m : messages)
            bytes += server.frame(2, m);
        const int before = log.packets;
        server.send(bytes);
        ASSERT_TRUE(waitFor([&] { return log.packets == before + messages.size(); }));
    }

    // Says the messages in one write and expects the events they raise, in
    // order; a message paired with an empty text raises none.
    void sayExpecting(const QList<std::pair<QByteArray, QString>>& cases)
    {
        QList<QByteArray> messages;
        QStringList expected;
        for (const auto& [message, event] : cases) {
            messages.append(message);
            if (!event.isEmpty())
                expected.append(event);
        }
        log.events.clear();
        ASSERT_NO_FATAL_FAILURE(say(messages));
        EXPECT_EQ(log.events, expected);
    }
};
