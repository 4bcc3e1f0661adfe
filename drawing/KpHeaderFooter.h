#pragma once
// The header and footer bands: up to three captions each (left, centre, right) with fonts of
// their own, and a rule line; drawn afresh onto every rendered or printed page.
#include "paginor/KpExport.h"

#include <memory>

#include <QRect>
#include <QString>

#include "drawing/KpUnits.h"
#include "platform/KpGraphics.h"

namespace kp {

class TKpCanvas;
class TKpDeviceCanvas;
class TKpHeaderFooter;
class TKpMargins;
class TKpDocument;
struct TKpDrawContext;

class PAGINOR_EXPORT TKpHeaderFooterCaption {
public:
    explicit TKpHeaderFooterCaption(TKpHeaderFooter* band);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& v);
    TKpFont& Font() { return *font_; }
    const TKpFont& Font() const { return *font_; }
    void SetFont(const TKpFont& f);
    void Assign(const TKpHeaderFooterCaption& source);

private:
    TKpHeaderFooter* band_;
    QString caption_;
    std::unique_ptr<TKpFont> font_;
};

class PAGINOR_EXPORT TKpHeaderFooter {
public:
    explicit TKpHeaderFooter(TKpDocument* document);
    virtual ~TKpHeaderFooter();

    QString CaptionLeft() const { return left_->Caption(); }
    QString CaptionCenter() const { return center_->Caption(); }
    QString CaptionRight() const { return right_->Caption(); }
    void SetCaptionLeft(const QString& v) { left_->SetCaption(v); }
    void SetCaptionCenter(const QString& v) { center_->SetCaption(v); }
    void SetCaptionRight(const QString& v) { right_->SetCaption(v); }
    TKpFont& CaptionLeftFont() { return left_->Font(); }
    TKpFont& CaptionCenterFont() { return center_->Font(); }
    TKpFont& CaptionRightFont() { return right_->Font(); }
    TKpHeaderFooterCaption& LeftCaption() { return *left_; }
    TKpHeaderFooterCaption& CenterCaption() { return *center_; }
    TKpHeaderFooterCaption& RightCaption() { return *right_; }
    TKpPen& Pen() { return *pen_; }
    bool ShowLine() const { return showLine_; }
    void SetShowLine(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    int Drawing() const { return drawing_; }

    const TKpFont& LargestFont() const;
    // The band's own value, overwritten by the next call.
    TKpValue& BandHeight();
    void Assign(const TKpHeaderFooter& source);
    // Draws the band for the page numbered pageNum on the sheet pageRect; without a context,
    // with the document's (read now).
    void Draw(TKpDeviceCanvas& target, TKpMargins& margins, const QRect& pageRect, int pageNum,
              Extended scale);
    virtual void Draw(TKpDeviceCanvas& target, TKpMargins& margins, const QRect& pageRect,
                      int pageNum, Extended scale, const TKpDrawContext& context) = 0;

    // A caption, the pen or a flag changed.
    void Changed();

protected:
    // Loading, copying and tests store fields without notifying (TKpFieldAccess).
    friend struct TKpFieldAccess;
    // Puts a caption's font on the target at s times its point size, greys the target's
    // colours when asked, and returns the caption's text with its tokens replaced.
    QString prepareCaption(TKpDeviceCanvas& target, const TKpHeaderFooterCaption& caption,
                           int pageNum, Extended scale, bool mono, const TKpDrawContext& context);

    TKpDocument* document_;
    int drawing_ = 0;
    std::unique_ptr<TKpHeaderFooterCaption> left_, center_, right_;
    std::unique_ptr<TKpPen> pen_;
    std::unique_ptr<TKpValue> bandHeight_;
    bool showLine_ = true;
    bool visible_ = false;
};

class PAGINOR_EXPORT TKpHeader : public TKpHeaderFooter {
public:
    using TKpHeaderFooter::Draw;
    using TKpHeaderFooter::TKpHeaderFooter;
    void Draw(TKpDeviceCanvas& target, TKpMargins& margins, const QRect& pageRect, int pageNum,
              Extended scale, const TKpDrawContext& context) override;
};

class PAGINOR_EXPORT TKpFooter : public TKpHeaderFooter {
public:
    using TKpHeaderFooter::Draw;
    using TKpHeaderFooter::TKpHeaderFooter;
    void Draw(TKpDeviceCanvas& target, TKpMargins& margins, const QRect& pageRect, int pageNum,
              Extended scale, const TKpDrawContext& context) override;
};

} // namespace kp
