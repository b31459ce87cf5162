// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fuzz.h"

#include "chatlink/AimChat.h"
#include "chatlink/AnsiText.h"
#include "toc/RemoveTags.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = FuzzInput(data, size).rest();
    const QString text = QString::fromUtf8(bytes);
    const QStringList lines = aimchat::linesFrom(text, 0);
    fuzzCheck(lines.size() == text.count(QStringLiteral("<br>"), Qt::CaseInsensitive), "one line for each line break");
    // Put back together with the character each dropped, the lines are
    // the text from its first line break to its end.
    qsizetype at = text.indexOf(QStringLiteral("<br>"), 0, Qt::CaseInsensitive);
    for (const QString& line : lines) {
        fuzzCheck(at >= 0 && QStringView(text).mid(at, 4).compare(u"<br>", Qt::CaseInsensitive) == 0
                      && QStringView(text).mid(at, line.size()) == line,
                  "each line is the text from its line break on, in order");
        at += line.size() + 1;
    }
    fuzzCheck(lines.isEmpty() || at == text.size(), "the newest line runs to the text's last character");

    const QString stripped = aimchat::stripTags(text);
    fuzzCheck(!stripped.contains(u'>') && stripped.size() <= text.size(), "stripping leaves no \">\"");
    static const QRegularExpression tag(QStringLiteral("(?s)<.*>"));
    const QString untagged = removeTags(text);
    fuzzCheck(!untagged.contains(tag) && untagged.size() <= text.size(), "no tag is left");
    fuzzCheck(removeTags(untagged) == untagged, "taking the tags out twice changes nothing more");

    // Every byte is a character of Windows-1252 and comes back the same.
    std::string raw = bytes.toStdString();
    const QString ansi = AnsiText::fromAnsi(raw);
    fuzzCheck(ansi.size() == bytes.size() && AnsiText::toAnsi(ansi) == raw, "Windows-1252 round trip");
    fuzzCheck(AnsiText::fromAnsi(AnsiText::toAnsi(text)).size() == text.size(), "one byte per character");
    fuzzCheck(AnsiText::fromUtf8OrAnsi(raw) == (bytes.isValidUtf8() ? text : ansi),
              "UTF-8 when it is, else Windows-1252");

    // The room holds the fuzzed transcript; whatever it held, a plain line
    // said afterwards is the one the next tick reports.
    static SimForm t;
    static SimDesktop::AimChat chat = t.desktop.openAimChat("me");
    static QStringList said;
    static const auto heard
        = QObject::connect(&t->scanner, &ChatScanner::lineReceived, [](const QString& who, const QString& what) {
              said = {who, what};
          });
    static int round = 0;
    if (round == 0)
        t->scanner.startScanning();
    const auto look = [] {
        t->scanner.lookForNewLines();
        while (t->scanner.isBusy())
            QCoreApplication::processEvents();
    };
    t.desktop.sendMessage(chat.transcript, wm::SETTEXT, 0, raw);
    look();
    const QString plain = QStringLiteral("line %1").arg(++round);
    t.desktop.say(chat.window, "somebody", plain.toStdString());
    said.clear();
    look();
    fuzzCheck(said == QStringList({QStringLiteral("somebody"), plain}), "the scanner finds the next plain line");
    return 0;
}
