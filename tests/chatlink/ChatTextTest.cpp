// SPDX-License-Identifier: GPL-3.0-or-later
#include "chatlink/ChatText.h"
#include "chatlink/AnsiText.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <numeric>

using ChatText::Style;

namespace {

TEST(ChatText, TagsGoEntitiesAreDecodedOnceStylesNestAndHostileInputStaysText)
{
    const struct {
        const char16_t* html;
        const char16_t* shown;
        Style style = Style::Plain;
    } cases[] = {
        // What is not a tag is text; a tag cut off by the line's end shows nothing.
        {u"1 < 2 & 3 > 2, x<3, </> x<", u"1 < 2 & 3 > 2, x<3, </> x<"},
        {u"cut <font color=\"red>x", u"cut"},
        {u"cut <font color=red", u"cut"},
        {u"cut <font color=", u"cut"},
        {u"cut <font color", u"cut"},
        {u"x</", u"x</"},
        {u"cut <!-- never closed", u"cut"},
        {u"<p title='a>b>' >q<!DOCTYPE html><?x a='y>z", u"qz"},
        {u"&amp;lt; &lt;b&gt; &quot;&apos; &raquo;&eacute;&yuml;&nbsp;&nbsp;x", u"&lt; <b> \"' \u00bb\u00e9\u00ff  x"},
        {u"&bogus; & &amp &#; &#x; &#xg; &verylongname;", u"&bogus; & &amp &#; &#x; &#xg; &verylongname;"},
        {u"&#X41;&#xE000;&#x10FFFF", u"A\uE000\U0010FFFF"},
        // Characters beyond Latin-1, the Windows-1252 numbers browsers honour,
        // and numbers that name no character.
        {u"&#x1F3B5; &#9731;&#x263a &euro;&hellip; &#128;&#150;&#159;",
         u"\U0001F3B5 \u2603\u263a \u20ac\u2026 \u20ac\u2013\u0178"},
        {u"&#0;&#xD800;&#1114112;&#99999999999999;\xDC00 \xD800x y\xDC00\xD800",
         u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD \uFFFDx y\uFFFD\uFFFD"},
        // Controls, raw or as numbers, never reach the terminal.
        {u"a&#27;[2Jb\x1b[31m\x07\x7f\x9b&#x9b;c&#129;", u"a[2Jb[31m\u203ac"},
        {u"  lots\tof\r\n blanks  <b> </b>\nhere\rand\fthere ", u"lots of blanks here and there"},
        {u"one<BR>two <br/> three<Br >", u"one\ntwo\nthree\n"},
        // A closing tag closes what was opened inside it; one that closes
        // nothing open is ignored.
        {u"</u></i></b>A</b>dded <p><b>bold <i>both</b> neither</i>",
         u"Added \x1b[0;1mbold \x1b[0;1;3mboth\x1b[0m neither", Style::Ansi},
        // Nearest terminal colours; the room's black is the terminal's own
        // colour, as is a colour that cannot be read.
        {u"<FONT COLOR=#0080ff>a<FONT COLOR=red>b</FONT>c<font color=#000>d<FONT COLOR=#00000>e<font "
         u"color=\"#fff\">f<font color=gray>g",
         u"\x1b[0;36ma\x1b[0;91mb\x1b[0;36mc\x1b[0mde\x1b[0;97mf\x1b[0;90mg\x1b[0m", Style::Ansi},
        // A tie goes to the first colour; no "#", no colour. Attributes may
        // go without a value, with blanks round "=", or after a "/".
        {u"<font color=#000077>a<font size color = 'lime'>b<font/color=0f00>c", u"a\x1b[0;92mb\x1b[0mc", Style::Ansi},
        // Every line ends in the terminal's plain look; colour joins the looks.
        {u"<B>bob</B>: <FONT LANG=\"0\" COLOR=#0080ff><u>x<BR>y",
         u"\x1b[0;1mbob\x1b[0m: \x1b[0;4;36mx\x1b[0m\n\x1b[0;4;36my\x1b[0m", Style::Ansi},
    };
    static const QRegularExpression sgr(QStringLiteral("\x1b\\[[0-9;]*m")),
        control(QStringLiteral("[\\x00-\\x09\\x0b-\\x1f\\x7f-\\x9f]"));
    for (const auto& c : cases) {
        const QString html = QString::fromUtf16(c.html), plain = ChatText::render(html, Style::Plain);
        EXPECT_EQ(ChatText::render(html, c.style), QString::fromUtf16(c.shown)) << html.toStdString();
        // Both forms carry the same characters, and nothing but the
        // attributes (and line ends) can reach the terminal as a command.
        EXPECT_EQ(ChatText::render(html, Style::Ansi).remove(sgr), plain) << html.toStdString();
        EXPECT_FALSE(plain.contains(control)) << plain.toStdString();
        // Nothing past the line's end is read.
        for (const char16_t past : {u'b', u'5', u'\xDC00'}) {
            const QString longer = html + QChar(past);
            EXPECT_EQ(ChatText::render(QString::fromRawData(longer.constData(), html.size()), c.style),
                      QString::fromUtf16(c.shown));
        }
    }
    // Very long lines are read whole: deep nesting, closing tags that close
    // nothing, then one that closes all.
    const QString deep = QStringLiteral("<b>") + QStringLiteral("<i>").repeated(50000)
        + QStringLiteral("</u>").repeated(50000) + QStringLiteral("x</b>y");
    EXPECT_EQ(ChatText::render(deep, Style::Ansi), QStringLiteral("\x1b[0;1;3mx\x1b[0my"));
}

TEST(AnsiText, CarriesTheProgramsCharactersAsSingleBytesAndEveryByteBack)
{
    EXPECT_EQ(AnsiText::fromAnsi("quillon\xb3\xb7\xb2 \xbb \xf1 \x80"),
              QStringLiteral("quillon\u00b3\u00b7\u00b2 \u00bb \u00f1 \u20ac"));
    // What the code page cannot hold becomes "?"; every byte comes back.
    EXPECT_EQ(AnsiText::toAnsi(QStringLiteral("\u0416!")), "?!");
    std::string all(256, '\0');
    std::iota(all.begin(), all.end(), '\0');
    EXPECT_EQ(AnsiText::toAnsi(AnsiText::fromAnsi(all)), all);
    // UTF-8 is preferred; anything else is Windows-1252.
    EXPECT_EQ(AnsiText::fromUtf8OrAnsi("\xc2\xbb ok"), QStringLiteral("\u00bb ok"));
    EXPECT_EQ(AnsiText::fromUtf8OrAnsi("\xbb \x80\x99"), QStringLiteral("\u00bb \u20ac\u2122"));
}

}  // namespace
