// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/MainWindow.h"

#include "app/MainForm.h"
#include "controls/ProgramCaption.h"
#include "controls/SkinButton.h"
#include "gui/AboutWindow.h"
#include "gui/Binding.h"
#include "gui/ChatSendsWindow.h"
#include "gui/DirPickerWindow.h"
#include "gui/Elided.h"
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
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Twips are the form's unit of length: 15 to a pixel on a 96 dpi screen.
constexpr int kTwipsPerPixel = 15;
constexpr int kInputBoxWidth = 560;
// The bot panel's fields show a screen name of this many characters.
constexpr int kFieldChars = 10;
// The playlist never shrinks below this many rows of this many characters.
constexpr int kFewestRows = 4;
constexpr int kFewestChars = 16;

QPushButton* button(const QString& caption, QWidget* parent, std::function<void()> onClick)
{
    auto* b = new QPushButton(caption, parent);
    b->setAutoDefault(true);  // Return presses it while it has the focus, as it does a skin button
    QObject::connect(b, &QPushButton::clicked, parent, std::move(onClick));
    return b;
}

// The controls of one grid get one height, and its columns one width, so
// that skin buttons and plain ones line up whatever the style.
void evenOut(QGridLayout* grid, const QList<QWidget*>& controls)
{
    int height = 0, width = 0;
    for (const QWidget* w : controls) {
        height = std::max(height, w->sizeHint().height());
        width = std::max(width, w->minimumSizeHint().width());
    }
    for (QWidget* w : controls) {
        w->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        w->setFixedHeight(height);
    }
    for (int column = 0; column < grid->columnCount(); ++column) {
        grid->setColumnMinimumWidth(column, width);
        grid->setColumnStretch(column, 1);
    }
}

}  // namespace

QIcon MainWindow::programIcon()
{
    return QIcon(QStringLiteral(":/icons/org.quillon.Quillon.svg"));
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(programCaption());
    // Every window of the program, the Local Room's too, shows it.
    QApplication::setWindowIcon(programIcon());
}

MainWindow::~MainWindow() = default;

void MainWindow::attach(MainForm& form)
{
    m_form = &form;
    buildMenus();
    // Said where the person at the window looks, and kept there.
    connect(&form.mediaPlayer, &MediaPlayer::noSoundOutput, this,
            [this](const QString& why) { statusBar()->showMessage(why); });

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("sky"));
    auto* columns = new QHBoxLayout(central);
    // The playlist takes the spare height; the bot panel keeps a place of
    // its own below it, in either mode.
    auto* left = new QVBoxLayout;
    left->addWidget(buildPlaylist(), 1);
    left->addWidget(buildBotPanel());
    auto* right = new QVBoxLayout;
    right->addWidget(buildStatus());
    right->addWidget(buildSwitches());
    right->addWidget(buildButtons());
    right->addStretch(1);
    columns->addLayout(left, 3);
    columns->addLayout(right, 2);
    setCentralWidget(central);
    // Tab goes down the left column, then down the right one.
    for (qsizetype i = 1; i < m_readingOrder.size(); ++i)
        setTabOrder(m_readingOrder[i - 1], m_readingOrder[i]);
    m_readingOrder.clear();

    // The sky background shows exactly while "Use Sky Skin" is on.
    auto showSky = [central](int on) {
        central->setStyleSheet(on ? QStringLiteral("#sky { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                                                   "stop:0 #6fb7ff, stop:1 #e6f3ff); }")
                                  : QString());
    };
    showSky(form.options.skySkin.value());
    connect(&form.options.skySkin, &BoolValue::valueChanged, this, showSky);
    resize(640, 480);
}

