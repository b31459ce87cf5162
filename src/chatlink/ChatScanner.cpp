// SPDX-License-Identifier: GPL-3.0-or-later
#include "chatlink/ChatScanner.h"

#include "chatlink/AimChat.h"
#include "chatlink/AolWindows.h"
#include "chatlink/LocalRoom.h"
#include "controls/ChatTemplates.h"
#include "controls/Options.h"
#include "controls/UserInterface.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QScopedValueRollback>

namespace {

Q_LOGGING_CATEGORY(lcScan, "quillon.scan", QtWarningMsg)

// The time the client stamps on every line it shows, "10:15:02 PM". A
// field that is anything else was not stamped by the client: the line's
// speaker cannot be told from its text.
bool isTimeStamp(const QString& field)
{
    static const QRegularExpression stamp(QStringLiteral(R"(^\d{1,2}:\d\d(:\d\d)?( ?[AaPp]\.?[Mm]\.?)?$)"));
    return stamp.match(field).hasMatch();
}

// Where the text added since the last look begins in the tail now read.
// The transcript grows at its end, and a client may drop its oldest lines:
// what the last look saw ends where the new text begins. -1 when nothing
// of what was seen is left in the tail, so what came in between is lost.
qsizetype newTextStart(const QString& tail, const QString& seenTail, qsizetype grown)
{
    // Grown at the end only: the length tells exactly what is new, even
    // when the new lines repeat the old ones character for character.
    if (grown > 0 && grown <= tail.size()) {
        const qsizetype kept = tail.size() - grown;
        if (kept <= seenTail.size() && QStringView(tail).first(kept) == QStringView(seenTail).last(kept))
            return kept;
    }
    // Trimmed, cleared or rewritten: the longest end of what was seen that
    // the tail starts with.
    for (qsizetype kept = std::min(seenTail.size(), tail.size()); kept > 0; --kept) {
        if (QStringView(tail).first(kept) == QStringView(seenTail).last(kept))
            return kept;
    }
    return -1;
}

}  // namespace

ChatScanner::ChatScanner(const Options& options, const ChatTemplates& templates, WindowSystem& windows,
                         UserInterface& ui)
    : m_options(options),
      m_templates(templates),
      m_windows(windows),
      m_ui(ui)
{
    m_scanTimer.setInterval(1000);
    connect(&m_scanTimer, &QTimer::timeout, this, &ChatScanner::lookForNewLines);
    // One line a turn of the event loop: what a command left for the next
    // turn (a search result to start) is done before the next line acts.
    m_nextLine.setSingleShot(true);
    m_nextLine.setInterval(0);
    connect(&m_nextLine, &QTimer::timeout, this, &ChatScanner::reportNext);
}

void ChatScanner::startScanning()
{
    m_scanning = true;
    if (m_listening)
        return;
    const QString text = aimchat::readChatText(m_windows);
    m_seenTail = text.right(kTailLength);
    m_seenLength = text.size();
    m_scanTimer.start();
}

void ChatScanner::stopScanning()
{
    m_scanning = false;
    m_waiting.clear();
    m_nextLine.stop();
    m_scanTimer.stop();
}

void ChatScanner::listenTo(LocalRoom& room)
{
    m_listening = true;
    m_scanTimer.stop();
    connect(&room, &LocalRoom::lineAdded, this, &ChatScanner::lineAdded);
}

void ChatScanner::lineAdded(const QString& html)
{
    if (!m_scanning)
        return;
    // As a look at the transcript would cut it.
    m_waiting.append(QStringLiteral("<BR>") + html.chopped(html.isEmpty() ? 0 : 1));
    // Reported from the event loop, not inside the post that added it.
    if (m_reporting == 0 && !m_nextLine.isActive())
        m_nextLine.start(0);
}

