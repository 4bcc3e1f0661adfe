// Links on the page shown: the pointing hand over them, and a left click that follows the link
// instead of reaching the mouse-down events.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "display_fixture.h"
#include "drawing/KpDocument.h"
#include "preview/KpCursors.h"

using namespace kp;

TEST(LinkClick, PointingHandOverALinkAndTheClickGoesToIt) {
    PreviewHost host;
    TKpPreview& preview = *host.preview;
    preview.SetZoom(100);
    preview.NewPage();
    preview.FirstPage();
    // One to two inches across, one to one and a half down: control pixels 126 to 317 and
    // 126 to 174 at 100 % (the sheet starts after the 30-pixel gutter).
    preview.Document().AddLink(1, QRect(2540, 2540, 5080, 1270),
                               QStringLiteral("https://a.example/"));
    preview.Document().AddLink(2, QRect(0, 0, 20000, 20000), QStringLiteral("https://b.example/"));
    QStringList clicked, downs;
    preview.OnLinkClick = [&](void* sender, const QString& url) {
        EXPECT_EQ(sender, &preview);
        clicked << url;
    };
    preview.OnPageMouseDown = [&](void*, TMouseButton, TShiftState, TKpValue*, TKpValue*) {
        downs << QStringLiteral("down");
    };
    // A host's own cursor for the sheet, which the hand replaces over a link.
    preview.OnPageMouseMove = [&](void*, TShiftState, TKpValue*, TKpValue*) {
        preview.SetZoomCursor(1);
    };
    QSignalSpy activated(&preview, &TKpPreview::linkActivated);
    TKpPageImage& image = host.image();

    struct Step {
        int x, y;
        bool hand;
    };
    for (const Step& s : {Step{200, 150, true}, Step{125, 150, false}, Step{317, 173, true},
                          Step{200, 175, false}}) {
        image.PageMouseMove(0, s.x, s.y);
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape() == Qt::PointingHandCursor, s.hand)
            << s.x << "," << s.y;
    }
    image.PageMouseDown(mbLeft, ssLeft, 200, 150);
    image.PageMouseDown(mbLeft, ssLeft | ssShift, 200, 150); // a shifted click is the page's
    image.PageMouseDown(mbLeft, ssLeft, 100, 150);
    EXPECT_EQ(clicked, QStringList{QStringLiteral("https://a.example/")});
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated[0][0].toUrl(), QUrl(QStringLiteral("https://a.example/")));
    EXPECT_EQ(downs.size(), 2);
    // The page shown decides: page 2's link covers all of it.
    preview.NextPage();
    image.PageMouseDown(mbLeft, ssLeft, 100, 100);
    EXPECT_EQ(clicked.size(), 2);
    EXPECT_EQ(clicked.back(), QStringLiteral("https://b.example/"));
    KpSetScreenCursor(Qt::ArrowCursor);
}
