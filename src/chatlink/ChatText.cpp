// SPDX-License-Identifier: GPL-3.0-or-later
#include "chatlink/ChatText.h"

#include "chatlink/AnsiText.h"

#include <QHash>

#include <array>
#include <optional>
#include <vector>

namespace {

// How a character is shown. A colour is an index into the terminal's
// sixteen-colour palette, or -1 for the terminal's own text colour.
struct Look {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int colour = -1;
    bool operator==(const Look&) const = default;
};

// xterm's default palette, the one most terminals start from.
constexpr std::array<std::array<int, 3>, 16> kPalette = {{
    {0, 0, 0},
    {205, 0, 0},
    {0, 205, 0},
    {205, 205, 0},
    {0, 0, 238},
    {205, 0, 205},
    {0, 205, 205},
    {229, 229, 229},
    {127, 127, 127},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {92, 92, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

int nearestColour(int rgb)
{
    const int red = (rgb >> 16) & 0xFF, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < int(kPalette.size()); ++i) {
        const auto& [r, g, b] = kPalette[std::size_t(i)];
        const int distance = (r - red) * (r - red) + (g - green) * (g - green) + (b - blue) * (b - blue);
        if (distance < bestDistance)
            best = i, bestDistance = distance;
    }
    // The room is written black on white: its black is the normal text
    // colour, which on a dark terminal is not black.
    return best == 0 ? -1 : best;
}

// "#rrggbb", "#rgb" or one of HTML's sixteen colour names. Anything else is
// shown as the normal text colour, as a browser shows a colour it cannot read.
int terminalColour(QString value)
{
    static const QHash<QString, int> named = {
        {QStringLiteral("black"), 0x000000},   {QStringLiteral("silver"), 0xC0C0C0},
        {QStringLiteral("gray"), 0x808080},    {QStringLiteral("grey"), 0x808080},
        {QStringLiteral("white"), 0xFFFFFF},   {QStringLiteral("maroon"), 0x800000},
        {QStringLiteral("red"), 0xFF0000},     {QStringLiteral("purple"), 0x800080},
        {QStringLiteral("fuchsia"), 0xFF00FF}, {QStringLiteral("green"), 0x008000},
        {QStringLiteral("lime"), 0x00FF00},    {QStringLiteral("olive"), 0x808000},
        {QStringLiteral("yellow"), 0xFFFF00},  {QStringLiteral("navy"), 0x000080},
        {QStringLiteral("blue"), 0x0000FF},    {QStringLiteral("teal"), 0x008080},
        {QStringLiteral("aqua"), 0x00FFFF},
    };
    value = value.trimmed().toLower();
    if (const auto found = named.constFind(value); found != named.constEnd())
        return nearestColour(*found);
    bool ok = false;
    const int rgb = int(value.mid(1).toUInt(&ok, 16));
    if (!value.startsWith(u'#') || !ok)
        return -1;
    if (value.size() == 7)
        return nearestColour(rgb);
    if (value.size() == 4)
        return nearestColour((rgb & 0xF00) * 0x1100 + (rgb & 0x0F0) * 0x110 + (rgb & 0x00F) * 0x11);
    return -1;
}

QString sgr(const Look& look)
{
    QString codes = QStringLiteral("\x1b[0");
    if (look.bold)
        codes += QStringLiteral(";1");
    if (look.italic)
        codes += QStringLiteral(";3");
    if (look.underline)
        codes += QStringLiteral(";4");
    if (look.colour >= 0)
        codes += u';' + QString::number(look.colour < 8 ? 30 + look.colour : 90 + look.colour - 8);
    return codes + u'm';
}

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// C0 and C1 controls and DEL: they would reach the terminal as commands.
bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// Lays the text out line by line: blanks collapse into one, none is kept at
// the start or the end of a line, and the terminal is told each change of
// look just before the first character that needs it.
class Writer {
public:
    explicit Writer(ChatText::Style style) : m_style(style) { }

    void blank(const Look& look)
    {
        if (m_lineHasText && !m_blankPending)
            m_blankPending = true, m_blankLook = look;
    }

    void character(char32_t c, const Look& look)
    {
        if (m_blankPending)
            put(u' ', m_blankLook), m_blankPending = false;
        put(c, look);
        m_lineHasText = true;
    }

    void lineBreak()
    {
        show(Look {});
        m_text += u'\n';
        m_lineHasText = m_blankPending = false;
    }

    QString finish()
    {
        show(Look {});
        return std::move(m_text);
    }

private:
    void put(char32_t c, const Look& look)
    {
        show(look);
        m_text += QStringView(QChar::fromUcs4(c));
    }

    void show(const Look& look)
    {
        if (m_style == ChatText::Style::Ansi && look != m_shown)
            m_text += sgr(look), m_shown = look;
    }

    ChatText::Style m_style;
    QString m_text;
    Look m_shown;
    bool m_lineHasText = false;
    bool m_blankPending = false;
    Look m_blankLook;
};

enum class Element { Bold, Strong, Italic, Emphasis, Underline, Font, Count };

std::optional<Element> elementNamed(QStringView name)
{
    static constexpr std::pair<QStringView, Element> elements[] = {
        {u"b", Element::Bold},      {u"strong", Element::Strong}, {u"i", Element::Italic},
        {u"em", Element::Emphasis}, {u"u", Element::Underline},   {u"font", Element::Font},
    };
    for (const auto& [known, element] : elements) {
        if (name.compare(known, Qt::CaseInsensitive) == 0)
            return element;
    }
    return std::nullopt;
}

// The elements that change the look, innermost last. A closing tag closes
// its element and every element opened inside it, and a closing tag whose
// element is not open is ignored: how the chat window's own HTML view reads
// the unbalanced tags of chat lines.
class OpenElements {
public:
    Look look() const { return m_open.empty() ? Look {} : m_open.back().look; }

    void open(Element element, const QString& colour)
    {
        Look inside = look();
        switch (element) {
        case Element::Bold:
        case Element::Strong:
            inside.bold = true;
            break;
        case Element::Italic:
        case Element::Emphasis:
            inside.italic = true;
            break;
        case Element::Underline:
            inside.underline = true;
            break;
        case Element::Font:
            if (!colour.isNull())
                inside.colour = terminalColour(colour);
            break;
        case Element::Count:
            break;
        }
        m_open.push_back({element, inside});
        ++m_count[std::size_t(element)];
    }

    void close(Element element)
    {
        if (m_count[std::size_t(element)] == 0)
            return;
        for (Element closed = Element::Count; closed != element;) {
            closed = m_open.back().element;
            --m_count[std::size_t(closed)];
            m_open.pop_back();
        }
    }

private:
    struct Open {
        Element element;
        Look look;
    };
    std::vector<Open> m_open;
    std::array<int, std::size_t(Element::Count)> m_count {};
};

struct Tag {
    QStringView name;
    bool closing = false;
    QString colour;  // null unless the tag has a COLOR attribute
    qsizetype end = -1;  // just past the ">"; -1 when the tag never ends
};

// The tag that starts at "<" + letter or "</" + letter. Attribute values may
// be quoted and hold ">" then.
Tag readTag(const QString& html, qsizetype at)
{
    Tag tag;
    qsizetype i = at + 1;
    const qsizetype n = html.size();
    if (html[i] == u'/')
        tag.closing = true, ++i;
    const auto nameEnd = [&] { return i >= n || isBlank(html[i].unicode()) || html[i] == u'/' || html[i] == u'>'; };
    const qsizetype nameStart = i;
    while (!nameEnd())
        ++i;
    tag.name = QStringView(html).sliced(nameStart, i - nameStart);
    while (i < n) {
        const char16_t c = html[i].unicode();
        if (c == u'>') {
            tag.end = i + 1;
            return tag;
        }
        if (isBlank(c) || c == u'/') {
            ++i;
            continue;
        }
        const qsizetype attributeStart = i;
        while (i < n && !isBlank(html[i].unicode()) && html[i] != u'=' && html[i] != u'>')
            ++i;
        const QStringView attribute = QStringView(html).sliced(attributeStart, i - attributeStart);
        while (i < n && isBlank(html[i].unicode()))
            ++i;
        if (i >= n || html[i] != u'=')
            continue;
        ++i;
        while (i < n && isBlank(html[i].unicode()))
            ++i;
        qsizetype valueStart = i, valueEnd;
        if (i < n && (html[i] == u'"' || html[i] == u'\'')) {
            valueStart = i + 1;
            valueEnd = html.indexOf(html[i], valueStart);
            if (valueEnd < 0)
                return tag;
            i = valueEnd + 1;
        } else {
            while (i < n && !isBlank(html[i].unicode()) && html[i] != u'>')
                ++i;
            valueEnd = i;
        }
        if (attribute.compare(u"color", Qt::CaseInsensitive) == 0)
            tag.colour = html.mid(valueStart, valueEnd - valueStart);
    }
    return tag;
}

// &nbsp; to &yuml;, the names of U+00A0 to U+00FF in order.
constexpr const char* kLatin1Names
    = "nbsp iexcl cent pound curren yen brvbar sect uml copy ordf laquo not shy reg macr deg plusmn sup2 sup3 "
      "acute micro para middot cedil sup1 ordm raquo frac14 frac12 frac34 iquest Agrave Aacute Acirc Atilde Auml "
      "Aring AElig Ccedil Egrave Eacute Ecirc Euml Igrave Iacute Icirc Iuml ETH Ntilde Ograve Oacute Ocirc Otilde "
      "Ouml times Oslash Ugrave Uacute Ucirc Uuml Yacute THORN szlig agrave aacute acirc atilde auml aring aelig "
      "ccedil egrave eacute ecirc euml igrave iacute icirc iuml eth ntilde ograve oacute ocirc otilde ouml divide "
      "oslash ugrave uacute ucirc uuml yacute thorn yuml";

// HTML's longest entity name, "thetasym".
constexpr qsizetype kLongestName = 8;

const QHash<QString, char32_t>& entityNames()
{
    static const QHash<QString, char32_t> names = [] {
        QHash<QString, char32_t> table = {
            {QStringLiteral("amp"), U'&'},      {QStringLiteral("lt"), U'<'},      {QStringLiteral("gt"), U'>'},
            {QStringLiteral("quot"), U'"'},     {QStringLiteral("apos"), U'\''},   {QStringLiteral("euro"), 0x20AC},
            {QStringLiteral("hellip"), 0x2026}, {QStringLiteral("ndash"), 0x2013}, {QStringLiteral("mdash"), 0x2014},
            {QStringLiteral("lsquo"), 0x2018},  {QStringLiteral("rsquo"), 0x2019}, {QStringLiteral("ldquo"), 0x201C},
            {QStringLiteral("rdquo"), 0x201D},  {QStringLiteral("bull"), 0x2022},  {QStringLiteral("trade"), 0x2122},
        };
        char32_t c = 0xA0;
        for (const QString& name : QString::fromLatin1(kLatin1Names).split(u' '))
            table.insert(name, c++);
        return table;
    }();
    return names;
}

int digitValue(QChar c, bool hex)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    const char16_t lower = u | 0x20;
    return hex && lower >= u'a' && lower <= u'f' ? lower - u'a' + 10 : -1;
}

struct Entity {
    char32_t character = 0;
    qsizetype end = -1;  // just past it; -1 when the "&" starts none
};

// "&name;", "&#decimal;" or "&#xhex;" (the ";" may be left out of the
// numeric ones). Numbers that name no character become U+FFFD; those from
// 128 to 159 are read as Windows-1252, as browsers read them.
Entity readEntity(const QString& html, qsizetype at)
{
    const qsizetype n = html.size();
    qsizetype i = at + 1;
    if (i < n && html[i] == u'#') {
        const bool hex = i + 1 < n && (html[i + 1] == u'x' || html[i + 1] == u'X');
        i += hex ? 2 : 1;
        const qsizetype digits = i;
        char32_t value = 0;
        for (; i < n; ++i) {
            const int digit = digitValue(html[i], hex);
            if (digit < 0)
                break;
            value = std::min<char32_t>(value * (hex ? 16 : 10) + char32_t(digit), 0x110000);
        }
        if (i == digits)
            return {};
        if (i < n && html[i] == u';')
            ++i;
        if (value >= 0x80 && value < 0xA0)
            value = AnsiText::fromAnsi(std::string(1, char(value))).front().unicode();
        if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value < 0xE000))
            value = 0xFFFD;
        return {value, i};
    }
    // Names are short; looking no further keeps a line of "&" without ";" linear.
    const qsizetype length = QStringView(html).sliced(i).left(kLongestName + 1).indexOf(u';');
    if (length < 0)
        return {};
    const auto found = entityNames().constFind(html.mid(i, length));
    if (found == entityNames().constEnd())
        return {};
    return {*found, i + length + 1};
}

