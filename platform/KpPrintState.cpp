#include "platform/KpPrintState.h"

#include "platform/KpPrinterDevice.h"
#include "platform/KpPrinterDpiOverride.h"

namespace kp {

namespace {
TKpPrintColor currentPrintColor = kpColor;
int printerDpiOverride = 0;
} // namespace

TKpPrintColor CurrentPrintColor() {
    return currentPrintColor;
}
void SetCurrentPrintColor(TKpPrintColor c) {
    currentPrintColor = c;
}

int PrinterDpi() {
    if (printerDpiOverride > 0) return printerDpiOverride;
    TKpPlatformPrinter& printer = TKpPlatformPrinter::Instance();
    if (!printer.Installed()) return 360;
    const int dpi = printer.Geometry().LogPixelsX;
    return dpi > 0 ? dpi : 360;
}
void SetPrinterDpiOverride(int dpi) {
    printerDpiOverride = dpi > 0 ? dpi : 0;
}

} // namespace kp
