// The label printer: the template table, the sheet it lays out, and its property rules.
#include <stdexcept>

#include "content/KpLabelPrinter.h"
#include <QPainter>

#include "drawing/KpCanvas.h"
#include "drawing/KpMargins.h"
#include "grid_fixture.h"
#include "image_helpers.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "printing/KpPdfExport.h"

using namespace kp;

using namespace kptest;
using namespace kpcontent;

namespace {
using T = TLabelTemplate;
// The published table, pitches after the zero rule.
const TLabelTemplateRec kTable[] = {
    {T::L7159_Address, 1, A4, kpPortrait, 630, 1037, 630, 500, 6400, 3390, 6670, 3390, 3, 8},
    {T::L7160_Address, 1, A4, kpPortrait, 720, 1590, 720, 500, 6350, 3810, 6600, 3810, 3, 7},
    {T::L7161_Address, 1, A4, kpPortrait, 720, 950, 720, 500, 6350, 4660, 6600, 4660, 3, 6},
    {T::L7162_Address, 1, A4, kpPortrait, 470, 1370, 470, 500, 9900, 3390, 10160, 3390, 2, 8},
    {T::L7163_Address, 1, A4, kpPortrait, 470, 1590, 470, 500, 9900, 3810, 10160, 3810, 2, 7},
    {T::L7164_Address, 1, A4, kpPortrait, 720, 530, 720, 500, 6350, 7200, 6600, 7200, 3, 4},
    {T::L7165_Parcel, 1, A4, kpPortrait, 470, 1380, 470, 500, 9900, 6770, 10160, 6770, 2, 4},
    {T::L7166_Parcel, 1, A4, kpPortrait, 470, 950, 470, 500, 9900, 9310, 10160, 9310, 2, 3},
    {T::L7167_Shipping, 1, A4, kpPortrait, 470, 520, 470, 500, 19960, 28900, 19960, 28900, 1, 1},
    {T::L7168_Shipping, 1, A4, kpPortrait, 470, 570, 470, 500, 19960, 14350, 19960, 14350, 1, 2},
    {T::L7169_Parcel, 1, A4, kpLandscape, 1020, 470, 1020, 500, 13900, 9910, 13900, 10170, 2, 2},
    {T::L7170_Eurofolio, 1, A4, kpPortrait, 3800, 1720, 3800, 500, 13400, 1100, 13400, 1100, 1, 24},
    {T::L7171_LeverArch, 1, A4, kpLandscape, 2920, 500, 2920, 500, 6000, 20000, 6000, 20000, 4, 1},
    {T::L7172_RingBinder, 1, A4, kpPortrait, 370, 1420, 370, 500, 10000, 3000, 10250, 3000, 2, 9},
    {T::L7173_Shipping, 1, A4, kpPortrait, 470, 670, 470, 500, 9900, 5700, 10160, 5700, 2, 5},
    {T::L7263_Address, 1, A4, kpPortrait, 470, 1590, 470, 500, 9900, 3810, 10160, 3810, 2, 7},
    {T::J8660_Diskette, 1, A4, kpPortrait, 2330, 1920, 2330, 500, 7000, 5200, 9310, 5200, 2, 5},
    {T::CD1_CdLabels, 2, A4, kpPortrait, 4600, 2200, 4600, 2200, 11800, 11800, 11800, 13500, 1, 2},
};

class Labels : public ::testing::Test {
protected:
    ErrorCollector errors;
    PreviewHost host;
    TKpPreview& preview = *host.preview;
    TKpLabelPrinter labels;
};

std::vector<TKpSimpleShape*> Outlines(TKpPage* page) {
    std::vector<TKpSimpleShape*> out;
    for (int i = 0; i < page->Count(); ++i) {
        const int32_t type = page->Objects(i)->ObjectType;
        if (type == kpRoundRectShape || type == kpEllipseShape || type == kpRectangleShape)
            out.push_back(static_cast<TKpSimpleShape*>(page->Objects(i)));
    }
    return out;
}
} // namespace

TEST(LabelTemplates, TheTableHoldsTheEighteenSheets) {
    for (int i = 1; i <= KpLabelTemplateCount; ++i) {
        EXPECT_EQ(LabelTemplateRecord(i), kTable[i - 1]) << i;
        EXPECT_EQ(static_cast<int>(LabelTemplateRecord(i).Template), i);
        TLabelTemplate t{};
        ASSERT_TRUE(LabelTemplateFromName(LabelTemplateName(kTable[i - 1].Template), t));
        EXPECT_EQ(t, kTable[i - 1].Template);
    }
    TLabelTemplate t{};
    EXPECT_TRUE(LabelTemplateFromName(QStringLiteral("l7161"), t));
    EXPECT_EQ(t, T::L7161_Address);
    EXPECT_FALSE(LabelTemplateFromName(QStringLiteral("L9999"), t));
    // The zero rule: a zero pitch becomes the label's own size.
    const TLabelTemplateRec r =
        MakeLabelTemplate(T::Custom, 0, kpPortrait, 0, 0, 0, 0, 500, 700, 0, 0, 1, 1);
    EXPECT_EQ(r.HorzPitch, 500);
    EXPECT_EQ(r.VertPitch, 700);
}

