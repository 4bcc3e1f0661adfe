#pragma once
// The pages-per-sheet selector: three grouped buttons choose one, two or four document pages
// per printed sheet, and a small sheet picture shows the resulting layout with a header and
// footer rule for every page area. A linked preview and the selector follow each other. The
// control is always 105 x 81 pixels; the preview is not owned.
#include "paginor/KpExport.h"

#include <memory>

#include <QPointer>
#include <QWidget>

#include "preview/KpPreview.h"
#include "preview/KpTypes.h"

class QButtonGroup;
class QToolButton;

namespace kp {

// Where the sheet picture sits and how large it is, for a pages-per-sheet value and the
// document's orientation in a selector of the given height.
struct PAGINOR_EXPORT TKpSheetLayout {
    int Width;
    int Height;
    int Top;
};
PAGINOR_EXPORT TKpSheetLayout SheetLayout(TKpPagesPerSheet v, TKpOrientation document,
                                          int selectorHeight);

// The sheet picture: a blank sheet divided into page areas with grey header and footer rules
// and silver dividers. Shadow width 2, gutter 0.
class PAGINOR_EXPORT TKpMultiPrintPage : public TKpCustomPage {
    Q_OBJECT
public:
    explicit TKpMultiPrintPage(QWidget* parent = nullptr);

    TKpOrientation Orientation = kpPortrait;
    TKpPagesPerSheet PagesPerSheet = kpOnePage;
    bool ShowHeaderFooter = true;

protected:
    void PaintPage(QPainter& painter) override;
};

class PAGINOR_EXPORT TKpMultipageImage : public QWidget {
    Q_OBJECT
    // Published properties (form files, Qt Designer, property editors).
    Q_PROPERTY(QString About READ About CONSTANT)
    Q_PROPERTY(kp::KpEnums::TKpPagesPerSheet PagesPerSheet READ PagesPerSheet WRITE SetPagesPerSheet
                   NOTIFY pagesPerSheetChanged)
    Q_PROPERTY(TKpPreview* Preview READ Preview WRITE SetPreview)
    Q_PROPERTY(bool ShowButtons READ ShowButtons WRITE SetShowButtons)
    Q_PROPERTY(bool ShowHeaderFooter READ ShowHeaderFooter WRITE SetShowHeaderFooter)
public:
    static constexpr int FixedWidth = 105;
    static constexpr int FixedHeight = 81;

    explicit TKpMultipageImage(QWidget* parent = nullptr);
    ~TKpMultipageImage() override;

    // "TKpMultipageImage v2.42"; writes are ignored.
    QString About() const;
    void SetAbout(const QString&) {}

    TKpPagesPerSheet PagesPerSheet() const { return pagesPerSheet_; }
    void SetPagesPerSheet(TKpPagesPerSheet v);
    TKpPreview* Preview() const { return preview_; }
    void SetPreview(TKpPreview* v);
    bool ShowButtons() const { return showButtons_; }
    void SetShowButtons(bool v);
    bool ShowHeaderFooter() const { return showHeaderFooter_; }
    void SetShowHeaderFooter(bool v);
    TKpShadow& Shadow() { return picture_->Shadow(); }
    // The sheet picture's shadow takes the colour, width and visibility of source.
    void SetShadow(const TKpShadow& source);

    TKpMultiPrintPage* Picture() const { return picture_; }
    // The one-page, two-page and four-page buttons; nullptr while ShowButtons is false.
    QToolButton* OnePageButton() const { return buttons_[0].get(); }
    QToolButton* TwoPageButton() const { return buttons_[1].get(); }
    QToolButton* FourPageButton() const { return buttons_[2].get(); }

    TNotifyEvent OnClickOnePage;
    TNotifyEvent OnClickTwoPage;
    TNotifyEvent OnClickFourPage;

Q_SIGNALS: // spelled out: hosts may build with QT_NO_KEYWORDS
    // Emitted right after the matching event (also when the event is empty).
    void onePageClicked();  // OnClickOnePage
    void twoPageClicked();  // OnClickTwoPage
    void fourPageClicked(); // OnClickFourPage
    void pagesPerSheetChanged();

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void buttonClicked(TKpPagesPerSheet v);
    void layOutPicture(TKpPagesPerSheet v);
    void unlink();

    TKpMultiPrintPage* picture_; // child widget
    // Children of the selector, freed here before the widget frees its remaining children.
    std::unique_ptr<QToolButton> buttons_[3];
    QButtonGroup* group_; // child object
    QPointer<TKpPreview> preview_;
    QMetaObject::Connection previewConnection_;
    TKpPagesPerSheet pagesPerSheet_ = kpOnePage;
    bool showButtons_ = false;
    bool showHeaderFooter_ = true;
};

} // namespace kp
