// A handler or a drawing that raises in the middle of a temporary state change leaves the
// state as it was: the preview's AutoRefresh, a band's hold on the target's brush.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

#include "display_fixture.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpStateGuard.h"
#include "preview/KpHeaderFooter.h"
#include "preview/KpMargins.h"
#include "thumbnails/KpThumbnails.h"

namespace {

// An object whose drawing fails, as a handler raising inside a page rebuild would.
class RaisingObject : public TKpBaseObject {
public:
    RaisingObject() : TKpBaseObject(kpLineObject) {}
    void Draw(TKpDeviceCanvas&, TKpPreview*, QPoint, Extended, bool) override {
        throw std::runtime_error("drawing failed");
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

// The objects are drawn when the picture is played, not inside the quiet spells of a rebuild:
// an object whose drawing raises passes through them, and the error stops at the paint.
TEST(StateGuard, RaisingObjectIsDrawnOnlyAtThePaint) {
    PreviewHost host(400, 300);
    TKpPreview& p = *host.preview;
    addRaisingObject(p);
    EXPECT_NO_THROW(p.SetOrientation(kpLandscape));
    EXPECT_NO_THROW(p.SetPaperSize(A5));
    {
        TKpThumbnails strip(p.parentWidget());
        strip.SetPreview(&p);
        EXPECT_NO_THROW(strip.RefreshImages());
        EXPECT_NO_THROW(strip.Thumbnails().Items(1)->PageImage()->grab());
    }
    EXPECT_TRUE(p.AutoRefresh);
    // Played on its own the picture passes the error on to whoever plays it.
    QImage image(100, 100, QImage::Format_RGB32);
    QPainter painter(&image);
    TKpDeviceCanvas canvas(&painter, 96, 96);
    EXPECT_THROW(canvas.PlayMetafile(p.GetPage(1)->Metafile(), image.rect()), std::runtime_error);
    // The sheet on screen shows what was drawn before it.
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