void ChatScanner::lookForNewLines()
{
    if (m_listening) {
        reportNext();
        return;
    }
    const QString text = aimchat::readChatText(m_windows);
    const QString tail = text.right(kTailLength);
    const qsizetype grown = text.size() - m_seenLength;
    const QString seenTail = std::exchange(m_seenTail, tail);
    m_seenLength = text.size();
    if (tail.size() < 3 || (grown == 0 && tail == seenTail))
        return;
    qsizetype from = newTextStart(tail, seenTail, grown);
    if (from < 0) {
        // A transcript that is all new and all in the tail lost nothing.
        if (text.size() > tail.size())
            qCWarning(lcScan) << "quillon: more lines came in than one look reads; the older ones were skipped";
        from = 0;
    }
    m_waiting.append(aimchat::linesFrom(tail, from));
    reportNext();
}

void ChatScanner::reportNext()
{
    // A line that comes while another's command waits for events is
    // handled after that command, not inside it.
    if (m_reporting > 0 || !m_scanning || m_waiting.isEmpty())
        return;
    // Held while the program is busy with what an earlier line asked for
    // (a song being started waits for events): looked at again shortly.
    if (m_busy && m_busy()) {
        m_nextLine.start(kHeldLineRetryMs);
        return;
    }
    report(m_waiting.takeFirst());
    // Started after the line's own work, so what that work left for the
    // next turn (a search result to start) comes before the next line.
    if (!m_waiting.isEmpty())
        m_nextLine.start(0);
}

void ChatScanner::report(const QString& line)
{
    // The time sits in a comment "<!-- (" ... ")"; the line's last
    // character is never part of it.
    const qsizetype marker = line.indexOf(QLatin1StringView("<!-- ("));
    const qsizetype from = marker < 0 ? 5 : marker + 6;
    QString time;
    for (qsizetype k = from; k <= line.size() - 2 && line[k] != u')'; ++k)
        time.append(line[k]);
    const QString datesaid = u'{' + time + u'}';

    const QString plain = aimchat::stripTags(line);
    const qsizetype colon = plain.indexOf(u':');
    const bool stamped = marker >= 0 && isTimeStamp(time);
    const QString whosaid = colon < 0 || !stamped ? QString() : plain.left(colon);
    // The blank after the colon is skipped; with no colon the first
    // character goes the same way.
    const QString whatsaid = plain.mid(colon + 2);
    qCDebug(lcScan).noquote() << "said by" << (whosaid.isEmpty() ? QStringLiteral("no one") : whosaid) << '|'
                              << whatsaid;
    const QScopedValueRollback reporting(m_reporting, m_reporting + 1);
    Q_EMIT lineReceived(whosaid, whatsaid, datesaid);
}

void ChatScanner::sendLine(const QString& text)
{
    Q_EMIT sendChatCalled(text);
    if (!m_options.chatSend.value())
        return;
    if (m_options.useBot.value()) {
        // Quoted for the chat command: a backslash left bare would take the
        // next character with it, a trailing one the closing quote itself.
        QString escaped = text;
        escaped.replace(u'\\', QLatin1StringView("\\\\"));
        escaped.replace(u'"', QLatin1StringView("\\\""));
        if (m_tocRoute)
            m_tocRoute(escaped);
    } else if (m_options.sendOnAol.value()) {
        sendAolChat(m_windows, text);
    } else {
        aimchat::typeChatText(m_windows, text + m_templates.inputClose.text() + u' ');
    }
}

void ChatScanner::post(const QString& text)
{
    sendLine(m_templates.font.text() + text);
}

QString ChatScanner::probeInputFormat()
{
    return aimchat::probeInputFormat(m_windows);
}

void ChatScanner::onScanChatClicked()
{
    // Scanning follows the box as it is once the notice is closed.
    const auto follow = [this] {
        if (m_options.scanChat.value())
            startScanning();
        else
            stopScanning();
    };
    if (m_options.scanChat.value())
        return follow();
    m_ui.messageBox(QStringLiteral("Chat scanning can some times lag so i added this option, You'll need to "
                                   "enable chat scanning to use ccoms."),
                    QStringLiteral("Notice"), UserInterface::Icon::Critical, follow);
}
