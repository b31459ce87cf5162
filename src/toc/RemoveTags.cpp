// SPDX-License-Identifier: GPL-3.0-or-later
#include "toc/RemoveTags.h"

QString removeTags(const QString& text)
{
    // Removing a tag can only join text before the "<" with text after the
    // ">", so the search for the next "<" may start where the last one was:
    // each character is looked at a bounded number of times.
    QString result = text;
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = result.indexOf(QLatin1Char('<'), from);
        if (open < 0)
            break;
        const qsizetype close = result.indexOf(QLatin1Char('>'), open + 1);
        if (close < 0)
            break;
        result.remove(open, close - open + 1);
        from = open;
    }
    return result;
}
