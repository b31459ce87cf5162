// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// Which TOC the client speaks. The AIM service spoke TOC2; the servers
// people run today speak TOC1 only. Auto signs on with TOC2 and, when the
// server hangs up on toc2_login without a word, with TOC1.
enum class TocDialect { Toc2, Toc1, Auto };

// "1", "2" or "auto", as the option and the per-user store write it;
// anything else (blanks around it aside) is nothing.
std::optional<TocDialect> parseTocDialect(const QString& text);
QString tocDialectText(TocDialect dialect);
