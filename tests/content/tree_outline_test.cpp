// Indented outlines read into tree nodes, and visibility in the plain node list.
#include <gtest/gtest.h>

#include <QStringList>

#include "content/KpTreeList.h"

using namespace kp;

namespace {
QStringList Levels(const QByteArray& text) {
    TKpOutlineReader r;
    EXPECT_TRUE(r.Read(text)) << r.Error().toStdString();
    QStringList out;
    for (const TKpTreeNode& n : r.Nodes())
        out << QStringLiteral("%1%2").arg(n.Level).arg(n.Text);
    return out;
}
} // namespace

TEST(TreeOutline, IndentationGivesTheLevel) {
    EXPECT_EQ(Levels("a\n  b\n    c\n  d\ne\n"), (QStringList{"0a", "1b", "2c", "1d", "0e"}));
    EXPECT_EQ(Levels("a\n\tb\n\t\tc\n\n\td\r\n"), (QStringList{"0a", "1b", "2c", "1d"}));
    // A shallower line that matches no earlier indentation joins the nearest shallower one.
    EXPECT_EQ(Levels("a\n    b\n  c\n"), (QStringList{"0a", "1b", "1c"}));
    // The listings of `tree`, with line-drawing characters and in ASCII.
    EXPECT_EQ(
        Levels(".\n\xE2\x94\x9C\xE2\x94\x80\xE2\x94\x80 src\n\xE2\x94\x82   \xE2\x94\x94"
               "\xE2\x94\x80\xE2\x94\x80 main.cpp\n\xE2\x94\x94\xE2\x94\x80\xE2\x94\x80 README\n"),
        (QStringList{"0.", "1src", "2main.cpp", "1README"}));
    EXPECT_EQ(Levels(".\n|-- src\n|   `-- a-b.cpp\n`-- doc\n"),
              (QStringList{"0.", "1src", "2a-b.cpp", "1doc"}));
}

TEST(TreeOutline, EmptyOrBinaryFilesAreRefused) {
    for (const QByteArray& bad :
         {QByteArray(""), QByteArray("\n  \n\t\n"), QByteArray("a\n\x01\x02")}) {
        TKpOutlineReader r;
        EXPECT_FALSE(r.Read(bad));
        EXPECT_FALSE(r.Error().isEmpty());
    }
}

TEST(TreeOutline, ANodeIsVisibleWhenEveryAncestorIsExpanded) {
    const TKpTreeList list({{QStringLiteral("a"), 0, -1, false},
                            {QStringLiteral("b"), 1, -1, true},
                            {QStringLiteral("c"), 2},
                            {QStringLiteral("d"), 0},
                            {QStringLiteral("e"), 1}});
    const bool visible[] = {true, false, false, true, true};
    for (int i = 0; i < list.Count(); ++i)
        EXPECT_EQ(list.IsVisible(i), visible[i]) << i;
}
