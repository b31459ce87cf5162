// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppPaths.h"
#include "app/FilesLock.h"
#include "app/HeadlessFrontEnd.h"
#include "app/MainForm.h"
#include "app/OwnRoom.h"
#include "app/StopSignals.h"
#include "app/TerminalRoom.h"
#include "chatlink/DesktopWindows.h"
#include "chatlink/LocalRoom.h"
#include "controls/LogLine.h"
#include "controls/UserStore.h"
#include "desktop/Mpris.h"
#include "desktop/RunningCopy.h"
#include "gui/DisplayCheck.h"
#include "gui/LocalRoomWindow.h"
#include "gui/MainWindow.h"
#include "player/MpvPlayer.h"
#include "toc/BotSettings.h"
#include "toc/HeadlessBot.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLoggingCategory>
#include <QMessageBox>

#include <quillon/Version.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

namespace {

Q_LOGGING_CATEGORY(lcMain, "quillon.main")

bool wantsHeadless(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0 || std::strcmp(argv[i], "--bot") == 0)
            return true;
    }
    return false;
}

struct CommandLine {
    bool headless = false;
    bool gui = false;
    std::optional<TerminalRoom::Form> roomOutput;
    QString screenName;
    bool bot = false;
    HeadlessBotSettings botSettings;
    // The command prefix for this run, over the store's.
    std::optional<QString> prefix;
};

// A command line that ends the run before it starts: help or the version
// (printed on stdout, status 0) or a wrong command line (its line for
// stderr, with status 2, or the bot's configuration status).
struct CommandLineExit {
    int status = 0;
    QString output;
    QString error;
};

CommandLineExit usageError(const QString& message, int status = UsageError::kUsage)
{
    return {status,
            {},
            QStringLiteral("quillon: ") + message
                + (status == UsageError::kUsage ? QStringLiteral(" (see --help)") : QString())};
}

