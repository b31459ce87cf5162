#include "bot/AnsiText.h"

namespace {

// 0x80..0x9F; 0 where the code page leaves the byte undefined (those bytes
// are read as the control characters of the same value).
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

} // namespace

QByteArray toAnsi(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        char byte = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            byte = char(u);
        } else if (u >= 0x80 && u < 0xA0) {
            // Undefined positions pass through as themselves.
            if (kHigh[u - 0x80] == 0)
                byte = char(u);
        } else {
            for (int i = 0; i < 32; ++i) {
                if (kHigh[i] == u) {
                    byte = char(0x80 + i);
                    break;
                }
            }
        }
        bytes.append(byte);
    }
    return bytes;
}

QString fromAnsi(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        if (u >= 0x80 && u < 0xA0 && kHigh[u - 0x80] != 0)
            text.append(QChar(kHigh[u - 0x80]));
        else
            text.append(QChar(u));
    }
    return text;
}
