#include "toc/ModToc.h"

#include <QList>
#include <QStringDecoder>

#include <array>

QString NormalizeName(const QString& name)
{
    QString result = name;
    result.remove(QLatin1Char(' '));
    return result.toLower();
}

QByteArray RoastPassword(QByteArrayView password)
{
    static constexpr std::array<unsigned char, 7> kRoast{'T', 'i', 'c', '/', 'T', 'o', 'c'};
    QByteArray roasted;
    roasted.reserve(password.size());
    for (qsizetype i = 0; i < password.size(); ++i)
        roasted.append(char(static_cast<unsigned char>(password[i]) ^ kRoast[i % kRoast.size()]));
    return "0x" + roasted.toHex();
}

QByteArray QuoteArg(QByteArrayView arg)
{
    QByteArray quoted;
    quoted.reserve(arg.size() + 2);
    quoted.append('"').append(arg).append('"');
    return quoted;
}

QByteArray EscapeArg(QByteArrayView arg)
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

QByteArray BytesFromList(QByteArrayView list)
{
    QByteArray bytes;
    for (const QByteArray& piece : list.toByteArray().split(' ')) {
        bool ok = false;
        const int value = piece.toInt(&ok);
        if (ok && value >= 0 && value <= 255)
            bytes.append(char(value));
    }
    return bytes;
}

QByteArray WordBytes(quint16 n)
{
    QByteArray word(2, Qt::Uninitialized);
    word[0] = char(n >> 8);
    word[1] = char(n & 0xFF);
    return word;
}

QByteArray LengthPrefixed(QByteArrayView data)
{
    const QByteArrayView kept = data.first(qMin<qsizetype>(data.size(), 0xFFFF));
    return WordBytes(quint16(kept.size())) + kept.toByteArray();
}

quint16 WordFromBytes(QByteArrayView bytes)
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

} // namespace

QByteArray CutChatText(QByteArrayView utf8, qsizetype maxBytes)
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
        while (valid < unit && i + valid < utf8.size()
               && (static_cast<unsigned char>(utf8[i + valid]) & 0xC0) == 0x80)
            ++valid;
        unit = valid;
        if (escaped.size() + unit > maxBytes)
            break;
        escaped.append(utf8.sliced(i, unit));
        i += unit;
    }
    return escaped;
}

namespace {

// Windows-1252 at 0x80..0x9F; the five bytes it leaves undefined keep their
// own code, so the mapping stays one to one.
constexpr std::array<char16_t, 32> kCp1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QString TextFromWire(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    text.resize(bytes.size());
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b <= 0x9F) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}
