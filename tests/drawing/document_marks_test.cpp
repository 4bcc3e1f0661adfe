// A document's bookmarks and links live and die with its pages.
#include <gtest/gtest.h>

#include "drawing/KpDocument.h"

using namespace kp;

namespace {

QStringList Bookmarks(const TKpDocument& doc) {
    QStringList out;
    for (const TKpBookmark& b : doc.Marks().Bookmarks())
        out << QStringLiteral("%1@%2/%3").arg(b.Title).arg(b.Page).arg(b.Level);
    return out;
}

} // namespace

TEST(DocumentMarks, GoWithTheirPagesAndWithClear) {
    TKpDocument doc;
    doc.NewPage();
    doc.NewPage();
    doc.AddBookmark(QStringLiteral("a"), 1);
    doc.AddBookmark(QStringLiteral("b"), 2, 0); // levels start at 1
    doc.AddBookmark(QStringLiteral("c"), 3, 2, 500);
    EXPECT_THROW(doc.AddBookmark(QStringLiteral("d"), 4), EListError);
    EXPECT_THROW(doc.AddLink(0, QRect(), QStringLiteral("x")), EListError);
    doc.AddLink(2, QRect(100, 100, -50, 20), QStringLiteral("https://two/"));
    doc.AddLink(3, QRect(0, 0, 1000, 1000), QStringLiteral("https://three/"));
    doc.AddLink(3, QRect(500, 500, 1000, 1000), QStringLiteral("https://over/"));
    EXPECT_EQ(Bookmarks(doc), (QStringList{"a@1/1", "b@2/1", "c@3/2"}));
    // A rectangle given backwards is turned round; the link added last wins where they overlap.
    EXPECT_EQ(doc.Marks().Links(doc.GetPage(2))[0].Rect, QRect(50, 100, 50, 20));
    const TKpPage* three = doc.GetPage(3);
    EXPECT_EQ(doc.Marks().LinkAt(three, {600, 600})->Url, QStringLiteral("https://over/"));
    EXPECT_EQ(doc.Marks().LinkAt(three, {100, 100})->Url, QStringLiteral("https://three/"));
    EXPECT_EQ(doc.Marks().LinkAt(three, {1600, 100}), nullptr);

    doc.Pages().DeletePage(2);
    EXPECT_EQ(Bookmarks(doc), (QStringList{"a@1/1", "c@2/2"}));
    EXPECT_EQ(doc.Marks().Links(doc.GetPage(2)).size(), 2u); // page 3's, now page 2
    doc.Clear();
    EXPECT_TRUE(doc.Marks().Bookmarks().empty());
    EXPECT_FALSE(doc.Marks().HasLinks());
}
