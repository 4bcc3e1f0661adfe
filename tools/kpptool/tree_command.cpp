// `tree`: an indented outline (one node per line, indentation giving the level, as an
// outline or the output of `tree` is written) printed as a tree with connectors.
#include <QFileInfo>
#include <QWidget>

#include "commands.h"
#include "content/KpTreeList.h"
#include "content/KpTreeViewPrint.h"
#include "content_common.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "preview/KpPreview.h"

using namespace kp;

using namespace kpptool;

namespace {

constexpr const char* kUsage = "kpptool tree IN.txt -o OUT.pdf|OUT.kpp [--paper A4|Letter] "
                               "[--landscape] [--title TEXT]";
// Room between the header band and the first row (KpUnits).
constexpr int32_t kGapBelowHeader = 300;

int Tree(const QStringList& args) {
    QString in, out, title;
    TKpPaperSize paper = A4;
    bool landscape = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("-o"))
            out = OptionValue(args, i);
        else if (a == QLatin1String("--paper"))
            paper = PaperFromName(OptionValue(args, i));
        else if (a == QLatin1String("--landscape"))
            landscape = true;
        else if (a == QLatin1String("--title"))
            title = OptionValue(args, i);
        else if (a.startsWith(QLatin1Char('-')))
            throw EUsage("unknown option '" + a.toStdString() + "'");
        else if (in.isEmpty())
            in = a;
        else
            throw EUsage("only one input file may be given");
    }
    if (in.isEmpty()) throw EUsage("no input file given");
    CheckOutputName(out);

    TKpOutlineReader outline;
    if (!outline.Read(ReadInput(in)))
        throw EInput(QStringLiteral("%1: %2").arg(in, outline.Error()).toStdString());
    const TKpTreeList tree(outline.Nodes());

    ErrorsToStderr errors;
    QWidget host;
    TKpPreview preview(&host);
    preview.SetPaperSize(paper);
    if (landscape) preview.SetOrientation(kpLandscape);
    preview.Header().SetCaptionLeft(title.isEmpty() ? QFileInfo(in).fileName() : title);
    preview.Header().SetVisible(true);
    preview.Footer().SetCaptionCenter(QStringLiteral("Page {PAGE} of {NUMPAGES}"));
    preview.Footer().SetVisible(true);

    TKpTreeViewPrint printer;
    printer.SetPreview(&preview);
    printer.Font().SetSize(10);
    const int32_t x = preview.Margins().Left().value;
    const int32_t y =
        preview.Margins().Top().value + preview.Header().BandHeight().value + kGapBelowHeader;
    printer.PrintTreeView(x, y, tree, kpUnits);
    // A last row that filled its page leaves an empty page behind; it is not printed.
    preview.FirstPage();
    if (preview.NumPages() > 1 && preview.GetPage(preview.NumPages())->Count() == 0)
        preview.Pages().DeletePage(preview.NumPages());
    if (errors.Failed()) return 1;
    WriteDocument(preview, out);
    return errors.Failed() ? 1 : 0;
}

} // namespace

int RunTree(const QStringList& args) {
    return RunGuarded(kUsage, [&] { return Tree(args); });
}
