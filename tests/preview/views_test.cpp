// The facing and continuous views: placement on screen, the current page following the view,
// painting only the pages in view, page keys, zooming and the page mouse events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "display_fixture.h"
#include "drawing/KpCanvas.h"
#include "drawing/KpDocument.h"
#include "drawing/KpPage.h"
#include "message_log.h"
#include "preview/KpCursors.h"

namespace {

// A preview of count empty pages (added straight to the page list, quick for thousands),
// zoomed and shown in mode.
void fill(TKpPreview& p, int count, TKpViewMode mode, int zoom) {
    p.AutoRefresh = false;
    for (int i = 1; i < count; ++i)
        p.Pages().AddPage();
    p.AutoRefresh = true;
    p.SetZoom(zoom);
    p.SetViewMode(mode);
    p.RefreshPage();
    settle();
}

void key(QWidget* w, int k) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

int top(TKpPreview& p, int n) {
    return p.PageLayout().PageRect(n).top();
}

} // namespace

TEST(Views, ModeChangesAreReportedOnce) {
    PreviewHost host;
    EXPECT_EQ(host.preview->ViewMode(), vmSinglePage);
    int events = 0, emitted = 0;
    host.preview->OnViewModeChange = [&](void* sender) {
        EXPECT_EQ(sender, host.preview);
        ++events;
    };
    QObject::connect(host.preview, &TKpPreview::viewModeChanged, [&] { ++emitted; });
    EXPECT_TRUE(host.preview->setProperty("ViewMode", QVariant::fromValue(vmFacingPages)));
    host.preview->SetViewMode(vmFacingPages);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(emitted, 1);
    EXPECT_FALSE(host.image().isVisible());
    host.preview->SetViewMode(vmSinglePage);
    EXPECT_TRUE(host.image().isVisible());
    EXPECT_EQ(events, 2);
}

TEST(Views, ContinuousPaintsOnlyThePagesInView) {
    PreviewHost host(1000, 800);
    TKpPreview& p = *host.preview;
    fill(p, 10000, vmContinuous, 20);
    // 159 by 225 pixel pages, 30 apart: page n's top at 30 + 255 (n - 1).
    ASSERT_EQ(p.PageLayout().PageRect(5001),
              QRect((p.viewport()->width() - 159) / 2, 30 + 5000 * 255, 159, 225));
    ASSERT_GE(p.viewport()->height(), 766);
    p.SetVertPosition(30 + 5000 * 255);
    EXPECT_EQ(p.CurrentPage(), 5001);
    p.viewport()->repaint();
    EXPECT_EQ(p.PaintedPages(), (std::vector<int>{5001, 5002, 5003, 5004}));
    // The pages never in view have no picture yet; those painted have theirs.
    EXPECT_EQ(p.GetPage(4000)->Metafile().Source(), nullptr);
    EXPECT_NE(p.GetPage(5003)->Metafile().Source(), nullptr);
    EXPECT_EQ(p.GetPage(5003)->Metafile().Width(), 794);
}

TEST(Views, FacingPagesSitAsInABook) {
    PreviewHost host(1000, 800);
    TKpPreview& p = *host.preview;
    fill(p, 3, vmFacingPages, 50);
    const int vw = p.viewport()->width();
    const int left = (vw - 824) / 2;
    EXPECT_EQ(p.PageLayout().PageRect(1), QRect(left + 427, 30, 397, 561));
    EXPECT_EQ(p.PageLayout().PageRect(2), QRect(left, 621, 397, 561));
    EXPECT_EQ(p.PageLayout().PageRect(3), QRect(left + 427, 621, 397, 561));
    const QImage shot = p.viewport()->grab().toImage();
    // Page 1's sheet is white, the place facing it is the desk; the shadow is black.
    EXPECT_TRUE(isWhite(shot, left + 427 + 200, 300));
    EXPECT_FALSE(isWhite(shot, left + 200, 300));
    EXPECT_EQ(rgbAt(shot, left + 427 + 395, 300), 0x000000u);
    EXPECT_TRUE(isWhite(shot, left + 427 + 392, 300));
    EXPECT_TRUE(isWhite(shot, left + 200, 700));
}

