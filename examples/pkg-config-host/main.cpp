// pkg-config-host: a host built without CMake, against an installed Paginor found through
// pkg-config:
//   g++ main.cpp -o pkg-config-host $(pkg-config --cflags --libs paginor)
// `pkg-config-host out.pdf` writes a one-page PDF with a framed greeting.
#include <QApplication>

#include "drawing/KpCanvas.h"
#include "preview/KpPreview.h"
#include "printing/KpPdfExport.h"

using namespace kp;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) return 2; // usage: pkg-config-host out.pdf
    TKpPreview preview;
    TKpCanvas& c = preview.Canvas();
    c.Rectangle(20, 20, 190, 60, kpMillimeters);
    c.TextOut(30, 35, "Hello from pkg-config", kpMillimeters);
    ExportToPdf(preview, QString::fromLocal8Bit(argv[1]));
    return 0;
}
