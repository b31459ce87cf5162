#include "app/MainForm.h"

#include "app/UserInterface.h"
#include "app/UserStore.h"
#include "bot/ChatUsers.h"
#include "bot/SystemInfo.h"

const QString MainForm::kCaption = QStringLiteral("Quillon 3.2");
const QString MainForm::kUnknownOwner = QStringLiteral("       unkown        ");

MainForm::MainForm(AppPaths paths_, WindowSystem& windows_, MediaPlayer& wmp_, UserInterface& ui_, QObject* parent)
    : QObject(parent),
      txtFont(QStringLiteral("<FONT FACE=\"MS Reference Serif\"><FONT COLOR=#0080ff></u></i></b>")),
      txtPlay(QStringLiteral(
          "<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>Playing</U> <FONT COLOR=#0080ff>\u00bb<FONT COLOR=#000000> "
          "<U></FONT><FONT COLOR=#0080c0>%s</U> <FONT COLOR=#0080ff >\u00bb<FONT COLOR=#000000> <U><FONT "
          "COLOR=#0080c0><u>%n</u><FONT COLOR=#000000><FONT COLOR=#0080ff>")),
      txtPlaying(QStringLiteral("P</b>laying [%s]")),
      txtIgnore(QStringLiteral("<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>Ignored</U> <FONT "
                               "COLOR=#0080ff>\u00bb<FONT COLOR=#000000> <U></FONT><FONT COLOR=#0080c0>%p")),
      txtUnignore(QStringLiteral("<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>UnIgnored</U> <FONT "
                                 "COLOR=#0080ff>\u00bb<FONT COLOR=#000000> <U></FONT><FONT COLOR=#0080c0>%p")),
      txtLoads(QStringLiteral("1")),
      txtNum(QStringLiteral("0")),
      txtSec(QStringLiteral("0")),
      txtMin(QStringLiteral("0")),
      txtURL(QStringLiteral("\u00bb <u>Playing</u> \u00bb <u>URL</u>")),
      txtafont(QStringLiteral("</font>")),
      botSN(QStringLiteral("bot name")),
      botPW(QStringLiteral("bot pass")),
      txtChat(QStringLiteral("Chat")),
      txtEx(QStringLiteral("4")),
      chkSky(QStringLiteral("Use Sky Skin"), 1),
      chkScan(QStringLiteral("Chat Scan"), 1),
      chkBot(QStringLiteral("Use TOC bot"), 0),
      chkChat(QStringLiteral("Chat Send"), 1),
      chkSendAOL(QStringLiteral("Send On AOL"), 0),
      chkenabled(QStringLiteral("Auto Random"), 0),
      chkTime(QStringLiteral("Check1"), 0),
      music(QStringLiteral("music"), 0),
      labTime(QStringLiteral("00:00")),
      labFile(QStringLiteral("singer - song")),
      lblbitrate(QStringLiteral("0")),
      lblKhz(QStringLiteral("0")),
      lblmode(QStringLiteral("mono")),
      lbuser(kUnknownOwner),
      labToc(QStringLiteral("Waiting")),
      skinButton6(QStringLiteral("Signon")),
      windows(windows_),
      wmp(wmp_),
      ui(ui_),
      paths(std::move(paths_)),
      library(*this),
      settings(*this),
      player(*this),
      chat1(*this),
      frmSong(*this),
      discovery(*this),
      interpreter(*this),
      frmChat(*this)
{
    connect(&chat1, &ChatScanner::aimchatscan, this,
            [this](const QString& whosaid, const QString& whatsaid, const QString& datesaid) {
                interpreter.chat1_aimchatscan(whosaid, whatsaid, datesaid);
            });
}

MainForm::~MainForm() = default;

QString MainForm::webAddress()
{
    return GetSetting(QStringLiteral("quillon"), QStringLiteral("webaddress"),
                      QStringLiteral("http://quillon.example.org"));
}

void MainForm::post(const QString& text)
{
    chat1.SendChat(txtFont.text() + text);
}

void MainForm::Form_Load()
{
    // The file dialog's flags belong to the window that shows it.

    // The chat client's input box wraps what is typed in its own HTML; the
    // part before the typed letter tells the tail that closes it.
    const QString inputHtml = chat1.ProbeInputFormat();
    if (!inputHtml.isEmpty())
        txtafont.setText(inputHtml.section(QStringLiteral(">l"), 0, 0) + u'>');

    const QString loaded = GetSetting(QStringLiteral("quillon"), QStringLiteral("loaded"));
    if (loaded.isEmpty() || loaded.toDouble() == 0)
        SaveSetting(QStringLiteral("quillon"), QStringLiteral("loaded"), QStringLiteral("1"));

    txtNumber.setText(QStringLiteral("kkk"));
    ui.addTrayIcon();
    chat1.scan_on();

    library.load();
    settings.load();
    library.addSongs();
    GetChatUsers(windows, lstusers);
    settings.applyAtStartUp();

    QString loads = txtLoads.text();
    QString files = QString::number(List1.count());
    post(QStringLiteral("quillon\u00b3\u00b7\u00b2 <i>(</i> ") + webAddress() + QStringLiteral(" <i>) loads: ")
         + numWor(loads) + QStringLiteral(" ; files: ") + numWor(files));
}

void MainForm::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    ui.removeTrayIcon();
    library.save();
    settings.save();
    ui.closeForm(UserInterface::Form::Chat);
    post(QStringLiteral("<i>(</i> quillon\u00b3\u00b7\u00b2 <i>) unloaded."));
    closingAnimation();
    player.stopTimers();
    discovery.Timer2.stop();
    chat1.scan_off();
    // The server sees the bot leave instead of a connection dropped by the
    // process's end; the line above has gone out by then.
    botMode.reconnect.stop();
    if (toc.state() != MarlTOCSock::State::Disconnected)
        toc.LogOff();
    ui.endProgram();
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

void MainForm::clearList_Click()
{
    post(QStringLiteral("</b></i>playlist cleared"));
    library.clear();
}

void MainForm::minimize_Click()
{
    ui.minimizeMainWindow();
}

void MainForm::about_Click()
{
    ui.showForm(UserInterface::Form::About);
}

void MainForm::chatSends_Click()
{
    ui.showForm(UserInterface::Form::Chat);
}

void MainForm::commands_Click()
{
    ui.showForm(UserInterface::Form::Commands);
}

void MainForm::addFiles_Click()
{
    library.AddDir(ui.inputBox(QStringLiteral("Enter Directory"), QStringLiteral("DIR"), QString()));
}

void MainForm::addf_Click()
{
    ui.showForm(UserInterface::Form::Dir);
}

void MainForm::add1_Click()
{
    // Only shows the chosen file; nothing is added to the playlist.
    const QString file = ui.openFileName();
    if (!file.isEmpty())
        ui.messageBox(file);
}

void MainForm::xplay_Click()
{
    player.Play(List1.text());
}

void MainForm::rem_Click()
{
    library.remove(List1.listIndex());
}

void MainForm::miny_Click()
{
    ui.minimizeMainWindow();
}

void MainForm::mnuHide_Click()
{
    ui.hideMainWindow();
}

void MainForm::mnuShow_Click()
{
    ui.showMainWindow();
}
