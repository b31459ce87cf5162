// SPDX-License-Identifier: GPL-3.0-or-later
#include "bot/SystemInfo.h"

#include <quillon/Version.h>

#include <QLocale>

#include <array>
#include <cmath>

namespace {

QString properCase(const QString& text)
{
    QString result = text.toLower();
    bool wordStart = true;
    for (QChar& c : result) {
        if (c.isSpace()) {
            wordStart = true;
        } else {
            if (wordStart)
                c = c.toUpper();
            wordStart = false;
        }
    }
    return result;
}

// "##00": at least two digits.
QString twoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QLocale groupingLocale()
{
    QLocale locale = QLocale::system();
    // The C locale leaves groups out by default; the text wants them.
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale;
}

}  // namespace

QString convert(const QString& a)
{
    static const std::array<const char*, 21> units
        = {"",         "one ",     "two ",     "three ",     "four ",     "five ",     "six ",
           "seven ",   "eight ",   "nine ",    "ten ",       "eleven ",   "twelve ",   "thirteen ",
           "fouteen ", "fifteen ", "sixteen ", "seventeen ", "eighteen ", "nineteen ", "twenty "};
    static const std::array<const char*, 10> tens
        = {"", "", "twenty ", "thirty ", "fourty ", "fifty ", "sixty ", "seventy ", "eighty ", "ninety "};
    bool ok = false;
    const int value = a.trimmed().toInt(&ok);
    if (!ok || value < 0)
        return {};
    if (value <= 20)
        return QString::fromLatin1(units[value]);
    if (value < 100 && value % 10 == 0)
        return QString::fromLatin1(tens[value / 10]);
    return {};
}

QString numWor(QString& a)
{
    static const std::array<const char*, 4> groupWords = {"Billion ", "Million ", "Thousand ", " "};
    bool ok = false;
    const double value = a.trimmed().toDouble(&ok);
    if (!ok)
        return {};
    const double rounded = std::round(value * 100.0) / 100.0;
    a = QStringLiteral("%1").arg(rounded, 15, 'f', 2, QLatin1Char('0'));
    if (rounded < 0 || a.size() != 15)
        return {};  // the digit positions no longer hold the groups

    auto digits = [&](int position, int count) { return a.mid(position - 1, count); };
    QString result;
    for (int group = 0; group < 4; ++group) {
        const int x = 1 + 3 * group;
        if (digits(x, 3) == QLatin1String("000"))
            continue;
        if (digits(x, 1) != QLatin1String("0"))
            result += convert(digits(x, 1)) + QStringLiteral("Hundred ");
        const int t = digits(x + 1, 2).toInt();
        if (t >= 20)
            result += convert(digits(x + 1, 1) + u'0') + convert(digits(x + 2, 1));
        else if (t >= 1)
            result += convert(QString::number(t));
        result += QString::fromLatin1(groupWords[group]);
    }
    const int cents = digits(14, 2).toInt();
    if (cents > 0) {
        if (digits(1, 12) != QString(12, u'0'))
            result += QStringLiteral("And ");
        if (cents >= 20)
            result += convert(digits(14, 1) + u'0') + convert(digits(15, 1));
        else
            result += convert(QString::number(cents));
    }
    return properCase(result);
}

QString ramText(quint64 totalBytes)
{
    const quint64 kib = (totalBytes + 512) / 1024;
    return groupingLocale().toString(kib) + QStringLiteral(" Kbyte");
}

QString uptimeText(quint64 milliseconds)
{
    quint64 t = milliseconds / 1000;
    const quint64 rest = milliseconds % 1000;
    if (rest > 500 || (rest == 500 && t % 2 == 1))
        ++t;  // halves go to the even second
    const quint64 weeks = t / 604800;
    const quint64 days = t % 604800 / 86400;
    const quint64 hours = t % 86400 / 3600;
    const quint64 minutes = t % 3600 / 60;
    const quint64 seconds = t % 60;
    return QString::number(weeks) + QStringLiteral("weeks ") + twoDigits(days) + QStringLiteral("days ")
        + twoDigits(hours) + u':' + twoDigits(minutes) + u':' + twoDigits(seconds);
}

QString driveTypeText(DriveType type)
{
    static const std::array<const char*, 6> names = {"Unknown", "Removable", "Fixed", "Network", "CD-ROM", "RAM Disk"};
    return QString::fromLatin1(names[std::size_t(type)]);
}

QString AboutBox::title()
{
    return QStringLiteral("Quillon");
}

QString AboutBox::caption()
{
    return QStringLiteral("About ") + title();
}

QString AboutBox::versionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(QUILLON_VERSION_MAJOR)
        .arg(QUILLON_VERSION_MINOR)
        .arg(QUILLON_VERSION_PATCH);
}