std::variant<CommandLine, CommandLineExit> parseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quillon plays your music and serves a chat room: it obeys the commands you type there\n"
                       "and announces what is playing.\n\n"
                       "Without a display (or with --headless) the local room is this terminal: what you type\n"
                       "is said in the room, and its lines are shown as the room's window shows them:\n"
                       "    me: \u00bb Playing \u00bb Some Song \u00bb 1\n"
                       "    bob: hello\n"
                       "Through a pipe, each line Quillon posts is written as the HTML it typed instead.\n"
                       "A line \"/as NAME: TEXT\" is said by the member NAME, and \"/find-sn\" does what the\n"
                       "Find SN button does (it finds you, the owner, again).\n\n"
                       "Bot mode (--bot, always without windows) signs on to a TOC server and serves the room\n"
                       "given by --room until SIGINT or SIGTERM; it does not read standard input. Its screen\n"
                       "name, room, exchange and owner may instead be the keys screenname, room, exchange and\n"
                       "owner under [bot] in the per-user store; the password comes from --password-file,\n"
                       "$CREDENTIALS_DIRECTORY/toc-password, $QUILLON_TOC_PASSWORD or --password."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption headless(QStringLiteral("headless"),
                                      QStringLiteral("Run without windows; the local room is this terminal."));
    const QCommandLineOption gui(QStringLiteral("gui"),
                                 QStringLiteral("Open the windows, or fail (exit status 2) when the display cannot "
                                                "be opened."));
    const QCommandLineOption roomOutput(
        QStringLiteral("room-output"),
        QStringLiteral("How the terminal shows the local room: \"text\", its lines as a person reads them, or "
                       "\"raw\", each post as the HTML Quillon typed (default: text on a terminal, raw "
                       "otherwise)."),
        QStringLiteral("raw|text"));
    const QCommandLineOption profile(
        QStringLiteral("profile"),
        QStringLiteral("Keep the playlist, settings and per-user store in folders of their own named NAME "
                       "(quillon/NAME under each of the user's configuration, data and cache folders), so "
                       "several copies run side by side."),
        QStringLiteral("NAME"));
    parser.addOptions({gui, roomOutput, profile});
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
    const QCommandLineOption passwordFile(QStringLiteral("password-file"),
                                          QStringLiteral("The bot's password: the first line of FILE."),
                                          QStringLiteral("FILE"));
    const QCommandLineOption password(
        QStringLiteral("password"),
        QStringLiteral("The bot's password (visible to other users; prefer --password-file)."), QStringLiteral("PASS"));
    const QCommandLineOption room(QStringLiteral("room"), QStringLiteral("The room to join."), QStringLiteral("ROOM"));
    const QCommandLineOption exchange(QStringLiteral("exchange"),
                                      QStringLiteral("The room's exchange number (default 4)."), QStringLiteral("N"));
    const QCommandLineOption authorizer(
        QStringLiteral("authorizer"),
        QStringLiteral("The authorizer named at sign-on (port 29999 if none given; default: the per-user store's)."),
        QStringLiteral("HOST[:PORT]"));
    const QCommandLineOption owner(QStringLiteral("owner"),
                                   QStringLiteral("The screen name whose commands the bot obeys."),
                                   QStringLiteral("NAME"));
    const QCommandLineOption tocVersion(
        QStringLiteral("toc-version"),
        QStringLiteral("The TOC dialect: 1 for the servers run today, 2 for TOC2 servers, auto for TOC2 and then "
                       "TOC1 if the server hangs up on it (default: the per-user store's, else auto)."),
        QStringLiteral("1|2|auto"));
    const QCommandLineOption prefix(
        QStringLiteral("prefix"),
        QStringLiteral("Only your lines that begin with TEXT are commands, taken without it; the rest is chat "
                       "(this run only; default: the per-user store's, else none)."),
        QStringLiteral("TEXT"));
    parser.addOptions({prefix, headless, screenName, bot, tocServer, passwordFile, password, room, exchange, authorizer,
                       owner, tocVersion});
    // Parsed here rather than by process(), which ends a wrong command line
    // with status 1.
    if (!parser.parse(app.arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all")))
        return CommandLineExit {0, parser.helpText(), {}};
    if (parser.isSet(version)) {
        return CommandLineExit {
            0, QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n', {}};
    }
    if (const QStringList extra = parser.positionalArguments(); !extra.isEmpty())
        return usageError(QStringLiteral("unexpected argument \"%1\"").arg(extra.constFirst()));
    // Before anything reads a file.
    if (parser.isSet(profile) && !selectProfile(parser.value(profile)))
        return usageError(QStringLiteral("--profile takes a plain name of letters, digits, \"_\", \"@\", \".\" and "
                                         "\"-\", starting with neither \".\" nor \"-\""));

    CommandLine options;
    options.headless = parser.isSet(headless);
    options.gui = parser.isSet(gui);
    if (options.gui && (options.headless || parser.isSet(bot)))
        return usageError(QStringLiteral("--gui cannot go with --headless or --bot"));
    if (parser.isSet(roomOutput)) {
        const QString form = parser.value(roomOutput);
        if (form != QLatin1String("raw") && form != QLatin1String("text"))
            return usageError(QStringLiteral("--room-output takes raw or text"));
        if (parser.isSet(bot))
            return usageError(QStringLiteral("--room-output needs the local room, not --bot"));
        options.roomOutput = form == QLatin1String("raw") ? TerminalRoom::Form::Raw : TerminalRoom::Form::Text;
    }
    options.bot = parser.isSet(bot);
    if (parser.isSet(prefix)) {
        options.prefix = parser.value(prefix);
        const QString problem = CommandInterpreter::prefixProblem(*options.prefix);
        if (!problem.isEmpty())
            return usageError(QStringLiteral("--prefix \"%1\" %2").arg(*options.prefix, problem));
    }
    const auto given = [&parser](const QCommandLineOption& option) {
        return parser.isSet(option) ? std::optional<QString>(parser.value(option)) : std::nullopt;
    };
    if (!options.bot) {
        for (const QCommandLineOption* botOnly :
             {&tocServer, &passwordFile, &password, &room, &exchange, &authorizer, &owner, &tocVersion}) {
            if (parser.isSet(*botOnly))
                return usageError(QStringLiteral("--%1 needs --bot").arg(botOnly->names().constFirst()));
        }
        options.screenName = parser.isSet(screenName) ? parser.value(screenName) : LocalRoom::loginName();
        return options;
    }

    if (parser.isSet(password)) {
        qCWarning(lcMain) << "quillon: warning: --password shows the password to every user of this machine (ps, "
                             "/proc); use --password-file or QUILLON_TOC_PASSWORD instead";
    }
    const BotOptions botOptions {given(screenName), given(room),       given(exchange),
                                 given(owner),      given(password),   given(passwordFile),
                                 given(tocServer),  given(authorizer), given(tocVersion)};
    auto resolved = resolveBotSettings(botOptions, QProcessEnvironment::systemEnvironment());
    if (const auto* error = std::get_if<UsageError>(&resolved))
        return usageError(error->message, error->exitStatus);
    if (parser.isSet(passwordFile)) {
        if (const auto warning = passwordFileWarning(parser.value(passwordFile)))
            qCWarning(lcMain).noquote().nospace() << "quillon: " << *warning;
    }
    options.botSettings = std::get<HeadlessBotSettings>(std::move(resolved));
    return options;
}

// The desktop's media keys and player widgets drive the player through the
// owner's commands; without a session bus there are none, and nothing is said.
std::unique_ptr<Mpris> publishMpris(MainForm& form, std::function<void()> raise = {})
{
    auto mpris = Mpris::publish({form.mediaPlayer, form.library.playlist(), form.options.autoRandom,
                                 [&form](const QString& command) { form.interpreter.obey(command); },
                                 [&form] { form.playSelected(); }, std::move(raise), [&form] { form.shutDown(); },
                                 [&form](const QString& location) {
                                     const QString name = form.library.addEntry(location);
                                     if (!name.isEmpty())
                                         form.player.playSong(name);
                                     return !name.isEmpty();
                                 },
                                 [&form](int percent) { form.player.setVolume(percent); }});
    if (mpris)
        QObject::connect(&form.player, &Player::volumeChanged, mpris.get(), &Mpris::volumeChanged);
    return mpris;
}

// One running program writes a set of files. The exit status when this
// one must not run: 2, or 0 when the running one's window was brought to
// the front instead. A lock that cannot be made at all (a folder that takes
// no file) is said, and the run goes on: its saves will say the rest.
std::optional<int> refuseSecondCopy(FilesLock& lock, bool windows)
{
    const FilesLock::Result result = lock.acquire();
    if (result == FilesLock::Result::Held)
        return std::nullopt;
    if (result == FilesLock::Result::CannotLock) {
        qCWarning(lcMain).noquote().nospace() << "quillon: warning: " << lock.problem();
        return std::nullopt;
    }
    if (windows && raiseRunningCopy(lock.holderPid()))
        return 0;
    const QString text = lock.problem() + QStringLiteral("; not starting a second one");
    qCCritical(lcMain).noquote().nospace() << "quillon: " << text;
    if (windows)
        QMessageBox::critical(nullptr, QStringLiteral("Quillon"), text);
    return 2;
}

void usePrefix(MainForm& form, const CommandLine& options)
{
    if (options.prefix)
        form.interpreter.setPrefix(*options.prefix);
}

int runHeadless(QCoreApplication& app, const CommandLine& options)
{
    const AppPaths paths = AppPaths::standard();
    FilesLock lock(paths);
    if (const auto refused = refuseSecondCopy(lock, false))
        return *refused;
    DesktopWindows desktop;
    // The local room is this terminal: what is typed is said in the room,
    // and what the program posts there is printed.
    const std::unique_ptr<LocalRoom> room = openOwnRoom(desktop, options.screenName);
    if (room)
        TerminalRoom::show(*room, stdout, TerminalRoom::choose(options.roomOutput));
    MpvPlayer player;
    HeadlessFrontEnd frontEnd;
    if (room)
        QObject::connect(&frontEnd, &HeadlessFrontEnd::lineRead, room.get(), &LocalRoom::typeLine);
    MainForm form(paths, desktop, player, frontEnd);
    if (room)
        form.scanner.listenTo(*room);
    usePrefix(form, options);
    const auto mpris = publishMpris(form);
    form.startUp();
    frontEnd.attach(form);
    return app.exec();
}

int runBot(QCoreApplication& app, const CommandLine& options)
{
    // The room is on the TOC server; no chat window is read or written, and
    // standard input is left alone: a service has none worth reading.
    // The bot logs every step and failure of the connection itself, once;
    // the client's own debug lines would repeat them (QT_LOGGING_RULES can
    // still bring them back).
    QLoggingCategory::setFilterRules(QStringLiteral("quillon.toc.debug=false"));
    const AppPaths paths = AppPaths::standard();
    FilesLock lock(paths);
    if (const auto refused = refuseSecondCopy(lock, false))
        return *refused;
    DesktopWindows desktop;
    MpvPlayer player;
    HeadlessFrontEnd frontEnd;
    MainForm form(paths, desktop, player, frontEnd);
    usePrefix(form, options);
    const auto mpris = publishMpris(form);
    form.startUp();
    HeadlessBot bot(form.options.useBot, form.botMode, form.toc, options.botSettings);
    QObject::connect(&bot, &HeadlessBot::signOnRefused, &form, &MainForm::shutDown);
    frontEnd.attach(form, HeadlessFrontEnd::Input::Ignored);
    bot.start();
    const int status = app.exec();
    return bot.exitStatus() != 0 ? bot.exitStatus() : status;
}

int runGui(QApplication& app, const CommandLine& options)
{
    const AppPaths paths = AppPaths::standard();
    FilesLock lock(paths);
    if (const auto refused = refuseSecondCopy(lock, true))
        return *refused;
    DesktopWindows desktop;
    // With no chat client beside it, the program serves a room of its own.
    const std::unique_ptr<LocalRoom> room = openOwnRoom(desktop, options.screenName);
    MpvPlayer player;
    // The main window is the form's user interface, so it exists before the
    // form; it shows the form's state, so it is owned from after the form's
    // declaration and closes before the form goes.
    auto* const mainWindow = new MainWindow;
    MainForm form(paths, desktop, player, *mainWindow);
    const std::unique_ptr<MainWindow> window(mainWindow);
    if (room)
        form.scanner.listenTo(*room);
    usePrefix(form, options);
    window->attach(form);
    StopSignals stop;
    QObject::connect(&stop, &StopSignals::received, &form, &MainForm::shutDown);
    const std::unique_ptr<LocalRoomWindow> roomWindow = room ? std::make_unique<LocalRoomWindow>(*room) : nullptr;
    window->placeBeside(roomWindow.get());
    window->show();
    if (roomWindow)
        roomWindow->show();
    const auto mpris = publishMpris(form, [&form] { form.showWindow(); });
    form.startUp();
    return app.exec();
}

void setIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("quillon"));
    QCoreApplication::setApplicationName(QStringLiteral("quillon"));
    // --version prints the name and this text, so the licence goes with it.
    QCoreApplication::setApplicationVersion(
        QStringLiteral(QUILLON_VERSION "\nLicence: " QUILLON_LICENSE " <https://www.gnu.org/licenses/gpl-3.0.html>\n"
                                       "This is free software: you are free to change and redistribute it.\n"
                                       "There is NO WARRANTY, to the extent permitted by law."));
}

