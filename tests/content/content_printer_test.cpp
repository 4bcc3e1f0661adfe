// What the four content printers share: the preview link, About, the new-page event, and the
// print session that puts the preview and its canvas back however a run ends.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <type_traits>

#include "content/KpContentPrinter.h"
#include "content/KpGridPrint.h"
#include "content/KpLabelPrinter.h"
#include "content/KpPrintSession.h"
#include "content/KpRtfPreview.h"
#include "content/KpTextGrid.h"
#include "content/KpTreeList.h"
#include "content/KpTreeViewPrint.h"
#include "drawing/KpCanvas.h"
#include "grid_fixture.h"
#include "richtext/KpFormatRange.h"

using namespace kp;

using namespace kptest;

namespace {

static_assert(std::is_same_v<decltype(TKpRtfPreview::OnNewPage), TKpContentNewPageEvent>);
static_assert(std::is_same_v<decltype(TKpGridPrint::OnGridNewPage), TKpContentNewPageEvent>);
static_assert(std::is_same_v<decltype(TKpTreeViewPrint::OnNewPage), TKpContentNewPageEvent>);

// Ten characters a page, thirty in all: three pages.
struct TenPerPage : TKpRichTextEngine {
    int TextLength() const override { return 30; }
    int FormatRange(bool render, TKpFormatRange* r) override {
        return r && render ? r->cpMin + 10 : 0;
    }
};

struct PrinterCase {
    const char* name;
    const char* about;
    std::function<std::unique_ptr<TKpContentPrinter>()> make;
    // The printer's new-page event and the margins it hands over; none for the label printer,
    // which lays out the current page only.
    std::function<TKpContentNewPageEvent*(TKpContentPrinter&)> event;
    std::function<std::pair<TKpValue*, TKpValue*>(TKpContentPrinter&)> margins;
    // Prints content that needs three or more pages.
    std::function<void(TKpContentPrinter&)> print;
};

template <typename T> T& As(TKpContentPrinter& p) {
    return static_cast<T&>(p);
}
template <typename T> std::pair<TKpValue*, TKpValue*> MarginsOf(TKpContentPrinter& p) {
    return {&As<T>(p).TopMargin(), &As<T>(p).BottomMargin()};
}

const PrinterCase kPrinters[] = {
    {"rich_text", "TKpRtfPreview v2.42", [] { return std::make_unique<TKpRtfPreview>(); },
     [](TKpContentPrinter& p) { return &As<TKpRtfPreview>(p).OnNewPage; }, MarginsOf<TKpRtfPreview>,
     [](TKpContentPrinter& p) {
         TenPerPage engine;
         As<TKpRtfPreview>(p).PrintRichEdit(engine);
     }},
    {"grid", "TKpGridPrint v2.42", [] { return std::make_unique<TKpGridPrint>(); },
     [](TKpContentPrinter& p) { return &As<TKpGridPrint>(p).OnGridNewPage; },
     MarginsOf<TKpGridPrint>,
     [](TKpContentPrinter& p) {
         const TKpTextGrid grid(std::vector<QStringList>(100, QStringList{QStringLiteral("x")}));
         As<TKpGridPrint>(p).PrintGrid(kpUnits, grid, 0, 0, 0);
     }},
    {"tree", "TKpTreeViewPrint v2.42", [] { return std::make_unique<TKpTreeViewPrint>(); },
     [](TKpContentPrinter& p) { return &As<TKpTreeViewPrint>(p).OnNewPage; },
     MarginsOf<TKpTreeViewPrint>,
     [](TKpContentPrinter& p) {
         const TKpTreeList tree(std::vector<TKpTreeNode>(100, TKpTreeNode{QStringLiteral("n")}));
         As<TKpTreeViewPrint>(p).PrintTreeView(0, 0, tree, kpUnits);
     }},
    {"labels", "TKpLabelPrinter v2.42", [] { return std::make_unique<TKpLabelPrinter>(); }, nullptr,
     nullptr, [](TKpContentPrinter& p) { As<TKpLabelPrinter>(p).PrintLabels(); }},
};

class ContentPrinters : public ::testing::TestWithParam<PrinterCase> {};

TEST_P(ContentPrinters, AboutAndALinkThatEmptiesWhenThePreviewGoes) {
    PreviewHost host;
    const auto printer = GetParam().make();
    EXPECT_EQ(printer->About(), QString::fromLatin1(GetParam().about));
    EXPECT_EQ(printer->Preview(), nullptr);
    EXPECT_TRUE(printer->setProperty("Preview", QVariant::fromValue(host.preview)));
    EXPECT_EQ(printer->Preview(), host.preview);
    host.window.reset();
    EXPECT_EQ(printer->Preview(), nullptr);
}

TEST_P(ContentPrinters, NewPageEventGetsThePrinterAndItsMargins) {
    PreviewHost host;
    TKpPreview& preview = *host.preview;
    const auto printer = GetParam().make();
    printer->SetPreview(&preview);
    preview.Clear();
    std::vector<int> pagesAtEvent;
    if (GetParam().event)
        *GetParam().event(*printer) = [&](void* sender, TKpValue& top, TKpValue& bottom) {
            EXPECT_EQ(sender, static_cast<void*>(printer.get()));
            EXPECT_EQ(std::make_pair(&top, &bottom), GetParam().margins(*printer));
            pagesAtEvent.push_back(preview.NumPages());
        };
    GetParam().print(*printer);
    std::vector<int> expected;
    for (int page = 2; GetParam().event && page <= preview.NumPages(); ++page)
        expected.push_back(page);
    EXPECT_EQ(pagesAtEvent, expected);
    EXPECT_EQ(preview.NumPages() >= 3, GetParam().event != nullptr) << preview.NumPages();
    EXPECT_TRUE(preview.AutoRefresh);
}

INSTANTIATE_TEST_SUITE_P(All, ContentPrinters, ::testing::ValuesIn(kPrinters),
                         [](const auto& info) { return std::string(info.param.name); });

// The smallest printer: the link and About of the base, nothing else.
struct BarePrinter : TKpContentPrinter {
    BarePrinter() : TKpContentPrinter("BarePrinter", nullptr) {}
};

TEST(PrintSession, PutsPenFontAndAutoRefreshBackWhenTheRunRaises) {
    const struct {
        TKpAutoRefreshAfter after;
        bool before, expected;
    } cases[] = {{TKpAutoRefreshAfter::On, false, true},
                 {TKpAutoRefreshAfter::AsBefore, false, false},
                 {TKpAutoRefreshAfter::AsBefore, true, true}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.before);
        PreviewHost host;
        TKpPreview& preview = *host.preview;
        TKpCanvas& canvas = preview.Canvas();
        canvas.Pen().SetColor(clBlue);
        canvas.Pen().SetWidth(3);
        canvas.Font().SetName(QStringLiteral("Liberation Serif"));
        canvas.Font().SetSize(14);
        preview.AutoRefresh = k.before;
        BarePrinter printer;
        printer.SetPreview(&preview);
        TKpPrintSession session(printer, k.after);
        session.KeepPen();
        session.KeepFont();
        EXPECT_THROW(session.Run([&] {
            EXPECT_FALSE(preview.AutoRefresh);
            canvas.Pen().SetColor(clRed);
            canvas.Pen().SetWidth(1);
            canvas.Font().SetName(QStringLiteral("Liberation Sans"));
            canvas.Font().SetPixelsPerInch(192);
            throw std::runtime_error("handler");
        }),
                     std::runtime_error);
        EXPECT_EQ(canvas.Pen().Color(), clBlue);
        EXPECT_EQ(canvas.Pen().Width(), 3);
        EXPECT_EQ(canvas.Font().Name(), QStringLiteral("Liberation Serif"));
        EXPECT_EQ(canvas.Font().Size(), 14);
        EXPECT_EQ(canvas.Font().PixelsPerInch(), 96);
        EXPECT_EQ(preview.AutoRefresh, k.expected);
    }
}

TEST(PrintSession, StopsWhenThePreviewGoesOrThePrinterIsPointedElsewhere) {
    PreviewHost host, other;
    BarePrinter printer;
    printer.SetPreview(host.preview);
    {
        TKpPrintSession session(printer, TKpAutoRefreshAfter::On);
        EXPECT_TRUE(session.Running());
        printer.SetPreview(other.preview);
        EXPECT_FALSE(session.Running());
        session.Run([] {});
        EXPECT_TRUE(host.preview->AutoRefresh); // the run's own preview gets it back
    }
    TKpPrintSession session(printer, TKpAutoRefreshAfter::On);
    session.KeepPen();
    session.KeepFont();
    EXPECT_THROW(session.Run([&] {
        other.window.reset();
        throw std::runtime_error("closed");
    }),
                 std::runtime_error);
    EXPECT_EQ(session.Preview(), nullptr);
    EXPECT_FALSE(session.Running());
    EXPECT_EQ(printer.Preview(), nullptr);
}

} // namespace
