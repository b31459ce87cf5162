#include "toc/RemoveTags.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

TEST(RemoveTags, TakesOutEveryTagAndKeepsTheText)
{
    EXPECT_EQ(RemoveTags(QStringLiteral("<font color=\"#ff0000\">p song</font>")), QStringLiteral("p song"));
    EXPECT_EQ(RemoveTags(QStringLiteral("<HTML><BODY>a<B>b</B>c</BODY></HTML>")), QStringLiteral("abc"));
    const QString entities = QStringLiteral("no tags &amp; &lt;entities&gt;");
    EXPECT_EQ(RemoveTags(entities), entities);
}

TEST(RemoveTags, StopsAtALessThanWithoutAGreaterThanAfterIt)
{
    EXPECT_EQ(RemoveTags(QStringLiteral("1 < 2")), QStringLiteral("1 < 2"));
    EXPECT_EQ(RemoveTags(QStringLiteral("<b>x</b> a<b")), QStringLiteral("x a<b"));
    // A ">" before the first "<" stays.
    EXPECT_EQ(RemoveTags(QStringLiteral("a > b <i>c")), QStringLiteral("a > b c"));
}

TEST(RemoveTags, FirstLessThanPairsWithTheFirstGreaterThanAfterIt)
{
    // "<a<b>" is one tag; removing it can join text into a new tag.
    EXPECT_EQ(RemoveTags(QStringLiteral("x<a<b>y>z")), QStringLiteral("xy>z"));
    EXPECT_EQ(RemoveTags(QStringLiteral("<<>b>c")), QStringLiteral("b>c"));
    EXPECT_EQ(RemoveTags(QStringLiteral("<>")), QString());
}
