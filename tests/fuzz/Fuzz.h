// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/TestFiles.h"
#include "support/TestForm.h"

#include <QCoreApplication>

// The entry points libFuzzer calls; the plain runner calls them too.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// A property every input must keep, checked in every build type: the abort
// is what libFuzzer and the test runner both take for a failure.
inline void fuzzCheck(bool holds, const char* what)
{
    if (!holds)
        qFatal("fuzz check failed: %s", what);
}

// Reads a fuzz input front to back: control bytes first, then text.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_bytes(data, qsizetype(size)) { }
    bool atEnd() const { return m_bytes.isEmpty(); }
    // The next byte, or 0 once the input is used up.
    std::uint8_t byte() { return atEnd() ? 0 : std::uint8_t(take(1)[0]); }
    // The bytes up to the separator (which is dropped), or the rest.
    QByteArray until(char separator)
    {
        const qsizetype at = m_bytes.indexOf(separator);
        QByteArray part = take(at < 0 ? m_bytes.size() : at);
        take(at < 0 ? 0 : 1);
        return part;
    }
    QByteArray rest() { return take(m_bytes.size()); }

private:
    QByteArray take(qsizetype n) { return std::exchange(m_bytes, m_bytes.sliced(n)).first(n).toByteArray(); }

    QByteArrayView m_bytes;
};

// The form the fuzzed lines reach: a short playlist, an owner, replies
// allowed, and an opening wait that does not sleep (the player is a fake).
inline void prepareForm(TestForm& t)
{
    t.reset();
    t->player.setOpeningTime(std::chrono::milliseconds(0));
    t->discovery.owner().setText(QStringLiteral("boss"));
    t->options.chatSend.setValue(true);
    t->library.playlist().addItems({QStringLiteral("Alpha Song;/music/Alpha Song.mp3"),
                                    QStringLiteral("Beta Song;/music/Beta Song.mp3"),
                                    QStringLiteral("Beta Remix;/music/Beta Remix.wma")});
}

// Lets what is due on the next turn (the search results) run, and the
// songs asked for be looked at (off the main thread) and announced, so
// that a line's work is done before the next line is said; after every
// command the shown playlist matches its lines.
template <typename Form> void settle(Form& t)
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    while (t->player.isBusy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    fuzzCheck(t->library.playlist().count() == t->library.playlist().count(), "one shown name per playlist line");
}
