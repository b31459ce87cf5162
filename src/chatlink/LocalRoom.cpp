// SPDX-License-Identifier: GPL-3.0-or-later
#include "chatlink/LocalRoom.h"

#include "chatlink/AnsiText.h"

#include <QRegularExpression>
#include <QScopedValueRollback>

LocalRoom::LocalRoom(SimDesktop& desktop, QString localMember, QObject* parent)
    : QObject(parent),
      m_desktop(desktop),
      m_localMember(std::move(localMember))
{
    m_chat = m_desktop.openAimChat(AnsiText::toWindow(m_desktop, m_localMember));
    connect(&m_desktop, &SimDesktop::transcriptChanged, this, [this](SimDesktop::Hwnd chat) {
        if (chat == m_chat.window)
            Q_EMIT transcriptChanged();
    });
    connect(&m_desktop, &SimDesktop::lineAdded, this, [this](SimDesktop::Hwnd chat, const std::string& line) {
        if (chat == m_chat.window)
            Q_EMIT lineAdded(AnsiText::fromWindow(m_desktop, line), m_saying);
    });
    connect(&m_desktop, &SimDesktop::inputSent, this, [this](SimDesktop::Hwnd chat, const std::string& typed) {
        if (chat == m_chat.window)
            Q_EMIT posted(AnsiText::fromWindow(m_desktop, typed));
    });
}

LocalRoom::~LocalRoom()
{
    m_desktop.destroyWindow(m_chat.window);
}

void LocalRoom::say(const QString& text)
{
    const QScopedValueRollback saying(m_saying, true);
    sayAs(m_localMember, text);
}

void LocalRoom::sayAs(const QString& member, const QString& text)
{
    m_desktop.say(m_chat.window, AnsiText::toWindow(m_desktop, member), AnsiText::toWindow(m_desktop, text));
}

void LocalRoom::typeLine(const QString& line)
{
    static const QRegularExpression speakFor(QStringLiteral("^/as\\s+([^:]+):\\s?(.*)$"));
    const QRegularExpressionMatch match = speakFor.match(line);
    const QString member = match.hasMatch() ? match.captured(1).trimmed() : QString();
    if (!member.isEmpty())
        sayAs(member, match.captured(2));
    else
        say(line);
}

QString LocalRoom::transcript() const
{
    return AnsiText::fromWindow(m_desktop, m_desktop.textOf(m_chat.transcript));
}

void LocalRoom::echoPostsTo(std::FILE* stream)
{
    connect(this, &LocalRoom::posted, this, [stream](const QString& line) {
        const QByteArray bytes = line.toUtf8() + '\n';
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
        std::fflush(stream);
    });
}
