// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StandardInput.h"

#include <QSocketNotifier>

#include <cerrno>
#include <unistd.h>

struct StandardInput::Reader {
    QSocketNotifier notifier {STDIN_FILENO, QSocketNotifier::Read};
};

StandardInput::StandardInput(QObject* parent) : QObject(parent), m_reader(std::make_unique<Reader>())
{
    connect(&m_reader->notifier, &QSocketNotifier::activated, this, [this] {
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        // Woken for nothing, or by a signal: the next wake-up reads it.
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            return;
        if (got > 0) {
            Q_EMIT received(QByteArray(buffer, qsizetype(got)));
            return;
        }
        stop();
        Q_EMIT ended();
    });
}

StandardInput::~StandardInput() = default;

void StandardInput::stop()
{
    m_reader->notifier.setEnabled(false);
}
