#include "gui/MainWindow.h"

#include "app/MainForm.h"
#include "controls/SkinButton.h"
#include "gui/AboutWindow.h"
#include "gui/Binding.h"
#include "gui/ChatSendsWindow.h"
#include "gui/DirPickerWindow.h"
#include "gui/SongPickerWindow.h"
#include "gui/WindowPlacement.h"
#include "player/MediaPlayer.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QVBoxLayout>

namespace {

// Twips are the form's unit of length: 15 to a pixel on a 96 dpi screen.
constexpr int kTwipsPerPixel = 15;
constexpr int kInputBoxWidth = 560;

QPushButton* button(const QString& caption, QWidget* parent, std::function<void()> onClick)
{
    auto* b = new QPushButton(caption, parent);
    QObject::connect(b, &QPushButton::clicked, parent, std::move(onClick));
    return b;
}

}  // namespace

QIcon MainWindow::programIcon()
{
    return QIcon(QStringLiteral(":/icons/org.quillon.Quillon.svg"));
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(MainForm::kCaption);
    // Every window of the program, the Local Room's too, shows it.
    QApplication::setWindowIcon(programIcon());
}

MainWindow::~MainWindow() = default;

void MainWindow::attach(MainForm& form)
{
    m_form = &form;
    buildMenus();
    // Said where the person at the window looks, and kept there.
    connect(&form.wmp, &MediaPlayer::noSoundOutput, this,
            [this](const QString& why) { statusBar()->showMessage(why); });

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Image3"));
    auto* columns = new QHBoxLayout(central);
    auto* left = new QVBoxLayout;
    left->addWidget(buildPlaylist());
    left->addWidget(buildBotPanel());
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(buildStatus());
    right->addWidget(buildSwitches());
    right->addWidget(buildButtons());
    right->addStretch(1);
    columns->addLayout(left, 3);
    columns->addLayout(right, 2);
    setCentralWidget(central);

    // Image3, the sky background, shows exactly while "Use Sky Skin" is on.
    auto showSky = [central](int on) {
        central->setStyleSheet(on ? QStringLiteral("#Image3 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                                                   "stop:0 #6fb7ff, stop:1 #e6f3ff); }")
                                  : QString());
    };
    showSky(form.chkSky.value());
    connect(&form.chkSky, &CheckBox::valueChanged, this, showSky);
    resize(640, 480);
}

QWidget* MainWindow::buildPlaylist()
{
    m_playlist = new QListView(this);
    m_playlist->setModel(&m_form->List1);
    m_playlist->setUniformItemSizes(true);  // keeps 30,000 rows fast
    m_playlist->setContextMenuPolicy(Qt::CustomContextMenu);
    // The list ends above the bot panel while bot mode is on.
    auto followHeight = [this](int twips) { m_playlist->setFixedHeight(twips / kTwipsPerPixel); };
    followHeight(m_form->List1Height.value());
    connect(&m_form->List1Height, &TwipsField::valueChanged, this, followHeight);
    connect(m_playlist->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { m_form->List1.setListIndex(current.isValid() ? current.row() : -1); });
    connect(&m_form->List1, &ListBox::listIndexChanged, this, [this](int index) {
        const QModelIndex row = m_form->List1.index(index);
        if (m_playlist->currentIndex() != row)
            m_playlist->setCurrentIndex(row);
    });
    // Any button pressed on the list opens the playlist menu.
    connect(m_playlist, &QListView::customContextMenuRequested, this,
            [this](const QPoint& at) { m_playlistMenu->popup(m_playlist->viewport()->mapToGlobal(at)); });
    connect(m_playlist, &QListView::clicked, this, [this] { m_playlistMenu->popup(QCursor::pos()); });
    return m_playlist;
}

QWidget* MainWindow::buildStatus()
{
    auto* box = new QGroupBox(this);
    auto* layout = new QFormLayout(box);
    auto row = [&](const QString& caption, Label& label) {
        auto* value = new QLabel(box);
        bindView(value, label);
        layout->addRow(caption, value);
    };
    row(QStringLiteral("Time:"), m_form->labTime);
    row(QStringLiteral("File:"), m_form->labFile);
    row(QStringLiteral("Bitrate:"), m_form->lblbitrate);
    row(QStringLiteral("Khz:"), m_form->lblKhz);
    row(QStringLiteral("Audio:"), m_form->lblmode);
    row(QStringLiteral("User:"), m_form->lbuser);
    return box;
}

QWidget* MainWindow::buildSwitches()
{
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto add = [&](
                   CheckBox& check, std::function<void()> onClick = [] {}) {
        auto* widget = new QCheckBox(box);
        bindView(widget, check, std::move(onClick));
        layout->addWidget(widget);
    };
    MainForm& f = *m_form;
    add(f.chkSky);
    add(f.chkScan, [&f] { f.chat1.chkScan_Click(); });
    add(f.chkBot, [&f] { f.botMode.chkBot_Click(); });
    add(f.chkChat);
    add(f.chkSendAOL);
    add(f.chkenabled);
    return box;
}

QWidget* MainWindow::buildButtons()
{
    auto* box = new QWidget(this);
    auto* layout = new QGridLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    MainForm& f = *m_form;
    // The plain buttons that only repeat a skin button's click are left out.
    const QList<QWidget*> buttons = {
        skinButton(1, QStringLiteral("Find SN"), this, [&f] { f.discovery.FindSN_Click(); }),
        skinButton(2, QStringLiteral("Clear List"), this, [&f] { f.clearList_Click(); }),
        skinButton(3, QStringLiteral("Minimize"), this, [&f] { f.minimize_Click(); }),
        skinButton(4, QStringLiteral("About"), this, [&f] { f.about_Click(); }),
        skinButton(5, QStringLiteral("Options"), this, [this] { popupOptions(); }),
        button(QStringLiteral("Chat Sends"), this, [&f] { f.chatSends_Click(); }),
        button(QStringLiteral("Add Files"), this, [&f] { f.addFiles_Click(); }),
        button(QStringLiteral("Commands"), this, [&f] { f.commands_Click(); }),
    };
    for (int i = 0; i < buttons.size(); ++i)
        layout->addWidget(buttons[i], i / 2, i % 2);
    return box;
}

QWidget* MainWindow::buildBotPanel()
{
    auto* panel = new QGroupBox(QStringLiteral("TOC Bot"), this);
    auto* layout = new QGridLayout(panel);
    auto edit = [panel](TextField& field, bool secret = false) {
        auto* e = new QLineEdit(panel);
        bindView(e, field);
        if (secret)
            e->setEchoMode(QLineEdit::Password);
        return e;
    };
    layout->addWidget(edit(m_form->botSN), 0, 0);
    layout->addWidget(edit(m_form->botPW, true), 0, 1);
    MainForm& f = *m_form;
    auto* signon = skinButton(6, QString(), panel, [&f] { f.botMode.skinButton6_Click(); });
    bindView(signon, f.skinButton6);
    layout->addWidget(signon, 0, 2);
    layout->addWidget(edit(f.txtChat), 1, 0);
    layout->addWidget(edit(f.txtEx), 1, 1);
    auto* status = new QLabel(panel);
    bindView(status, f.labToc);
    layout->addWidget(status, 1, 2);
    layout->addWidget(skinButton(7, QStringLiteral("Join"), panel, [&f] { f.botMode.skinButton7_Click(); }), 2, 0);
    layout->addWidget(skinButton(8, QStringLiteral("Part"), panel, [&f] { f.botMode.skinButton8_Click(); }), 2, 1);
    // The server shows the bot's own lines as the bot's, so in bot mode the
    // owner cannot be found in the room: it is named here.
    QLineEdit* owner = edit(f.botMode.botOwner);
    owner->setPlaceholderText(QStringLiteral("owner"));
    owner->setToolTip(QStringLiteral("The screen name whose commands the bot obeys"));
    connect(owner, &QLineEdit::textEdited, &f.botMode, &BotMode::botOwner_Change);
    layout->addWidget(owner, 2, 2);
    layout->addWidget(buildDialectChoice(panel), 3, 0, 1, 3);
    return panel;
}

// Kept in the per-user store as soon as it is chosen; the next Signon uses it.
QWidget* MainWindow::buildDialectChoice(QWidget* panel)
{
    auto* choice = new QComboBox(panel);
    choice->setToolTip(QStringLiteral("TOC1 for the servers run today, TOC2 for TOC2 servers, "
                                      "Auto for TOC2 and then TOC1 if the server hangs up on it"));
    const std::pair<TocDialect, QString> dialects[] = {{TocDialect::Toc2, QStringLiteral("TOC2")},
                                                       {TocDialect::Toc1, QStringLiteral("TOC1")},
                                                       {TocDialect::Auto, QStringLiteral("Auto")}};
    for (const auto& [dialect, name] : dialects)
        choice->addItem(name, int(dialect));
    choice->setCurrentIndex(choice->findData(int(m_form->botMode.dialect())));
    connect(choice, &QComboBox::activated, this,
            [choice](int index) { BotMode::storeDialect(TocDialect(choice->itemData(index).toInt())); });
    return choice;
}

void MainWindow::buildMenus()
{
    MainForm& f = *m_form;
    m_options = menuBar()->addMenu(QStringLiteral("Options"));
    m_options->addAction(QStringLiteral("ChatSends"), this, [&f] { f.chatSends_Click(); });
    m_options->addAction(QStringLiteral("Add Directory"), this, [&f] { f.addf_Click(); });
    m_options->addAction(QStringLiteral("Add One File"), this, [&f] { f.add1_Click(); });
    m_options->addAction(QStringLiteral("Commands"), this, [&f] { f.commands_Click(); });
    m_options->addAction(QStringLiteral("Minimize"), this, [&f] { f.miny_Click(); });
    m_options->addAction(QStringLiteral("Hide (stays in tray)"), this, [&f] { f.mnuHide_Click(); });
    m_options->addAction(QStringLiteral("Show (after hidden)"), this, [&f] { f.mnuShow_Click(); });

    m_playlistMenu = new QMenu(this);
    m_playlistMenu->addAction(QStringLiteral("Play"), this, [&f] { f.xplay_Click(); });
    m_playlistMenu->addAction(QStringLiteral("Remove"), this, [&f] { f.rem_Click(); });
}

void MainWindow::popupOptions()
{
    m_options->popup(QCursor::pos());
}

void MainWindow::messageBox(const QString& text, const QString& title, Icon icon)
{
    QMessageBox box(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    title.isEmpty() ? MainForm::kCaption : title, text, QMessageBox::Ok, this);
    box.exec();
}

void MainWindow::fileNotWritten(const QString& text)
{
    messageBox(text, QString(), Icon::Critical);
}

QString MainWindow::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    QDialog box(this);
    box.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(new QLabel(prompt, &box));
    auto* edit = new QLineEdit(defaultText, &box);
    edit->setMinimumWidth(kInputBoxWidth);  // room for a whole path
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
    connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    layout->addWidget(buttons);
    if (box.exec() != QDialog::Accepted)
        return QString();
    // An empty answer is not a cancel.
    return edit->text().isNull() ? QStringLiteral("") : edit->text();
}

