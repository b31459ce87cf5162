// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/ChatSendsWindow.h"

#include "bot/ChatSends.h"
#include "bot/ChatSendsEditor.h"
#include "bot/CommandInterpreter.h"
#include "gui/Binding.h"
#include "gui/Elided.h"
#include "gui/TemplateEdit.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

// However small the window, this many lines of the boxes show.
constexpr int kFewestLines = 8;

}  // namespace

ChatSendsWindow::ChatSendsWindow(ChatSendsEditor& editor, QWidget* parent) : QDialog(parent), m_editor(editor)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(ChatSendsEditor::caption());
    auto* layout = new QVBoxLayout(this);
    // The twelve boxes scroll, so that the window fits a small screen.
    auto* page = new QWidget;
    auto* boxes = new QFormLayout(page);
    boxes->setContentsMargins(0, 0, 0, 0);
    for (const ChatSendsEditor::Row& row : editor.rows()) {
        boxes->addRow(row.label, new TemplateEdit(row.text, page));
        // The placeholders are told below the text they stand in.
        if (&row.text.get() == &editor.texts.playing)
            boxes->addRow(QString(), new QLabel(ChatSendsEditor::playLegend(), page));
    }
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);  // the boxes take it
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumSize(page->minimumSizeHint().width() + scroll->verticalScrollBar()->sizeHint().width(),
                           fontMetrics().lineSpacing() * kFewestLines);
    layout->addWidget(scroll, 1);

    auto* buttons = new QHBoxLayout;
    auto* set = new QPushButton(ChatSendsEditor::setCaption(), this);
    set->setFlat(true);
    auto* setAll
        = skinButton(QStringLiteral("setAll"), ChatSendsEditor::setAllCaption(), this, [this] { m_editor.setAll(); });
    // Return in a box stores everything; "Set", which leaves the chat
    // sends alone, only when it has the focus.
    setAll->setDefault(true);
    buttons->addWidget(set);
    buttons->addStretch(1);
    buttons->addWidget(setAll);
    layout->addLayout(buttons);
    connect(set, &QPushButton::clicked, this, [this] { m_editor.set(); });
    // As tall as the boxes need, where the screen allows.
    const int whole = page->sizeHint().height() + sizeHint().height() - scroll->sizeHint().height();
    const int room = screen() ? screen()->availableGeometry().height() * 9 / 10 : whole;
    resize(640, std::min(whole, room));
}

void ChatSendsWindow::showEvent(QShowEvent* event)
{
    // Restoring a minimised window is not an opening.
    if (!event->spontaneous())
        m_editor.open();
    QDialog::showEvent(event);
}

CommandsWindow::CommandsWindow(CommandInterpreter& interpreter, QWidget* parent) : QDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(CommandHelp::caption());
    auto* layout = new QVBoxLayout(this);
    auto* text = new QPlainTextEdit(CommandHelp::helpText(), this);
    text->setReadOnly(true);
    keepRoomFor(text, 28, 8);
    layout->addWidget(text);
    // Kept when it can be used; otherwise the field says why and goes back.
    auto* prefixRow = new QFormLayout;
    auto* prefix = new QLineEdit(interpreter.prefix(), this);
    prefix->setPlaceholderText(QStringLiteral("none"));
    prefix->setMaxLength(int(CommandInterpreter::kPrefixMax));
    prefixRow->addRow(QStringLiteral("Command &prefix:"), prefix);
    layout->addLayout(prefixRow);
    connect(prefix, &QLineEdit::editingFinished, this, [prefix, &interpreter] {
        if (prefix->text() == interpreter.prefix())
            return;
        const QString problem = interpreter.storePrefix(prefix->text());
        prefix->setToolTip(problem.isEmpty() ? QString() : QStringLiteral("The prefix ") + problem);
        if (!problem.isEmpty()) {
            QToolTip::showText(prefix->mapToGlobal(QPoint(0, prefix->height())), prefix->toolTip(), prefix);
            prefix->setText(interpreter.prefix());
        }
    });
    auto* ok = skinButton(QStringLiteral("ok"), CommandHelp::okCaption(), this, [this] { close(); });
    ok->setDefault(true);
    layout->addWidget(ok, 0, Qt::AlignRight);
    resize(360, 480);
}
