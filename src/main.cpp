#include "app/AppPaths.h"
#include "app/HeadlessFrontEnd.h"
#include "app/MainForm.h"
#include "chatlink/SimDesktop.h"
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
    parser.process(app);
    Options options;
    options.headless = parser.isSet(headless);
    return options;
}

int runHeadless(QCoreApplication& app)
{
    SimDesktop desktop;
    MpvPlayer player;
    HeadlessFrontEnd frontEnd;
    MainForm form(AppPaths::standard(), desktop, player, frontEnd);
    form.Form_Load();
    frontEnd.attach(form);
    return app.exec();
}

int runGui(QApplication& app)
{
    SimDesktop desktop;
    MpvPlayer player;
    MainWindow window;
    MainForm form(AppPaths::standard(), desktop, player, window);
    window.attach(form);
    window.show();
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
        parseOptions(app);
        return runHeadless(app);
    }
    QApplication app(argc, argv);
    setIdentity();
    parseOptions(app);
    QApplication::setQuitOnLastWindowClosed(false);
    return runGui(app);
}
