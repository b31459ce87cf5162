// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainForm.h"

#include "app/ListFile.h"
#include "bot/SystemInfo.h"
#include "controls/UserInterface.h"
#include "controls/UserStore.h"

#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcForm, "quillon.form")

MainForm::MainForm(AppPaths paths_, WindowSystem& windows_, MediaPlayer& mediaPlayer_, UserInterface& ui_,
                   QObject* parent)
    : QObject(parent),
      windows(windows_),
      mediaPlayer(mediaPlayer_),
      ui(ui_),
      paths(std::move(paths_)),
      scanner(options, templates, windows, ui),
      library(scanner, paths),
      settings(templates, paths),
      player(library.playlist(), templates, options.autoRandom, mediaPlayer, scanner),
      playlistFile(library.playlist(), paths.playlistFile(), ui),
      settingsFile(settings.rows(), paths.settingsFile(), ui),
      queueFile(player.queue(), paths.queueFile(), ui),
      songPicker(player, scanner, ui),
      discovery(scanner, player, ui),
      interpreter({options, templates, scanner, windows, mediaPlayer, ui, player, library, discovery}),
      chatSends(templates, settings, ui),
      botMode(options.useBot, discovery.owner(), toc, scanner, ui)
{
    // The room's lines, read from the chat window or received as the bot,
    // go to the one handler.
    const auto handle = [this](const QString& whosaid, const QString& whatsaid, const QString& datesaid) {
        interpreter.handleLine(whosaid, whatsaid, datesaid);
    };
    connect(&scanner, &ChatScanner::lineReceived, this, handle);
    connect(&botMode, &BotMode::lineReceived, this, handle);
    connect(&interpreter, &CommandInterpreter::endRequested, this, &MainForm::shutDown);

    // A line is read once the song an earlier one asked for has started.
    scanner.holdLinesWhile([this] { return player.isBusy(); });

    // Several search results are offered in the picker, or in the chat
    // where the owner sees no window: as the bot, or without windows.
    connect(&player, &Player::songsOffered, this, [this](const QStringList& names) {
        if (!options.useBot.value() && ui.showsWindows())
            return songPicker.open(names);
        player.searchResults().clear();
        interpreter.commands.offer(names);
    });

    const QString prefix = CommandInterpreter::storedPrefix();
    const QString problem = CommandInterpreter::prefixProblem(prefix);
    if (problem.isEmpty())
        interpreter.setPrefix(prefix);
    else
        qCWarning(lcForm).nospace().noquote()
            << "quillon: the command prefix \"" << prefix << "\" of [room] prefix " << problem << "; no prefix is used";

    // Bot mode follows the TOC client and takes the scanner's lines to the room.
    botMode.attachClient();
}

MainForm::~MainForm() = default;

QString MainForm::webAddress()
{
    return OwnerDiscovery::webAddress();
}

void MainForm::post(const QString& text)
{
    scanner.post(text);
}

void MainForm::startUp()
{
    // The file dialog's flags belong to the window that shows it.

    // The chat client's input box wraps what is typed in its own HTML; the
    // part before the typed letter tells the tail that closes it.
    const QString inputHtml = scanner.probeInputFormat();
    if (!inputHtml.isEmpty())
        templates.inputClose.setText(inputHtml.section(QStringLiteral(">l"), 0, 0) + u'>');

    const QString loaded = readSetting(QStringLiteral("quillon"), QStringLiteral("loaded"));
    if (loaded.isEmpty() || loaded.toDouble() == 0)
        writeSetting(QStringLiteral("quillon"), QStringLiteral("loaded"), QStringLiteral("1"));

    discovery.awaitAdvert();
    ui.addTrayIcon();
    scanner.startScanning();

    // What could not be read is not written over with what little was.
    QString problem;
    if (!library.load(&problem))
        playlistFile.keepUnread(problem);
    if (!settings.load(&problem))
        settingsFile.keepUnread(problem);
    loadQueue();
    // Loading is no change to write back; counting the start below is.
    playlistFile.markSaved();
    settingsFile.markSaved();
    queueFile.markSaved();
    interpreter.readMembers();
    settings.applyAtStartUp();

    QString loads = settings.loads();
    QString files = QString::number(library.playlist().count());
    post(OwnerDiscovery::advertLine(numWor(loads), numWor(files)));
}

