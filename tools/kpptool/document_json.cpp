#include "document_json.h"

#include <QJsonArray>

#include "drawing/KpDocument.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "drawing/KpObjectKinds.h"
#include "drawing/KpObjects.h"
#include "drawing/KpStream.h"
#include "platform/KpPicture.h"

using namespace kp;

namespace {

QJsonObject BrushJson(const TKpBrushData& b) {
    return {{"Color", static_cast<qint64>(b.Color)}, {"Style", b.Style}};
}

QJsonObject PenJson(const TKpPenData& p) {
    return {{"Color", static_cast<qint64>(p.Color)},
            {"Style", p.Style},
            {"Width", p.Width},
            {"Mode", p.Mode}};
}

QJsonObject FontJson(const TKpFontData& f) {
    return {{"Angle", static_cast<double>(f.Angle)},
            {"Color", static_cast<qint64>(f.Color)},
            {"Name", f.Name},
            {"Size", f.Size},
            {"Style", FontStyleToText(f.Style)}};
}

QJsonObject BandJson(TKpHeaderFooter& band) {
    return {{"ShowLine", band.ShowLine()},
            {"Visible", band.Visible()},
            {"CaptionLeft", band.CaptionLeft()},
            {"CaptionCenter", band.CaptionCenter()},
            {"CaptionRight", band.CaptionRight()},
            {"CaptionLeftFont", FontJson(GetFontData(band.CaptionLeftFont()))},
            {"CaptionCenterFont", FontJson(GetFontData(band.CaptionCenterFont()))},
            {"CaptionRightFont", FontJson(GetFontData(band.CaptionRightFont()))},
            {"Pen", PenJson(GetPenData(band.Pen()))}};
}

QString PaperName(TKpPaperSize size) {
    static const char* const names[] = {"A3", "A4",    "A5",     "A6",    "B5",
                                        "C5", "Legal", "Letter", "Custom"};
    return size <= Custom ? QString::fromLatin1(names[size]) : QStringLiteral("Custom");
}

// The fields each kind adds to the common ones; every kind needs its overload (or its base's).
struct TKindFields {
    QJsonObject& o;

    void operator()(const TKpTextObject& text) const {
        o["Brush"] = BrushJson(text.Brush);
        o["Text"] = text.Text;
        o["Font"] = FontJson(text.Font);
    }
    void operator()(const TKpTextBoxObject& box) const {
        (*this)(static_cast<const TKpTextObject&>(box));
        o["Alignment"] = box.Alignment;
        o["Layout"] = box.Layout;
        o["X2"] = box.X2;
        o["Y2"] = box.Y2;
        o["Pen"] = PenJson(box.Pen);
    }
    void operator()(const TKpLineObject& line) const {
        o["Pen"] = PenJson(line.Pen);
        o["X2"] = line.X2;
        o["Y2"] = line.Y2;
        o["Reserved"] = line.Reserved;
    }
    // Ellipse and rectangle.
    void operator()(const TKpSimpleShape& shape) const {
        o["Brush"] = BrushJson(shape.Brush);
        o["Pen"] = PenJson(shape.Pen);
        o["X2"] = shape.X2;
        o["Y2"] = shape.Y2;
    }
    void operator()(const TKpRoundRectShape& round) const {
        (*this)(static_cast<const TKpSimpleShape&>(round));
        o["X3"] = round.X3;
        o["Y3"] = round.Y3;
    }
    // Arc, chord and pie.
    void operator()(const TKpComplexShape& complex) const {
        (*this)(static_cast<const TKpSimpleShape&>(complex));
        o["X3"] = complex.X3;
        o["Y3"] = complex.Y3;
        o["X4"] = complex.X4;
        o["Y4"] = complex.Y4;
    }
    // Polygon, polyline and Bezier curve.
    void operator()(const TKpPolyBaseObject& poly) const {
        o["Brush"] = BrushJson(poly.Brush);
        o["Pen"] = PenJson(poly.Pen);
        QJsonArray points;
        for (const QPoint& p : poly.Points)
            points.append(QJsonArray{p.x(), p.y()});
        o["Points"] = points;
    }
    void operator()(const TKpGraphicObject& g) const {
        o["X2"] = g.X2;
        o["Y2"] = g.Y2;
        o["MetafileAsBitmap"] = g.MetafileAsBitmap;
        o["PrintMetafileAsBitmap"] = g.PrintMetafileAsBitmap;
        o["CopyMode"] = static_cast<qint64>(g.CopyMode);
        const bool picture = g.ImageKind == kpImageMetafile;
        o["ImageKind"] = picture ? QStringLiteral("metafile") : QStringLiteral("bitmap");
        o["Picture"] = PictureKindName(g);
        o["ImageBytes"] = picture ? (g.Picture ? PictureBytes(*g.Picture) : 0)
                                  : static_cast<qint64>(g.BitmapData.size());
    }
    // What the image is: an enhanced or 16-bit platform metafile, a picture of our own
    // recording, or a bitmap ("none" for a graphic that holds no image).
    static QString PictureKindName(const TKpGraphicObject& g) {
        if (g.ImageKind != kpImageMetafile)
            return g.BitmapData.isEmpty() ? QStringLiteral("none") : QStringLiteral("bitmap");
        if (!g.Picture || g.Picture->Empty()) return QStringLiteral("none");
        switch (g.Picture->Form()) {
        case TKpPictureForm::Emf:
            return QStringLiteral("emf");
        case TKpPictureForm::Wmf:
            return QStringLiteral("wmf");
        default:
            return QStringLiteral("picture");
        }
    }
    static qint64 PictureBytes(const TKpMetafile& picture) {
        return picture.Form() == TKpPictureForm::Recording ? picture.Picture().size()
                                                           : picture.MetafileBytes().size();
    }
};

} // namespace

QJsonObject ObjectToJson(const TKpBaseObject& object) {
    QJsonObject o{{"ObjectType", object.ObjectType}, {"X1", object.X1}, {"Y1", object.Y1}};
    VisitObject(object, TKindFields{o});
    return o;
}

QJsonObject DocumentToJson(TKpDocument& preview, Extended fileVersion) {
    QJsonObject doc;
    doc["version"] = static_cast<double>(fileVersion);
    doc["paper"] = QJsonObject{{"size", PaperName(preview.PaperSize())},
                               {"width", preview.PaperWidth().value},
                               {"height", preview.PaperHeight().value},
                               {"orientation", preview.Orientation()}};
    TKpMargins& m = preview.Margins();
    doc["margins"] =
        QJsonObject{{"Left", m.Left().value},        {"Top", m.Top().value},
                    {"Right", m.Right().value},      {"Bottom", m.Bottom().value},
                    {"Visible", m.Visible()},        {"ShowPrinterMargins", m.ShowPrinterMargins()},
                    {"ClipMargins", m.ClipMargins()}};
    doc["header"] = BandJson(preview.Header());
    doc["footer"] = BandJson(preview.Footer());
    QJsonArray pages;
    for (int i = 1; i <= preview.NumPages(); ++i) {
        TKpPage* page = preview.GetPage(i);
        QJsonArray objects;
        for (int k = 0; k < page->Count(); ++k)
            objects.append(ObjectToJson(*page->Objects(k)));
        pages.append(QJsonObject{{"orientation", page->Orientation()}, {"objects", objects}});
    }
    doc["pages"] = pages;
    return doc;
}
