#include "app/AppPaths.h"
#include "app/HeadlessFrontEnd.h"
#include "app/MainForm.h"
#include "chatlink/LocalRoom.h"
#include "chatlink/SimDesktop.h"
#include "gui/LocalRoomWindow.h"
#include "gui/MainWindow.h"
#include "player/MpvPlayer.h"
#include "toc/HeadlessBot.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLoggingCategory>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool wantsHeadless(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0 || std::strcmp(argv[i], "--bot") == 0)
            return true;
    }
    return !hasDisplay();
}

struct Options {
    bool headless = false;
    QString screenName;
    bool bot = false;
    HeadlessBotSettings botSettings;
};

[[noreturn]] void usageError(const QString& message)
{
    std::fprintf(stderr, "quillon: %s (see --help)\n", qPrintable(message));
    std::exit(2);
}

Options parseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quillon plays your music and serves a chat room: it obeys the commands you type there\n"
                       "and announces what is playing.\n\n"
                       "Headless, the local room is this terminal: each line you type is said by you, a line\n"
                       "\"/as NAME: TEXT\" is said by the member NAME, and \"/find-sn\" does what the Find SN\n"
                       "button does (it finds you, the owner, again).\n\n"
                       "Bot mode (--bot, always without windows) signs on to a TOC server and serves the room\n"
                       "given by --room; standard input is then only watched for its end."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption headless(QStringLiteral("headless"),
                                      QStringLiteral("Run without windows; the local room is this terminal."));
    const QCommandLineOption screenName(
        QStringLiteral("screen-name"),
        QStringLiteral("Your screen name in the local room (default: your login name); with --bot, the bot's "
                       "screen name."),
        QStringLiteral("NAME"));
    const QCommandLineOption bot(QStringLiteral("bot"), QStringLiteral("Serve a room of a TOC server as a bot."));
    const QCommandLineOption tocServer(
        QStringLiteral("toc-server"),
        QStringLiteral("The TOC server (port 5190 if none given; default: the per-user store's)."),
        QStringLiteral("HOST[:PORT]"));
    const QCommandLineOption password(QStringLiteral("password"), QStringLiteral("The bot's password."),
                                      QStringLiteral("PASS"));
    const QCommandLineOption room(QStringLiteral("room"), QStringLiteral("The room to join."),
                                  QStringLiteral("ROOM"));
    const QCommandLineOption exchange(QStringLiteral("exchange"),
                                      QStringLiteral("The room's exchange number (default 4)."), QStringLiteral("N"));
    const QCommandLineOption authorizer(
        QStringLiteral("authorizer"),
        QStringLiteral("The authorizer named at sign-on (port 29999 if none given; default: the per-user store's)."),
        QStringLiteral("HOST[:PORT]"));
    const QCommandLineOption owner(QStringLiteral("owner"),
                                   QStringLiteral("The screen name whose commands the bot obeys (default: found "
                                                  "in the room)."),
                                   QStringLiteral("NAME"));
    parser.addOptions({headless, screenName, bot, tocServer, password, room, exchange, authorizer, owner});
    parser.process(app);

    Options options;
    options.headless = parser.isSet(headless);
    options.bot = parser.isSet(bot);
    if (!options.bot) {
        for (const QCommandLineOption* botOnly : {&tocServer, &password, &room, &exchange, &authorizer, &owner}) {
            if (parser.isSet(*botOnly))
                usageError(QStringLiteral("--%1 needs --bot").arg(botOnly->names().constFirst()));
        }
        options.screenName = parser.isSet(screenName) ? parser.value(screenName) : LocalRoom::loginName();
        return options;
    }

    for (const QCommandLineOption* required : {&screenName, &password, &room}) {
        if (!parser.isSet(*required))
            usageError(QStringLiteral("--bot needs --%1").arg(required->names().constFirst()));
    }
    HeadlessBotSettings& settings = options.botSettings;
    settings.screenName = parser.value(screenName);
    settings.password = parser.value(password);
    settings.room = parser.value(room);
    settings.owner = parser.value(owner);
    if (parser.isSet(exchange)) {
        bool ok = false;
        parser.value(exchange).trimmed().toShort(&ok);
        if (!ok)
            usageError(QStringLiteral("--exchange takes a whole number from -32768 to 32767"));
        settings.exchange = parser.value(exchange).trimmed();
    }
    if (parser.isSet(tocServer)) {
        settings.server = TocEndpoint::parse(parser.value(tocServer), BotMode::kServerPort);
        if (!settings.server)
            usageError(QStringLiteral("--toc-server takes HOST or HOST:PORT with a port from 1 to 65535"));
    }
    if (parser.isSet(authorizer)) {
        settings.authorizer = TocEndpoint::parse(parser.value(authorizer), BotMode::kAuthorizerPort);
        if (!settings.authorizer)
            usageError(QStringLiteral("--authorizer takes HOST or HOST:PORT with a port from 1 to 65535"));
    }
    return options;
}

int runHeadless(QCoreApplication& app, const Options& options)
{
    // The local room is this terminal: what is typed is said in the room,
    // and what the program posts there is printed.
    SimDesktop desktop;
    LocalRoom room(desktop, options.screenName);
    room.echoPostsTo(stdout);
    MpvPlayer player;
    HeadlessFrontEnd frontEnd;
    QObject::connect(&frontEnd, &HeadlessFrontEnd::lineRead, &room, &LocalRoom::typeLine);
    MainForm form(AppPaths::standard(), desktop, player, frontEnd);
    form.Form_Load();
    frontEnd.attach(form);
    return app.exec();
}

int runBot(QCoreApplication& app, const Options& options)
{
    // The room is on the TOC server; no chat window is read or written, and
    // the lines typed here go nowhere: standard input only ends the run.
    // The bot logs every step and failure of the connection itself, once;
    // the client's own debug lines would repeat them (QT_LOGGING_RULES can
    // still bring them back).
    QLoggingCategory::setFilterRules(QStringLiteral("quillon.toc.debug=false"));
    SimDesktop desktop;
    MpvPlayer player;
    HeadlessFrontEnd frontEnd;
    MainForm form(AppPaths::standard(), desktop, player, frontEnd);
    form.Form_Load();
    HeadlessBot bot(form, options.botSettings);
    frontEnd.attach(form);
    bot.start();
    return app.exec();
}

int runGui(QApplication& app, const Options& options)
{
    SimDesktop desktop;
    LocalRoom room(desktop, options.screenName);
    MpvPlayer player;
    MainWindow window;
    MainForm form(AppPaths::standard(), desktop, player, window);
    window.attach(form);
    window.show();
    LocalRoomWindow roomWindow(room);
    roomWindow.move(window.frameGeometry().topRight() + QPoint(8, 0));
    roomWindow.show();
    form.Form_Load();
    return app.exec();
}

void setIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("quillon"));
    QCoreApplication::setApplicationName(QStringLiteral("quillon"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLON_VERSION));
}

} // namespace

int main(int argc, char** argv)
{
    AppPaths::ignoreRelativeXdgPaths();
    if (wantsHeadless(argc, argv)) {
        QCoreApplication app(argc, argv);
        setIdentity();
        const Options options = parseOptions(app);
        return options.bot ? runBot(app, options) : runHeadless(app, options);
    }
    QApplication app(argc, argv);
    setIdentity();
    const Options options = parseOptions(app);
    QApplication::setQuitOnLastWindowClosed(false);
    return runGui(app, options);
}