TEST_F(Labels, L7161GivesEighteenUnprintableOutlinesColumnByColumn) {
    labels.SetTemplate(T::L7161_Address);
    labels.SetPreview(&preview);
    const auto outlines = Outlines(preview.GetPage(1));
    ASSERT_EQ(outlines.size(), 18u);
    for (int k = 0; k < 18; ++k) {
        SCOPED_TRACE(k);
        const int col = k / 6, row = k % 6;
        EXPECT_EQ(outlines[k]->ObjectType, kpRoundRectShape);
        EXPECT_EQ(outlines[k]->X1, 720 + col * 6600); // 7.2, 73.2, 139.2 mm
        EXPECT_EQ(outlines[k]->Y1, 950 + row * 4660);
        EXPECT_EQ(outlines[k]->X2 - outlines[k]->X1, 6350);
        EXPECT_EQ(outlines[k]->Y2 - outlines[k]->Y1, 4660);
        EXPECT_FALSE(outlines[k]->Printable);
        EXPECT_EQ(outlines[k]->Pen->Color, clSilver);
    }
    EXPECT_EQ(preview.Margins().Left().value, 720);
    EXPECT_EQ(preview.Margins().Top().value, 950);
    EXPECT_EQ(preview.Margins().Bottom().value, 500);
    EXPECT_EQ(labels.TemplateIndex(), 3);
}

TEST_F(Labels, CdLabelsAreTwoCirclesOneAboveTheOther) {
    labels.SetTemplate(T::CD1_CdLabels);
    labels.SetPreview(&preview);
    const auto outlines = Outlines(preview.GetPage(1));
    ASSERT_EQ(outlines.size(), 2u);
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(outlines[k]->ObjectType, kpEllipseShape);
        EXPECT_EQ(outlines[k]->X1, 4600);
        EXPECT_EQ(outlines[k]->Y1, 2200 + k * 13500);
        EXPECT_EQ(outlines[k]->X2 - outlines[k]->X1, 11800);
        EXPECT_EQ(outlines[k]->Y2 - outlines[k]->Y1, 11800);
    }
}

TEST_F(Labels, LandscapeTemplatesTurnThePageAndPortraitOnesTurnItBack) {
    std::vector<TKpOrientation> changes;
    preview.OnChangePageOrientation = [&](void*, int, TKpOrientation o) { changes.push_back(o); };
    labels.SetPreview(&preview);
    for (T t : {T::L7169_Parcel, T::L7171_LeverArch, T::L7161_Address}) {
        labels.SetTemplate(t);
        EXPECT_EQ(preview.GetPage(1)->Orientation(),
                  LabelTemplateRecord(static_cast<int>(t)).Orientation);
    }
    EXPECT_EQ(changes, (std::vector<TKpOrientation>{kpLandscape, kpPortrait}));
}

TEST_F(Labels, EachLabelIsDrawnFromItsOwnCornerOnACleanPage) {
    labels.SetTemplate(T::L7161_Address);
    int n = 0;
    labels.OnDrawLabel = [&](void* sender, TKpCanvas* canvas) {
        EXPECT_EQ(sender, &labels);
        EXPECT_EQ(canvas->Brush().Style(), bsClear);
        canvas->TextOut(500, 500, QString::number(++n), kpUnits);
    };
    int before = 0;
    labels.BeforeDrawLabels = [&](void*) { ++before; };
    AddText(preview.GetPage(1), 0, 0, QStringLiteral("old drawing"));
    labels.SetPreview(&preview);
    EXPECT_EQ(before, 1);
    const auto texts = Texts(preview.GetPage(1));
    ASSERT_EQ(texts.size(), 18u); // the old drawing went
    EXPECT_EQ(texts[0]->Text, QStringLiteral("1"));
    EXPECT_EQ(texts[0]->X1, 720 + 500);
    EXPECT_EQ(texts[0]->Y1, 950 + 500);
    EXPECT_EQ(texts[7]->X1, 720 + 6600 + 500); // 8th label: column 2, row 2
    EXPECT_EQ(texts[7]->Y1, 950 + 4660 + 500);
    EXPECT_EQ(preview.Canvas().OriginX, 0);
    EXPECT_EQ(preview.Canvas().OriginY, 0);
}