void MainForm::shutDown()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    ui.removeTrayIcon();
    // Every file is tried, whatever the one before gives. An empty queue
    // that never had a file needs none.
    const bool queueKept
        = player.queue().count() == 0 && !QFileInfo::exists(paths.queueFile()) ? true : queueFile.save();
    const bool playlistKept = playlistFile.save();
    const bool settingsKept = settingsFile.save();
    m_filesWritten = playlistKept && settingsKept && queueKept;
    ui.closeForm(UserInterface::Form::Chat);
    botMode.closing();
    post(QStringLiteral("<i>(</i> ") + OwnerDiscovery::kProgramMark + QStringLiteral(" <i>) unloaded."));
    ui.keepWindowPlaces();
    closingAnimation();
    player.shutdown();
    interpreter.shutdown();
    discovery.shutdown();
    scanner.shutdown();
    // The server sees the bot leave instead of a connection dropped by the
    // process's end; the line above has gone out by then.
    botMode.reconnect.stop();
    toc.shutdown();
    ui.endProgram();
}

void MainForm::loadQueue()
{
    const QFileInfo file(paths.queueFile());
    if (!file.exists() && !file.isSymLink())
        return;
    // A huge file would fill the memory.
    if (file.isFile() && file.size() > kQueueFileMax) {
        qCWarning(lcForm).nospace().noquote()
            << "quillon: " << paths.queueFile() << " is not a queue (over 1 MiB); the queue starts empty";
        return;
    }
    TextList read;
    QString problem;
    if (!loadListFile(paths.queueFile(), read, &problem)) {
        queueFile.keepUnread(problem);
        return;
    }
    // What a file garbled by hand holds beyond songs of the playlist, or
    // beyond a queue's worth of them, is no queue.
    QStringList songs = read.items();
    songs.removeIf([this](const QString& name) { return !player.hasSong(name); });
    player.queue().addItems(songs.mid(0, Player::kQueueSize));
}

void MainForm::closingAnimation()
{
    // The window grows in steps of 100 twips until it passes 8500. The next
    // value is taken from what was asked, not read back, so a window manager
    // that refuses the size cannot keep the loop going; the step count
    // bounds it for a window that starts very small.
    int value = ui.closingGeometry();
    for (int steps = 0; value <= 8500 && steps < 100; ++steps) {
        value += 100;
        ui.setClosingGeometry(value);
    }
}

void MainForm::clearPlaylist()
{
    post(QStringLiteral("</b></i>playlist cleared"));
    library.clear();
}

void MainForm::minimize()
{
    ui.minimizeMainWindow();
}

void MainForm::showAbout()
{
    ui.showForm(UserInterface::Form::About);
}

void MainForm::showChatSends()
{
    ui.showForm(UserInterface::Form::Chat);
}

void MainForm::showCommands()
{
    ui.showForm(UserInterface::Form::Commands);
}

void MainForm::addFolderOrStream()
{
    ui.inputBox(QStringLiteral("Enter Directory"), QStringLiteral("DIR"), QString(), [this](const QString& dir) {
        if (dir.isNull())  // Cancel adds nothing and has nothing to report
            return;
        // The same box takes a radio station's address.
        if (!isStreamAddress(dir))
            library.addFolder(dir);
        else if (library.addEntry(dir).isEmpty())
            ui.messageBox(QStringLiteral("Not a stream address: ") + dir.trimmed());
    });
}

void MainForm::showFolderPicker()
{
    ui.showForm(UserInterface::Form::Dir);
}

void MainForm::showChosenFile()
{
    // Only shows the chosen file; nothing is added to the playlist.
    ui.openFileName([this](const QString& file) {
        if (!file.isEmpty())
            ui.messageBox(file);
    });
}

void MainForm::playSelected()
{
    player.playSong(library.playlist().selectedName());
}

void MainForm::removeSelected()
{
    library.remove(library.playlist().selectedRow());
}

void MainForm::hideWindow()
{
    ui.hideMainWindow();
}

void MainForm::showWindow()
{
    ui.showMainWindow();
}
