#include "chatlink/ChatScanner.h"

#include "app/MainForm.h"

ChatScanner::ChatScanner(MainForm& form) : m_form(form) {}

void ChatScanner::scan_on() {}

void ChatScanner::scan_off() {}

void ChatScanner::SendChat(const QString& Text)
{
    Q_EMIT sendChatCalled(Text);
}

QString ChatScanner::ProbeInputFormat()
{
    return {};
}