TEST_F(Labels, AHandlerThatRaisesLeavesTheOriginAndAutoRefreshAsTheyWere) {
    labels.OnDrawLabel = [](void*, TKpCanvas*) { throw std::runtime_error("label"); };
    preview.AutoRefresh = true;
    EXPECT_THROW(labels.SetPreview(&preview), std::runtime_error);
    EXPECT_EQ(preview.Canvas().OriginX, 0);
    EXPECT_EQ(preview.Canvas().OriginY, 0);
    EXPECT_TRUE(preview.AutoRefresh);
}

TEST_F(Labels, SettingTheGeometryByHandTurnsTheTemplateToCustom) {
    labels.SetPreview(&preview);
    EXPECT_EQ(labels.Template(), T::L7159_Address);
    labels.LabelWidth().SetMillimeters(50);
    EXPECT_EQ(labels.Template(), T::Custom);
    EXPECT_EQ(labels.TemplateIndex(), 0);
    // Nothing was laid out by the change itself.
    EXPECT_EQ(Outlines(preview.GetPage(1)).front()->X2 - Outlines(preview.GetPage(1)).front()->X1,
              6400);
    // Custom lays out from the geometry as it stands and the preview's margins.
    preview.Margins().Left().value = 1000;
    preview.Margins().Top().value = 2000;
    labels.SetColumns(2);
    labels.SetRows(3);
    labels.HorzPitch().value = 0;
    labels.PrintLabels();
    const auto outlines = Outlines(preview.GetPage(1));
    ASSERT_EQ(outlines.size(), 6u);
    EXPECT_EQ(outlines[3]->X1, 1000 + 5000); // zero pitch: the label width
    EXPECT_EQ(outlines[3]->Y1, 2000);
    EXPECT_EQ(outlines[3]->Y2 - outlines[3]->Y1, 3390);
    // A geometry that makes no sheet is reported.
    labels.SetRows(100000);
    labels.PrintLabels();
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_TRUE(errors.texts[0].startsWith(QStringLiteral("TKpLabelPrinter Error...")));
}

TEST_F(Labels, ThePreviewIsClearedWhenReplacedOrWhenTheLookChanges) {
    labels.SetPreview(&preview);
    preview.NewPage();
    labels.PrintLabels();
    ASSERT_EQ(preview.NumPages(), 2);
    labels.LabelPen().SetColor(clRed);
    EXPECT_EQ(preview.NumPages(), 1);
    EXPECT_EQ(Outlines(preview.GetPage(1)).front()->Pen->Color, clRed);
    PreviewHost other;
    preview.NewPage();
    labels.SetPreview(other.preview);
    EXPECT_EQ(preview.NumPages(), 1);
    EXPECT_EQ(preview.GetPage(1)->Count(), 0);
    EXPECT_EQ(Outlines(other.preview->GetPage(1)).size(), 24u);
    other.window.reset();
    EXPECT_EQ(labels.Preview(), nullptr);
}

TEST_F(Labels, OutlinesShowInThePreviewButNotInTheExportedPdf) {
    QTemporaryDir dir;
    VirtualPrinter none{std::vector<TKpVirtualPrinterSetup>{}};
    labels.SetTemplate(T::L7161_Address);
    labels.OnDrawLabel = [](void*, TKpCanvas* canvas) {
        canvas->Brush().SetStyle(bsSolid);
        canvas->Brush().SetColor(clBlack);
        canvas->Pen().SetColor(clBlack);
        canvas->Rectangle(1000, 1000, 2000, 2000, kpUnits); // a 1 cm square per label
    };
    labels.SetPreview(&preview);
    const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
    ExportToPdf(preview, pdf, {.Resolution = 300});
    kptest::Run(QStringLiteral("pdftoppm"),
                {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"),
                 QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("p"))});
    const QImage img =
        QImage(dir.filePath(QStringLiteral("p.png"))).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(img.isNull());
    auto px = [](int units) { return qRound(units / 2540.0 * 72); };
    int outlineInk = 0;
    for (int k = 0; k < 18; ++k) {
        const int x = 720 + (k / 6) * 6600, y = 950 + (k % 6) * 4660;
        // The label's own drawing printed ...
        EXPECT_EQ(qGray(img.pixel(px(x + 1500), px(y + 1500))), 0) << k;
        // ... its outline did not: the top edge's middle stays white.
        for (int dy = -1; dy <= 1; ++dy)
            if (img.pixel(px(x + 3175), px(y) + dy) != qRgb(255, 255, 255)) ++outlineInk;
    }
    EXPECT_EQ(outlineInk, 0);
    // On the page picture of the preview the outline is there.
    preview.RefreshPage();
    QImage shown = testimg::whiteImage(794, 1123);
    {
        QPainter p(&shown);
        TKpDeviceCanvas canvas(&p, 96, 96);
        canvas.PlayMetafile(preview.GetPage(1)->Metafile(), shown.rect());
    }
    EXPECT_NE(shown.pixel(qRound((720 + 3175) / 2540.0 * 96), qRound(950 / 2540.0 * 96)),
              qRgb(255, 255, 255));
}
