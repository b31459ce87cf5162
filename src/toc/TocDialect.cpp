// SPDX-License-Identifier: GPL-3.0-or-later
#include "toc/TocDialect.h"

std::optional<TocDialect> parseTocDialect(const QString& text)
{
    for (const TocDialect dialect : {TocDialect::Toc2, TocDialect::Toc1, TocDialect::Auto}) {
        if (text.trimmed().compare(tocDialectText(dialect), Qt::CaseInsensitive) == 0)
            return dialect;
    }
    return std::nullopt;
}

QString tocDialectText(TocDialect dialect)
{
    switch (dialect) {
    case TocDialect::Toc1:
        return QStringLiteral("1");
    case TocDialect::Toc2:
        return QStringLiteral("2");
    case TocDialect::Auto:
        break;
    }
    return QStringLiteral("auto");
}
