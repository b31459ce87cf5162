// SPDX-License-Identifier: GPL-3.0-or-later
// A TOC server to try the bot against by hand and to measure it with: any
// screen name signs on, every join is confirmed, every command is printed,
// and each line on standard input is said in the room joined last, as
// "NAME: text" by NAME, otherwise by "Owner One".
//
//   toc_test_server [PORT]
#include "TocTestServer.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const quint16 port = argc > 1 ? QByteArray(argv[1]).toUShort() : 5190;
    TocTestServer server(port);
    if (server.port() == 0) {
        std::fprintf(stderr, "toc_test_server: cannot listen on 127.0.0.1:%u\n", port);
        return 1;
    }
    std::printf("listening on 127.0.0.1:%u\n", port);
    std::fflush(stdout);
    server.actAsToc2();
    qsizetype printed = 0;
    server.onFrames = [&] {
        const QList<QByteArray> commands = server.commands();
        for (printed = qMin(printed, commands.size()); printed < commands.size(); ++printed)
            std::printf("< %s\n", commands[printed].constData());
        std::fflush(stdout);
    };
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char line[4096];
        if (!std::fgets(line, sizeof line, stdin))
            return input.setEnabled(false);
        QByteArray text = QByteArray(line).trimmed(), who = "Owner One";
        if (const qsizetype colon = text.indexOf(": "); colon > 0) {
            who = text.left(colon);
            text = text.mid(colon + 2);
        }
        server.sendMessage(TocTestServer::CHAT_IN_ENC(server.lastRoom(), who, text));
    });
    return app.exec();
}
