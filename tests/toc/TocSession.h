#pragma once

#include "QtPrinters.h"
#include "TocEventLog.h"
#include "TocTestServer.h"
#include "WaitFor.h"

#include "toc/MarlTOCSock.h"

#include <gtest/gtest.h>

// A client, our server and the client's event log, with the steps of a
// sign-on as separate moves so a test can stop or meddle between any two.
struct TocSession : ::testing::Test {
    TocTestServer server;
    MarlTOCSock toc;
    TocEventLog log{toc};

    void connectClient(const QString& user = QStringLiteral("Marl Bot"),
                       const QString& password = QStringLiteral("secret"))
    {
        const int before = server.connectionsAccepted();
        toc.Login(user, password, QStringLiteral("127.0.0.1"), server.port(),
                  QStringLiteral("login.example"), 29999);
        ASSERT_TRUE(waitFor([&] { return server.connectionsAccepted() > before && server.greeting().size() == 10; }));
    }

    // Greeting, the server's sign-on frame, and the client's two answers.
    void reachSigningOn(const QString& user = QStringLiteral("Marl Bot"),
                        const QString& password = QStringLiteral("secret"))
    {
        ASSERT_NO_FATAL_FAILURE(connectClient(user, password));
        server.sendFrame(1, TocTestServer::signOnPayload());
        ASSERT_TRUE(waitFor([&] { return server.frames().size() >= 2; }));
    }

    void signOn()
    {
        ASSERT_NO_FATAL_FAILURE(reachSigningOn());
        server.sendMessage(TocTestServer::SIGN_ON());
        server.sendMessage(TocTestServer::CONFIG2("m:1\ndone:\n"));
        ASSERT_TRUE(waitFor([&] { return toc.state() == MarlTOCSock::State::SignedOn; }));
    }

    // Waits for the client to have sent n commands in all.
    bool waitForCommands(qsizetype n) { return waitFor([&] { return server.commands().size() >= n; }); }

    // The bytes the server sends arrive at the client in exactly these
    // pieces: each one is taken in before the next is written.
    void deliverInPieces(const QByteArray& bytes, const QList<qsizetype>& cuts)
    {
        qsizetype from = 0;
        QList<qsizetype> ends = cuts;
        ends.append(bytes.size());
        for (const qsizetype end : ends) {
            const qint64 before = toc.bytesReceived();
            server.send(bytes.sliced(from, end - from));
            ASSERT_TRUE(waitFor([&] { return toc.bytesReceived() == before + (end - from); }));
            from = end;
        }
    }
};
