// The demos that draw straight onto the preview's canvas: the About page, the canvas
// routines, graphics and the empty page for zooming. Positions are in millimetres, colours
// are $BBGGRR values, font sizes are points.
#include "demo/untMain.h"
#include "drawing/KpCanvas.h"
#include "drawing/KpHeaderFooter.h"
#include "platform/KpStateGuard.h"

using namespace kp;

namespace {

// Lowers each of the three colour channels by the same step, stopping at black: a plain
// subtraction of the packed value would run below zero after seventeen steps of $0B0B0B.
TColor darker(TColor c, int step) {
    const int r = std::max(0, GetRValue(c) - step);
    const int g = std::max(0, GetGValue(c) - step);
    const int b = std::max(0, GetBValue(c) - step);
    return KpRGB(r, g, b);
}

// A brush given a colour is filled, as the platform brush does when its colour is set.
void fill(TKpCanvas& canvas, TColor color) {
    canvas.Brush().SetColor(color);
    if (canvas.Brush().Style() == bsClear) canvas.Brush().SetStyle(bsSolid);
}

} // namespace

const std::vector<TfrmMain::DemoEntry>& TfrmMain::Demos() {
    static const std::vector<DemoEntry> demos = {
        {"about", [](TfrmMain& w) { w.actAbout->trigger(); }},
        {"canvas", [](TfrmMain& w) { w.actCanvas->trigger(); }},
        {"graphics", [](TfrmMain& w) { w.SpeedButton25Click(); }},
        // As when the user picks the zooming tab.
        {"zooming",
         [](TfrmMain& w) {
             w.selectTab(6);
             w.actZooming->trigger();
         }},
        // Without its message box, laying out DemoRtfFile or the bundled Paginor.rtf.
        {"richtext", [](TfrmMain& w) { w.RunRichTextDemo(w.DemoRtfFile); }},
        {"stringgrid", [](TfrmMain& w) { w.actStringGrid->trigger(); }},
        {"treeview", [](TfrmMain& w) { w.actTreeView->trigger(); }},
        {"labels", [](TfrmMain& w) { w.actLabel->trigger(); }},
    };
    return demos;
}

QStringList TfrmMain::DemoNames() {
    QStringList names;
    for (const DemoEntry& d : Demos())
        names << QString::fromLatin1(d.name);
    return names;
}

bool TfrmMain::RunDemo(const QString& name) {
    for (const DemoEntry& d : Demos())
        if (name == QLatin1String(d.name)) {
            d.run(*this);
            return true;
        }
    return false;
}

void TfrmMain::DrawPageTitle(const QString& text) {
    TKpCanvas& c = KpPreview1->Canvas();
    const int h = kp::RoundInt(KpPreview1->PaperHeight().AsMillimeters());
    c.Font().SetSize(56);
    c.Brush().SetStyle(bsClear);
    c.Font().SetStyle(FontStyleBit(fsBold));
    c.Font().SetColor(clBlack);
    c.TextOut(21, h - 59, text, kpMillimeters);
    c.Font().SetColor(clRed);
    c.TextOut(20.5L, h - 59.5L, text, kpMillimeters);
}

void TfrmMain::actAboutExecute() {
    TKpPreview& p = *KpPreview1;
    p.FirstPage();
    KpThumbnails1->SetEnabled(false);
    p.Header().SetCaptionLeft(QStringLiteral("Paginor Print Preview Components"));
    p.Margins().Assign(SavedMargins());
    p.Clear();
    selectTab(0);
    p.Header().SetVisible(true);
    p.Footer().SetVisible(true);
    TKpCanvas& c = p.Canvas();
    c.Font().SetSize(72);
    c.Font().SetName(QStringLiteral("Times New Roman"));
    c.TextOut(30, 60, QStringLiteral("Paginor"), kpMillimeters);
    c.Draw(20, 100, &Picture1, 2.0L);
    p.RefreshPage();
    KpThumbnails1->SetEnabled(true);
}

