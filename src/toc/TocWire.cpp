// SPDX-License-Identifier: GPL-3.0-or-later
#include "toc/TocWire.h"

#include "chatlink/AnsiText.h"

#include <QList>
#include <QStringDecoder>

#include <array>

QByteArray roastPassword(QByteArrayView password)
{
    static constexpr std::array<unsigned char, 7> kRoast {'T', 'i', 'c', '/', 'T', 'o', 'c'};
    QByteArray roasted;
    roasted.reserve(password.size());
    for (qsizetype i = 0; i < password.size(); ++i)
        roasted.append(char(static_cast<unsigned char>(password[i]) ^ kRoast[i % kRoast.size()]));
    return "0x" + roasted.toHex();
}

QByteArray quoteArgument(QByteArrayView arg)
{
    QByteArray quoted;
    quoted.reserve(arg.size() + 2);
    quoted.append('"').append(arg).append('"');
    return quoted;
}

QByteArray escapeArgument(QByteArrayView arg)
{
    // One pass puts the backslash before each special byte as it is copied,
    // so an inserted backslash is never looked at again.
    static constexpr QByteArrayView kSpecial("\"\\[]{}()");
    QByteArray escaped;
    escaped.reserve(arg.size() + arg.size() / 8 + 1);
    for (const char c : arg) {
        if (kSpecial.contains(c))
            escaped.append('\\');
        escaped.append(c);
    }
    return escaped;
}

QByteArray encodeWord(quint16 n)
{
    QByteArray word(2, Qt::Uninitialized);
    word[0] = char(n >> 8);
    word[1] = char(n & 0xFF);
    return word;
}

QByteArray prefixWithLength(QByteArrayView data)
{
    const QByteArrayView kept = data.first(qMin<qsizetype>(data.size(), 0xFFFF));
    return encodeWord(quint16(kept.size())) + kept.toByteArray();
}

quint16 decodeWord(QByteArrayView bytes)
{
    if (bytes.size() < 2)
        return 0;
    return quint16(static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]));
}

namespace {

// Bytes a UTF-8 sequence takes, judged by its first byte. A stray
// continuation byte or an invalid lead counts as a unit of its own.
qsizetype utf8UnitLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    if (lead >= 0xE0)
        return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2)
        return 2;
    return 1;
}

}  // namespace

QByteArray cutChatText(QByteArrayView utf8, qsizetype maxBytes)
{
    if (utf8.size() <= maxBytes)
        return utf8.toByteArray();
    QByteArray escaped;
    escaped.reserve(maxBytes);
    qsizetype i = 0;
    while (i < utf8.size()) {
        const char c = utf8[i];
        if (c == '\\' && i + 1 < utf8.size()) {
            if (escaped.size() + 2 > maxBytes)
                break;
            escaped.append(utf8.sliced(i, 2));
            i += 2;
            continue;
        }
        qsizetype unit = utf8UnitLength(static_cast<unsigned char>(c));
        // A sequence cut short by the end of the text or by a byte that does
        // not continue it is only as long as its valid part.
        qsizetype valid = 1;
        while (valid < unit && i + valid < utf8.size() && (static_cast<unsigned char>(utf8[i + valid]) & 0xC0) == 0x80)
            ++valid;
        unit = valid;
        if (escaped.size() + unit > maxBytes)
            break;
        escaped.append(utf8.sliced(i, unit));
        i += unit;
    }
    return escaped;
}

QString decodeWireText(QByteArrayView bytes)
{
    return AnsiText::fromUtf8OrAnsi(std::string_view(bytes.data(), std::size_t(bytes.size())));
}
