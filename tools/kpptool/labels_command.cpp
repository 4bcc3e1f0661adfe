// `labels`: a CSV file printed onto label sheets, one record per label and one line per field,
// filled across each row of labels and then down, as a mail merge fills a sheet.
#include <QWidget>

#include "commands.h"
#include "content/KpCsv.h"
#include "content/KpLabelPrinter.h"
#include "content_common.h"
#include "drawing/KpCanvas.h"
#include "preview/KpPreview.h"

using namespace kp;

using namespace kpptool;

namespace {

constexpr const char* kUsage =
    "kpptool labels IN.csv --template NAME -o OUT.pdf|OUT.kpp [--font NAME] [--size PT] "
    "[--skip N] [--down]\n       kpptool labels --list-templates";

// The label's text starts this far in from its top-left corner (3 mm).
constexpr int32_t kInset = 300;

struct LabelOptions {
    QString in, out, font = QStringLiteral("Arial");
    TLabelTemplate templ = TLabelTemplate::Custom;
    bool haveTemplate = false;
    int size = 10;
    int skip = 0;
    bool down = false;
    bool list = false;
};

LabelOptions Parse(const QStringList& args) {
    LabelOptions o;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("-o")) {
            o.out = OptionValue(args, i);
        } else if (a == QLatin1String("--template")) {
            const QString name = OptionValue(args, i);
            if (!LabelTemplateFromName(name, o.templ) || o.templ == TLabelTemplate::Custom)
                throw EInput("unknown template '" + name.toStdString() +
                             "' (kpptool labels --list-templates shows them)");
            o.haveTemplate = true;
        } else if (a == QLatin1String("--font")) {
            o.font = OptionValue(args, i);
        } else if (a == QLatin1String("--size")) {
            o.size = static_cast<int>(NumberArg(OptionValue(args, i), "--size", 4, 72));
        } else if (a == QLatin1String("--skip")) {
            o.skip = static_cast<int>(NumberArg(OptionValue(args, i), "--skip", 0, 1000));
        } else if (a == QLatin1String("--down")) {
            o.down = true;
        } else if (a == QLatin1String("--list-templates")) {
            o.list = true;
        } else if (a.startsWith(QLatin1Char('-'))) {
            throw EUsage("unknown option '" + a.toStdString() + "'");
        } else if (o.in.isEmpty()) {
            o.in = a;
        } else {
            throw EUsage("only one input file may be given");
        }
    }
    if (o.list) return o;
    if (o.in.isEmpty()) throw EUsage("no input file given");
    if (!o.haveTemplate) throw EUsage("no --template given");
    CheckOutputName(o.out);
    return o;
}

QString Mm(int32_t units) {
    return QString::number(units / 100.0, 'f', 1);
}

int ListTemplates() {
    std::printf("%-18s %-9s %-15s %-7s %-17s %s\n", "template", "paper", "label (mm)", "labels",
                "first at (mm)", "pitch (mm)");
    for (int i = 1; i <= KpLabelTemplateCount; ++i) {
        const TLabelTemplateRec& r = LabelTemplateRecord(i);
        std::printf("%-18s %-9s %-15s %-7s %-17s %s\n", qPrintable(LabelTemplateName(r.Template)),
                    r.Orientation == kpLandscape ? "A4 land." : "A4 port.",
                    qPrintable(Mm(r.LabelWidth) + " x " + Mm(r.LabelHeight) +
                               (r.LabelShape == kpLabelEllipse ? " round" : "")),
                    qPrintable(QStringLiteral("%1 x %2").arg(r.Columns).arg(r.Rows)),
                    qPrintable(Mm(r.LeftMargin) + ", " + Mm(r.TopMargin)),
                    qPrintable(Mm(r.HorzPitch) + " x " + Mm(r.VertPitch)));
    }
    return 0;
}

int Labels(const QStringList& args) {
    const LabelOptions o = Parse(args);
    if (o.list) return ListTemplates();
    TKpCsvReader csv;
    if (!csv.Read(ReadInput(o.in)))
        throw EInput(QStringLiteral("%1: %2").arg(o.in, csv.Error()).toStdString());
    const std::vector<QStringList>& records = csv.Records();
    const TLabelTemplateRec& sheet = LabelTemplateRecord(static_cast<int>(o.templ));
    const int perSheet = sheet.Columns * sheet.Rows;
    if (o.skip >= perSheet)
        throw EUsage(QStringLiteral("--skip must be below the %1 labels of a %2 sheet")
                         .arg(perSheet)
                         .arg(LabelTemplateName(o.templ))
                         .toStdString());
    const int total = o.skip + static_cast<int>(records.size());
    const int sheets = (total + perSheet - 1) / perSheet;

    ErrorsToStderr errors;
    QWidget host;
    TKpPreview preview(&host);
    TKpLabelPrinter labels;
    labels.SetTemplate(o.templ);
    int sheetNumber = 0;
    labels.OnDrawLabel = [&](void*, TKpCanvas* canvas) {
        const int slot = labels.Layout().FillIndex(labels.LabelIndex(), o.down);
        const int n = sheetNumber * perSheet + slot - o.skip;
        if (n < 0 || n >= static_cast<int>(records.size())) return;
        TKpFont& font = canvas->Font();
        font.SetName(o.font);
        font.SetSize(o.size);
        font.SetStyle(0);
        font.SetColor(clBlack);
        const int32_t line = canvas->TextHeight(QStringLiteral("Ag")).value;
        int32_t y = kInset;
        for (const QString& field : records[static_cast<size_t>(n)])
            for (const QString& text : field.split(QLatin1Char('\n'))) {
                canvas->TextOut(kInset, y, text, kpUnits);
                y += line;
            }
    };
    labels.SetPreview(&preview); // the first sheet
    for (sheetNumber = 1; sheetNumber < sheets; ++sheetNumber) {
        preview.NewPage();
        labels.PrintLabels();
    }
    if (errors.Failed()) return 1;
    preview.FirstPage();
    WriteDocument(preview, o.out);
    return errors.Failed() ? 1 : 0;
}

} // namespace

int RunLabels(const QStringList& args) {
    return RunGuarded(kUsage, [&] { return Labels(args); });
}
