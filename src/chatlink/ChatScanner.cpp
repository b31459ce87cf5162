#include "chatlink/ChatScanner.h"

#include "chatlink/AimChat.h"
#include "chatlink/AolWindows.h"
#include "controls/FormState.h"
#include "controls/UserInterface.h"

#include <QLoggingCategory>
#include <QRegularExpression>

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

}  // namespace

ChatScanner::ChatScanner(FormState& form, WindowSystem& windows, UserInterface& ui)
    : m_form(form),
      m_windows(windows),
      m_ui(ui)
{
    chat_tymer.setInterval(1000);
    connect(&chat_tymer, &QTimer::timeout, this, &ChatScanner::chat_tymer_Timer);
}

void ChatScanner::scan_on()
{
    chat_tymer.start();
    fyrsttalk = aimchat::GetChatTail(m_windows);
}

void ChatScanner::scan_off()
{
    chat_tymer.stop();
}

void ChatScanner::chat_tymer_Timer()
{
    const QString tail = aimchat::GetChatTail(m_windows);
    if (tail == fyrsttalk || tail.size() < 3)
        return;
    newlastlyne = aimchat::GetLastLine(tail);
    if (newlastlyne == oldlastlyne)
        return;
    oldlastlyne = newlastlyne;
    const QString& line = newlastlyne;

    // The time sits in a comment "<!-- (" ... ")"; the line's last
    // character is never part of it.
    const qsizetype marker = line.indexOf(QLatin1StringView("<!-- ("));
    const qsizetype from = marker < 0 ? 5 : marker + 6;
    QString time;
    for (qsizetype k = from; k <= line.size() - 2 && line[k] != u')'; ++k)
        time.append(line[k]);
    const QString datesaid = u'{' + time + u'}';

    const QString plain = aimchat::StripTags(line);
    const qsizetype colon = plain.indexOf(u':');
    const bool stamped = marker >= 0 && isTimeStamp(time);
    const QString whosaid = colon < 0 || !stamped ? QString() : plain.left(colon);
    // The blank after the colon is skipped; with no colon the first
    // character goes the same way.
    const QString whatsaid = plain.mid(colon + 2);
    qCDebug(lcScan).noquote() << "said by" << (whosaid.isEmpty() ? QStringLiteral("no one") : whosaid) << '|'
                              << whatsaid;
    Q_EMIT aimchatscan(whosaid, whatsaid, datesaid);
}

void ChatScanner::SendChat(const QString& Text)
{
    Q_EMIT sendChatCalled(Text);
    if (m_form.chkChat.value() == 0)
        return;
    if (m_form.chkBot.value() == 1) {
        // Quoted for the chat command: a backslash left bare would take the
        // next character with it, a trailing one the closing quote itself.
        QString escaped = Text;
        escaped.replace(u'\\', QLatin1StringView("\\\\"));
        escaped.replace(u'"', QLatin1StringView("\\\""));
        if (m_tocRoute)
            m_tocRoute(escaped);
    } else if (m_form.chkSendAOL.value() == 1) {
        SendAolChat(m_windows, Text);
    } else {
        aimchat::TypeChatText(m_windows, Text + m_form.txtafont.text() + u' ');
    }
}

void ChatScanner::post(const QString& text)
{
    SendChat(m_form.txtFont.text() + text);
}

QString ChatScanner::ProbeInputFormat()
{
    return aimchat::ProbeInputFormat(m_windows);
}

void ChatScanner::chkScan_Click()
{
    if (m_form.chkScan.value() == 0) {
        m_ui.messageBox(QStringLiteral("Chat scanning can some times lag so i added this option, You'll need to "
                                       "enable chat scanning to use ccoms."),
                        QStringLiteral("Notice"), UserInterface::Icon::Critical);
    }
    if (m_form.chkScan.value() == 1)
        scan_on();
    else
        scan_off();
}
