#include "content/KpRtfPreview.h"

#include "content/KpPrintSession.h"
#include "drawing/KpCanvas.h"
#include "drawing/KpDocument.h"
#include "drawing/KpMargins.h"
#include "drawing/KpUnits.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpGraphics.h"
#include "platform/KpMath.h"
#include "platform/KpPicture.h"
#include "platform/KpRunThen.h"
#include "platform/KpScreen.h"
#include "preview/KpPreview.h"

namespace kp {

namespace {

// A length in twips of a surface with `dpi` pixels per inch. On a 96-dpi surface it is whole
// 96-dpi pixels times 15, as the layout has always had it. On any other surface that pixel
// rule would scale the margins by 96 / dpi (wider than the paper below 96, narrower above), so
// there the length goes straight to twips, which the surface maps back to the same place.
int ToTwips(int32_t kpUnits, int dpi) {
    const Extended inches = static_cast<Extended>(kpUnits) / 2540;
    if (dpi != 96) return static_cast<int>(kp::Round(inches * 1440));
    return static_cast<int>(kp::Round(inches * 96) * 15);
}

// The page's links and headings go to the document, in KpUnits on the page: the surface is
// the whole page, and a twip is 1/1440 inch on it at any resolution.
void keepMarks(TKpDocument& document, int page, TKpRangeMarks& marks) {
    auto units = [](int twips) { return static_cast<int>(kp::Round(twips * 2540.0L / 1440)); };
    for (const TKpRangeLink& link : marks.links) {
        // Places inside the text have nowhere to go in a PDF or a browser.
        if (link.url.startsWith(QLatin1Char('#'))) continue;
        const QRect rect(QPoint(units(link.rect.left), units(link.rect.top)),
                         QPoint(units(link.rect.right) - 1, units(link.rect.bottom) - 1));
        document.AddLink(page, rect, link.url);
    }
    for (const TKpRangeHeading& h : marks.headings)
        document.AddBookmark(h.title, page, h.level, units(h.top));
    marks = {};
}

} // namespace

TKpRtfPreview::TKpRtfPreview(QObject* owner)
    : TKpContentPrinter("TKpRtfPreview", owner, VersionText::Locale),
      textFileFont_(std::make_unique<TKpFont>()), topMargin_(std::make_unique<TKpValue>(3000)),
      bottomMargin_(std::make_unique<TKpValue>(3000)) {
    textFileFont_->SetName(QStringLiteral("Arial"));
    textFileFont_->SetSize(12);
}

TKpRtfPreview::~TKpRtfPreview() = default;

int TKpRtfPreview::topMarginUnits() const {
    return topMargin_->value;
}
void TKpRtfPreview::setTopMarginUnits(int v) {
    topMargin_->value = v;
}
int TKpRtfPreview::bottomMarginUnits() const {
    return bottomMargin_->value;
}
void TKpRtfPreview::setBottomMarginUnits(int v) {
    bottomMargin_->value = v;
}

void TKpRtfPreview::SetTextFileFont(const TKpFont& font) {
    textFileFont_->Assign(font);
}

TKpTwipsRect TKpRtfPreview::TextRect(int dpiX, int dpiY) const {
    TKpTwipsRect r;
    TKpPreview* preview = Preview();
    if (!preview) return r;
    TKpMargins& margins = preview->Margins();
    r.left = ToTwips(margins.Left().value, dpiX);
    r.top = ToTwips(topMargin_->value, dpiY);
    r.right = ToTwips(preview->PaperWidth().value - margins.Right().value, dpiX);
    r.bottom = ToTwips(preview->PaperHeight().value - bottomMargin_->value, dpiY);
    return r;
}

void TKpRtfPreview::PrintRichEdit(TKpRichTextEngine& richEdit) {
    if (!Preview()) return;
    // The run stays with this preview even when a new-page handler points the component at
    // another one or at none; the pages so far stay, and the preview refreshes and tells its
    // linked controls at the end, also when rendering fails.
    TKpPrintSession session(*this, TKpAutoRefreshAfter::On);
    TKpPreview& preview = *session.Preview();
    preview.Clear();

    // Each page is one picture of the whole page at the screen's resolution.
    TKpMetafile picture;
    const int ppi = ScreenPixelsPerInch();
    picture.SetWidth(preview.PaperWidth().AsPixels(ppi));
    picture.SetHeight(preview.PaperHeight().AsPixels(ppi));
    auto surface = std::make_unique<TKpMetafileCanvas>(picture);
    TKpFormatRange range;
    auto bind = [&range](TKpMetafileCanvas& s) {
        range.painter = s.Canvas().Painter();
        range.dpiX = s.Canvas().DpiX();
        range.dpiY = s.Canvas().DpiY();
    };
    bind(*surface);
    TKpTwipsRect rect = TextRect(range.dpiX, range.dpiY);
    range.cpMin = 0;
    range.cpMax = -1;
    TKpRangeMarks marks;
    range.marks = &marks;
    const int length = richEdit.TextLength();
    richEdit.FormatRange(false, nullptr);

    bool placed = false; // the picture being drawn is on its page already
    auto place = [&] {
        surface->End();
        preview.Canvas().Draw(0, 0, &picture, 1, kpMillimeters);
        placed = true;
    };
    // The engine's cache is freed and the page drawn so far placed, also when rendering fails.
    // A page added for text that never came (its handler failed or took the preview away)
    // is not kept, so every page shows its own text once. A preview that is gone gets nothing.
    auto finish = [&] {
        richEdit.FormatRange(false, nullptr);
        if (!session.Preview()) return;
        if (!placed) {
            place();
            return;
        }
        const int last = preview.NumPages();
        if (last > 1 && preview.GetPage(last)->Count() == 0) preview.Pages().DeletePage(last);
    };
    auto render = [&] {
        int start = 0;
        for (;;) {
            range.rc = range.rcPage = rect;
            range.cpMin = start;
            const int next = richEdit.FormatRange(true, &range);
            keepMarks(preview.Document(), preview.NumPages(), marks);
            if (next >= length || next == -1) break;
            // An engine that makes no progress would add blank pages for ever.
            if (next <= start) break;
            place();
            preview.NewPage();
            FireNewPage(OnNewPage, *topMargin_, *bottomMargin_);
            if (!session.Running()) break; // no more pages for this preview
            surface = std::make_unique<TKpMetafileCanvas>(picture);
            placed = false;
            bind(*surface);
            rect = TextRect(range.dpiX, range.dpiY);
            start = next;
        }
    };
    session.Run([&] { kp::RunThen(render, finish); });
}

} // namespace kp
