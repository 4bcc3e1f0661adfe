// Zoom setter and steps, fit zooms, placement of the page image, scrolling, panning and the
// keyboard and wheel.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <vector>

#include "display_fixture.h"
#include "message_log.h"

namespace {

void wheel(QWidget* w, int delta, Qt::KeyboardModifiers mods) {
    QWheelEvent e(QPointF(50, 50), w->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, delta),
                  Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

void key(QWidget* w, int k) {
    QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST(Zoom, ClampsToMaxAndMinAndFiresOnZoom) {
    PreviewHost host;
    std::vector<std::pair<int, int>> zooms;
    host.preview->OnZoom = [&](void* sender, int oldZoom, int newZoom) {
        EXPECT_EQ(sender, host.preview);
        zooms.emplace_back(oldZoom, newZoom);
    };
    EXPECT_EQ(host.preview->Zoom(), 20);
    host.preview->SetZoom(1000);
    EXPECT_EQ(host.preview->Zoom(), 400);
    host.preview->SetZoom(5);
    EXPECT_EQ(host.preview->Zoom(), 10);
    ASSERT_EQ(zooms.size(), 2u);
    EXPECT_EQ(zooms[0], std::make_pair(20, 400));
    EXPECT_EQ(zooms[1], std::make_pair(400, 10));
    EXPECT_DOUBLE_EQ(static_cast<double>(host.image().Scale()), 0.1);
}

TEST(Zoom, SameValueStillFiresAndRefreshes) {
    PreviewHost host;
    MessageLog log;
    host.preview->AddLinkedControl(&log);
    std::vector<std::pair<int, int>> zooms;
    host.preview->OnZoom = [&](void*, int o, int n) { zooms.emplace_back(o, n); };
    host.preview->SetZoom(20);
    ASSERT_EQ(zooms.size(), 1u);
    EXPECT_EQ(zooms[0], std::make_pair(20, 20));
    EXPECT_EQ(log.count(KPM_REFRESH), 1);
    EXPECT_EQ(log.count(KPM_DISPLAYUPDATED), 1);
}

TEST(Zoom, InvalidLimitsIgnoreTheRequest) {
    PreviewHost host;
    int events = 0;
    host.preview->OnZoom = [&](void*, int, int) { ++events; };
    host.preview->MinZoom = 500; // above MaxZoom: every request is out of range
    host.preview->SetZoom(450);
    EXPECT_EQ(host.preview->Zoom(), 20);
    host.preview->MinZoom = 0;
    host.preview->MaxZoom = 400;
    host.preview->SetZoom(0);
    EXPECT_EQ(host.preview->Zoom(), 20);
    host.preview->SetZoom(-5);
    EXPECT_EQ(host.preview->Zoom(), 20);
    EXPECT_EQ(events, 0);
}

TEST(Zoom, VariableZoomSequences) {
    PreviewHost host;
    host.preview->ZoomStyle = kpVariableZoom;
    std::vector<int> in;
    for (int i = 0; i < 8; ++i) {
        host.preview->ZoomIn();
        in.push_back(host.preview->Zoom());
    }
    EXPECT_EQ(in, (std::vector<int>{30, 45, 67, 100, 150, 225, 337, 400}));
    std::vector<int> out;
    for (int i = 0; i < 6; ++i) {
        host.preview->ZoomOut();
        out.push_back(host.preview->Zoom());
    }
    EXPECT_EQ(out, (std::vector<int>{200, 100, 50, 25, 13, 10}));
    host.preview->SetZoom(45);
    host.preview->ZoomOut();
    EXPECT_EQ(host.preview->Zoom(), 23);
}

TEST(Zoom, FixedZoomStepsAndClampsAtTheBottom) {
    PreviewHost host;
    host.preview->ZoomIn();
    EXPECT_EQ(host.preview->Zoom(), 30);
    host.preview->ZoomIncrement = 25;
    host.preview->ZoomOut();
    EXPECT_EQ(host.preview->Zoom(), 10); // 5, clamped
    std::vector<std::pair<int, int>> zooms;
    host.preview->OnZoom = [&](void*, int o, int n) { zooms.emplace_back(o, n); };
    host.preview->ZoomIncrement = 10;
    host.preview->ZoomOut();
    EXPECT_EQ(host.preview->Zoom(), 10);
    ASSERT_EQ(zooms.size(), 1u);
    EXPECT_EQ(zooms[0], std::make_pair(10, 10));
}

TEST(Zoom, ZoomInShowsTheZoomCursorOnlyWithTheMouseInside) {
    PreviewHost host;
    host.preview->SetZoomCursor(0); // whatever an earlier test left
    host.preview->SetMouseInside(false);
    host.preview->ZoomIn();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    host.preview->SetMouseInside(true);
    host.preview->ZoomIn();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    host.preview->SetZoomCursor(0);
}

TEST(Zoom, SmallPageImageIsCentredWithAnEightPixelAllowance) {
    PreviewHost host(1000, 1300);
    host.preview->SetZoom(100);
    ASSERT_EQ(host.image().width(), 854);
    EXPECT_EQ(host.image().x(), 69); // (1000 - 854 - 8) div 2
    EXPECT_EQ(host.image().y(), (1300 - 1183 - 8) / 2);
    host.preview->SetZoom(20);
    EXPECT_EQ(host.image().x(), (1000 - host.image().width() - 8) / 2);
}

TEST(Zoom, LargePageImageIsPinnedToTheCorner) {
    PreviewHost host(400, 300);
    host.preview->SetZoom(20);
    ASSERT_GT(host.image().x(), 0);
    host.preview->SetZoom(200);
    EXPECT_EQ(host.image().x(), 0);
    EXPECT_EQ(host.image().y(), 0);
    EXPECT_GT(host.preview->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(host.preview->verticalScrollBar()->maximum(), 0);
}

TEST(Zoom, FitZoomsFor640By480) {
    PreviewHost host(640, 480);
    EXPECT_EQ(host.preview->FitWidthZoom(), 69);
    EXPECT_EQ(host.preview->FitHeightZoom(), 35);
    host.preview->FitWholePage();
    EXPECT_EQ(host.preview->Zoom(), 35);
    EXPECT_TRUE(host.image().isVisibleTo(host.preview));
    host.preview->FitWidth();
    EXPECT_EQ(host.preview->Zoom(), 69);
    host.preview->FitHeight();
    EXPECT_EQ(host.preview->Zoom(), 35);
    // No change, no event.
    int events = 0;
    host.preview->OnZoom = [&](void*, int, int) { ++events; };
    host.preview->FitHeight();
    EXPECT_EQ(events, 0);
}

TEST(Zoom, FitZoomIsClampedBySetter) {
    PreviewHost host(6000, 8000);
    host.preview->FitWholePage();
    EXPECT_EQ(host.preview->Zoom(), 400);
}

TEST(Zoom, ZoomKeepsTheScrollProportion) {
    PreviewHost host(400, 300);
    host.preview->SetZoom(100);
    QScrollBar* vb = host.preview->verticalScrollBar();
    host.preview->SetVertPosition(vb->maximum() / 2);
    const double before = double(vb->value()) / vb->maximum();
    host.preview->SetZoom(200);
    const double after = double(vb->value()) / vb->maximum();
    EXPECT_NEAR(after, before, 0.01);
}

TEST(Zoom, ScrollToPercentAndCenterOnPoint) {
    PreviewHost host(400, 300);
    host.preview->SetZoom(100);
    QScrollBar* hb = host.preview->horizontalScrollBar();
    QScrollBar* vb = host.preview->verticalScrollBar();
    host.preview->ScrollToPercent(50, 100);
    EXPECT_EQ(hb->value(),
              kp::RoundInt((host.preview->HorzRange() - host.preview->viewport()->width()) * 0.5L));
    EXPECT_EQ(vb->value(), vb->maximum());
    host.preview->ScrollToPercent(0, 0);
    host.preview->CenterOnPoint(300, 250);
    EXPECT_EQ(hb->value(), 300 - 400 / 2);
    EXPECT_EQ(vb->value(), 250 - 300 / 2);
    EXPECT_TRUE(host.image().isEnabled());
    // The page image follows the scroll positions.
    EXPECT_EQ(host.image().x(), host.preview->PageImagePos().x() - hb->value());
}

TEST(Zoom, PanningMovesWithTheMouseAndStopsAtTheScrollBars) {
    PreviewHost host(400, 300);
    host.preview->SetZoom(100);
    QScrollBar* hb = host.preview->horizontalScrollBar();
    QScrollBar* vb = host.preview->verticalScrollBar();
    host.preview->SetHorzPosition(100);
    host.preview->SetVertPosition(100);
    host.preview->PreviewMouseMove(0, 200, 150);
    host.preview->BeginPan();
    EXPECT_TRUE(host.preview->Panning());
    // Dragging right and down by 30 moves the page with the mouse.
    host.preview->PreviewMouseMove(0, 230, 180);
    EXPECT_EQ(hb->value(), 70);
    EXPECT_EQ(vb->value(), 70);
    EXPECT_TRUE(host.preview->Panning());
    // x = 400 - 4 - 16 = 380 is still outside the zone, 381 is in it.
    host.preview->PreviewMouseMove(0, 380, 180);
    EXPECT_TRUE(host.preview->Panning());
    host.preview->PreviewMouseMove(0, 381, 180);
    EXPECT_FALSE(host.preview->Panning());
    const int h = hb->value();
    host.preview->PreviewMouseMove(0, 300, 180);
    EXPECT_EQ(hb->value(), h); // no longer panning
    // Likewise at the bottom: y = 300 - 4 - 16 = 280.
    host.preview->BeginPan();
    host.preview->PreviewMouseMove(0, 300, 280);
    EXPECT_TRUE(host.preview->Panning());
    host.preview->PreviewMouseMove(0, 300, 281);
    EXPECT_FALSE(host.preview->Panning());
}

TEST(Zoom, LeavingThePreviewEndsPanning) {
    PreviewHost host(400, 300);
    host.preview->SetMouseInside(true);
    host.preview->BeginPan();
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(host.preview, &leave);
    EXPECT_FALSE(host.preview->Panning());
    EXPECT_FALSE(host.preview->MouseInside());
}

TEST(Zoom, CtrlWheelZoomsAndTheWheelScrolls) {
    PreviewHost host(400, 300);
    host.preview->SetZoom(100);
    wheel(host.preview->viewport(), 120, Qt::ControlModifier);
    EXPECT_EQ(host.preview->Zoom(), 110);
    wheel(host.preview->viewport(), -240, Qt::ControlModifier);
    EXPECT_EQ(host.preview->Zoom(), 90);
    // Half notches add up.
    wheel(host.preview->viewport(), 60, Qt::ControlModifier);
    EXPECT_EQ(host.preview->Zoom(), 90);
    wheel(host.preview->viewport(), 60, Qt::ControlModifier);
    EXPECT_EQ(host.preview->Zoom(), 100);
    QScrollBar* vb = host.preview->verticalScrollBar();
    ASSERT_EQ(vb->value(), 0);
    wheel(host.preview->viewport(), -120, Qt::NoModifier);
    EXPECT_GT(vb->value(), 0);
    EXPECT_EQ(host.preview->Zoom(), 100);
    EXPECT_EQ(host.image().y(), host.preview->PageImagePos().y() - vb->value());
}

TEST(Zoom, PageKeysMoveBetweenPagesAtThePageEdge) {
    PreviewHost host(400, 300);
    host.preview->NewPage();
    host.preview->NewPage();
    host.preview->FirstPage();
    host.preview->SetZoom(100);
    QScrollBar* vb = host.preview->verticalScrollBar();
    ASSERT_EQ(host.preview->CurrentPage(), 1);
    ASSERT_EQ(vb->value(), 0);
    key(host.preview, Qt::Key_PageDown);
    EXPECT_EQ(host.preview->CurrentPage(), 1);
    EXPECT_EQ(vb->value(), vb->pageStep());
    while (vb->value() < vb->maximum())
        key(host.preview, Qt::Key_PageDown);
    EXPECT_EQ(host.preview->CurrentPage(), 1);
    key(host.preview, Qt::Key_PageDown); // at the bottom edge: next page, at its top
    EXPECT_EQ(host.preview->CurrentPage(), 2);
    EXPECT_EQ(vb->value(), 0);
    key(host.preview, Qt::Key_PageUp); // at the top edge: previous page, at its bottom
    EXPECT_EQ(host.preview->CurrentPage(), 1);
    EXPECT_EQ(vb->value(), vb->maximum());
    key(host.preview, Qt::Key_End);
    EXPECT_EQ(host.preview->CurrentPage(), 3);
    EXPECT_EQ(vb->value(), vb->maximum());
    key(host.preview, Qt::Key_PageDown); // nothing after the last page
    EXPECT_EQ(host.preview->CurrentPage(), 3);
    key(host.preview, Qt::Key_Home);
    EXPECT_EQ(host.preview->CurrentPage(), 1);
    EXPECT_EQ(vb->value(), 0);
    key(host.preview, Qt::Key_PageUp); // nothing before the first page
    EXPECT_EQ(host.preview->CurrentPage(), 1);
}

TEST(Zoom, ResizingRepositions) {
    PreviewHost host(1000, 1300);
    host.preview->SetZoom(100);
    ASSERT_EQ(host.image().x(), 69);
    host.preview->resize(1200, 1300);
    EXPECT_EQ(host.image().x(), (1200 - 854 - 8) / 2);
}

TEST(Zoom, OrientationChangeKeepsThePageImageInsideTheScrollRange) {
    PreviewHost host(400, 300);
    host.preview->SetZoom(100);
    QScrollBar* hb = host.preview->horizontalScrollBar();
    QScrollBar* vb = host.preview->verticalScrollBar();
    host.preview->ScrollToPercent(100, 100);
    host.preview->SetOrientation(kpLandscape);
    ASSERT_EQ(host.image().width(), 60 + 1123);
    EXPECT_EQ(hb->maximum(), host.preview->HorzRange() - host.preview->viewport()->width());
    EXPECT_EQ(vb->maximum(), host.preview->VertRange() - host.preview->viewport()->height());
    EXPECT_LE(vb->value(), vb->maximum());
    EXPECT_EQ(host.image().x(), host.preview->PageImagePos().x() - hb->value());
    EXPECT_EQ(host.image().y(), host.preview->PageImagePos().y() - vb->value());
}

TEST(Zoom, OrientationChangeKeepsTheScrollProportion) {
    PreviewHost host(400, 300);
    host.preview->SetZoom(100);
    QScrollBar* hb = host.preview->horizontalScrollBar();
    QScrollBar* vb = host.preview->verticalScrollBar();
    host.preview->ScrollToPercent(50, 75);
    host.preview->SetOrientation(kpLandscape);
    ASSERT_EQ(host.image().width(), 60 + 1123);
    EXPECT_EQ(hb->value(), kp::RoundInt(0.5L * hb->maximum()));
    EXPECT_NEAR(vb->value(), 0.75 * vb->maximum(), 1.0);
    // Scrolling by the bar itself is remembered too.
    vb->setValue(vb->maximum());
    host.preview->SetOrientation(kpPortrait);
    EXPECT_EQ(vb->value(), vb->maximum());
}

TEST(Zoom, ClickOnTheSheetFocusesThePreview) {
    PreviewHost host(400, 300);
    QWidget other(host.parent.get());
    other.setFocusPolicy(Qt::StrongFocus);
    other.show();
    QApplication::setActiveWindow(host.parent.get());
    other.setFocus();
    settle();
    if (!other.hasFocus()) GTEST_SKIP() << "no window activation on this platform";
    QWidget* img = &host.image();
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(100, 100), img->mapToGlobal(QPointF(100, 100)),
                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(img, &e);
    EXPECT_TRUE(host.preview->hasFocus());
}