TEST(Views, TheCurrentPageFollowsTheViewAndTheLinkedControlsHearIt) {
    PreviewHost host(1000, 800);
    TKpPreview& p = *host.preview;
    fill(p, 10, vmContinuous, 50);
    MessageLog log;
    p.AddLinkedControl(&log);
    std::vector<int> changes;
    p.OnPageChange = [&](void*, int n) { changes.push_back(n); };
    // Pages 561 high, 591 apart: a view from page 4's top + 300 shows 261 of page 4 and
    // the rest of page 5.
    p.SetVertPosition(top(p, 4) + 300);
    EXPECT_EQ(p.CurrentPage(), 5);
    p.SetVertPosition(top(p, 4) + 100);
    EXPECT_EQ(p.CurrentPage(), 4);
    EXPECT_EQ(changes, (std::vector<int>{5, 4}));
    EXPECT_EQ(log.count(KPM_PAGECHANGED), 2);
    // Made current elsewhere (a thumbnail, a selector, the host), a page comes into view.
    p.SetCurrentPage(8);
    EXPECT_EQ(p.VertPosition(), top(p, 8) - 30);
    EXPECT_EQ(p.CurrentPage(), 8);
}

TEST(Views, PageKeysGoAPageOrASpreadAtATime) {
    PreviewHost host(1000, 800);
    TKpPreview& p = *host.preview;
    fill(p, 6, vmContinuous, 50);
    key(&p, Qt::Key_PageDown);
    EXPECT_EQ(p.CurrentPage(), 2);
    EXPECT_EQ(p.VertPosition(), top(p, 2) - 30);
    key(&p, Qt::Key_End);
    EXPECT_EQ(p.CurrentPage(), 6);
    key(&p, Qt::Key_PageUp);
    EXPECT_EQ(p.CurrentPage(), 5);
    EXPECT_EQ(p.VertPosition(), top(p, 5) - 30);
    p.SetViewMode(vmFacingPages);
    struct {
        int key, page;
    } const steps[] = {{Qt::Key_Home, 1},     {Qt::Key_PageDown, 2}, {Qt::Key_PageDown, 4},
                       {Qt::Key_PageDown, 6}, {Qt::Key_PageDown, 6}, {Qt::Key_PageUp, 4},
                       {Qt::Key_PageUp, 2},   {Qt::Key_PageUp, 1}};
    for (const auto& s : steps) {
        key(&p, s.key);
        EXPECT_EQ(p.CurrentPage(), s.page);
    }
}

TEST(Views, FitZoomsCountTheSpread) {
    PreviewHost host(1000, 800);
    TKpPreview& p = *host.preview;
    fill(p, 4, vmFacingPages, 20);
    // (1000 - 26 - 3 x 30) / (96 x 2 x 8.2677) = 55.7 %; the height (800 - 86) / 1122.5 = 63.6 %.
    EXPECT_EQ(p.FitWidthZoom(), 55);
    p.FitWholePage();
    EXPECT_EQ(p.Zoom(), 55);
    EXPECT_FALSE(host.image().isVisible());
    p.SetViewMode(vmContinuous);
    EXPECT_EQ(p.FitWidthZoom(), 115);
    p.FitWholePage();
    EXPECT_EQ(p.Zoom(), 63);
}

