#include "selectors/KpMultipageImage.h"

#include <QButtonGroup>
#include <QLocale>
#include <QPainter>
#include <QResizeEvent>
#include <QToolButton>

#include "platform/KpDeviceCanvas.h"
#include "selectors/KpGlyphs.h"

namespace kp {

namespace {

constexpr int kPictureLeftWithButtons = 40;
constexpr int kPictureLeftAlone = 4;
constexpr TColor kRuleGrey = 0x777777; // red, green, blue 119
constexpr TColor kDividerSilver = 0xC0C0C0;

struct ButtonSpec {
    int top;
    const char* glyph;
    TKpPagesPerSheet chooses;
};
constexpr ButtonSpec kButtons[3] = {
    {4, "ONE", kpOnePage}, {28, "TWO", kpTwoPage}, {52, "FOUR", kpFourPage}};
constexpr int kButtonLeft = 8;
constexpr QSize kButtonSize(23, 22);

// A page area by its four edges, right and bottom exclusive (QRect's right() and bottom()
// would be one less).
struct Area {
    int l, t, r, b;
};

// A header and a footer rule inset d into area a.
void areaRules(TKpDeviceCanvas& c, bool on, const Area& a, int d) {
    if (!on) return;
    c.Pen().SetColor(kRuleGrey);
    c.MoveTo(a.l + d, a.t + d);
    c.LineTo(a.r - d, a.t + d);
    c.MoveTo(a.l + d, a.b - d);
    c.LineTo(a.r - d, a.b - d);
}

void divider(TKpDeviceCanvas& c, int x1, int y1, int x2, int y2) {
    c.Pen().SetColor(kDividerSilver);
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
}

} // namespace

TKpSheetLayout SheetLayout(TKpPagesPerSheet v, TKpOrientation document, int selectorHeight) {
    // Two-up turns the sheet: portrait documents print side by side on a landscape sheet.
    const bool portraitSheet = (document == kpPortrait) != (v == kpTwoPage);
    const int w = portraitSheet ? 45 : 60;
    const int h = portraitSheet ? 60 : 45;
    return {w, h, (selectorHeight - h) / 2};
}

// ---- the sheet picture ----

TKpMultiPrintPage::TKpMultiPrintPage(QWidget* parent) : TKpCustomPage(parent) {
    Shadow().SetWidth(2);
    SetGutter(0);
}

void TKpMultiPrintPage::PaintPage(QPainter& painter) {
    TKpCustomPage::PaintPage(painter);
    TKpDeviceCanvas c(&painter, logicalDpiX(), logicalDpiY());
    c.Pen().SetStyle(psSolid);
    c.Pen().SetWidth(1);
    const int s = Shadow().Width();
    // The sheet, two pixels shorter at the bottom than at the right.
    const Area r{0, 0, width() - s, height() - s - 2};
    const bool on = ShowHeaderFooter;
    switch (PagesPerSheet) {
    case kpOnePage:
        areaRules(c, on, r, 6);
        break;
    case kpTwoPage:
        if (Orientation == kpPortrait) {
            const int mid = r.r / 2;
            areaRules(c, on, {r.l, r.t, mid, r.b}, 5);
            areaRules(c, on, {mid, r.t, r.r, r.b}, 5);
            divider(c, mid, 1, mid, r.b);
        } else {
            const int mid = r.b / 2;
            areaRules(c, on, {r.l, r.t, r.r, mid}, 5);
            areaRules(c, on, {r.l, mid, r.r, r.b}, 5);
            divider(c, 1, mid, r.r, mid);
        }
        break;
    case kpFourPage: {
        const int hw = r.r / 2, hh = r.b / 2;
        areaRules(c, on, {r.l, r.t, hw, hh}, 4);
        areaRules(c, on, {hw, r.t, r.r, hh}, 4);
        areaRules(c, on, {r.l, hh, hw, r.b}, 4);
        areaRules(c, on, {hw, hh, r.r, r.b}, 4);
        divider(c, hw, 1, hw, r.b);
        divider(c, 1, hh, r.r, hh);
        break;
    }
    }
}

// ---- the selector ----

TKpMultipageImage::TKpMultipageImage(QWidget* parent) : QWidget(parent) {
    setFixedSize(FixedWidth, FixedHeight);
    group_ = new QButtonGroup(this);
    group_->setExclusive(true);
    picture_ = new TKpMultiPrintPage(this);
    picture_->setGeometry(kPictureLeftWithButtons, 0, 45, 60);
    picture_->Shadow().SetWidth(2);
    picture_->ShowHeaderFooter = true;
    showHeaderFooter_ = true;
    showButtons_ = false;
    SetPagesPerSheet(kpOnePage);
    SetShowButtons(true);
}

TKpMultipageImage::~TKpMultipageImage() {
    unlink();
}

QString TKpMultipageImage::About() const {
    QString version = QString::number(static_cast<double>(KpVersion), 'f', 2);
    version.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return QStringLiteral("TKpMultipageImage v") + version;
}

void TKpMultipageImage::layOutPicture(TKpPagesPerSheet v) {
    const TKpSheetLayout l = SheetLayout(v, picture_->Orientation, FixedHeight);
    picture_->PagesPerSheet = v;
    picture_->setGeometry(picture_->x(), l.Top, l.Width, l.Height);
    picture_->update();
}

void TKpMultipageImage::SetPagesPerSheet(TKpPagesPerSheet v) {
    const bool changed = v != pagesPerSheet_;
    pagesPerSheet_ = v;
    if (preview_) picture_->Orientation = preview_->Orientation();
    layOutPicture(v);
    if (showButtons_)
        for (int i = 0; i < 3; ++i)
            if (buttons_[i]) buttons_[i]->setChecked(kButtons[i].chooses == v);
    if (preview_) preview_->SetPagesPerSheet(v);
    update();
    if (changed) Q_EMIT pagesPerSheetChanged();
}

void TKpMultipageImage::SetShowButtons(bool v) {
    if (v == showButtons_) return;
    if (v) {
        picture_->move(kPictureLeftWithButtons, picture_->y());
        for (int i = 0; i < 3; ++i) {
            auto button = std::make_unique<QToolButton>(this);
            button->setGeometry(QRect(QPoint(kButtonLeft, kButtons[i].top), kButtonSize));
            button->setIcon(QIcon(QPixmap::fromImage(KpLoadGlyph(kButtons[i].glyph))));
            button->setIconSize(QSize(16, 16));
            button->setCheckable(true);
            button->setAutoRaise(false);
            // The one-page button starts down, whatever the setting.
            button->setChecked(i == 0);
            group_->addButton(button.get());
            const TKpPagesPerSheet chooses = kButtons[i].chooses;
            connect(button.get(), &QToolButton::clicked, this,
                    [this, chooses] { buttonClicked(chooses); });
            button->show();
            buttons_[i] = std::move(button);
        }
    } else {
        picture_->move(kPictureLeftAlone, picture_->y());
        for (auto& button : buttons_)
            button.reset();
    }
    showButtons_ = v;
}

void TKpMultipageImage::buttonClicked(TKpPagesPerSheet v) {
    if (v == pagesPerSheet_) return;
    SetPagesPerSheet(v);
    const TNotifyEvent& event = v == kpOnePage   ? OnClickOnePage
                                : v == kpTwoPage ? OnClickTwoPage
                                                 : OnClickFourPage;
    QPointer<TKpMultipageImage> self(this); // the event may free the selector
    if (event) event(this);
    if (!self) return;
    if (v == kpOnePage)
        Q_EMIT onePageClicked();
    else if (v == kpTwoPage)
        Q_EMIT twoPageClicked();
    else
        Q_EMIT fourPageClicked();
}

void TKpMultipageImage::SetShowHeaderFooter(bool v) {
    showHeaderFooter_ = v;
    picture_->ShowHeaderFooter = v;
    picture_->repaint();
}

void TKpMultipageImage::SetShadow(const TKpShadow& source) {
    picture_->Shadow().Assign(source);
    picture_->update();
}

void TKpMultipageImage::unlink() {
    QObject::disconnect(previewConnection_);
    if (preview_) preview_->RemoveLinkedControl(this);
    preview_ = nullptr;
}

void TKpMultipageImage::SetPreview(TKpPreview* v) {
    unlink();
    preview_ = v;
    if (!v) return;
    previewConnection_ = connect(v, &QObject::destroyed, this, [this] { preview_ = nullptr; });
    v->AddLinkedControl(this);
    SetPagesPerSheet(v->PagesPerSheet());
}

bool TKpMultipageImage::event(QEvent* e) {
    if (e->type() == TKpMessageEvent::EventType()) {
        const auto& message = *static_cast<TKpMessageEvent*>(e);
        if (!preview_) return true;
        if (message.Msg == KPM_PAGESPERSHEETCHANGED) {
            if (preview_->PagesPerSheet() != pagesPerSheet_)
                SetPagesPerSheet(preview_->PagesPerSheet());
        } else if (message.Msg == KPM_ORIENTATIONCHANGED) {
            SetPagesPerSheet(pagesPerSheet_);
        }
        return true;
    }
    return QWidget::event(e);
}

void TKpMultipageImage::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    // Size limits changed from outside (setFixedSize, setMinimumSize, ...) are what forced
    // the new size, so they are put back with it.
    if (e->size() != QSize(FixedWidth, FixedHeight)) setFixedSize(FixedWidth, FixedHeight);
}

} // namespace kp