QWidget* MainWindow::buildPlaylist()
{
    m_playlist = new QListView(this);
    m_readingOrder.append(m_playlist);
    m_playlist->setModel(&m_form->library.playlist());
    m_playlist->setUniformItemSizes(true);  // keeps 30,000 rows fast
    elideLongRows(m_playlist);
    keepRoomFor(m_playlist, kFewestChars, kFewestRows);
    m_playlist->setContextMenuPolicy(Qt::CustomContextMenu);
    m_playlist->installEventFilter(this);
    connect(m_playlist->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                m_form->library.playlist().selectRow(current.isValid() ? current.row() : -1);
            });
    connect(&m_form->library.playlist(), &TextList::selectedRowChanged, this, [this](int index) {
        const QModelIndex row = m_form->library.playlist().index(index);
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
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    auto row = [&](const QString& caption, TextValue& label) {
        auto* value = new ElidedLabel(box);
        bindView(value, label);
        layout->addRow(caption, value);
    };
    NowPlaying& playing = m_form->player.nowPlaying();
    row(QStringLiteral("Time:"), playing.time);
    row(QStringLiteral("File:"), playing.file);
    row(QStringLiteral("Bitrate:"), playing.bitRate);
    row(QStringLiteral("Khz:"), playing.frequency);
    row(QStringLiteral("Audio:"), playing.mode);
    row(QStringLiteral("User:"), m_form->discovery.owner());
    return box;
}

QWidget* MainWindow::buildSwitches()
{
    // Two columns keep the window short enough for a small screen.
    auto* box = new QWidget(this);
    auto* layout = new QGridLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto add = [&](
                   const QString& caption, BoolValue& check, std::function<void()> onClick = [] {}) {
        auto* widget = new QCheckBox(caption, box);
        bindView(widget, check, std::move(onClick));
        const int at = layout->count();
        layout->addWidget(widget, at / 2, at % 2);
        m_readingOrder.append(widget);
    };
    MainForm& f = *m_form;
    add(QStringLiteral("Use Sky Skin"), f.options.skySkin);
    add(QStringLiteral("Chat Scan"), f.options.scanChat, [&f] { f.scanner.onScanChatClicked(); });
    add(QStringLiteral("Use TOC bot"), f.options.useBot, [&f] { f.botMode.onUseBotClicked(); });
    add(QStringLiteral("Chat Send"), f.options.chatSend);
    add(QStringLiteral("Send On AOL"), f.options.sendOnAol);
    add(QStringLiteral("Auto Random"), f.options.autoRandom);
    return box;
}

QWidget* MainWindow::buildButtons()
{
    auto* box = new QWidget(this);
    auto* layout = new QGridLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    MainForm& f = *m_form;
    // The plain buttons that only repeat a skin button's click are left out.
    SkinButton* options = skinButton(QStringLiteral("options"), QStringLiteral("Options"), box, [] {});
    connect(options, &SkinButton::clicked, this, [this, options] { popupOptions(options); });
    const QList<QWidget*> buttons = {
        skinButton(QStringLiteral("findOwner"), QStringLiteral("Find SN"), box, [&f] { f.discovery.findOwner(); }),
        skinButton(QStringLiteral("clearList"), QStringLiteral("Clear List"), box, [&f] { f.clearPlaylist(); }),
        skinButton(QStringLiteral("minimize"), QStringLiteral("Minimize"), box, [&f] { f.minimize(); }),
        skinButton(QStringLiteral("about"), QStringLiteral("About"), box, [&f] { f.showAbout(); }),
        options,
        button(QStringLiteral("Chat Sends"), box, [&f] { f.showChatSends(); }),
        button(QStringLiteral("Add Files"), box, [&f] { f.addFolderOrStream(); }),
        button(QStringLiteral("Commands"), box, [&f] { f.showCommands(); }),
    };
    for (int i = 0; i < buttons.size(); ++i)
        layout->addWidget(buttons[i], i / 2, i % 2);
    evenOut(layout, buttons);
    m_readingOrder.append(buttons);
    return box;
}

QWidget* MainWindow::buildBotPanel()
{
    auto* panel = new QGroupBox(QStringLiteral("TOC Bot"), this);
    auto* layout = new QGridLayout(panel);
    auto edit = [panel](TextValue& field, bool secret = false) {
        auto* e = new QLineEdit(panel);
        bindView(e, field);
        if (secret)
            e->setEchoMode(QLineEdit::Password);
        // The text's room, and the style's frame (about 8 pixels) around it.
        const QMargins frame = e->textMargins() + e->contentsMargins();
        e->setMinimumWidth(e->fontMetrics().averageCharWidth() * kFieldChars + frame.left() + frame.right() + 8);
        return e;
    };
    MainForm& f = *m_form;
    auto* signon = skinButton(QStringLiteral("signOn"), QString(), panel, [&f] { f.botMode.onSignOnClicked(); });
    const auto showSession = [signon](BotMode::Session session) {
        signon->setText(session == BotMode::Session::SignedOn ? QStringLiteral("Logoff") : QStringLiteral("Signon"));
    };
    showSession(f.botMode.session());
    connect(&f.botMode, &BotMode::sessionChanged, signon, showSession);
    // The server shows the bot's own lines as the bot's, so in bot mode the
    // owner cannot be found in the room: it is named here.
    QLineEdit* owner = edit(f.botMode.namedOwner);
    owner->setPlaceholderText(QStringLiteral("owner"));
    owner->setToolTip(QStringLiteral("The screen name whose commands the bot obeys"));
    connect(owner, &QLineEdit::textEdited, &f.botMode, &BotMode::onOwnerEdited);
    auto* status = new ElidedLabel(panel);
    bindView(status, f.botMode.status);
    const QList<QWidget*> controls = {
        edit(f.botMode.account.screenName),
        edit(f.botMode.account.password, true),
        signon,
        edit(f.botMode.account.room),
        edit(f.botMode.account.exchange),
        skinButton(QStringLiteral("join"), QStringLiteral("Join"), panel, [&f] { f.botMode.join(); }),
        skinButton(QStringLiteral("part"), QStringLiteral("Part"), panel, [&f] { f.botMode.part(); }),
        owner,
    };
    for (int i = 0; i < 5; ++i)
        layout->addWidget(controls[i], i / 3, i % 3);
    layout->addWidget(status, 1, 2);
    for (int i = 5; i < controls.size(); ++i)
        layout->addWidget(controls[i], 2, i - 5);
    evenOut(layout, controls);
    m_readingOrder.append(controls);
    QWidget* dialect = buildDialectChoice(panel);
    m_readingOrder.append(dialect);
    layout->addWidget(dialect, 3, 0, 1, 3);
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
    m_options->addAction(QStringLiteral("ChatSends"), this, [&f] { f.showChatSends(); });
    m_options->addAction(QStringLiteral("Add Directory"), this, [&f] { f.showFolderPicker(); });
    m_options->addAction(QStringLiteral("Add One File"), this, [&f] { f.showChosenFile(); });
    m_options->addAction(QStringLiteral("Commands"), this, [&f] { f.showCommands(); });
    m_options->addAction(QStringLiteral("Minimize"), this, [&f] { f.minimize(); });
    m_options->addAction(QStringLiteral("Hide (stays in tray)"), this, [&f] { f.hideWindow(); });
    m_options->addAction(QStringLiteral("Show (after hidden)"), this, [&f] { f.showWindow(); });

    m_playlistMenu = new QMenu(this);
    m_playlistMenu->addAction(QStringLiteral("Play"), this, [&f] { f.playSelected(); });
    m_playlistMenu->addAction(QStringLiteral("Remove"), this, [&f] { f.removeSelected(); });
}

void MainWindow::popupOptions(QWidget* from)
{
    // At the mouse; but a button pressed from the keyboard has it below.
    const QPoint mouse = QCursor::pos();
    if (from && !from->rect().contains(from->mapFromGlobal(mouse)))
        m_options->popup(from->mapToGlobal(QPoint(0, from->height())));
    else
        m_options->popup(mouse);
}

// Return and the menu key open the playlist menu at the current row, as a
// press of the mouse does on a row.
bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_playlist)
        return QMainWindow::eventFilter(watched, event);
    const bool menuKey = event->type() == QEvent::ContextMenu
        && static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard;
    const bool returnKey = event->type() == QEvent::KeyPress
        && (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return
            || static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter);
    if (!menuKey && !returnKey)
        return false;
    const QModelIndex current = m_playlist->currentIndex();
    const QRect row = current.isValid() ? m_playlist->visualRect(current) : QRect();
    const QPoint at = row.intersects(m_playlist->viewport()->rect()) ? row.bottomLeft() : QPoint();
    m_playlistMenu->popup(m_playlist->viewport()->mapToGlobal(at));
    return true;
}