TEST(Views, CtrlWheelZoomsAboutTheMouse) {
    PreviewHost host(1000, 800);
    TKpPreview& p = *host.preview;
    fill(p, 5, vmContinuous, 100);
    p.SetVertPosition(top(p, 2) + 200);
    const QPoint at(400, 300);
    const QPoint before = at + QPoint(p.HorzPosition(), p.VertPosition());
    const QRect page = p.PageLayout().PageRect(2);
    QWheelEvent e(at, p.viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                  Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(p.viewport(), &e);
    ASSERT_EQ(p.Zoom(), 110);
    // The same point of page 2 is still under the mouse, to the pixel (the page is narrower
    // than the view, so only its height scrolls).
    const QRect after = p.PageLayout().PageRect(2);
    const QPoint now = at + QPoint(p.HorzPosition(), p.VertPosition());
    EXPECT_NEAR(now.y() - after.top(), (before.y() - page.top()) * 1.1, 1.0);
    EXPECT_EQ(p.CurrentPage(), 2);
}

TEST(Views, AClickOnAPageMakesItCurrentAndReportsThePosition) {
    PreviewHost host(1000, 800);
    TKpPreview& p = *host.preview;
    fill(p, 4, vmFacingPages, 100);
    const QRect page3 = p.PageLayout().PageRect(3);
    p.SetVertPosition(page3.top() - 30);
    p.SetHorzPosition(page3.left() - 30);
    Extended x = -1, y = -1;
    p.OnPageMouseDown = [&](void*, TMouseButton, TShiftState, TKpValue* vx, TKpValue* vy) {
        x = vx->value;
        y = vy->value;
    };
    const QPoint at = page3.topLeft() + QPoint(40, 20) - QPoint(p.HorzPosition(), p.VertPosition());
    QMouseEvent press(QEvent::MouseButtonPress, at, p.viewport()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(p.viewport(), &press);
    EXPECT_EQ(p.CurrentPage(), 3);
    EXPECT_EQ(x, kp::RoundInt(40 * 2540 / 96.0L));
    EXPECT_EQ(y, kp::RoundInt(20 * 2540 / 96.0L));
}

TEST(Views, LinksOnAnyPageShownShowTheHandAndAreFollowed) {
    PreviewHost host(1000, 800);
    TKpPreview& p = *host.preview;
    fill(p, 4, vmFacingPages, 100);
    // Half an inch square, one inch in from page 3's corner: 96 to 144 pixels at 100 %.
    p.Document().AddLink(3, QRect(2540, 2540, 1270, 1270), QStringLiteral("https://c.example/"));
    const QRect page3 = p.PageLayout().PageRect(3);
    p.SetVertPosition(page3.top() - 30);
    p.SetHorzPosition(page3.left() - 30);
    const QPoint corner = page3.topLeft() - QPoint(p.HorzPosition(), p.VertPosition());
    QStringList clicked;
    int downs = 0;
    p.OnLinkClick = [&](void*, const QString& url) { clicked << url; };
    p.OnPageMouseDown = [&](void*, TMouseButton, TShiftState, TKpValue*, TKpValue*) { ++downs; };
    auto send = [&](QEvent::Type type, QPoint at) {
        const Qt::MouseButton b = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, at, p.viewport()->mapToGlobal(at), b, b, Qt::NoModifier);
        QApplication::sendEvent(p.viewport(), &e);
    };
    for (const auto& [offset, hand] :
         {std::pair{QPoint(120, 120), true}, {QPoint(150, 120), false}, {QPoint(97, 143), true}}) {
        send(QEvent::MouseMove, corner + offset);
        const QCursor* cursor = QGuiApplication::overrideCursor();
        EXPECT_EQ(cursor && cursor->shape() == Qt::PointingHandCursor, hand)
            << offset.x() << "," << offset.y();
    }
    send(QEvent::MouseButtonPress, corner + QPoint(120, 120));
    EXPECT_EQ(clicked, QStringList{QStringLiteral("https://c.example/")});
    EXPECT_EQ(downs, 0);
    send(QEvent::MouseButtonPress, corner + QPoint(150, 120)); // beside it: the page's click
    EXPECT_EQ(clicked.size(), 1);
    EXPECT_EQ(downs, 1);
    KpSetScreenCursor(Qt::ArrowCursor);
}
