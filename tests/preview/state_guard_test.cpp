// A handler or a drawing that raises in the middle of a temporary state change leaves the
// state as it was: the preview's AutoRefresh, a band's hold on the target's brush.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

#include "display_fixture.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "message_log.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpStateGuard.h"
#include "thumbnails/KpThumbnails.h"

using namespace kp;

namespace {

// Objects of a host's own kinds whose drawing fails, as a handler raising inside a page
// rebuild would: one on the base, one derived from a rectangle.
class RaisingObject : public TKpBaseObject {
public:
    RaisingObject() : TKpBaseObject(kpLineObject) {}
    void Draw(TKpDeviceCanvas&, const TKpDrawContext&, QPoint, Extended) override {
        throw std::runtime_error("drawing failed");
    }
};

class RaisingRectangle : public TKpRectangleShape {
public:
    void Draw(TKpDeviceCanvas&, const TKpDrawContext&, QPoint, Extended) override {
        throw std::runtime_error("rectangle failed");
    }
};

void addRaisingObject(TKpPreview& p) {
    p.GetPage(1)->AddObject(std::make_unique<RaisingObject>());
}

struct RaisingCase {
    const char* place;
    std::function<void(TKpPreview&)> arm;
    std::function<void(TKpPreview&)> run;
};

} // namespace

TEST(StateGuard, RaisingInsideEveryQuietSpellKeepsAutoRefresh) {
    const RaisingCase cases[] = {
        {"orientation: OnChangePageOrientation",
         [](TKpPreview& p) {
             p.OnChangePageOrientation = [](void*, int, TKpOrientation) {
                 throw std::runtime_error("handler failed");
             };
         },
         [](TKpPreview& p) { p.SetOrientation(kpLandscape); }},
        {"orientation: a host's object", addRaisingObject,
         [](TKpPreview& p) { p.SetOrientation(kpLandscape); }},
        {"paper size: a host's object", addRaisingObject,
         [](TKpPreview& p) { p.SetPaperSize(A5); }},
        {"thumbnails: a host's object", addRaisingObject,
         [](TKpPreview& p) {
             TKpThumbnails strip(p.parentWidget());
             strip.SetPreview(&p);
         }},
    };
    for (const RaisingCase& c : cases) {
        SCOPED_TRACE(c.place);
        PreviewHost host(400, 300);
        TKpPreview& p = *host.preview;
        c.arm(p);
        EXPECT_THROW(c.run(p), std::runtime_error);
        EXPECT_TRUE(p.AutoRefresh);
    }
}

// A host's object that raises while its page is rebuilt stops the rebuild: the error reaches
// the caller of RefreshPage and no rebuild is reported. The suite's own kinds are drawn when
// played; played, the picture passes the error on, and the display stops it at the paint.
TEST(StateGuard, RaisingHostObjectReachesTheCaller) {
    PreviewHost host(400, 300);
    TKpPreview& p = *host.preview;
    MessageLog log;
    p.AddLinkedControl(&log);
    kptest::AddRect(p.GetPage(1), 0, 0, 2540, 2540, clRed, clRed);
    EXPECT_NO_THROW(p.RefreshPage());
    EXPECT_EQ(log.count(KPM_PAGEREBUILT), 1);
    for (int kind = 0; kind < 2; ++kind) {
        SCOPED_TRACE(kind);
        p.GetPage(1)->Clear();
        if (kind == 0)
            addRaisingObject(p);
        else
            p.GetPage(1)->AddObject(std::make_unique<RaisingRectangle>());
        log.entries.clear();
        EXPECT_THROW(p.RefreshPage(), std::runtime_error);
        EXPECT_EQ(log.count(KPM_PAGEREBUILT), 0);
        EXPECT_EQ(log.count(KPM_DISPLAYUPDATED), 0);
    }
    QImage image(100, 100, QImage::Format_RGB32);
    QPainter painter(&image);
    TKpDeviceCanvas canvas(&painter, 96, 96);
    EXPECT_THROW(canvas.PlayMetafile(p.GetPage(1)->Metafile(), image.rect()), std::runtime_error);
    const QImage shown = p.PageImage().grab().toImage();
    EXPECT_EQ(shown.pixelColor(p.PageImage().PageRect().center()), QColor(Qt::white));
}

TEST(StateGuard, BandLeavesTheTargetBrushAsFound) {
    PreviewHost host(400, 300);
    TKpPreview& p = *host.preview;
    QImage image(200, 200, QImage::Format_RGB32);
    QPainter painter(&image);
    TKpDeviceCanvas canvas(&painter, 96, 96);
    canvas.Brush().SetColor(clRed);
    canvas.Brush().SetStyle(bsDiagCross);
    p.Header().Draw(canvas, p.Margins(), QRect(0, 0, 200, 200), 1, 1.0L);
    p.Footer().Draw(canvas, p.Margins(), QRect(0, 0, 200, 200), 1, 1.0L);
    EXPECT_EQ(canvas.Brush().Style(), bsDiagCross);
    EXPECT_EQ(canvas.Brush().Color(), clRed);
    EXPECT_EQ(p.Header().Drawing(), 0);
}

TEST(StateGuard, RestoresOnceAndNotIntoAnOwnerThatIsGone) {
    TKpPen pen;
    {
        TKpStateGuard<TKpPen> keep(pen);
        pen.SetWidth(7);
        keep.Restore();
        EXPECT_EQ(pen.Width(), 1);
        pen.SetWidth(9); // after an early restore the guard leaves the slot alone
    }
    EXPECT_EQ(pen.Width(), 9);

    auto owner = std::make_unique<QObject>();
    bool flag = true;
    {
        TKpStateGuard<bool> quiet(flag, false, owner.get());
        EXPECT_FALSE(flag);
        owner.reset();
    }
    EXPECT_FALSE(flag);
}
