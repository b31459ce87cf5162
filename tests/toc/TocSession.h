#pragma once

#include "TocEventLog.h"
#include "TocTestServer.h"
#include "WaitFor.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

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