QString MainWindow::openFileName()
{
    return QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("*.*"));
}

void MainWindow::addTrayIcon()
{
    if (m_tray || !QSystemTrayIcon::isSystemTrayAvailable())
        return;  // without a notification area the program runs without an icon
    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setToolTip(QStringLiteral("Quillon"));
    // Releasing the left or the right button opens the Options menu;
    // double and middle clicks do nothing.
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context)
            popupOptions();
    });
    m_tray->show();
}

void MainWindow::removeTrayIcon()
{
    delete m_tray;
    m_tray = nullptr;
}

void MainWindow::minimizeMainWindow()
{
    setWindowState(windowState() | Qt::WindowMinimized);
}

void MainWindow::hideMainWindow()
{
    hide();
}

void MainWindow::showMainWindow()
{
    // Asked for from the tray or a media-keys widget: back in front, as it was.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

QWidget* MainWindow::createForm(Form form)
{
    switch (form) {
    case Form::About:
        return new AboutWindow(this);
    case Form::Dir:
        return new DirPickerWindow(*m_form, this);
    case Form::Song:
        return new SongPickerWindow(m_form->frmSong, this);
    case Form::Chat:
        return new ChatSendsWindow(m_form->frmChat, this);
    case Form::Commands:
        return new CommandsWindow(m_form->interpreter, this);
    }
    return nullptr;
}

void MainWindow::showForm(Form form)
{
    QPointer<QWidget>& window = m_forms[form];
    if (!window)
        window = createForm(form);
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

void MainWindow::closeForm(Form form)
{
    if (QWidget* window = m_forms[form])
        window->close();
}

void MainWindow::placeBeside(QWidget* room)
{
    m_room = room;
    placeWindows(*this, room);
}

void MainWindow::keepWindowPlaces()
{
    rememberWindows(*this, m_room);
}

int MainWindow::closingGeometry() const
{
    return height() * kTwipsPerPixel;
}

void MainWindow::setClosingGeometry(int twips)
{
    resize(width(), twips / kTwipsPerPixel);
}

void MainWindow::endProgram()
{
    for (auto& [form, window] : m_forms) {
        if (window)
            window->close();
    }
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (m_form)
        m_form->Form_Unload();
}
