// document-only: a program without widgets (a server, a batch job) that makes a report with
// Paginor. It starts only a QGuiApplication, draws three pages through the document's canvas,
// saves them, reads the file into a second document and exports that one as a PDF:
//   document-only OUT.kpp OUT.pdf
#include <QGuiApplication>

#include "drawing/KpCanvas.h"
#include "drawing/KpDocument.h"
#include "drawing/KpHeaderFooter.h"
#include "printing/KpPdfExport.h"

using namespace kp;

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 3) return 2; // usage: document-only OUT.kpp OUT.pdf
    const QString file = QString::fromLocal8Bit(argv[1]);
    const QString pdf = QString::fromLocal8Bit(argv[2]);

    TKpDocument report;
    report.Footer().SetCaptionRight(QStringLiteral("Sheet {PAGE} of {NUMPAGES}"));
    report.Footer().SetVisible(true);
    for (int page = 1; page <= 3; ++page) {
        if (page > 1) report.NewPage();
        TKpCanvas& c = report.Canvas();
        c.TextOut(20, 20, QStringLiteral("Batch report, part %1").arg(page), kpMillimeters);
        c.Rectangle(20, 30, 190, 60, kpMillimeters);
    }
    report.SaveToFile(file);

    TKpDocument copy;
    copy.LoadFromFile(file);
    ExportToPdf(copy, pdf, TKpPdfExportOptions{});
    return copy.NumPages() == 3 ? 0 : 1;
}
