// The real printers: CUPS queues as QPrinterInfo lists them, documents through QPrinter.
#include <algorithm>

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/KpCupsResolution.h"
#include "platform/KpPrinterDevice.h"
#include "platform/KpWinFlags.h"

namespace kp {

namespace {

int16_t duplexField(QPrinter::DuplexMode m) {
    switch (m) {
    case QPrinter::DuplexLongSide:
        return DMDUP_VERTICAL;
    case QPrinter::DuplexShortSide:
        return DMDUP_HORIZONTAL;
    default:
        return DMDUP_SIMPLEX;
    }
}

// The resolution a device mode asks for: a positive quality is dots per inch; the named
// qualities pick from the printer's own resolutions (draft and low the lowest, medium the
// middle one, high the highest). 0 keeps the printer's.
int resolutionFor(const TKpDeviceMode& mode, const std::vector<int>& resolutions) {
    if (!(mode.dmFields & DM_PRINTQUALITY)) return 0;
    if (mode.dmPrintQuality > 0) return mode.dmPrintQuality;
    if (resolutions.empty()) return 0;
    switch (mode.dmPrintQuality) {
    case DMRES_HIGH:
        return resolutions.back();
    case DMRES_MEDIUM:
        return resolutions[resolutions.size() / 2];
    default:
        return resolutions.front();
    }
}

class TKpQtPrinterBackend : public TKpPrinterBackend {
public:
    std::vector<TKpPrinterEntry> Enumerate() override {
        infos_ = QPrinterInfo::availablePrinters();
        std::sort(infos_.begin(), infos_.end(), [](const QPrinterInfo& a, const QPrinterInfo& b) {
            return a.printerName() < b.printerName();
        });
        entries_.clear();
        for (const QPrinterInfo& info : infos_) {
            TKpPrinterEntry e;
            e.Name = info.printerName();
            e.IsDefault = info.isDefault();
            const auto duplexModes = info.supportedDuplexModes();
            if (duplexModes.contains(QPrinter::DuplexLongSide) ||
                duplexModes.contains(QPrinter::DuplexShortSide))
                e.Defaults.dmFields |= DM_DUPLEX;
            e.Defaults.dmDuplex = duplexField(info.defaultDuplexMode());
            if (info.supportedColorModes().contains(QPrinter::Color))
                e.Defaults.dmFields |= DM_COLOR;
            e.Defaults.dmColor =
                info.defaultColorMode() == QPrinter::Color ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
            for (int r : info.supportedResolutions())
                if (r > 0) e.Resolutions.push_back(r);
            std::sort(e.Resolutions.begin(), e.Resolutions.end());
            e.Resolutions.erase(std::unique(e.Resolutions.begin(), e.Resolutions.end()),
                                e.Resolutions.end());
            if (!e.Resolutions.empty()) e.Defaults.dmFields |= DM_PRINTQUALITY;
            // The queue's own default resolution, as dots per inch. A high-resolution
            // QPrinter says 1200 whatever the queue's default is; it only stands in when
            // the spooler does not tell.
            int dpi = KpCupsDefaultResolution(info.printerName());
            if (dpi <= 0) dpi = QPrinter(info, QPrinter::HighResolution).resolution();
            e.Defaults.dmPrintQuality = static_cast<int16_t>(std::min(dpi, 32767));
            entries_.push_back(std::move(e));
        }
        return entries_;
    }

    TKpPrinterGeometry Geometry(int index, const TKpDeviceMode& mode,
                                TKpOrientation orientation) override {
        TKpPrinterGeometry g;
        QPrinter* printer = job_ ? job_.get() : infoPrinter(index);
        if (!printer) return g;
        if (!job_) configure(*printer, index, mode, orientation);
        g.LogPixelsX = printer->logicalDpiX();
        g.LogPixelsY = printer->logicalDpiY();
        const QRect paper = printer->paperRect(QPrinter::DevicePixel).toRect();
        const QRect page = printer->pageRect(QPrinter::DevicePixel).toRect();
        g.PhysicalWidth = paper.width();
        g.PhysicalHeight = paper.height();
        g.PhysicalOffsetX = page.left() - paper.left();
        g.PhysicalOffsetY = page.top() - paper.top();
        return g;
    }

    QPainter* BeginDoc(int index, const TKpDeviceMode& mode, TKpOrientation orientation,
                       const QString& docName, const QString& outputFile) override {
        if (job_ || index < 0 || index >= static_cast<int>(infos_.size())) return nullptr;
        auto printer = std::make_unique<QPrinter>(infos_[index], QPrinter::HighResolution);
        configure(*printer, index, mode, orientation);
        printer->setDocName(docName);
        printer->setCreator(QStringLiteral("Paginor"));
        if (!outputFile.isEmpty()) {
            printer->setOutputFileName(outputFile); // PDF into the file
        } else if (printer->outputFormat() != QPrinter::NativeFormat ||
                   printer->printerName() != infos_[index].printerName()) {
            // Without the spooler a named printer silently turns into a nameless PDF
            // printer; refuse instead of writing nowhere.
            return nullptr;
        }
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(printer.get())) {
            painter_.reset();
            return nullptr;
        }
        job_ = std::move(printer);
        return painter_.get();
    }

    bool NewPage(TKpOrientation orientation) override {
        if (!job_) return false;
        const auto o = orientation == kpLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
        if (job_->pageLayout().orientation() != o) job_->setPageOrientation(o);
        return job_->newPage();
    }

    bool EndDoc() override {
        if (!job_) return false;
        const bool ok = painter_->end();
        painter_.reset();
        job_.reset();
        return ok;
    }

    void AbortDoc() override {
        if (!job_) return;
        job_->abort();
        painter_->end();
        painter_.reset();
        job_.reset();
    }

    void* Device() override { return job_.get(); }

private:
    QPrinter* infoPrinter(int index) {
        if (index < 0 || index >= static_cast<int>(infos_.size())) return nullptr;
        if (!info_ || infoIndex_ != index) {
            info_ = std::make_unique<QPrinter>(infos_[index], QPrinter::HighResolution);
            infoIndex_ = index;
        }
        return info_.get();
    }

    void configure(QPrinter& printer, int index, const TKpDeviceMode& mode,
                   TKpOrientation orientation) {
        const int dpi = resolutionFor(mode, entries_[index].Resolutions);
        if (dpi > 0 && dpi != printer.resolution()) printer.setResolution(dpi);
        if (mode.dmFields & DM_DUPLEX) {
            printer.setDuplex(mode.dmDuplex == DMDUP_VERTICAL     ? QPrinter::DuplexLongSide
                              : mode.dmDuplex == DMDUP_HORIZONTAL ? QPrinter::DuplexShortSide
                                                                  : QPrinter::DuplexNone);
        }
        printer.setColorMode(mode.dmColor == DMCOLOR_COLOR ? QPrinter::Color : QPrinter::GrayScale);
        printer.setPageOrientation(orientation == kpLandscape ? QPageLayout::Landscape
                                                              : QPageLayout::Portrait);
    }

    QList<QPrinterInfo> infos_;
    std::vector<TKpPrinterEntry> entries_;
    std::unique_ptr<QPrinter> info_;
    int infoIndex_ = -1;
    std::unique_ptr<QPrinter> job_;
    std::unique_ptr<QPainter> painter_;
};

} // namespace

std::unique_ptr<TKpPrinterBackend> MakeQtPrinterBackend() {
    return std::make_unique<TKpQtPrinterBackend>();
}

} // namespace kp
