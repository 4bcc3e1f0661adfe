// The tree printer on a hosted preview, through the widget, model and plain-list sources.
#include <stdexcept>

#include <QStandardItemModel>
#include <QTreeView>

#include "content/KpModelTree.h"
#include "content/KpTreeList.h"
#include "content/KpTreeView.h"
#include "content/KpTreeViewPrint.h"
#include "drawing/KpCanvas.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "grid_fixture.h"

using namespace kp;

using namespace kptest;
using namespace kpcontent;

namespace {

class TreePrint : public ::testing::Test {
protected:
    void SetUp() override {
        printer.SetPreview(&preview);
        // A (collapsed) > A1 > A11; B (expanded) > B1; C
        a = tree.AddNode(nullptr, QStringLiteral("A"), 0);
        QTreeWidgetItem* a1 = tree.AddNode(a, QStringLiteral("A1"), 1);
        tree.AddNode(a1, QStringLiteral("A11"));
        b = tree.AddNode(nullptr, QStringLiteral("B"));
        tree.AddNode(b, QStringLiteral("B1"));
        tree.AddNode(nullptr, QStringLiteral("C"));
        a1->setExpanded(true);
        b->setExpanded(true);
    }
    QStringList TextsOn(int page) {
        QStringList out;
        for (TKpTextObject* t : Texts(preview.GetPage(page)))
            out << t->Text.trimmed();
        return out;
    }
    ErrorCollector errors;
    PreviewHost host;
    TKpPreview& preview = *host.preview;
    TKpTreeViewPrint printer;
    TKpTreeView tree;
    QTreeWidgetItem* a = nullptr;
    QTreeWidgetItem* b = nullptr;
};

} // namespace

TEST_F(TreePrint, AnEmptyTreeLeavesThePageUntouched) {
    TKpTreeView empty;
    printer.PrintTreeView(30, 40, empty, kpMillimeters);
    EXPECT_EQ(preview.GetPage(1)->Count(), 0);
    EXPECT_EQ(preview.NumPages(), 1);
    EXPECT_TRUE(preview.AutoRefresh);
}

TEST_F(TreePrint, CollapsedChildrenAreSkippedUnlessAllNodesAreExpanded) {
    printer.ExpandNodes = false;
    printer.PrintTreeView(30, 40, tree, kpMillimeters);
    EXPECT_EQ(TextsOn(1), (QStringList{"A", "B", "B1", "C"}));
    // B takes the second row: nothing left a gap.
    EXPECT_EQ(Texts(preview.GetPage(1))[1]->Y1 - Texts(preview.GetPage(1))[0]->Y1, 600);

    preview.Clear();
    printer.ExpandNodes = true;
    printer.PrintTreeView(30, 40, tree, kpMillimeters);
    EXPECT_EQ(TextsOn(1), (QStringList{"A", "A1", "A11", "B", "B1", "C"}));
    EXPECT_FALSE(a->isExpanded()); // the source is never changed
    EXPECT_TRUE(b->isExpanded());
}

TEST_F(TreePrint, RootsSitAtX0AndEachLevelSixMillimetresIn) {
    tree.SetImages(nullptr);
    printer.PrintTreeView(30, 40, tree, kpMillimeters);
    TKpPage* page = preview.GetPage(1);
    const int levels[] = {0, 1, 2, 0, 1, 0};
    const auto texts = Texts(page);
    ASSERT_EQ(texts.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        const int L = 3000 + 600 * levels[i], top = 4000 + 600 * i;
        EXPECT_TRUE(HasLine(page, L, top + 300, L + 600, top + 300)) << i; // connector
        EXPECT_EQ(texts[i]->X1, L + 600 - 200) << i;                       // no image list
        EXPECT_EQ(texts[i]->Text, QLatin1Char(' ') + tree.Text(i));
        EXPECT_EQ(texts[i]->Brush.Color, clWhite);
        EXPECT_EQ(texts[i]->Brush.Style, bsSolid);
        if (i > 0) EXPECT_TRUE(HasLine(page, 3000, top, 3000, top + 600)) << i; // trunk
    }
}

