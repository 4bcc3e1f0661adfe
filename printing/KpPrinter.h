#pragma once
// Printer settings of a preview (or of a job run on a document alone). The settings live in the
// platform printer's device mode (see platform/KpPrinterDevice); the document asks them
// whether a job runs and where the printable area starts.
#include "paginor/KpExport.h"

#include <memory>
#include <vector>

#include <QObject>
#include <QPoint>
#include <QString>

#include "drawing/KpDrawContext.h"
#include "drawing/KpUnits.h"
#include "platform/KpGraphics.h"
#include "platform/KpPrintState.h"
#include "platform/KpPropertyEnums.h"

namespace kp {

class TKpDeviceCanvas;

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

class PAGINOR_EXPORT TKpPrinter : public TKpPrinterState {
    Q_GADGET
    // Published settings, stored with the preview (read on the gadget: readOnGadget).
    Q_PROPERTY(kp::KpEnums::TKpDitherType DitherType READ DitherType WRITE SetDitherType)
    Q_PROPERTY(kp::KpEnums::TKpDuplexType Duplex READ Duplex WRITE SetDuplex)
    Q_PROPERTY(kp::KpEnums::TKpPrintColor PrintColor READ PrintColor WRITE SetPrintColor)
    Q_PROPERTY(kp::KpEnums::TKpPrintQuality PrintQuality READ PrintQuality WRITE SetPrintQuality)
public:
    // owner: where errors are reported (a preview), and the events' host; may be none.
    explicit TKpPrinter(QObject* owner = nullptr);
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
    bool Printing() const override { return printing_; }
    TKpValueRect& PrinterMargins() override { return *printerMargins_; }
    QObject* Owner() const { return owner_; }

    // Fired with the printer as sender: another printer selected, a document opened, closed.
    TNotifyEvent OnChangePrinter;
    TNotifyEvent BeforePrint;
    TNotifyEvent AfterPrint;

    // The platform orientation is portrait or landscape.
    TKpOrientation PlatformOrientation() const;

private:
    // Loading, copying and tests store fields without notifying (TKpFieldAccess).
    friend struct TKpFieldAccess;
    void report(const QString& message) const;

    QObject* owner_;
    bool printing_ = false;
    TKpPrintColor printColor_ = kpColor;
    std::unique_ptr<TKpValueRect> printerMargins_;
    std::unique_ptr<TKpPrinterStrings> printers_;
};

} // namespace kp
