#include "app/AppPaths.h"
#include "app/HeadlessFrontEnd.h"
#include "app/MainForm.h"
#include "chatlink/LocalRoom.h"
#include "chatlink/SimDesktop.h"
#include "gui/LocalRoomWindow.h"
#include "gui/MainWindow.h"
#include "player/MpvPlayer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
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
        if (std::strcmp(argv[i], "--headless") == 0)
            return true;
    }
    return !hasDisplay();
}

struct Options {
    bool headless = false;
    QString screenName;
};

Options parseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quillon plays your music and serves a chat room: it obeys the commands you type there\n"
                       "and announces what is playing."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption headless(QStringLiteral("headless"),
                                      QStringLiteral("Run without windows; the local room is this terminal."));
    parser.addOption(headless);
    const QCommandLineOption screenName(QStringLiteral("screen-name"),
                                        QStringLiteral("Your screen name in the local room (default: your login name)."),
                                        QStringLiteral("NAME"));
    parser.addOption(screenName);
    parser.process(app);
    Options options;
    options.headless = parser.isSet(headless);
    options.screenName = parser.isSet(screenName) ? parser.value(screenName) : LocalRoom::loginName();
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
    if (wantsHeadless(argc, argv)) {
        QCoreApplication app(argc, argv);
        setIdentity();
        return runHeadless(app, parseOptions(app));
    }
    QApplication app(argc, argv);
    setIdentity();
    const Options options = parseOptions(app);
    QApplication::setQuitOnLastWindowClosed(false);
    return runGui(app, options);
}
