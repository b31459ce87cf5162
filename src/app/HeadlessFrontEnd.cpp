// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HeadlessFrontEnd.h"

#include "app/MainForm.h"
#include "app/StandardInput.h"
#include "app/StopSignals.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <utility>

Q_LOGGING_CATEGORY(lcTerminal, "quillon.terminal")

HeadlessFrontEnd::HeadlessFrontEnd(QObject* parent) : QObject(parent)
{
    // Runs only while typed lines wait for the program, which is rarely
    // busy for longer than a song takes to open.
    m_feeding.setInterval(1);
    m_feeding.setTimerType(Qt::PreciseTimer);
    connect(&m_feeding, &QTimer::timeout, this, &HeadlessFrontEnd::feed);
}

HeadlessFrontEnd::~HeadlessFrontEnd() = default;

void HeadlessFrontEnd::attach(MainForm& form, Input input)
{
    m_form = &form;

    m_signals = std::make_unique<StopSignals>();
    connect(m_signals.get(), &StopSignals::received, this, &HeadlessFrontEnd::shutDown);

    if (input == Input::Ignored)
        return;
    m_input = std::make_unique<StandardInput>();
    connect(m_input.get(), &StandardInput::received, this, &HeadlessFrontEnd::takeBytes);
    connect(m_input.get(), &StandardInput::ended, this, &HeadlessFrontEnd::endInput);
}

void HeadlessFrontEnd::takeBytes(const QByteArray& bytes)
{
    m_pending.append(bytes);
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        QByteArray line = m_pending.left(end);
        m_pending.remove(0, end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        m_typed.append(QString::fromUtf8(line));
    }
    feed();
}

void HeadlessFrontEnd::endInput()
{
    // A last line without its line end is still a line.
    if (!m_pending.isEmpty())
        m_typed.append(QString::fromUtf8(std::exchange(m_pending, {})));
    m_inputEnded = true;
    feed();
}

bool HeadlessFrontEnd::isBusy() const
{
    return m_form && (m_form->scanner.isBusy() || m_form->player.isBusy());
}

void HeadlessFrontEnd::feed()
{
    // Typed lines are said one at a time, each once the program is done
    // with the one before (its reply read back, the song it asked for
    // started), as a person waits for the answer before typing on. The end
    // of input comes last.
    if (m_form && m_form->isUnloaded()) {
        m_typed.clear();
        m_feeding.stop();
        return;
    }
    while (!isBusy() && !m_typed.isEmpty())
        takeLine(m_typed.takeFirst());
    if (isBusy() && (!m_typed.isEmpty() || m_inputEnded)) {
        m_feeding.start();
        return;
    }
    m_feeding.stop();
    if (m_inputEnded && m_typed.isEmpty())
        shutDown();
}

void HeadlessFrontEnd::takeLine(const QString& line)
{
    // A terminal has no "Find SN" button; this line stands for it.
    if (line.trimmed() == QLatin1String("/find-sn") && m_form)
        m_form->discovery.findOwner();
    else
        Q_EMIT lineRead(line);
}

void HeadlessFrontEnd::shutDown()
{
    if (m_form)
        m_form->shutDown();
}

void HeadlessFrontEnd::messageBox(const QString& text, const QString& title, Icon icon, Closed closed)
{
    const QString heading = title.isEmpty() ? QStringLiteral("Quillon") : title;
    const QString line = heading + QStringLiteral(": ") + text;
    if (icon == Icon::Critical)
        qCCritical(lcTerminal).nospace().noquote() << line;
    else
        qCWarning(lcTerminal).nospace().noquote() << line;
    if (closed)
        closed();
}

void HeadlessFrontEnd::inputBox(const QString& prompt, const QString& title, const QString& defaultText,
                                Answered answered)
{
    // Standard input belongs to the room; an input box is answered with its default.
    qCInfo(lcTerminal).nospace().noquote() << title << ": " << prompt << " (answered: \"" << defaultText << "\")";
    answered(defaultText);
}

void HeadlessFrontEnd::showForm(Form form)
{
    if (form == Form::Song && m_form)
        m_form->songPicker.onClosed();
}

void HeadlessFrontEnd::openFileName(Answered answered)
{
    answered(QString());
}

void HeadlessFrontEnd::endProgram()
{
    if (m_input)
        m_input->stop();
    // A file left unwritten is a failed run for whoever started it (a
    // service manager, a script); the reason is on stderr already.
    const int status = m_form && !m_form->filesWritten() ? 1 : 0;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [status] { QCoreApplication::exit(status); }, Qt::QueuedConnection);
}
