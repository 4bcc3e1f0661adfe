#pragma once
// The platform printer: one process-wide object standing for the system's printer, with its
// list of printers, the selected index, orientation, document title, the device-mode record
// of the selected printer, the printer's geometry in device pixels, and the open document
// (a painter on the printer and the drawing canvas over it).
//
// The devices themselves sit behind TKpPrinterBackend: the Qt backend reaches the real
// printers (CUPS through QPrinterInfo/QPrinter); the virtual backend writes PDF files at a
// chosen resolution and offsets, for tests and for exporting without a printer.
#include "paginor/KpExport.h"

#include <cstdint>
#include <memory>
#include <vector>

#include <QPageSize>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

#include "platform/KpPaperEnums.h"

class QPainter;

namespace kp {

class TKpDeviceCanvas;

// The settings of one printer, as its driver keeps them.
struct PAGINOR_EXPORT TKpDeviceMode {
    uint32_t dmFields = 0;
    int16_t dmOrientation = 1; // DMORIENT_PORTRAIT
    int16_t dmPrintQuality = 0;
    int16_t dmColor = 1;  // DMCOLOR_MONOCHROME
    int16_t dmDuplex = 1; // DMDUP_SIMPLEX
    uint32_t dmDitherType = 0;
    bool operator==(const TKpDeviceMode&) const = default;
};

// The device geometry (GetDeviceCaps): resolution, paper in device pixels, and the corner of
// the printable area, for one orientation.
struct PAGINOR_EXPORT TKpPrinterGeometry {
    int LogPixelsX = 0;
    int LogPixelsY = 0;
    int PhysicalWidth = 0;
    int PhysicalHeight = 0;
    int PhysicalOffsetX = 0;
    int PhysicalOffsetY = 0;
};

// One printer as the backend lists it.
struct PAGINOR_EXPORT TKpPrinterEntry {
    QString Name;
    // The driver's defaults (what the printer reports for duplex, colour and resolution).
    TKpDeviceMode Defaults;
    // Resolutions the printer offers, ascending; empty when it reports none.
    std::vector<int> Resolutions;
    // The system's default printer (selected first).
    bool IsDefault = false;
};

// What a backend did with one finished (or failed) document.
struct PAGINOR_EXPORT TKpPrinterJobRecord {
    QString PrinterName;
    QString DocName;
    QString OutputFile; // empty when spooled
    TKpDeviceMode Mode; // the device mode applied when the document began
    int Resolution = 0;
    int Pages = 0;
    bool Completed = false;
};

class PAGINOR_EXPORT TKpPrinterBackend {
public:
    virtual ~TKpPrinterBackend() = default;
    // The printers, in a stable order.
    virtual std::vector<TKpPrinterEntry> Enumerate() = 0;
    // Geometry of printer index under the device mode in the given orientation.
    virtual TKpPrinterGeometry Geometry(int index, const TKpDeviceMode& mode,
                                        TKpOrientation orientation) = 0;
    // Opens a document; outputFile non-empty redirects it to that (PDF) file. Returns the
    // painter drawing on page 1, or nullptr when the device refused.
    virtual QPainter* BeginDoc(int index, const TKpDeviceMode& mode, TKpOrientation orientation,
                               const QString& docName, const QString& outputFile) = 0;
    // Ends the current page and starts the next in the given orientation.
    virtual bool NewPage(TKpOrientation orientation) = 0;
    // Finishes the document and hands it over (spooler or file).
    virtual bool EndDoc() = 0;
    // Drops the open document without output.
    virtual void AbortDoc() = 0;
    // The device the painter draws on (the device context), nullptr when none.
    virtual void* Device() = 0;
};

// The real printers: CUPS queues through QPrinterInfo, documents through QPrinter.
PAGINOR_EXPORT std::unique_ptr<TKpPrinterBackend> MakeQtPrinterBackend();

// A virtual printer writing PDF through QPdfWriter.
struct PAGINOR_EXPORT TKpVirtualPrinterSetup {
    QString Name = QStringLiteral("Virtual PDF");
    int Resolution = 600;
    // Corner of the printable area in device pixels (portrait; exchanged in landscape). The
    // painter's origin lies there, as on a real printer.
    QPoint Offset{0, 0};
    QPageSize Paper{QPageSize::A4};
    // Capabilities reported as the driver's fields and defaults.
    bool Duplex = false;
    bool Color = true;
    bool Quality = true;
    // Where spooled (not redirected) documents go; empty discards them.
    QString SpoolFile;
};

class PAGINOR_EXPORT TKpVirtualPrinterBackend : public TKpPrinterBackend {
public:
    explicit TKpVirtualPrinterBackend(std::vector<TKpVirtualPrinterSetup> printers);
    ~TKpVirtualPrinterBackend() override;