void MainWindow::messageBox(const QString& text, const QString& title, Icon icon, Closed closed)
{
    auto* box = new QMessageBox(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                                title.isEmpty() ? programCaption() : title, text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QDialog::finished, this, [this, closed = std::move(closed)] {
        m_boxes.pop_front();
        if (closed)
            closed();
        openNextBox();
    });
    m_boxes.emplace_back(box);
    openNextBox();
}

void MainWindow::openNextBox()
{
    while (!m_boxes.empty() && !m_boxes.front())
        m_boxes.pop_front();
    if (!m_boxes.empty()) {
        if (!m_boxes.front()->isVisible())
            m_boxes.front()->open();
    } else if (m_ending) {
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }
}

void MainWindow::fileNotWritten(const QString& text)
{
    messageBox(text, QString(), Icon::Critical, {});
}

void MainWindow::inputBox(const QString& prompt, const QString& title, const QString& defaultText, Answered answered)
{
    auto* box = new QDialog(this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(title);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(new QLabel(prompt, box));
    auto* edit = new QLineEdit(defaultText, box);
    edit->setMinimumWidth(kInputBoxWidth);  // room for a whole path
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, box);
    connect(buttons, &QDialogButtonBox::accepted, box, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, box, &QDialog::reject);
    layout->addWidget(buttons);
    connect(box, &QDialog::finished, this, [edit, answered = std::move(answered)](int result) {
        if (result != QDialog::Accepted)
            return answered(QString());
        // An empty answer is not a cancel.
        answered(edit->text().isNull() ? QStringLiteral("") : edit->text());
    });
    box->open();
}

void MainWindow::openFileName(Answered answered)
{
    auto* dialog = new QFileDialog(this, QString(), QString(), QStringLiteral("*.*"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    // Its own size, and its columns' own widths, cut the size, kind and
    // date short: those columns fit their texts, the name takes the rest.
    const QFontMetrics fm = dialog->fontMetrics();
    QSize size(fm.averageCharWidth() * 120, fm.lineSpacing() * 28);
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    dialog->resize(size.expandedTo(dialog->minimumSizeHint()));
    if (auto* files = dialog->findChild<QTreeView*>()) {
        files->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        files->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    connect(dialog, &QDialog::finished, this, [dialog, answered = std::move(answered)](int result) {
        answered(result == QDialog::Accepted ? dialog->selectedFiles().value(0) : QString());
    });
    dialog->open();
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
        return new SongPickerWindow(m_form->songPicker, this);
    case Form::Chat:
        return new ChatSendsWindow(m_form->chatSends, this);
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
    // A box still open (a file that could not be written) is read first.
    m_ending = true;
    openNextBox();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (m_form)
        m_form->shutDown();
}
