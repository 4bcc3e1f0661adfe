// The main window's document files and the page position it shows: opening and saving
// documents with a progress window for long runs, and the counter and strip highlight that
// follow the preview's current page.
#include <algorithm>

#include <QCoreApplication>
#include <QProgressDialog>

#include "demo/untMain.h"

namespace {

// A progress window over the main window for one load or save, shown only when the work
// takes longer than the delay; it hooks the preview's progress event for its lifetime.
class TFileProgress {
public:
    TFileProgress(TfrmMain& window, TFileProgressEvent& event, const QString& text)
        : event_(event), saved_(event) {
        dialog_ = std::make_unique<QProgressDialog>(text, QString(), 0, 100, &window);
        dialog_->setWindowModality(Qt::WindowModal); // repaints while the work runs
        dialog_->setMinimumDuration(window.ProgressDelayMs);
        dialog_->setAutoClose(false);
        dialog_->setValue(0);
        event_ = [this](void* sender, int percent) {
            if (saved_) saved_(sender, percent);
            dialog_->setValue(std::clamp(percent, 0, 100));
        };
    }
    ~TFileProgress() {
        event_ = saved_;
        dialog_->reset();
    }
    TFileProgress(const TFileProgress&) = delete;
    TFileProgress& operator=(const TFileProgress&) = delete;

private:
    TFileProgressEvent& event_;
    TFileProgressEvent saved_;
    std::unique_ptr<QProgressDialog> dialog_;
};

// Shows the page position however the scope is left (a failed load included).
class TPagePositionOnExit {
public:
    explicit TPagePositionOnExit(TfrmMain& window) : window_(window) {}
    ~TPagePositionOnExit() { window_.ShowPagePosition(); }
    TPagePositionOnExit(const TPagePositionOnExit&) = delete;
    TPagePositionOnExit& operator=(const TPagePositionOnExit&) = delete;

private:
    TfrmMain& window_;
};

} // namespace

void TfrmMain::OpenDocument(const QString& fileName) {
    TPagePositionOnExit position(*this);
    TFileProgress progress(*this, KpPreview1->OnLoadProgess,
                           QStringLiteral("Loading %1...").arg(fileName));
    KpPreview1->LoadFromFile(fileName);
}

void TfrmMain::SaveDocument(const QString& fileName) {
    TFileProgress progress(*this, KpPreview1->OnSaveProgress,
                           QStringLiteral("Saving %1...").arg(fileName));
    KpPreview1->SaveToFile(fileName);
}

void TfrmMain::ShowPagePosition() {
    TKpPreview& p = *KpPreview1;
    KpPreview1PageChange(&p, p.CurrentPage());
    // The strip highlights a page when told of a page change; tell it of the current one.
    TKpMessageEvent message(KPM_PAGECHANGED, p.CurrentPage(), 0);
    QCoreApplication::sendEvent(KpThumbnails1, &message);
}
