// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fuzz.h"

#include "toc/FlapReader.h"

// The first byte of the input says how the frames are cut into reads. Each
// NUL-ended part after it is one server message: its first byte picks the
// word (past the list the part is sent as it is; 0xFF makes it a sign-on
// frame), the rest are its fields. The room's lines go through bot mode
// into the command interpreter.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QList<QByteArray> words
        = QByteArray("SIGN_ON CONFIG2 NICK IM_IN_ENC2 UPDATE_BUDDY2 BUDDY_CAPS2 BART2 ERROR EVILED CHAT_JOIN "
                     "CHAT_IN_ENC CHAT_UPDATE_BUDDY CHAT_INVITE CHAT_LEFT GOTO_URL ADMIN_NICK_STATUS "
                     "ADMIN_PASSWD_STATUS PAUSE RVOUS_PROPOSE")
              .split(' ');
    static TestForm t;
    prepareForm(t);
    t->options.useBot.setValue(true);
    FuzzInput input(data, size);
    const int cut = 1 + input.byte();
    QByteArray stream;
    qsizetype frames = 0, handled = 0;
    bool dropped = false;  // the connection ended: what follows is not its
    const QMetaObject::Connection counting
        = QObject::connect(&t->toc, &TocClient::frameReceived, [&handled] { ++handled; });
    const QMetaObject::Connection failing
        = QObject::connect(&t->toc, &TocClient::signedOff, [&dropped] { dropped = true; });
    for (quint16 sequence = 1; !input.atEnd(); ++sequence, ++frames) {
        const std::uint8_t pick = input.byte();
        const QByteArray fields = input.until('\0');
        QByteArray message = pick < words.size() ? words[pick] + ':' + fields : fields;
        message.truncate(0xFFFF);
        const char head[] = {FlapReader::kMarker, char(pick == 0xFF ? 1 : 2), char(sequence >> 8),
                             char(sequence),      char(message.size() >> 8),  char(message.size())};
        stream.append(head, sizeof head).append(message);
    }
    for (qsizetype at = 0; at < stream.size(); at += cut) {
        t->toc.receiveBytes(QByteArrayView(stream).sliced(at, std::min<qsizetype>(cut, stream.size() - at)));
        settle(t);
    }
    // Each PAUSE holds the frames behind it for one turn of the event loop.
    for (qsizetype turn = 0; turn < frames && handled < frames && !dropped; ++turn)
        QCoreApplication::processEvents();
    QObject::disconnect(counting);
    QObject::disconnect(failing);
    fuzzCheck(t->toc.bytesReceived() == stream.size(), "every byte is taken");
    // A PAUSE lets events run before the frames behind it; none is lost
    // while the connection lasts.
    fuzzCheck(dropped || handled == frames, "every frame is handled, those after a PAUSE too");
    return 0;
}
