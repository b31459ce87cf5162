// SPDX-License-Identifier: GPL-3.0-or-later
#include "chatlink/AnsiText.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace {

// Bytes 0x80 to 0x9F; the five bytes Windows-1252 leaves unassigned map to
// the control characters of the same number, as Windows maps them.
constexpr std::array<char16_t, 32> kHighControls
    = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
       0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
       0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char toByte(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return char(unit);
    const auto* found = std::find(kHighControls.begin(), kHighControls.end(), unit);
    return found == kHighControls.end() ? '?' : char(0x80 + (found - kHighControls.begin()));
}

}  // namespace

namespace AnsiText {

std::string toAnsi(const QString& text)
{
    std::string bytes(std::size_t(text.size()), '\0');
    std::transform(text.cbegin(), text.cend(), bytes.begin(), [](QChar c) { return toByte(c.unicode()); });
    return bytes;
}

QString fromAnsi(std::string_view bytes)
{
    // Latin-1 is Windows-1252 outside 0x80..0x9F, and its conversion is the
    // fast one; the transcript is converted whole every second.
    QString text = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    if (std::any_of(bytes.begin(), bytes.end(), [](char b) { return (b & 0xE0) == 0x80; })) {
        for (QChar& c : text) {
            if (c.unicode() >= 0x80 && c.unicode() < 0xA0)
                c = QChar(kHighControls[c.unicode() - 0x80]);
        }
    }
    return text;
}

QString fromUtf8OrAnsi(std::string_view bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return utf8.hasError() ? fromAnsi(bytes) : text;
}

std::string toWindow(const WindowSystem& windows, const QString& text)
{
    if (windows.textEncoding() == WindowSystem::TextEncoding::Utf8)
        return text.toStdString();
    return toAnsi(text);
}

QString fromWindow(const WindowSystem& windows, std::string_view bytes)
{
    if (windows.textEncoding() == WindowSystem::TextEncoding::Utf8)
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    return fromAnsi(bytes);
}

}  // namespace AnsiText
