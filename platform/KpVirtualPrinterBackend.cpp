// The virtual printer: PDF through QPdfWriter at a chosen resolution, with the painter's
// origin at the corner of a printable area like a real printer's device context.
#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include "platform/KpPrinterDevice.h"
#include "platform/KpWinFlags.h"

namespace kp {

struct TKpVirtualPrinterBackend::Job {
    QBuffer discard;
    std::unique_ptr<QPdfWriter> writer;
    QPainter painter;
    int setup = 0;
    QPoint offset;
    size_t record = 0;
};

namespace {

QPageLayout layoutFor(const TKpVirtualPrinterSetup& setup, TKpOrientation orientation) {
    return QPageLayout(setup.Paper,
                       orientation == kpLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

QPoint offsetFor(const TKpVirtualPrinterSetup& setup, TKpOrientation orientation) {
    return orientation == kpLandscape ? QPoint(setup.Offset.y(), setup.Offset.x()) : setup.Offset;
}

} // namespace

TKpVirtualPrinterBackend::TKpVirtualPrinterBackend(std::vector<TKpVirtualPrinterSetup> printers)
    : printers_(std::move(printers)) {}

TKpVirtualPrinterBackend::~TKpVirtualPrinterBackend() {
    if (job_) AbortDoc();
}

std::vector<TKpPrinterEntry> TKpVirtualPrinterBackend::Enumerate() {
    std::vector<TKpPrinterEntry> out;
    for (const auto& p : printers_) {
        TKpPrinterEntry e;
        e.Name = p.Name;
        if (p.Duplex) e.Defaults.dmFields |= DM_DUPLEX;
        if (p.Color) {
            e.Defaults.dmFields |= DM_COLOR;
            e.Defaults.dmColor = DMCOLOR_COLOR;
        }
        if (p.Quality) {
            e.Defaults.dmFields |= DM_PRINTQUALITY;
            e.Resolutions = {p.Resolution};
        }
        e.Defaults.dmPrintQuality = static_cast<int16_t>(p.Resolution);
        out.push_back(std::move(e));
    }
    return out;
}

TKpPrinterGeometry TKpVirtualPrinterBackend::Geometry(int index, const TKpDeviceMode&,
                                                      TKpOrientation orientation) {
    TKpPrinterGeometry g;
    if (index < 0 || index >= static_cast<int>(printers_.size())) return g;
    const auto& setup = printers_[index];
    const QRect full = layoutFor(setup, orientation).fullRectPixels(setup.Resolution);
    const QPoint off = offsetFor(setup, orientation);
    g.LogPixelsX = g.LogPixelsY = setup.Resolution;
    g.PhysicalWidth = full.width();
    g.PhysicalHeight = full.height();
    g.PhysicalOffsetX = off.x();
    g.PhysicalOffsetY = off.y();
    return g;
}

QPainter* TKpVirtualPrinterBackend::BeginDoc(int index, const TKpDeviceMode& mode,
                                             TKpOrientation orientation, const QString& docName,
                                             const QString& outputFile) {
    if (job_ || index < 0 || index >= static_cast<int>(printers_.size())) return nullptr;
    const auto& setup = printers_[index];
    auto job = std::make_unique<Job>();
    const QString target = outputFile.isEmpty() ? setup.SpoolFile : outputFile;
    if (target.isEmpty()) {
        job->discard.open(QIODevice::WriteOnly);
        job->writer = std::make_unique<QPdfWriter>(&job->discard);
    } else {
        job->writer = std::make_unique<QPdfWriter>(target);
    }
    job->writer->setResolution(setup.Resolution);
    job->writer->setPageLayout(layoutFor(setup, orientation));
    job->writer->setTitle(docName);
    job->writer->setCreator(QStringLiteral("Paginor"));
    TKpPrinterJobRecord record;
    record.PrinterName = setup.Name;
    record.DocName = docName;
    record.OutputFile = outputFile;
    record.Mode = mode;
    record.Resolution = setup.Resolution;
    if (!job->painter.begin(job->writer.get())) {
        jobs_.push_back(record);
        return nullptr;
    }
    record.Pages = 1;
    jobs_.push_back(record);
    job->record = jobs_.size() - 1;
    job->setup = index;
    job->offset = offsetFor(setup, orientation);
    job->painter.translate(job->offset);
    job_ = std::move(job);
    return &job_->painter;
}

bool TKpVirtualPrinterBackend::NewPage(TKpOrientation orientation) {
    if (!job_) return false;
    const auto& setup = printers_[job_->setup];
    job_->writer->setPageLayout(layoutFor(setup, orientation));
    if (!job_->writer->newPage()) return false;
    // The device origin moves with the printable corner of the new sheet.
    const QPoint off = offsetFor(setup, orientation);
    job_->painter.translate(off - job_->offset);
    job_->offset = off;
    ++jobs_[job_->record].Pages;
    return true;
}

bool TKpVirtualPrinterBackend::EndDoc() {
    if (!job_) return false;
    const bool ok = job_->painter.end();
    jobs_[job_->record].Completed = ok;
    job_.reset();
    return ok;
}

void TKpVirtualPrinterBackend::AbortDoc() {
    if (!job_) return;
    job_->painter.end();
    job_.reset();
}

void* TKpVirtualPrinterBackend::Device() {
    return job_ ? job_->writer.get() : nullptr;
}

} // namespace kp
