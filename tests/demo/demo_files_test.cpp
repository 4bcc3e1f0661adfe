// The window's document files (native and older format, progress, errors reported by the
// application object with the window still usable), the page position shown after every
// demo, and the rows of tabs.
#include <gtest/gtest.h>

#include <QFile>
#include <QProgressDialog>
#include <QTemporaryDir>

#include "demo/TabRows.h"
#include "demo_fixture.h"
#include "drawing/KpExtended.h"
#include "thumbnails/mouse_clicks.h"

using namespace kp;

using demotest::DemoWindows;

namespace {

// Opens file through the toolbar's open button; an error its handler raises is reported
// there, inside the slot, and the click returns.
void OpenThroughTheWindow(DemoWindows& d, const QString& file) {
    d.main->ChooseOpenFile = [file] { return file; };
    testmouse::click(d.main->SpeedButton1);
}

void SaveThroughTheWindow(DemoWindows& d, const QString& file) {
    d.main->ChooseSaveFile = [file] { return file; };
    testmouse::click(d.main->SpeedButton2);
}

} // namespace

TEST(DemoFiles, SavedDocumentOpensAgainWithProgress) {
    DemoWindows d;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("canvas.kpp"));
    d.main->actCanvas->trigger();
    std::vector<int> saved;
    d.preview().OnSaveProgress = [&](void*, int p) { saved.push_back(p); };
    d.main->ProgressDelayMs = 0;
    SaveThroughTheWindow(d, file);
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_EQ(saved.size(), 7u); // the host's own handler still hears every step
    EXPECT_EQ(saved.back(), 100);
    ASSERT_TRUE(d.preview().OnSaveProgress); // and has it back afterwards

    d.main->actAbout->trigger();
    EXPECT_EQ(d.counter(), QStringLiteral("1 of 1"));
    int shownDuringLoad = 0;
    d.preview().OnLoadProgess = [&](void*, int) {
        for (auto* p : d.main->findChildren<QProgressDialog*>())
            shownDuringLoad += p->isVisible();
    };
    OpenThroughTheWindow(d, file);
    EXPECT_TRUE(d.errors.empty());
    EXPECT_EQ(d.preview().NumPages(), 7);
    EXPECT_GT(shownDuringLoad, 0);
    for (auto* p : d.main->findChildren<QProgressDialog*>())
        EXPECT_FALSE(p->isVisible());
    // The counter and the strip show the page on display.
    const int current = d.preview().CurrentPage();
    EXPECT_EQ(d.counter(), QStringLiteral("%1 of 7").arg(current));
    EXPECT_EQ(d.highlighted(), std::vector<int>{current});
}

TEST(DemoFiles, OlderFormatDocumentOpens) {
    QFile body(QStringLiteral(PAGINOR_SOURCE_DIR "/fuzz/corpus/legacy/document.bin"));
    ASSERT_TRUE(body.open(QIODevice::ReadOnly));
    const TKpExt80 version = Ext80FromDecimal("2.2");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("old.kpp"));
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(reinterpret_cast<const char*>(version.Bytes.data()), 10);
        out.write(body.readAll());
    }
    DemoWindows d;
    d.main->actCanvas->trigger();
    OpenThroughTheWindow(d, file);
    EXPECT_TRUE(d.errors.empty()) << d.errors.front().toStdString();
    EXPECT_LT(d.preview().NumPages(), 7);
    EXPECT_EQ(
        d.counter(),
        QStringLiteral("%1 of %2").arg(d.preview().CurrentPage()).arg(d.preview().NumPages()));
}