TEST_F(TreePrint, VerticalConnectorsRiseToTheRowAbove) {
    const TKpTreeList list(
        {{QStringLiteral("a"), 0}, {QStringLiteral("b"), 0}, {QStringLiteral("c"), 1}});
    printer.PrintTreeView(0, 1000, list, kpUnits);
    TKpPage* page = preview.GetPage(1);
    const int32_t h = preview.Canvas().TextHeight(QStringLiteral("c")).value;
    EXPECT_TRUE(HasLine(page, 0, 1900, 0, 1300));             // same level: the middle above
    EXPECT_TRUE(HasLine(page, 600, 2500, 600, 1900 + h / 2)); // deeper: the text middle above
    EXPECT_EQ(Lines(page).size(), 3u + 2 + 2);                // 3 horizontal, 2 vertical, 2 trunk
}

TEST_F(TreePrint, ImagesAreDrawnAtTheConnectorEndAndPushTheText) {
    TKpImageList images(16, 16);
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(Qt::red);
    images.Add(red);
    images.Add(red);
    tree.SetImages(&images);
    printer.PrintTreeView(30, 40, tree, kpMillimeters);
    const auto pictures = ObjectsOf<TKpGraphicObject>(preview.GetPage(1), kpGraphicObject);
    ASSERT_EQ(pictures.size(), 6u); // nodes without an image get a white square
    EXPECT_EQ(pictures[0]->X1, 3000 + 600 - 200);
    EXPECT_EQ(pictures[0]->X2 - pictures[0]->X1, 423); // 16 px
    EXPECT_EQ(pictures[0]->Y1, 4000 + (600 - 423) / 2);
    EXPECT_EQ(pictures[0]->Bitmap().pixel(8, 8), qRgb(255, 0, 0));
    EXPECT_EQ(pictures[2]->Bitmap().pixel(8, 8), qRgb(255, 255, 255));
    EXPECT_EQ(Texts(preview.GetPage(1))[0]->X1, 3000 + 600 + 423 - 200);
}

TEST_F(TreePrint, APageBreakFollowsTheRowAfterWhichNoMoreRowFits) {
    std::vector<TKpTreeNode> nodes(60, TKpTreeNode{QStringLiteral("n"), 0, -1, true});
    TKpTreeList list(nodes);
    preview.Footer().SetVisible(true);
    int calls = 0;
    printer.OnNewPage = [&](void* sender, TKpValue& top, TKpValue&) {
        EXPECT_EQ(sender, &printer);
        if (++calls == 1) top.value = 2000;
    };
    printer.PrintTreeView(0, 4000, list, kpUnits);
    const int32_t limit = 29700 - (preview.Footer().BandHeight().value + 2500);
    EXPECT_EQ(printer.BottomMargin().value, 29700 - limit);
    const int first = static_cast<int>(Texts(preview.GetPage(1)).size());
    // The last row on the page is the one after which another would pass the limit.
    const int32_t lastBottom = 4000 + 600 * first;
    EXPECT_LT(limit, lastBottom + 600);
    EXPECT_GE(limit, lastBottom);
    ASSERT_GE(preview.NumPages(), 2);
    EXPECT_EQ(Texts(preview.GetPage(2)).front()->Y1 - 2000,
              Texts(preview.GetPage(1)).front()->Y1 - 4000);
    EXPECT_EQ(calls, preview.NumPages() - 1);
}

TEST_F(TreePrint, ALastRowThatFillsThePageLeavesAnEmptyPage) {
    printer.RowHeight().value = 1000;
    const int32_t limit = 29700 - 2500;
    // Rows from 0: after the row whose bottom is 27000 the next would end at 28000 > 27200.
    std::vector<TKpTreeNode> nodes(static_cast<size_t>(27), TKpTreeNode{QStringLiteral("n")});
    TKpTreeList list(nodes);
    printer.PrintTreeView(0, 0, list, kpUnits);
    ASSERT_LT(limit, 27000 + 1000);
    EXPECT_EQ(preview.NumPages(), 2);
    EXPECT_EQ(preview.GetPage(2)->Count(), 0);
}

