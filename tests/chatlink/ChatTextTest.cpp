#include "chatlink/ChatText.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>

using ChatText::Style;

namespace {

QString withoutAttributes(QString styled)
{
    static const QRegularExpression sgr(QStringLiteral("\x1b\\[[0-9;]*m"));
    return styled.remove(sgr);
}

// Both forms carry the same characters, and nothing but the attributes
// (and line ends) can reach the terminal as a command.
void expectSameCharactersAndNoControls(const QString& html)
{
    const QString plain = ChatText::render(html, Style::Plain);
    EXPECT_EQ(withoutAttributes(ChatText::render(html, Style::Ansi)), plain) << html.left(200).toStdString();
    const auto control = std::find_if(plain.cbegin(), plain.cend(), [](QChar c) {
        return c != u'\n' && (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0));
    });
    EXPECT_TRUE(control == plain.cend()) << "a control character in " << plain.left(200).toStdString();
}

TEST(ChatText, TagsGoEntitiesAreDecodedOnceAndHostileInputStaysText)
{
    const struct {
        const char16_t* html;
        const char16_t* plain;
    } cases[] = {
        {u"<B>bob</B>: <FONT LANG=\"0\">hi</FONT>", u"bob: hi"},
        {u"<!-- (10:15:02 PM) --><b>a</b>", u"a"},
        // What is not a tag is text; a tag cut off by the line's end shows nothing.
        {u"1 < 2 & 3 > 2, x<3, </> x<", u"1 < 2 & 3 > 2, x<3, </> x<"},
        {u"cut <FONT COLOR=#0080ff", u"cut"},
        {u"cut <font color=\"red>x", u"cut"},
        {u"cut <!-- never closed", u"cut"},
        {u"<p title='a>b' >q<!DOCTYPE html><?x y?>", u"q"},
        {u"&amp;lt; &lt;b&gt; &quot;&apos; &raquo;&eacute;&yuml;&nbsp;&nbsp;x", u"&lt; <b> \"' \u00bb\u00e9\u00ff  x"},
        {u"&bogus; & &amp &#; &#x; &#xg; &verylongname;", u"&bogus; & &amp &#; &#x; &#xg; &verylongname;"},
        // Characters beyond Latin-1, the Windows-1252 numbers browsers honour,
        // and numbers that name no character.
        {u"&#x1F3B5; &#9731;&#x263a &euro;&hellip; &#128;&#150;", u"\U0001F3B5 \u2603\u263a \u20ac\u2026 \u20ac\u2013"},
        {u"&#0;&#xD800;&#1114112;&#99999999999999;\xDC00", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        // Controls, raw or as numbers, never reach the terminal.
        {u"a&#27;[2Jb\x1b[31m\x07\x9b&#x9b;c&#129;", u"a[2Jb[31m\u203ac"},
        {u"  lots \t of\r\n blanks  <b> </b> here ", u"lots of blanks here"},
        {u"one<BR>two <br/> three<Br >", u"one\ntwo\nthree\n"},
    };
    for (const auto& c : cases) {
        const QString html = QString::fromUtf16(c.html);
        EXPECT_EQ(ChatText::render(html, Style::Plain), QString::fromUtf16(c.plain)) << html.toStdString();
        expectSameCharactersAndNoControls(html);
    }
}

TEST(ChatText, StylesNestAsTheRoomWindowShowsThem)
{
    const struct {
        const char16_t* html;
        const char16_t* styled;
    } cases[] = {
        // A closing tag closes what was opened inside it; one that closes
        // nothing open is ignored.
        {u"</u></i></b>A</b>dded <b>bold <i>both</b> neither</i>",
         u"Added \x1b[0;1mbold \x1b[0;1;3mboth\x1b[0m neither"},
        // Nearest terminal colours; the room's black is the terminal's own
        // colour, as is a colour that cannot be read.
        {u"<FONT COLOR=#0080ff>a<FONT COLOR=red>b</FONT>c<font color=#000>d<FONT COLOR=#00000>e<font color=\"#fff\">f",
         u"\x1b[0;36ma\x1b[0;91mb\x1b[0;36mc\x1b[0mde\x1b[0;97mf\x1b[0m"},
        // A blank takes the look it had where it was written.
        {u"<U>x</U> <FONT COLOR=blue>y", u"\x1b[0;4mx\x1b[0m \x1b[0;34my\x1b[0m"},
        // Every line ends in the terminal's plain look.
        {u"<u>x<BR>y", u"\x1b[0;4mx\x1b[0m\n\x1b[0;4my\x1b[0m"},
    };
    for (const auto& c : cases) {
        const QString html = QString::fromUtf16(c.html);
        EXPECT_EQ(ChatText::render(html, Style::Ansi), QString::fromUtf16(c.styled)) << html.toStdString();
        expectSameCharactersAndNoControls(html);
    }
}

TEST(ChatText, VeryLongLinesAreReadInOnePass)
{
    // Deep nesting, closing tags that close nothing, then one that closes all.
    const QString deep = QStringLiteral("<b>") + QStringLiteral("<i>").repeated(50000)
        + QStringLiteral("</u>").repeated(50000) + QStringLiteral("x</b>y");
    EXPECT_EQ(ChatText::render(deep, Style::Ansi), QStringLiteral("\x1b[0;1;3mx\x1b[0my"));
    const QString words = QStringLiteral("<i>word</i> &amp; ").repeated(20000);
    const QString plain = ChatText::render(words, Style::Plain);
    EXPECT_EQ(plain.size(), 7 * 20000 - 1);
    EXPECT_TRUE(plain.startsWith(QStringLiteral("word & word & ")));
    expectSameCharactersAndNoControls(words);
    const QString ampersands = QStringLiteral("&").repeated(200000) + QStringLiteral("&lt;");
    EXPECT_EQ(ChatText::render(ampersands, Style::Plain), QStringLiteral("&").repeated(200000) + u'<');
}

}  // namespace
