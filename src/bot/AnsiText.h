#pragma once

#include <QByteArray>
#include <QString>

// Text as the chat client's windows hold it: Windows-1252 bytes. A
// character that code page cannot hold becomes "?", as the platform's own
// conversion does.
QByteArray toAnsi(const QString& text);
QString fromAnsi(const QByteArray& bytes);