TEST(DemoFiles, TruncatedDocumentIsReportedAndTheWindowCarriesOn) {
    DemoWindows d;
    QTemporaryDir dir;
    const QString whole = dir.filePath(QStringLiteral("whole.kpp"));
    d.main->actCanvas->trigger();
    d.main->SaveDocument(whole);
    QFile in(whole);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    const QString cut = dir.filePath(QStringLiteral("cut.kpp"));
    {
        QFile out(cut);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes.left(bytes.size() / 2));
    }

    OpenThroughTheWindow(d, cut);
    ASSERT_EQ(d.errors.size(), 1u);
    EXPECT_EQ(d.errors[0], QStringLiteral("Stream read error"));
    // The preview shows a consistent page and the window stays usable.
    EXPECT_TRUE(d.preview().AutoRefresh);
    EXPECT_EQ(
        d.counter(),
        QStringLiteral("%1 of %2").arg(d.preview().CurrentPage()).arg(d.preview().NumPages()));
    for (auto* p : d.main->findChildren<QProgressDialog*>())
        EXPECT_FALSE(p->isVisible());
    testmouse::click(d.main->SpeedButton4);
    EXPECT_EQ(d.counter(), QStringLiteral("1 of 7"));
    EXPECT_EQ(d.main->KpThumbnails1->Thumbnails().Count(), 7);

    OpenThroughTheWindow(d, dir.filePath(QStringLiteral("missing.kpp")));
    ASSERT_EQ(d.errors.size(), 2u);
    EXPECT_TRUE(d.errors[1].startsWith(QStringLiteral("Cannot open file")))
        << d.errors[1].toStdString();
    EXPECT_EQ(d.preview().NumPages(), 7); // refused before the document was touched

    // A cancelled dialog does nothing.
    OpenThroughTheWindow(d, QString());
    SaveThroughTheWindow(d, QString());
    EXPECT_EQ(d.errors.size(), 2u);
    EXPECT_TRUE(d.messages.empty());
}

TEST(DemoPagePosition, CounterAndHighlightFollowEveryDemo) {
    DemoWindows d;
    d.main->actCanvas->trigger();
    testmouse::click(d.main->KpThumbnails1->Thumbnails().Items(5)->PageImage());
    EXPECT_EQ(d.counter(), QStringLiteral("5 of 7"));
    EXPECT_EQ(d.highlighted(), std::vector<int>{5});
    struct Step {
        std::function<void()> run;
        const char* counter;
    };
    const Step steps[] = {
        {[&] { d.main->actAbout->trigger(); }, "1 of 1"},
        {[&] { d.main->actCanvas->trigger(); }, "1 of 7"},
        {[&] { d.main->SpeedButton25Click(); }, "1 of 2"},
        {[&] { d.main->actZooming->trigger(); }, "1 of 1"},
        {[&] { testmouse::click(d.main->SpeedButton4); }, "1 of 7"},
        {[&] { testmouse::click(d.main->lblGraphicsLink); }, "1 of 2"},
        {[&] { d.main->PageControl1->setCurrentIndex(0); }, "1 of 1"},
    };
    for (const Step& s : steps) {
        // Start each from a later page where there is one.
        d.preview().LastPage();
        s.run();
        EXPECT_EQ(d.counter(), QString::fromLatin1(s.counter));
        EXPECT_EQ(d.highlighted(), std::vector<int>{1}) << s.counter;
    }
}

TEST(DemoTabs, RowsSplitWhereTheNextTabNoLongerFits) {
    using Rows = std::vector<std::vector<int>>;
    EXPECT_EQ(TabRowsLayout({100, 100, 100}, 301, 2), (Rows{{0, 1}, {2}}));
    EXPECT_EQ(TabRowsLayout({100, 100, 97}, 301, 2), (Rows{{0, 1, 2}}));
    EXPECT_EQ(TabRowsLayout({100, 100, 98}, 301, 2), (Rows{{0, 1}, {2}}));
    EXPECT_EQ(TabRowsLayout({400, 50, 50}, 301, 2), (Rows{{0}, {1, 2}})); // too wide: alone
    EXPECT_EQ(TabRowsLayout({}, 301, 2), Rows{});
}

TEST(DemoTabs, AllSevenTabsInSightAndEachRunsItsDemo) {
    DemoWindows d;
    TTabRows& rows = *d.main->TabRows;
    EXPECT_FALSE(d.main->PageControl1->tabBar()->isVisible());
    EXPECT_LE(rows.width(), 301);
    EXPECT_GE(rows.RowCount(), 2);
    for (int i = 0; i < 7; ++i) {
        QAbstractButton* b = rows.Button(i);
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(b->isVisible()) << i;
        EXPECT_EQ(b->text(), d.main->PageControl1->tabText(i));
        EXPECT_TRUE(rows.rect().contains(b->geometry())) << i;
    }
    EXPECT_TRUE(rows.Button(0)->isChecked());
    testmouse::click(rows.Button(1));
    EXPECT_EQ(d.main->PageControl1->currentIndex(), 1);
    EXPECT_EQ(d.counter(), QStringLiteral("1 of 7"));
    testmouse::click(rows.Button(6));
    EXPECT_EQ(d.preview().NumPages(), 1);
    // A demo run from its button selects its tab's button too.
    testmouse::click(d.main->SpeedButton4);
    EXPECT_TRUE(rows.Button(1)->isChecked());
    EXPECT_FALSE(rows.Button(6)->isChecked());
}