void TfrmMain::actCanvasExecute() {
    TKpPreview& p = *KpPreview1;
    p.FirstPage();
    p.Margins().Assign(SavedMargins());
    // Built with the display quiet; a drawing error still leaves it switched on.
    TKpStateGuard<bool> quiet(p.AutoRefresh, false, &p);
    p.Clear();
    selectTab(1);
    p.Header().SetVisible(true);
    p.Footer().SetVisible(true);
    KpThumbnails1->SetEnabled(false);
    p.SetOrientation(kpPortrait);
    TKpCanvas& c = p.Canvas();

    // Page 1: plain and right-aligned text, shrinking and darkening line by line.
    c.Font().SetSize(27);
    c.Font().SetColor(0xC0C0C0);
    c.Font().SetName(QStringLiteral("Times New Roman"));
    for (int i = 3; i <= 15; ++i) {
        c.TextOut(25, 14 * i, QStringLiteral("The \"TextOut\" method"), kpMillimeters);
        c.Font().SetSize(c.Font().Size() - 1);
        c.Font().SetColor(darker(c.Font().Color(), 0x10));
    }
    c.Font().SetSize(27);
    c.Font().SetColor(0xC0C0C0);
    for (int i = 15; i >= 3; --i) {
        c.TextOutRight(200, 14 * i, QStringLiteral("The \"TextOutRight\" method"), kpMillimeters);
        c.Font().SetSize(c.Font().Size() - 1);
        c.Font().SetColor(darker(c.Font().Color(), 0x10));
    }
    DrawPageTitle(QStringLiteral("Text Methods"));
    p.NewPage();

    // Page 2: a wheel of rotated text.
    c.Brush().SetStyle(bsClear);
    c.Font().SetColor(0xC0C0C0);
    c.Font().SetStyle(FontStyleBit(fsBold));
    c.Font().SetSize(22);
    for (int i = 1; i <= 24; ++i) {
        c.RotateOut(100, 140, 15 * i + 1, QStringLiteral("             Draw Rotated Text"),
                    kpMillimeters);
        c.Font().SetColor(darker(c.Font().Color(), 0x0B));
    }
    DrawPageTitle(QStringLiteral("\"RotateOut\" Method"));
    p.NewPage();

    // Pages 3 and 4: text boxes fitted to their wrapped text, without and with borders.
    const QString texts[] = {
        QStringLiteral("An example of using a textbox with LEFT text alignment"),
        QStringLiteral("An example of using a textbox with CENTER text alignment"),
        QStringLiteral("An example of using a textbox with RIGHT text alignment")};
    const TAlignment alignments[] = {taLeftJustify, taCenter, taRightJustify};
    const int tops[] = {60, 120, 180};
    auto boxes = [&](const TColor(&brushes)[3]) {
        for (int i = 0; i < 3; ++i) {
            fill(c, brushes[i]);
            c.TextBox(60, tops[i], 150, 0, texts[i], alignments[i], true, kpMillimeters);
        }
    };
    c.Font().SetStyle(0);
    c.Font().SetColor(clBlack);
    c.Font().SetSize(24);
    c.Pen().SetStyle(psClear);
    boxes({0xC0C0C0, 0xDDDDDD, 0xEFEFEF});
    DrawPageTitle(QStringLiteral("TextBox Method"));
    p.NewPage();

    c.Font().SetStyle(0);
    c.Font().SetColor(clBlack);
    c.Font().SetSize(24);
    c.Pen().SetStyle(psSolid);
    c.Pen().SetWidth(3);
    boxes({0xFFAAAA, 0xAAFFAA, 0xAAAAFF});
    DrawPageTitle(QStringLiteral("... with Borders"));
    p.NewPage();

    // Page 5: rectangles.
    c.Pen().SetColor(clBlack);
    c.Pen().SetWidth(2);
    fill(c, clRed);
    c.Rectangle(30, 55, 170, 90, kpMillimeters);
    fill(c, 0x008000);
    c.Rectangle(70, 60, 150, 130, kpMillimeters);
    fill(c, clYellow);
    c.Rectangle(40, 110, 90, 180, kpMillimeters);
    fill(c, clBlue);
    c.Rectangle(70, 160, 180, 190, kpMillimeters);
    DrawPageTitle(QStringLiteral("Draw Rectangles"));
    p.NewPage();

    // Pages 6 and 7: ellipses, then rounded rectangles in the same boxes.
    struct Box {
        TColor colour;
        int x1, y1, x2, y2, corner;
    };
    const Box shapes[] = {{clRed, 30, 50, 80, 200, 10},
                          {clGreen, 40, 60, 180, 90, 20},
                          {clBlue, 90, 75, 150, 160, 5},
                          {clYellow, 130, 90, 190, 200, 10}};
    for (const Box& b : shapes) {
        fill(c, b.colour);
        c.Ellipse(b.x1, b.y1, b.x2, b.y2, kpMillimeters);
    }
    c.Brush().SetStyle(bsClear);
    c.Font().SetStyle(FontStyleBit(fsBold));
    c.Font().SetColor(clBlack);
    DrawPageTitle(QStringLiteral("Draw Ellipses"));
    p.NewPage();

    for (const Box& b : shapes) {
        fill(c, b.colour);
        c.RoundRect(b.x1, b.y1, b.x2, b.y2, b.corner, b.corner, kpMillimeters);
    }
    c.Brush().SetStyle(bsClear);
    c.Font().SetStyle(FontStyleBit(fsBold));
    c.Font().SetColor(clBlack);
    DrawPageTitle(QStringLiteral("Draw Round Rects"));

    p.FirstPage();
    quiet.Restore();
    p.RefreshPage();
    KpThumbnails1->SetEnabled(true);
}

