// `rtf`: lays a rich text (or plain text) file out onto pages and saves the document or
// exports it to PDF.
#include <cmath>
#include <cstdio>
#include <optional>

#include <QWidget>

#include "commands.h"
#include "content/KpRtfPreview.h"
#include "content_common.h"
#include "drawing/KpMargins.h"
#include "drawing/KpUnits.h"
#include "preview/KpFieldAccess.h"
#include "preview/KpPreview.h"
#include "richtext/KpRichEdit.h"

using namespace kp;

namespace {

using kpptool::EUsage;
using kpptool::OptionValue;

struct RtfOptions {
    QString file, out;
    std::optional<TKpPaperSize> paper;
    std::optional<double> left, right, top, bottom; // millimetres
    bool plain = false;
    bool quiet = false; // no warnings about what the reader skipped
    QString font;
    double size = 0;
};

double ToMillimetres(const QString& text, const char* what) {
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < 0 || v > 1000)
        throw EUsage(std::string(what) + " takes millimetres from 0 to 1000, not '" +
                     text.toStdString() + "'");
    return v;
}

RtfOptions Parse(const QStringList& args) {
    RtfOptions o;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("-o") || a == QLatin1String("--output")) {
            o.out = OptionValue(args, i);
        } else if (a == QLatin1String("--paper")) {
            const QString p = OptionValue(args, i);
            if (p.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0)
                o.paper = A4;
            else if (p.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0)
                o.paper = Letter;
            else
                throw EUsage("--paper takes A4 or Letter");
        } else if (a == QLatin1String("--left")) {
            o.left = ToMillimetres(OptionValue(args, i), "--left");
        } else if (a == QLatin1String("--right")) {
            o.right = ToMillimetres(OptionValue(args, i), "--right");
        } else if (a == QLatin1String("--top")) {
            o.top = ToMillimetres(OptionValue(args, i), "--top");
        } else if (a == QLatin1String("--bottom")) {
            o.bottom = ToMillimetres(OptionValue(args, i), "--bottom");
        } else if (a == QLatin1String("--plain")) {
            o.plain = true;
        } else if (a == QLatin1String("--quiet")) {
            o.quiet = true;
        } else if (a == QLatin1String("--font")) {
            o.font = OptionValue(args, i);
        } else if (a == QLatin1String("--size")) {
            bool ok = false;
            o.size = OptionValue(args, i).toDouble(&ok);
            if (!ok || !(o.size >= 1 && o.size <= 1000))
                throw EUsage("--size takes 1 to 1000 points");
        } else if (a.startsWith(QLatin1Char('-'))) {
            throw EUsage("unknown option '" + a.toStdString() + "'");
        } else if (o.file.isEmpty()) {
            o.file = a;
        } else {
            throw EUsage("only one IN file may be given");
        }
    }
    if (o.file.isEmpty()) throw EUsage("no IN file given");
    kpptool::CheckOutputName(o.out);
    if (!o.plain && (!o.font.isEmpty() || o.size > 0))
        throw EUsage("--font and --size go with --plain");
    return o;
}

int32_t TwipsToUnits(int twips) {
    return static_cast<int32_t>(std::lround(twips * 2540.0 / 1440));
}

// A paper the file asks for: A4 or Letter when it is one of them (to a millimetre), in the
// orientation of its sides; any other size as a custom paper.
void UseFilePaper(TKpPreview& preview, int widthTwips, int heightTwips) {
    const int32_t w = TwipsToUnits(widthTwips), h = TwipsToUnits(heightTwips);
    if (w <= 0 || h <= 0) return;
    preview.SetOrientation(w > h ? kpLandscape : kpPortrait);
    const int32_t shortSide = std::min(w, h), longSide = std::max(w, h);
    for (TKpPaperSize size : {A4, Letter}) {
        int pw = 0, ph = 0;
        PaperDimensions(size, false, pw, ph);
        if (std::abs(pw - shortSide) <= 100 && std::abs(ph - longSide) <= 100) {
            preview.SetPaperSize(size);
            return;
        }
    }
    TKpFieldAccess::SetPaperSize(preview, Custom);
    preview.PaperWidth().value = w;
    preview.PaperHeight().value = h;
}

} // namespace

int RunRtf(const QStringList& args) {
    RtfOptions o;
    try {
        o = Parse(args);
    } catch (const EUsage& e) {
        std::fprintf(stderr, "kpptool: error: %s\n", e.what());
        std::fprintf(stderr, "usage: kpptool rtf IN.rtf -o OUT.kpp|OUT.pdf [--paper A4|Letter] "
                             "[--left MM] [--right MM] [--top MM] [--bottom MM] "
                             "[--plain --font NAME --size PT] [--quiet]\n");
        return 2;
    }
    TKpRichEdit edit;
    edit.SetPlainText(o.plain);
    if (o.plain) {
        QFont font(o.font.isEmpty() ? QStringLiteral("Arial") : o.font);
        font.setPointSizeF(o.size > 0 ? o.size : 10);
        edit.SetTextFont(font);
    }
    QString error;
    if (!edit.LoadFromFile(o.file, &error)) {
        std::fprintf(stderr, "kpptool: error: %s\n", qPrintable(error));
        return 1;
    }
    // A file read only in part still makes a document; what was skipped is told, one line each.
    if (!o.quiet)
        for (const QString& w : edit.Warnings())
            std::fprintf(stderr, "kpptool: warning: %s: %s\n", qPrintable(o.file), qPrintable(w));

    QWidget host;
    TKpPreview preview(&host);
    TKpRtfPreview rtf;
    rtf.SetPreview(&preview);
    // Options first; what they leave open comes from the file, then from the defaults.
    const TKpRichEditGeometry& g = edit.Geometry();
    if (o.paper)
        preview.SetPaperSize(*o.paper);
    else if (g.hasPaper)
        UseFilePaper(preview, g.paperWidth, g.paperHeight);
    TKpMargins& m = preview.Margins();
    auto set = [](TKpValue& v, const std::optional<double>& mm, bool fromFile, int twips) {
        if (mm)
            v.SetMillimeters(*mm);
        else if (fromFile)
            v.value = TwipsToUnits(twips);
    };
    set(m.Left(), o.left, g.hasMargins, g.marginLeft);
    set(m.Right(), o.right, g.hasMargins, g.marginRight);
    set(rtf.TopMargin(), o.top, g.hasMargins, g.marginTop);
    set(rtf.BottomMargin(), o.bottom, g.hasMargins, g.marginBottom);

    rtf.PrintRichEdit(edit);
    kpptool::WriteDocument(preview, o.out);
    return 0;
}
