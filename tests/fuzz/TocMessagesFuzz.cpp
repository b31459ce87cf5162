#include "FuzzForm.h"

#include "toc/FlapReader.h"

#include <QList>
#include <QtEndian>

namespace {

// Every message the server sends; unknown words are fuzzed too.
const QList<QByteArray> kWords
    = {"SIGN_ON",      "CONFIG2",   "NICK",     "IM_IN_ENC2",        "UPDATE_BUDDY2",       "BUDDY_CAPS2",
       "BART2",        "ERROR",     "EVILED",   "CHAT_JOIN",         "CHAT_IN_ENC",         "CHAT_UPDATE_BUDDY",
       "CHAT_INVITE",  "CHAT_LEFT", "GOTO_URL", "ADMIN_NICK_STATUS", "ADMIN_PASSWD_STATUS", "PAUSE",
       "RVOUS_PROPOSE"};

QByteArray frame(quint8 type, quint16 sequence, QByteArray payload)
{
    payload.truncate(0xFFFF);
    QByteArray head(FlapReader::kHeaderSize, FlapReader::kMarker);
    head[1] = char(type);
    qToBigEndian(sequence, head.data() + 2);
    qToBigEndian(quint16(payload.size()), head.data() + 4);
    return head + payload;
}

}  // namespace

// The first byte of the input says how the frames are cut into reads. Each
// NUL-ended part after it is one server message: its first byte picks the
// word (past the list the part is sent as it is; 0xFF makes it a sign-on
// frame), the rest are its fields.
// The room's lines go through bot mode into the command interpreter.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TestForm t;
    prepareForm(t, QStringLiteral("boss"));
    t->chkBot.setValue(1);
    FuzzInput input(data, size);
    const int cut = 1 + input.byte();
    QByteArray stream;
    for (quint16 sequence = 1; !input.atEnd(); ++sequence) {
        const std::uint8_t pick = input.byte();
        const QByteArray fields = input.until('\0');
        const QByteArray message = pick < kWords.size() ? kWords[pick] + ':' + fields : fields;
        stream += frame(pick == 0xFF ? 1 : 2, sequence, message);
    }
    for (qsizetype at = 0; at < stream.size(); at += cut) {
        t->toc.receiveBytes(QByteArrayView(stream).sliced(at, std::min<qsizetype>(cut, stream.size() - at)));
        serveEvents();
        checkForm(t);
    }
    fuzzCheck(t->toc.bytesReceived() == stream.size(), "every byte is taken");
    return 0;
}