void TfrmMain::SpeedButton25Click() {
    TKpPreview& p = *KpPreview1;
    KpThumbnails1->SetEnabled(false);
    // Built with the display quiet; a drawing error still leaves it switched on.
    TKpStateGuard<bool> quiet(p.AutoRefresh, false, &p);
    p.Clear();
    p.SetOrientation(kpPortrait);
    TKpCanvas& c = p.Canvas();

    // Page 1: each picture at its own size.
    c.Draw(70, 50, &Picture2, 1, kpMillimeters);
    c.Draw(70, 110, &Picture3, 1, kpMillimeters);
    c.Draw(70, 170, &Picture5, 1, kpMillimeters);
    DrawPageTitle(QStringLiteral("Drawing Graphics"));
    p.NewPage();

    // Page 2: rows of one picture growing or shrinking.
    struct Step {
        const QImage* picture;
        Extended x, y, scale;
    };
    const Step steps[] = {
        {&Picture2, 25, 50, 0.25L},  {&Picture2, 45, 50, 0.5L},    {&Picture2, 80, 50, 0.75L},
        {&Picture2, 130, 50, 1},     {&Picture5, 25, 110, 1},      {&Picture5, 90, 110, 0.75L},
        {&Picture5, 140, 110, 0.5L}, {&Picture5, 175, 110, 0.25L}, {&Picture3, 25, 170, 0.25L},
        {&Picture3, 45, 170, 0.5L},  {&Picture3, 80, 170, 0.75L},  {&Picture3, 130, 170, 1}};
    for (const Step& s : steps)
        c.Draw(s.x, s.y, s.picture, s.scale, kpMillimeters);
    DrawPageTitle(QStringLiteral("Graphics Scaling"));

    quiet.Restore();
    p.FirstPage();
    KpThumbnails1->SetEnabled(true);
    ShowPagePosition();
}

void TfrmMain::actZoomingExecute() {
    TKpPreview& p = *KpPreview1;
    p.FirstPage();
    p.Margins().Assign(SavedMargins());
    p.Clear();
    p.Header().SetVisible(true);
    p.Footer().SetVisible(true);
    // Clear leaves page 1's old picture on display; show the empty page.
    p.RefreshPage();
}
