#include "gui/LocalRoomWindow.h"

#include "chatlink/LocalRoom.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>

LocalRoomWindow::LocalRoomWindow(LocalRoom& room, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_room(room),
      m_transcript(new QTextBrowser(this)),
      m_input(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Local Room"));
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
    resize(520, 400);
}

void LocalRoomWindow::showTranscript()
{
    m_transcript->setHtml(m_room.transcript());
    m_transcript->verticalScrollBar()->setValue(m_transcript->verticalScrollBar()->maximum());
}

void LocalRoomWindow::send()
{
    const QString text = m_input->text();
    if (text.isEmpty())
        return;
    m_input->clear();
    m_room.typeLine(text);
}
