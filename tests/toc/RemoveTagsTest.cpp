#include "toc/RemoveTags.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QList>

TEST(RemoveTags, FirstLessThanPairsWithTheFirstGreaterThanAfterIt)
{
    const QList<std::pair<QString, QString>> cases {
        {"<font color=\"#ff0000\">p song</font>", "p song"},
        {"<HTML><BODY>a<B>b</B>c</BODY></HTML>", "abc"},
        {"no tags &amp; &lt;entities&gt;", "no tags &amp; &lt;entities&gt;"},
        // A "<" with no ">" after it ends the removal; a ">" before it stays.
        {"1 < 2", "1 < 2"},
        {"<b>x</b> a<b", "x a<b"},
        {"a > b <i>c", "a > b c"},
        // "<a<b>" is one tag; removing it can join text into a new tag.
        {"x<a<b>y>z", "xy>z"},
        {"<<>b>c", "b>c"},
        {"<>", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(RemoveTags(in), out) << in.toStdString();
}
