// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/ScreenName.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The encodings every TOC message is built from. Everything that travels on
// the wire is bytes; only screen names and room names, which are compared
// the way people write them, are normalised as text.

// "0x" and two lower-case hex digits per byte, each byte XOR "Tic/Toc".
QByteArray roastPassword(QByteArrayView password);

// The argument between two double quotes, unchanged inside.
QByteArray quoteArgument(QByteArrayView arg);

// One backslash before each of  " \ [ ] { } ( ) ; a backslash is never
// escaped twice.
QByteArray escapeArgument(QByteArrayView arg);

// Big-endian: n div 256, then n mod 256.
QByteArray encodeWord(quint16 n);

// encodeWord of the length, then the data. Data beyond 65535 bytes cannot be
// described by the length word and is left out.
QByteArray prefixWithLength(QByteArrayView data);

// The first two bytes as a big-endian unsigned number, 0..65535.
quint16 decodeWord(QByteArrayView bytes);

// Chat text whose caller has already escaped it, cut to at most maxBytes
// bytes and only between two whole units: a backslash and the byte after it
// are one unit, and so is a UTF-8 character, so a cut never breaks either.
QByteArray cutChatText(QByteArrayView escapedUtf8, qsizetype maxBytes);

// Received text to the program's strings: UTF-8 when the bytes are valid
// UTF-8, otherwise Windows-1252, so no byte is ever lost or replaced.
QString decodeWireText(QByteArrayView bytes);
