// The demo's find bar: Ctrl+F opens it, the count shows where the user stands, Esc closes it.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "demo/FindBar.h"
#include "demo_fixture.h"

using namespace kp;

TEST(DemoFindBar, CountsTheMatchesAndSaysWhenThereAreNone) {
    demotest::DemoWindows w;
    ASSERT_TRUE(w.main->RunDemo(QStringLiteral("canvas")));
    TFindBar& bar = *w.main->FindBar1;
    EXPECT_FALSE(bar.isVisible());
    w.main->actFind->trigger(); // Ctrl+F
    EXPECT_TRUE(bar.isVisible());

    QTest::keyClicks(bar.Edit, QStringLiteral("textoutright"));
    QTest::keyClick(bar.Edit, Qt::Key_Return);
    EXPECT_EQ(bar.Status(), QStringLiteral("1 of 13"));
    EXPECT_EQ(w.preview().CurrentPage(), 1);
    bar.NextButton->click();
    EXPECT_EQ(bar.Status(), QStringLiteral("2 of 13"));
    bar.PreviousButton->click();
    bar.PreviousButton->click();
    EXPECT_EQ(bar.Status(), QStringLiteral("13 of 13"));
    EXPECT_EQ(w.main->KpThumbnails1->MarkedPages(), (std::vector<int>{1}));

    EXPECT_FALSE(bar.Find(QStringLiteral("no such words")));
    EXPECT_EQ(bar.Status(), QStringLiteral("Not found"));
    QTest::keyClick(&bar, Qt::Key_Escape);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_TRUE(w.preview().FindMatches().empty());
    EXPECT_TRUE(w.errors.empty());
}