// Help and the version on stdout; a wrong command line on stderr.
int endBeforeStart(const CommandLineExit& exit)
{
    if (!exit.error.isEmpty())
        qCCritical(lcMain).noquote().nospace() << exit.error;
    const QByteArray output = exit.output.toLocal8Bit();
    std::fwrite(output.constData(), 1, std::size_t(output.size()), stdout);
    std::fflush(stdout);
    return exit.status;
}

}  // namespace

int main(int argc, char** argv)
{
    installLogHandler();
    AppPaths::ignoreRelativeXdgPaths();
    const bool headless = wantsHeadless(argc, argv);
    const DisplayCheck display = headless ? DisplayCheck {} : DisplayCheck::run();
    if (headless || display.state != DisplayCheck::State::Usable) {
        QCoreApplication app(argc, argv);
        setIdentity();
        const auto parsed = parseOptions(app);
        if (const auto* exit = std::get_if<CommandLineExit>(&parsed))
            return endBeforeStart(*exit);
        const CommandLine& options = std::get<CommandLine>(parsed);
        if (options.gui) {
            qCCritical(lcMain).noquote().nospace() << "quillon: --gui: " << display.reason;
            return 2;
        }
        if (display.state == DisplayCheck::State::Broken)
            qCWarning(lcMain).noquote().nospace()
                << "quillon: " << display.reason << "; the room runs in this terminal";
        return options.bot ? runBot(app, options) : runHeadless(app, options);
    }
    QApplication app(argc, argv);
    setIdentity();
    const auto parsed = parseOptions(app);
    if (const auto* exit = std::get_if<CommandLineExit>(&parsed))
        return endBeforeStart(*exit);
    QApplication::setQuitOnLastWindowClosed(false);
    // Ties the windows to the menu entry and its icon on Wayland.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quillon.Quillon"));
    return runGui(app, std::get<CommandLine>(parsed));
}
