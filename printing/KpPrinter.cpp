#include "printing/KpPrinter.h"

#include <stdexcept>

#include <QFile>

#include "platform/KpPrinterDevice.h"
#include "platform/KpWinFlags.h"
#include "printing/KpErrors.h"

namespace kp {

namespace {
TKpPlatformPrinter& platform() {
    return TKpPlatformPrinter::Instance();
}

// Every device-mode read and write: nothing without a printer or a device mode; a write
// makes the next device context come from the changed record.
template <typename F> bool readDeviceMode(F&& f) {
    const TKpDeviceMode* mode = platform().DeviceMode();
    if (!mode) return false;
    f(*mode);
    return true;
}

template <typename F> bool writeDeviceMode(F&& f) {
    TKpDeviceMode* mode = platform().DeviceMode();
    if (!mode) return false;
    f(*mode);
    platform().DeviceModeChanged();
    return true;
}
// Why a job's output file cannot be written, or "" when it can (or there is none).
QString outputFileProblem(const QString& fileName) {
    if (fileName.isEmpty()) return QString();
    QFile file(fileName);
    const bool existed = file.exists();
    // Opened for appending, so a file that is there keeps its contents.
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        file.close();
        if (!existed) file.remove();
        return QString();
    }
    return QStringLiteral("cannot write %1 (%2)").arg(fileName, file.errorString());
}
} // namespace

TPrinterDevice::TPrinterDevice(const char* driver, const char* device, const char* port)
    : Driver(driver ? QString::fromLocal8Bit(driver) : QString()),
      Device(device ? QString::fromLocal8Bit(device) : QString()),
      Port(port ? QString::fromLocal8Bit(port) : QString()) {}

TPrinterDevice::TPrinterDevice(QString driver, QString device, QString port)
    : Driver(std::move(driver)), Device(std::move(device)), Port(std::move(port)) {}

void TKpPrinterStrings::Add(const QString& text, std::unique_ptr<TPrinterDevice> device) {
    items_.push_back(Item{text, std::move(device)});
}

TKpPrinter::TKpPrinter(QObject* owner)
    : owner_(owner), printers_(std::make_unique<TKpPrinterStrings>()) {
    if (PrinterInstalled()) platform().DeviceModeChanged();
    SetTitle(QStringLiteral("<document>"));
    printerMargins_ = std::make_unique<TKpValueRect>();
    UpdatePrinterMargins();
}

TKpPrinter::~TKpPrinter() {
    // A preview destroyed in the middle of its own job leaves no half-open document.
    if (printing_) platform().AbortDoc();
}

void TKpPrinter::report(const QString& message) const {
    if (owner_)
        ShowError(owner_, message);
    else
        ShowError(QStringLiteral("TKpPrinter"), message);
}

// ---- device-mode settings ----

TKpDitherType TKpPrinter::DitherType() const {
    TKpDitherType result = kpNone;
    readDeviceMode([&](const TKpDeviceMode& m) {
        switch (m.dmDitherType) {
        case DMDITHER_COARSE:
            result = kpCourse;
            break;
        case DMDITHER_FINE:
            result = kpFine;
            break;
        case DMDITHER_LINEART:
            result = kpLineArt;
            break;
        case DMDITHER_GRAYSCALE:
            result = kpGrayScale;
            break;
        default:
            result = kpNone;
            break;
        }
    });
    return result;
}

void TKpPrinter::SetDitherType(TKpDitherType v) {
    static const uint32_t values[] = {DMDITHER_NONE, DMDITHER_COARSE, DMDITHER_FINE,
                                      DMDITHER_LINEART, DMDITHER_GRAYSCALE};
    if (v > kpGrayScale) return;
    writeDeviceMode([&](TKpDeviceMode& m) { m.dmDitherType = values[v]; });
}

TKpDuplexType TKpPrinter::Duplex() const {
    TKpDuplexType result = kpSimplex;
    readDeviceMode([&](const TKpDeviceMode& m) {
        result = m.dmDuplex == DMDUP_VERTICAL     ? kpVertDuplex
                 : m.dmDuplex == DMDUP_HORIZONTAL ? kpHorzDuplex
                                                  : kpSimplex;
    });
    return result;
}

void TKpPrinter::SetDuplex(TKpDuplexType v) {
    static const int16_t values[] = {DMDUP_SIMPLEX, DMDUP_HORIZONTAL, DMDUP_VERTICAL};
    if (v > kpVertDuplex) return;
    writeDeviceMode([&](TKpDeviceMode& m) { m.dmDuplex = values[v]; });
}

void TKpPrinter::SetPrintColor(TKpPrintColor v) {
    if (v > kpMonochrome) return;
    printColor_ = v;
    SetCurrentPrintColor(v);
    writeDeviceMode([&](TKpDeviceMode& m) {
        if (v == kpMonochrome)
            m.dmColor = DMCOLOR_MONOCHROME;
        else if (m.dmFields & DM_COLOR)
            m.dmColor = DMCOLOR_COLOR;
    });
}

TKpPrintQuality TKpPrinter::PrintQuality() const {
    TKpPrintQuality result = kpDraft;
    readDeviceMode([&](const TKpDeviceMode& m) {
        result = m.dmPrintQuality == DMRES_HIGH     ? kpHigh
                 : m.dmPrintQuality == DMRES_MEDIUM ? kpMedium
                 : m.dmPrintQuality == DMRES_LOW    ? kpLow
                                                    : kpDraft;
    });
    return result;
}

