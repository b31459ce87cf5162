// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StandardInput.h"

#include <QMutex>
#include <QString>

#include <iterator>
#include <memory>
#include <thread>

#include <windows.h>

// Windows has no way to wait for a console or a pipe in the event loop, so
// a thread of its own blocks in the reads and queues what it gets to the
// loop. It is left to end with its next read or with the process: a read
// cannot be taken back in every case.
struct StandardInput::Reader {
    // Shared with the thread, which outlives the watcher when it is stopped.
    struct Handoff {
        QMutex lock;
        StandardInput* to = nullptr;
    };
    std::shared_ptr<Handoff> handoff = std::make_shared<Handoff>();
    bool stopped = false;

    // False once no one listens any more.
    static bool hand(Handoff& handoff, const QByteArray& bytes, bool end)
    {
        const QMutexLocker hold(&handoff.lock);
        StandardInput* to = handoff.to;
        if (!to)
            return false;
        QMetaObject::invokeMethod(
            to,
            [to, bytes, end] {
                if (to->m_reader->stopped)
                    return;
                if (end) {
                    to->stop();
                    Q_EMIT to->ended();
                } else {
                    Q_EMIT to->received(bytes);
                }
            },
            Qt::QueuedConnection);
        return true;
    }

    static void readAll(const std::shared_ptr<Handoff>& handoff)
    {
        const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
        DWORD mode = 0;
        // A console is read as text, which it holds in UTF-16, and handed
        // on as UTF-8 like any piped input; Ctrl-Z at a line's start ends it.
        const bool console = input && input != INVALID_HANDLE_VALUE && ::GetConsoleMode(input, &mode);
        for (;;) {
            QByteArray bytes;
            DWORD got = 0;
            if (console) {
                wchar_t buffer[2048];
                if (!::ReadConsoleW(input, buffer, DWORD(std::size(buffer)), &got, nullptr) || got == 0
                    || buffer[0] == L'\x1a')
                    break;
                bytes = QString::fromWCharArray(buffer, qsizetype(got)).toUtf8();
            } else {
                char buffer[4096];
                // A pipe whose writer went away fails the read: that is its end.
                if (!::ReadFile(input, buffer, DWORD(sizeof buffer), &got, nullptr) || got == 0)
                    break;
                bytes = QByteArray(buffer, qsizetype(got));
            }
            if (!hand(*handoff, bytes, false))
                return;
        }
        hand(*handoff, {}, true);
    }
};

StandardInput::StandardInput(QObject* parent) : QObject(parent), m_reader(std::make_unique<Reader>())
{
    m_reader->handoff->to = this;
    std::thread([handoff = m_reader->handoff] { Reader::readAll(handoff); }).detach();
}

StandardInput::~StandardInput()
{
    stop();
}

void StandardInput::stop()
{
    m_reader->stopped = true;
    // The thread may be handing on a piece right now: this waits for it.
    const QMutexLocker hold(&m_reader->handoff->lock);
    m_reader->handoff->to = nullptr;
}
