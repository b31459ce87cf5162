#include "app/HeadlessFrontEnd.h"

#include "app/MainForm.h"
#include "app/StopSignals.h"
#include "controls/LogLine.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

HeadlessFrontEnd::HeadlessFrontEnd(QObject* parent) : QObject(parent)
{
    // Only while the end of input waits for the last lines' work.
    m_settling.setInterval(10);
    connect(&m_settling, &QTimer::timeout, this, &HeadlessFrontEnd::shutDownWhenSettled);
}

HeadlessFrontEnd::~HeadlessFrontEnd() = default;

void HeadlessFrontEnd::attach(MainForm& form, Input input)
{
    m_form = &form;

    m_signals = std::make_unique<StopSignals>();
    connect(m_signals.get(), &StopSignals::received, this, &HeadlessFrontEnd::shutDown);

    if (input == Input::Ignored)
        return;
    m_input = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
    connect(m_input.get(), &QSocketNotifier::activated, this, &HeadlessFrontEnd::readInput);
}

void HeadlessFrontEnd::readInput()
{
    char buffer[4096];
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (got <= 0) {
        m_input->setEnabled(false);
        if (!m_pending.isEmpty())
            takeLine(QString::fromUtf8(std::exchange(m_pending, {})));
        // The end of input comes after what was typed before it: every line
        // is handled, and the song it started announced, first.
        m_settling.start();
        shutDownWhenSettled();
        return;
    }
    m_pending.append(buffer, got);
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        QByteArray line = m_pending.left(end);
        m_pending.remove(0, end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        takeLine(QString::fromUtf8(line));
    }
}

void HeadlessFrontEnd::takeLine(const QString& line)
{
    // A terminal has no "Find SN" button; this line stands for it.
    if (line.trimmed() == QLatin1String("/find-sn") && m_form)
        m_form->discovery.FindSN_Click();
    else
        Q_EMIT lineRead(line);
}

void HeadlessFrontEnd::shutDownWhenSettled()
{
    if (m_form && !m_form->isUnloaded() && (m_form->chat1.isBusy() || m_form->player.isBusy()))
        return;
    m_settling.stop();
    shutDown();
}

void HeadlessFrontEnd::shutDown()
{
    if (m_form)
        m_form->Form_Unload();
}

void HeadlessFrontEnd::messageBox(const QString& text, const QString& title, Icon icon)
{
    const QString heading = title.isEmpty() ? QStringLiteral("Quillon") : title;
    const LogLevel level = icon == Icon::Critical ? LogLevel::Error : LogLevel::Warning;
    logLine(stderr, level, heading + QStringLiteral(": ") + text);
}

QString HeadlessFrontEnd::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    // Standard input belongs to the room; an input box is answered with its default.
    logLine(stderr, LogLevel::Info, QStringLiteral("%1: %2 (answered: \"%3\")").arg(title, prompt, defaultText));
    return defaultText;
}

void HeadlessFrontEnd::showForm(Form form)
{
    if (form == Form::Song && m_form)
        m_form->frmSong.Form_Unload();
}

QString HeadlessFrontEnd::openFileName()
{
    return {};
}

void HeadlessFrontEnd::endProgram()
{
    if (m_input)
        m_input->setEnabled(false);
    // A file left unwritten is a failed run for whoever started it (a
    // service manager, a script); the reason is on stderr already.
    const int status = m_form && !m_form->filesWritten() ? 1 : 0;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [status] { QCoreApplication::exit(status); }, Qt::QueuedConnection);
}
