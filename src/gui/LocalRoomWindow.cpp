// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/LocalRoomWindow.h"

#include "chatlink/LocalRoom.h"
#include "gui/Elided.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

namespace {

// The room's own mark between lines.
const QString kLineBreak = QStringLiteral("<BR>");

}  // namespace

LocalRoomWindow::LocalRoomWindow(LocalRoom& room, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_room(room),
      m_transcript(new QTextBrowser(this)),
      m_input(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Local Room"));
    // Tab leaves the transcript for the input box; a link in a post is not
    // followed (it would replace the transcript).
    m_transcript->setTabChangesFocus(true);
    m_transcript->setOpenLinks(false);
    keepRoomFor(m_transcript, 32, 4);
    m_input->setMinimumWidth(m_input->fontMetrics().averageCharWidth() * 16);
    m_input->setPlaceholderText(tr("Say something as %1, or \"/as NAME: text\"").arg(room.localMember()));
    auto* sendButton = new QPushButton(QStringLiteral("Send"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_transcript, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(m_input, 1);
    row->addWidget(sendButton);
    layout->addLayout(row);

    connect(sendButton, &QPushButton::clicked, this, &LocalRoomWindow::send);
    connect(m_input, &QLineEdit::returnPressed, this, &LocalRoomWindow::send);
    connect(&room, &LocalRoom::transcriptChanged, this, &LocalRoomWindow::showTranscript);
    showTranscript();
    m_input->setFocus();
    resize(520, 400);
}

void LocalRoomWindow::showTranscript()
{
    const QString transcript = m_room.transcript();
    QScrollBar* bar = m_transcript->verticalScrollBar();
    const bool followEnd = bar->value() == bar->maximum();
    // Lines only ever come at the end; anything else (the oldest lines
    // dropped, the room cleared) is shown afresh.
    const bool grew = !m_shown.isEmpty() && transcript.startsWith(m_shown)
        && QStringView(transcript).sliced(m_shown.size()).startsWith(kLineBreak);
    if (!grew) {
        m_transcript->clear();
        m_shown.clear();
    }
    QTextCursor end(m_transcript->document());
    end.movePosition(QTextCursor::End);
    const QStringList lines = QStringView(transcript).sliced(m_shown.size()).toString().split(kLineBreak);
    for (const QString& line : lines) {
        if (line.isEmpty())
            continue;
        // Each line is read as a whole of its own, so a tag it leaves open
        // ends with it instead of styling the lines below.
        if (!m_transcript->document()->isEmpty())
            end.insertBlock(QTextBlockFormat(), QTextCharFormat());
        end.setCharFormat(QTextCharFormat());
        end.insertFragment(QTextDocumentFragment::fromHtml(line));
    }
    m_shown = transcript;
    if (followEnd)
        bar->setValue(bar->maximum());
}

void LocalRoomWindow::send()
{
    const QString text = m_input->text();
    if (text.isEmpty())
        return;
    m_input->clear();
    m_room.typeLine(text);
}
