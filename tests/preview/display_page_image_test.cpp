// The page image: size from scale and paper, the sheet rectangle, the shadow's setters,
// mouse activity over the sheet turned into page positions, and the zoom cursors.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QPixmap>
#include <vector>

#include "display_fixture.h"
#include "preview/KpCursors.h"

using namespace kp;

namespace {

void press(QWidget* w, int x, int y, Qt::MouseButton b = Qt::LeftButton,
           Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), b, b,
                  mods);
    QApplication::sendEvent(w, &e);
}

void release(QWidget* w, int x, int y, Qt::MouseButton b = Qt::LeftButton) {
    QMouseEvent e(QEvent::MouseButtonRelease, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), b,
                  Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void move(QWidget* w, int x, int y) {
    QMouseEvent e(QEvent::MouseMove, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                  Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

struct Clicks {
    std::vector<QPoint> preview;
    std::vector<std::pair<int, int>> page; // KpUnits
    std::vector<std::string> order;
    void attach(TKpPreview* p) {
        p->OnMouseDown = [this](void*, TMouseButton, TShiftState, int x, int y) {
            preview.emplace_back(x, y);
            order.push_back("preview down");
        };
        p->OnMouseUp = [this](void*, TMouseButton, TShiftState, int x, int y) {
            preview.emplace_back(x, y);
            order.push_back("preview up");
        };
        p->OnPageMouseDown = [this, p](void* sender, TMouseButton, TShiftState, TKpValue* x,
                                       TKpValue* y) {
            EXPECT_EQ(sender, p);
            page.emplace_back(x->value, y->value);
            order.push_back("page down");
        };
        p->OnPageMouseUp = [this](void*, TMouseButton, TShiftState, TKpValue* x, TKpValue* y) {
            page.emplace_back(x->value, y->value);
            order.push_back("page up");
        };
    }
};

} // namespace

TEST(DisplayPageImage, StartsAtTwentyPercentWithGutterThirty) {
    TKpPreview preview; // no parent: no refresh yet
    EXPECT_DOUBLE_EQ(static_cast<double>(preview.PageImage().Scale()), 0.2);
    EXPECT_EQ(preview.PageImage().Gutter(), 30);
    EXPECT_DOUBLE_EQ(static_cast<double>(preview.PageImage().PageWidthInches()), 8.2);
    EXPECT_DOUBLE_EQ(static_cast<double>(preview.PageImage().PageHeightInches()), 11.6);
    // 96 x 8.2 x 0.2 = 157.44 -> 157; 96 x 11.6 x 0.2 = 222.72 -> 223.
    EXPECT_EQ(preview.PageImage().width(), 60 + 157);
    EXPECT_EQ(preview.PageImage().height(), 60 + 223);
    EXPECT_EQ(&preview.Shadow(), &preview.PageImage().Shadow());
}

TEST(DisplayPageImage, A4AtHundredPercentIs854By1183WithPageRect30_30_821_1150) {
    PreviewHost host;
    host.preview->SetZoom(100);
    TKpPageImage& img = host.image();
    EXPECT_EQ(img.PagePixelWidth(), 794);   // Round(96 x 8.26771...)
    EXPECT_EQ(img.PagePixelHeight(), 1123); // Round(96 x 11.69291...)
    EXPECT_EQ(img.width(), 854);
    EXPECT_EQ(img.height(), 1183);
    const QRect r = img.PageRect();
    EXPECT_EQ(r.left(), 30);
    EXPECT_EQ(r.top(), 30);
    EXPECT_EQ(r.right() + 1, 821); // exclusive edges
    EXPECT_EQ(r.bottom() + 1, 1150);
}

TEST(DisplayPageImage, LandscapePageSwapsTheSides) {
    PreviewHost host;
    host.preview->SetZoom(100);
    host.preview->SetOrientation(kpLandscape);
    EXPECT_EQ(host.image().width(), 60 + 1123);
    EXPECT_EQ(host.image().height(), 60 + 794);
}

TEST(DisplayPageImage, HiddenShadowStillNarrowsPageRect) {
    PreviewHost host;
    host.preview->SetZoom(100);
    host.preview->Shadow().SetVisible(false);
    EXPECT_EQ(host.image().PageRect().right() + 1, 821);
    EXPECT_EQ(host.image().PageRect().bottom() + 1, 1150);
    host.preview->Shadow().SetWidth(10);
    EXPECT_EQ(host.image().PageRect().right() + 1, 854 - 40);
    EXPECT_EQ(host.image().PageRect().bottom() + 1, 1183 - 40);
}

TEST(DisplayPageImage, UnchangedShadowValuesNeitherRepaintNorNotify) {
    PreviewHost host;
    host.parent->show();
    settle();
    PaintCounter counter(&host.image());
    int changes = 0;
    TKpShadow& shadow = host.preview->Shadow();
    shadow.OnChange = [&](void* sender) {
        EXPECT_EQ(sender, &shadow);
        ++changes;
    };
    shadow.SetWidth(3);
    shadow.SetColor(clBlack);
    shadow.SetVisible(true);
    settle();
    EXPECT_EQ(counter.paints, 0);
    EXPECT_EQ(changes, 0);

    shadow.SetWidth(5);
    settle();
    EXPECT_GE(counter.paints, 1);
    EXPECT_EQ(changes, 1);
}

TEST(DisplayPageImage, ShadowAssignGoesThroughTheSetters) {
    TKpShadow a, b;
    b.SetColor(clRed);
    b.SetWidth(7);
    b.SetVisible(false);
    int changes = 0;
    a.OnChange = [&](void*) { ++changes; };
    a.Assign(b);
    EXPECT_EQ(a.Color(), clRed);
    EXPECT_EQ(a.Width(), 7);
    EXPECT_FALSE(a.Visible());
    EXPECT_EQ(changes, 3);
    a.Assign(b);
    EXPECT_EQ(changes, 3);
}

TEST(DisplayPageImage, NoMouseEventWithinThirtyPixelsOfAnEdge) {
    PreviewHost host;
    host.preview->SetZoom(100);
    Clicks clicks;
    clicks.attach(host.preview);
    bool moved = false;
    host.preview->OnPageMouseMove = [&](void*, TShiftState, TKpValue*, TKpValue*) { moved = true; };
    host.preview->OnMouseMove = [&](void*, TShiftState, int, int) { moved = true; };
    TKpPageImage* img = &host.image();
    const int w = img->width(), h = img->height();
    for (const QPoint p : {QPoint(30, 500), QPoint(500, 30), QPoint(w - 30, 500),
                           QPoint(500, h - 30), QPoint(0, 0), QPoint(15, 15)}) {
        press(img, p.x(), p.y());
        release(img, p.x(), p.y());
        move(img, p.x(), p.y());
    }
    EXPECT_TRUE(clicks.preview.empty());
    EXPECT_TRUE(clicks.page.empty());
    EXPECT_FALSE(moved);

    // One pixel further in, on every side, the events arrive (the shadow counts as inside).
    for (const QPoint p :
         {QPoint(31, 500), QPoint(500, 31), QPoint(w - 31, 500), QPoint(500, h - 31)})
        press(img, p.x(), p.y());
    EXPECT_EQ(clicks.preview.size(), 4u);
    EXPECT_EQ(clicks.page.size(), 4u);
}

TEST(DisplayPageImage, ClickAtTwoHundredPercentReportsPagePosition) {
    PreviewHost host;
    host.preview->SetZoom(200);
    Clicks clicks;
    clicks.attach(host.preview);
    TKpPageImage* img = &host.image();
    // 40 pixels right of and 60 below the sheet's corner: 20 and 30 pixels at 100 %.
    press(img, 30 + 40, 30 + 60);
    ASSERT_EQ(clicks.page.size(), 1u);
    EXPECT_EQ(clicks.page[0].first, 529);  // Round(20 x 2540 / 96) = Round(529.1666...)
    EXPECT_EQ(clicks.page[0].second, 794); // Round(30 x 2540 / 96) = Round(793.75)
    // The preview heard it first, in its own client coordinates.
    ASSERT_EQ(clicks.preview.size(), 1u);
    EXPECT_EQ(clicks.preview[0], QPoint(70 + img->x(), 90 + img->y()));
    ASSERT_EQ(clicks.order.size(), 2u);
    EXPECT_EQ(clicks.order[0], "preview down");
    EXPECT_EQ(clicks.order[1], "page down");

    release(img, 30 + 40, 30 + 60);
    ASSERT_EQ(clicks.page.size(), 2u);
    EXPECT_EQ(clicks.page[1].first, 529);
    EXPECT_EQ(clicks.order.back(), "page up");
}

TEST(DisplayPageImage, SamePointOfThePageReportsTheSamePositionAtAnyZoom) {
    PreviewHost host;
    Clicks clicks;
    clicks.attach(host.preview);
    host.preview->SetZoom(100);
    press(&host.image(), 30 + 100, 30 + 100);
    host.preview->SetZoom(50);
    press(&host.image(), 30 + 50, 30 + 50);
    ASSERT_EQ(clicks.page.size(), 2u);
    EXPECT_EQ(clicks.page[0], clicks.page[1]);
    EXPECT_EQ(clicks.page[0].first, 2646); // Round(100 x 2540 / 96) = Round(2645.83)
}

TEST(DisplayPageImage, MouseMoveOverTheSheetReachesPreviewAndPageEvents) {
    PreviewHost host;
    host.preview->SetZoom(100);
    TKpPageImage* img = &host.image();
    QPoint previewPos;
    std::pair<int, int> pagePos{-1, -1};
    host.preview->OnMouseMove = [&](void*, TShiftState, int x, int y) { previewPos = {x, y}; };
    host.preview->OnPageMouseMove = [&](void*, TShiftState, TKpValue* x, TKpValue* y) {
        pagePos = {x->value, y->value};
    };
    move(img, 30 + 96, 30 + 48);
    EXPECT_EQ(previewPos, QPoint(126 + img->x(), 78 + img->y()));
    EXPECT_EQ(pagePos.first, 2540);
    EXPECT_EQ(pagePos.second, 1270);
}

TEST(DisplayPageImage, LeavingTheImageEndsPanningAndMouseInside) {
    PreviewHost host;
    host.preview->SetMouseInside(true);
    host.preview->BeginPan();
    ASSERT_TRUE(host.preview->Panning());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&host.image(), &leave);
    EXPECT_FALSE(host.preview->MouseInside());
    EXPECT_FALSE(host.preview->Panning());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(DisplayPageImage, ZoomCursorsAreInstalledFromTheResources) {
    PreviewHost host;
    ASSERT_TRUE(KpHasScreenCursor(crZoomIn));
    ASSERT_TRUE(KpHasScreenCursor(crZoomOut));
    const QPixmap in = KpScreenCursor(crZoomIn).pixmap();
    const QPixmap out = KpScreenCursor(crZoomOut).pixmap();
    ASSERT_FALSE(in.isNull());
    ASSERT_FALSE(out.isNull());
    EXPECT_EQ(in.size(), QSize(32, 32));
    EXPECT_EQ(KpScreenCursor(crZoomIn).hotSpot(), QPoint(12, 12));
    const QImage a = in.toImage(), b = out.toImage();
    // Both have the dark horizontal bar through the lens; only the plus has the upright.
    EXPECT_LT(qGray(a.pixel(10, 12)), 64);
    EXPECT_LT(qGray(b.pixel(10, 12)), 64);
    EXPECT_GT(qAlpha(a.pixel(10, 12)), 200);
    EXPECT_LT(qGray(a.pixel(12, 9)), 64);
    EXPECT_GT(qGray(b.pixel(12, 9)), 100);
    // Corners stay transparent.
    EXPECT_EQ(qAlpha(a.pixel(0, 31)), 0);
    EXPECT_EQ(qAlpha(a.pixel(31, 0)), 0);
}

TEST(DisplayPageImage, SetZoomCursorOverridesTheScreenCursor) {
    PreviewHost host;
    host.preview->SetZoomCursor(1);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->hotSpot(), QPoint(12, 12));
    host.preview->SetZoomCursor(7); // unknown kinds change nothing
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    host.preview->SetZoomCursor(0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    host.preview->BeginPan();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    host.preview->EndPan();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