TEST_F(TreePrint, AModelWithAViewPrintsAsTheWidget) {
    QStandardItemModel model;
    auto* ma = new QStandardItem(QStringLiteral("A"));
    auto* ma1 = new QStandardItem(QStringLiteral("A1"));
    ma1->appendRow(new QStandardItem(QStringLiteral("A11")));
    ma->appendRow(ma1);
    auto* mb = new QStandardItem(QStringLiteral("B"));
    mb->appendRow(new QStandardItem(QStringLiteral("B1")));
    model.appendRow(ma);
    model.appendRow(mb);
    model.appendRow(new QStandardItem(QStringLiteral("C")));
    QTreeView view;
    view.setModel(&model);
    view.expand(ma1->index());
    view.expand(mb->index());
    TKpModelTree source(&model, &view);
    ASSERT_EQ(source.Count(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(source.Text(i), tree.Text(i));
        EXPECT_EQ(source.Level(i), tree.Level(i));
        EXPECT_EQ(source.IsVisible(i), tree.IsVisible(i)) << i;
    }
    printer.ExpandNodes = false;
    printer.PrintTreeView(30, 40, source, kpMillimeters);
    EXPECT_EQ(TextsOn(1), (QStringList{"A", "B", "B1", "C"}));
}

TEST_F(TreePrint, TheCanvasFontComesBackAlsoWhenTheNewPageHandlerRaises) {
    std::vector<TKpTreeNode> nodes(60, TKpTreeNode{QStringLiteral("n")});
    TKpTreeList list(nodes);
    preview.Canvas().Font().SetName(QStringLiteral("Liberation Serif"));
    preview.Canvas().Font().SetSize(14);
    printer.Font().SetSize(8);
    printer.OnNewPage = [](void*, TKpValue&, TKpValue&) { throw std::runtime_error("stop"); };
    EXPECT_THROW(printer.PrintTreeView(0, 0, list, kpUnits), std::runtime_error);
    EXPECT_EQ(preview.Canvas().Font().Name(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(preview.Canvas().Font().Size(), 14);
    EXPECT_TRUE(preview.AutoRefresh);
    EXPECT_EQ(Texts(preview.GetPage(1)).front()->Font->Size, 8);
}

TEST_F(TreePrint, WithoutAPreviewNothingHappens) {
    TKpTreeViewPrint lone;
    lone.PrintTreeView(0, 0, tree, kpUnits);
    EXPECT_TRUE(errors.texts.isEmpty());
    EXPECT_EQ(lone.Indent().value, 600);
    EXPECT_EQ(lone.RowHeight().value, 600);
    EXPECT_EQ(lone.Font().Name(), QStringLiteral("Arial"));
    EXPECT_EQ(lone.About(), QStringLiteral("TKpTreeViewPrint v2.42"));
}

TEST_F(TreePrint, TheCanvasOriginMovesTheOutlineButNotThePageEnd) {
    // Started at the same place on the paper, the outline fills the page to the same row
    // whatever origin the canvas records from.
    std::vector<TKpTreeNode> nodes(60, TKpTreeNode{QStringLiteral("n"), 0, -1, true});
    TKpTreeList list(nodes);
    preview.Header().SetVisible(true);
    preview.Footer().SetVisible(true);
    auto firstPage = [&](TKpOriginMode mode, int32_t originY) {
        preview.Clear();
        preview.Canvas().SetOriginMode(mode);
        printer.PrintTreeView(0, 4000 - originY, list, kpUnits);
        std::vector<int32_t> ys;
        for (TKpTextObject* t : Texts(preview.GetPage(1)))
            ys.push_back(t->Y1);
        return ys;
    };
    const std::vector<int32_t> onPage = firstPage(kpOriginPage, 0);
    ASSERT_GT(onPage.size(), 10u);
    const int32_t top = preview.Margins().Top().value;
    const struct {
        TKpOriginMode mode;
        int32_t originY;
    } cases[] = {{kpOriginMargins, top},
                 {kpOriginHeader, top + preview.Header().BandHeight().value}};
    for (const auto& k : cases)
        EXPECT_EQ(firstPage(k.mode, k.originY), onPage) << static_cast<int>(k.mode);
}