    std::vector<TKpPrinterEntry> Enumerate() override;
    TKpPrinterGeometry Geometry(int index, const TKpDeviceMode& mode,
                                TKpOrientation orientation) override;
    QPainter* BeginDoc(int index, const TKpDeviceMode& mode, TKpOrientation orientation,
                       const QString& docName, const QString& outputFile) override;
    bool NewPage(TKpOrientation orientation) override;
    bool EndDoc() override;
    void AbortDoc() override;
    void* Device() override;

    // Every document begun on this backend, oldest first.
    const std::vector<TKpPrinterJobRecord>& Jobs() const { return jobs_; }

private:
    struct Job;
    std::vector<TKpVirtualPrinterSetup> printers_;
    std::vector<TKpPrinterJobRecord> jobs_;
    std::unique_ptr<Job> job_;
};

class PAGINOR_EXPORT TKpPlatformPrinter {
public:
    static TKpPlatformPrinter& Instance();
    ~TKpPlatformPrinter();

    // Replaces the backend (and with it the list, selection, orientation, title and device
    // mode); returns the previous state so that it can be put back.
    struct State;
    std::unique_ptr<State> SwapBackend(std::unique_ptr<TKpPrinterBackend> backend);
    void RestoreState(std::unique_ptr<State> state);
    TKpPrinterBackend& Backend();

    // Printer list, built once per backend.
    const std::vector<TKpPrinterEntry>& Printers();
    bool Installed() { return !Printers().empty(); }
    int PrinterIndex();
    // Selects a printer; its device mode starts again from the driver's defaults.
    void SetPrinterIndex(int index);
    QString PrinterName();

    TKpOrientation Orientation() const;
    // Ignored while a document is open.
    void SetOrientation(TKpOrientation v);
    QString Title() const;
    // Ignored while a document is open.
    void SetTitle(const QString& v);
    // The selected printer's current device mode, nullptr with no printer.
    TKpDeviceMode* DeviceMode();

    // GetDeviceCaps on the selected printer in the current orientation (zeros with none).
    const TKpPrinterGeometry& Geometry();
    // Forget the cached geometry (after a device-mode change).
    void DeviceModeChanged();

    // Document.
    bool Printing() const;
    // Opens a document named docName, spooled, or written to outputFile when one is given.
    bool BeginDoc(const QString& docName, const QString& outputFile);
    bool NewPage();
    // Ends the page and starts the next one in another orientation.
    bool ChangeOrientation(TKpOrientation v);
    bool EndDoc();
    void AbortDoc();
    // The canvas on the open document, nullptr otherwise.
    TKpDeviceCanvas* Canvas();
    // The painter on the open document, nullptr otherwise.
    QPainter* Painter();
    // The device context: the open document's device, or a stable handle of the selected
    // printer while idle; nullptr with no printer.
    void* Handle();
    // Pages begun in the open document.
    int PageCount() const;

private:
    TKpPlatformPrinter();
    void rebuildCanvas();
    void shutdown();
    std::unique_ptr<State> state_;
};

// Installs a backend for the lifetime of the object and puts the previous one back.
class PAGINOR_EXPORT TKpScopedPrinterBackend {
public:
    explicit TKpScopedPrinterBackend(std::unique_ptr<TKpPrinterBackend> backend);
    ~TKpScopedPrinterBackend();
    TKpScopedPrinterBackend(const TKpScopedPrinterBackend&) = delete;
    TKpScopedPrinterBackend& operator=(const TKpScopedPrinterBackend&) = delete;

private:
    std::unique_ptr<TKpPlatformPrinter::State> saved_;
};

} // namespace kp
