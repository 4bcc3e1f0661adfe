#pragma once
// Printer settings of a preview and the process-wide printer state the drawing objects read.
// The settings live in the platform printer's device mode (see platform/KpPrinterDevice).
#include "paginor/KpExport.h"

#include <memory>
#include <vector>

#include <QObject>
#include <QPoint>
#include <QString>

#include "drawing/KpUnits.h"
#include "preview/KpPropertyEnums.h"

namespace kp {

class TKpPreview;
class TKpDeviceCanvas;

enum TKpDitherType : uint8_t {
    kpNone = 0,
    kpCourse = 1,
    kpFine = 2,
    kpLineArt = 3,
    kpGrayScale = 4
};
enum TKpDuplexType : uint8_t { kpSimplex = 0, kpHorzDuplex = 1, kpVertDuplex = 2 };
enum TKpPrintColor : uint8_t { kpColor = 0, kpMonochrome = 1 };
enum TKpPrintQuality : uint8_t { kpDraft = 0, kpLow = 1, kpMedium = 2, kpHigh = 3 };

// The print colour of the job in force (monochrome greys every colour).
PAGINOR_EXPORT TKpPrintColor CurrentPrintColor();
PAGINOR_EXPORT void SetCurrentPrintColor(TKpPrintColor c);

// The installed printer's horizontal resolution; 360 when there is no printer.
PAGINOR_EXPORT int PrinterDpi();

// One entry of the printer list: driver, device and port names.
class PAGINOR_EXPORT TPrinterDevice {
public:
    TPrinterDevice(const char* driver, const char* device, const char* port);
    TPrinterDevice(QString driver, QString device, QString port);
    QString Driver;
    QString Device;
    QString Port;
};

// The printer list: display names, each carrying its device.
class PAGINOR_EXPORT TKpPrinterStrings {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    QString Strings(int i) const { return items_.at(i).text; }
    TPrinterDevice* Objects(int i) const { return items_.at(i).device.get(); }
    void Add(const QString& text, std::unique_ptr<TPrinterDevice> device);
    void Clear() { items_.clear(); }

private:
    struct Item {
        QString text;
        std::unique_ptr<TPrinterDevice> device;
    };
    std::vector<Item> items_;
};

class PAGINOR_EXPORT TKpPrinter {
    Q_GADGET
    // Published settings, stored with the preview (read on the gadget: readOnGadget).
    Q_PROPERTY(kp::KpEnums::TKpDitherType DitherType READ DitherType WRITE SetDitherType)
    Q_PROPERTY(kp::KpEnums::TKpDuplexType Duplex READ Duplex WRITE SetDuplex)
    Q_PROPERTY(kp::KpEnums::TKpPrintColor PrintColor READ PrintColor WRITE SetPrintColor)
    Q_PROPERTY(kp::KpEnums::TKpPrintQuality PrintQuality READ PrintQuality WRITE SetPrintQuality)
public:
    explicit TKpPrinter(TKpPreview* preview);
    ~TKpPrinter();
    TKpPrinter(const TKpPrinter&) = delete;
    TKpPrinter& operator=(const TKpPrinter&) = delete;

    // Published settings (dither, duplex and quality live in the device mode).
    TKpDitherType DitherType() const;
    void SetDitherType(TKpDitherType v);
    TKpDuplexType Duplex() const;
    void SetDuplex(TKpDuplexType v);
    TKpPrintColor PrintColor() const { return printColor_; }
    void SetPrintColor(TKpPrintColor v);
    TKpPrintQuality PrintQuality() const;
    void SetPrintQuality(TKpPrintQuality v);

    bool PrinterInstalled() const;
    // The printer's device context; with no printer reports and returns nullptr.
    void* Handle();
    // The printer canvas while this printer prints; nullptr otherwise.
    TKpDeviceCanvas* Canvas();
    int PrinterIndex() const;
    void SetPrinterIndex(int value);
    // Built on first use, then kept.
    TKpPrinterStrings& Printers();
    QString Title() const;
    void SetTitle(const QString& v);
    // The system printer's orientation for the next job (no-op without a printer).
    void SetOrientation(TKpOrientation v);
    // Between two pages of an open document: the next sheet takes this orientation.
    void ChangeOrientation(TKpOrientation v);
    // The printable area's corner on the sheet, in printer pixels.
    QPoint PhysicalOffset() const;
    // Reads the printer's unprintable margins into PrinterMargins (zero without a printer).
    void UpdatePrinterMargins();
    // Opens the spooled document (fires BeforePrint); a non-empty fileName prints to it.
    void BeginDoc(const QString& fileName);
    // Closes the document (fires AfterPrint); reports an error when none is open.
    void EndDoc();
    void Assign(const TKpPrinter& source);

    // True while a print job of this printer runs.
    bool Printing() const { return printing_; }
    TKpValueRect& PrinterMargins() { return *printerMargins_; }
    TKpPreview* Owner() const { return preview_; }

    // The platform orientation is portrait or landscape.
    TKpOrientation PlatformOrientation() const;

private:
    // Loading, copying and tests store fields without notifying (TKpFieldAccess).
    friend struct TKpFieldAccess;
    void report(const QString& message) const;

    TKpPreview* preview_;
    bool printing_ = false;
    TKpPrintColor printColor_ = kpColor;
    std::unique_ptr<TKpValueRect> printerMargins_;
    std::unique_ptr<TKpPrinterStrings> printers_;
};

} // namespace kp