bool startsTag(const QString& html, qsizetype at)
{
    if (at + 1 >= html.size())
        return false;
    const QChar next = html[at + 1];
    const auto isAsciiLetter = [](QChar c) { return c.unicode() < 0x80 && c.isLetter(); };
    return isAsciiLetter(next) || next == u'!' || next == u'?'
        || (next == u'/' && at + 2 < html.size() && isAsciiLetter(html[at + 2]));
}

}  // namespace

namespace ChatText {

QString render(const QString& html, Style style)
{
    Writer writer(style);
    OpenElements open;
    const qsizetype n = html.size();
    qsizetype i = 0;
    while (i < n) {
        const char16_t c = html[i].unicode();
        if (c == u'<' && startsTag(html, i)) {
            const QChar kind = html[i + 1];
            qsizetype end;
            if (QStringView(html).sliced(i).startsWith(u"<!--")) {
                end = html.indexOf(QLatin1String("-->"), i + 4);
                end = end < 0 ? n : end + 3;
            } else if (kind == u'!' || kind == u'?') {
                end = html.indexOf(u'>', i);
                end = end < 0 ? n : end + 1;
            } else {
                const Tag tag = readTag(html, i);
                // A tag cut off by the end of the line shows nothing of itself.
                end = tag.end < 0 ? n : tag.end;
                if (tag.end >= 0 && tag.name.compare(u"br", Qt::CaseInsensitive) == 0)
                    writer.lineBreak();
                else if (const auto element = elementNamed(tag.name); element && tag.end >= 0)
                    tag.closing ? open.close(*element) : open.open(*element, tag.colour);
            }
            i = end;
            continue;
        }
        char32_t character = c;
        qsizetype next = i + 1;
        if (c == u'&') {
            if (const Entity entity = readEntity(html, i); entity.end >= 0) {
                character = entity.character;
                next = entity.end;
            }
        } else if (QChar::isHighSurrogate(c) && next < n && html[next].isLowSurrogate()) {
            character = QChar::surrogateToUcs4(c, html[next].unicode());
            ++next;
        } else if (QChar::isSurrogate(c)) {
            character = 0xFFFD;
        }
        i = next;
        if (character < 0x80 && isBlank(char16_t(character)))
            writer.blank(open.look());
        else if (character == 0xA0)
            writer.character(U' ', open.look());
        else if (!isControl(character))
            writer.character(character, open.look());
    }
    return writer.finish();
}

}  // namespace ChatText
