#pragma once

#include "TocTestServer.h"
#include "WaitFor.h"
#include "support/QtPrinters.h"

#include "toc/MarlTOCSock.h"

#include <QMetaMethod>
#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

#include <functional>

// Every event the client raises, in order, as "Name(arg|arg|...)";
// IncomingPacket is counted apart because every frame raises it.
class TocEventLog : public QObject {
public:
    explicit TocEventLog(MarlTOCSock& toc)
    {
        using T = MarlTOCSock;
        [&](auto... signal) {
            (record(toc, signal), ...);
        }(&T::LoggedIn, &T::LoggedOff, &T::Error, &T::IncomingBuddyCapabilities, &T::IncomingMessage, &T::BuddyOnline,
          &T::BuddyOffline, &T::Warned, &T::JoinedChat, &T::IncomingChatMessage, &T::ChatUserUpdate,
          &T::IncomingChatInvite, &T::LeftChat, &T::PassWordUpdate, &T::ScreenNameFormatUpdate, &T::IncomingProfile,
          &T::RendevousRequest, &T::IncomingBartData);
        connect(&toc, &T::IncomingPacket, this, [this](qint16, const QByteArray& data) {
            ++packets;
            lastPacket = data;
        });
        connect(&toc, &T::connectionFailed, this, [this] { ++failures; });
    }
    bool has(const QString& name) const { return !events.filter(name).isEmpty(); }

    QStringList events;
    int packets = 0;
    QByteArray lastPacket;
    int failures = 0;

private:
    template <typename... Args> void record(MarlTOCSock& toc, void (MarlTOCSock::*signal)(Args...))
    {
        const QString name = QString::fromLatin1(QMetaMethod::fromSignal(signal).name());
        connect(&toc, signal, this, [this, name](Args... args) {
            events.append(name + u'(' + QStringList {QVariant::fromValue(args).toString()...}.join(u'|') + u')');
        });
    }
};

// A client, our server and the client's event log, with the steps of a
// sign-on as separate moves so a test can stop or meddle between any two.
struct TocSession : ::testing::Test {
    TocTestServer server;
    MarlTOCSock toc;
    TocEventLog log {toc};

    void connectClient(const QString& user = QStringLiteral("Marl Bot"))
    {
        const int next = server.connectionsAccepted() + 1;
        toc.Login(user, QStringLiteral("secret"), QStringLiteral("127.0.0.1"), server.port(),
                  QStringLiteral("login.example"), 29999);
        ASSERT_TRUE(server.greeted(next));
    }
    // Up to the client's answers to the sign-on frame.
    void reachSigningOn()
    {
        ASSERT_NO_FATAL_FAILURE(connectClient());
        server.sendSignOnFrame();
        ASSERT_TRUE(waitFor([&] { return server.frames().size() >= 2; }));
    }
    // The whole sign-on; the log starts afresh after it.
    void signOn()
    {
        ASSERT_NO_FATAL_FAILURE(reachSigningOn());
        server.acceptLogin();
        ASSERT_TRUE(waitFor([&] { return toc.state() == MarlTOCSock::State::SignedOn; }));
        log.events.clear();
        log.packets = 0;
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
    // Makes each call and expects the commands they send after the
    // sign-on, in order; a call paired with an empty command sends none.
    void callExpecting(const QList<std::pair<std::function<void()>, QByteArray>>& calls)
    {
        QList<QByteArray> expected;
        for (const auto& [call, command] : calls) {
            call();
            if (!command.isEmpty())
                expected.append(command);
        }
        EXPECT_EQ(server.sentAfterSignOn(expected.size()), expected);
    }
};