void TKpPrinter::SetPrintQuality(TKpPrintQuality v) {
    static const int16_t values[] = {DMRES_DRAFT, DMRES_LOW, DMRES_MEDIUM, DMRES_HIGH};
    if (v > kpHigh) return;
    writeDeviceMode([&](TKpDeviceMode& m) {
        if (m.dmFields & DM_PRINTQUALITY) m.dmPrintQuality = values[v];
    });
}

// ---- printer selection and geometry ----

bool TKpPrinter::PrinterInstalled() const {
    return platform().Installed();
}

void* TKpPrinter::Handle() {
    if (!PrinterInstalled()) {
        report(QStringLiteral("No printer selected"));
        return nullptr;
    }
    return platform().Handle();
}

TKpDeviceCanvas* TKpPrinter::Canvas() {
    return printing_ && PrinterInstalled() ? platform().Canvas() : nullptr;
}

int TKpPrinter::PrinterIndex() const {
    return PrinterInstalled() ? platform().PrinterIndex() : -1;
}

void TKpPrinter::SetPrinterIndex(int value) {
    if (!PrinterInstalled()) {
        report(QStringLiteral("No printer selected"));
        return;
    }
    if (value == platform().PrinterIndex()) return;
    if (value < 0 || value >= static_cast<int>(platform().Printers().size()))
        throw std::out_of_range("Printer selected is not valid");
    if (platform().Printing()) {
        report(QStringLiteral("Unable to initialise printer... Printing in progress."));
        return;
    }
    platform().SetPrinterIndex(value);
    UpdatePrinterMargins();
    if (OnChangePrinter) OnChangePrinter(this);
}

TKpPrinterStrings& TKpPrinter::Printers() {
    if (printers_->Count() == 0) {
        try {
            for (const TKpPrinterEntry& e : platform().Printers())
                printers_->Add(e.Name,
                               std::make_unique<TPrinterDevice>(QString(), e.Name, QString()));
        } catch (...) {
            printers_->Clear();
            throw;
        }
    }
    return *printers_;
}

QString TKpPrinter::Title() const {
    return PrinterInstalled() ? platform().Title() : QString();
}

void TKpPrinter::SetTitle(const QString& v) {
    if (PrinterInstalled() && !platform().Printing()) platform().SetTitle(v);
}

TKpOrientation TKpPrinter::PlatformOrientation() const {
    return platform().Orientation();
}

void TKpPrinter::SetOrientation(TKpOrientation v) {
    if (!PrinterInstalled()) return;
    if (platform().Orientation() != v) platform().SetOrientation(v);
}

void TKpPrinter::ChangeOrientation(TKpOrientation v) {
    if (!PrinterInstalled() || !printing_) return;
    platform().ChangeOrientation(v);
}

QPoint TKpPrinter::PhysicalOffset() const {
    if (!PrinterInstalled()) return QPoint(0, 0);
    const TKpPrinterGeometry& g = platform().Geometry();
    return QPoint(g.PhysicalOffsetX, g.PhysicalOffsetY);
}

void TKpPrinter::UpdatePrinterMargins() {
    TKpValueRect& m = *printerMargins_;
    if (!PrinterInstalled()) {
        m.Left().value = m.Top().value = m.Right().value = m.Bottom().value = 0;
        return;
    }
    const TKpPrinterGeometry g = platform().Geometry();
    if (g.LogPixelsX <= 0 || g.LogPixelsY <= 0) return;
    // The right and bottom margins are taken equal to the left and top offsets.
    m.Left().SetPixels(g.LogPixelsX, g.PhysicalOffsetX);
    m.Top().SetPixels(g.LogPixelsY, g.PhysicalOffsetY);
    m.Right().SetPixels(g.LogPixelsX, g.PhysicalOffsetX);
    m.Bottom().SetPixels(g.LogPixelsY, g.PhysicalOffsetY);
}

// ---- document ----

void TKpPrinter::BeginDoc(const QString& fileName) {
    const bool installed = PrinterInstalled();
    if (installed && !platform().Printing()) {
        if (BeforePrint) BeforePrint(this);
        printing_ = true;
        // A job redirected to a file carries at most 31 characters of the title.
        const QString title = platform().Title();
        const QString docName = fileName.isEmpty() ? title : title.left(31);
        if (!platform().BeginDoc(docName, fileName)) {
            printing_ = false;
            QString message =
                QStringLiteral("Unable to start the print job on ") + platform().PrinterName();
            const QString problem = outputFileProblem(fileName);
            if (!problem.isEmpty()) message += QStringLiteral(": ") + problem;
            report(message);
        }
        return;
    }
    if (!installed) report(QStringLiteral("No printer selected"));
    if (platform().Printing())
        report(QStringLiteral("Unable to initialise printer... Printing in progress."));
}

void TKpPrinter::EndDoc() {
    if (PrinterInstalled() && printing_ && platform().Printing()) {
        platform().EndDoc();
        printing_ = false;
        if (AfterPrint) AfterPrint(this);
        return;
    }
    report(QStringLiteral("No printer selected"));
}

void TKpPrinter::Assign(const TKpPrinter& source) {
    SetDitherType(source.DitherType());
    SetDuplex(source.Duplex());
    SetPrintColor(source.PrintColor());
    SetPrintQuality(source.PrintQuality());
}

} // namespace kp
