// A TOC server to try the bot against by hand and to measure it with. It
// lets any screen name sign on, confirms every join, prints every command
// it gets, and says each line typed on its standard input in the room
// joined last: "NAME: text" as NAME, anything else as "Owner One".
//
//   toc_test_server [PORT]
#include "TocTestServer.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const quint16 port = argc > 1 ? QByteArray(argv[1]).toUShort() : 5190;
    TocTestServer server;
    server.stopListening();
    if (!server.listenAgain(port)) {
        std::fprintf(stderr, "toc_test_server: cannot listen on 127.0.0.1:%u\n", port);
        return 1;
    }
    std::printf("listening on 127.0.0.1:%u\n", port);
    std::fflush(stdout);

    int connection = 0;
    qsizetype handled = 0;
    qint64 room = 0;
    static const QRegularExpression join(QStringLiteral(R"re(^toc_chat_join "[^"]*" "(.*)"$)re"));
    server.onFrames = [&] {
        if (connection != server.connectionsAccepted()) {
            connection = server.connectionsAccepted();
            handled = 0;
            std::printf("connection %d\n", connection);
            server.sendFrame(1, TocTestServer::signOnPayload());
        }
        const QList<QByteArray> commands = server.commands();
        for (; handled < commands.size(); ++handled) {
            const QByteArray& command = commands[handled];
            std::printf("< %s\n", command.constData());
            if (command.startsWith("toc2_login ")) {
                server.sendMessage(TocTestServer::SIGN_ON());
                server.sendMessage(TocTestServer::NICK(command.split(' ').value(3)));
                server.sendMessage(TocTestServer::CONFIG2("m:1\ndone:\n"));
            } else if (const auto match = join.match(QString::fromUtf8(command)); match.hasMatch()) {
                server.sendMessage(TocTestServer::CHAT_JOIN(++room, match.captured(1).toUtf8()));
            }
        }
        std::fflush(stdout);
    };

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char line[4096];
        if (!std::fgets(line, sizeof line, stdin)) {
            input.setEnabled(false);
            return;
        }
        QByteArray text = QByteArray(line).trimmed();
        QByteArray who = "Owner One";
        if (const qsizetype colon = text.indexOf(": "); colon > 0) {
            who = text.left(colon);
            text = text.mid(colon + 2);
        }
        server.sendMessage(TocTestServer::CHAT_IN_ENC(room, who, false, text));
    });
    return app.exec();
}
