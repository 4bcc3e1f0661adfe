// Margins: defaults, change notification, Assign, visibility repaints and clipping of the
// page picture.
#include <gtest/gtest.h>

#include <QPainter>

#include "display_fixture.h"
#include "drawing/KpMargins.h"
#include "message_log.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "preview/KpFieldAccess.h"

using namespace kp;

namespace {

// The page's picture played 1:1 onto a white image of its own size.
QImage playPicture(TKpMetafile& mf) {
    QImage img(mf.Width(), mf.Height(), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    TKpDeviceCanvas c(&p, 96, 96);
    c.PlayMetafile(mf, QRect(0, 0, mf.Width(), mf.Height()));
    p.end();
    return img;
}

} // namespace

TEST(Margins, Defaults) {
    TKpPreview preview;
    TKpMargins& m = preview.Margins();
    EXPECT_EQ(m.Left().value, 1500);
    EXPECT_EQ(m.Top().value, 2000);
    EXPECT_EQ(m.Right().value, 1500);
    EXPECT_EQ(m.Bottom().value, 2500);
    EXPECT_FALSE(m.Visible());
    EXPECT_FALSE(m.ClipMargins());
    EXPECT_FALSE(m.ShowPrinterMargins());
    EXPECT_EQ(m.Pen().Color(), clSilver);
    EXPECT_EQ(m.Pen().Style(), psDot);
    EXPECT_EQ(m.PrinterMarginPen().Color(), clSilver);
    EXPECT_EQ(m.PrinterMarginPen().Style(), psDot);
    EXPECT_EQ(m.PrinterMarginPen().Width(), m.Pen().Width());
    EXPECT_EQ(&preview.Document().Margins(), &m);
    EXPECT_EQ(preview.PageImage().Margins(), &m);
}

TEST(Margins, SettingTopNotifiesOnceAndRefreshes) {
    PreviewHost host;
    MessageLog log;
    host.preview->AddLinkedControl(&log);
    std::vector<void*> senders;
    host.preview->OnChangeMargins = [&](void* sender) { senders.push_back(sender); };
    host.preview->Margins().Top().SetMillimeters(30);
    EXPECT_EQ(host.preview->Margins().Top().value, 3000);
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders[0], &host.preview->Margins());
    // KPM_MARGINSCHANGED reaches the linked control; the preview refreshed (display updated).
    EXPECT_EQ(log.count(KPM_MARGINSCHANGED), 1);
    EXPECT_EQ(log.count(KPM_DISPLAYUPDATED), 1);
    EXPECT_EQ(log.count(KPM_PAGEREBUILT), 1);
    // The refresh comes before the linked controls hear of the change.
    const auto msgs = log.messages();
    EXPECT_EQ(msgs.back(), KPM_MARGINSCHANGED);
}

TEST(Margins, NoRefreshWithAutoRefreshOffButEventStillFires) {
    PreviewHost host;
    MessageLog log;
    host.preview->AddLinkedControl(&log);
    int changes = 0;
    host.preview->OnChangeMargins = [&](void*) { ++changes; };
    host.preview->AutoRefresh = false;
    host.preview->Margins().Left().SetMillimeters(10);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(log.entries.empty());
}

TEST(Margins, AssignCopiesValuesFlagsAndPensWithoutNotifying) {
    PreviewHost host;
    TKpPreview other;
    TKpMargins& src = other.Margins();
    src.Left().value = 100;
    src.Top().value = 200;
    src.Right().value = 300;
    src.Bottom().value = 400;
    src.SetVisible(true);
    src.SetShowPrinterMargins(true);
    TKpFieldAccess::SetClipMargins(src, true);
    src.Pen().SetColor(clRed);
    src.Pen().SetWidth(3);
    src.PrinterMarginPen().SetStyle(psDash);

    MessageLog log;
    host.preview->AddLinkedControl(&log);
    int changes = 0;
    host.preview->OnChangeMargins = [&](void*) { ++changes; };
    TKpMargins& m = host.preview->Margins();
    m.Assign(src);
    EXPECT_EQ(m.Left().value, 100);
    EXPECT_EQ(m.Top().value, 200);
    EXPECT_EQ(m.Right().value, 300);
    EXPECT_EQ(m.Bottom().value, 400);
    EXPECT_TRUE(m.Visible());
    EXPECT_TRUE(m.ShowPrinterMargins());
    EXPECT_FALSE(m.ClipMargins()); // not copied
    EXPECT_EQ(m.Pen().Color(), clRed);
    EXPECT_EQ(m.Pen().Width(), 3);
    EXPECT_EQ(m.PrinterMarginPen().Style(), psDash);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(log.count(KPM_MARGINSCHANGED), 0);
}

TEST(Margins, VisibleTwiceRepaintsTwiceAndPenChangesRepaint) {
    PreviewHost host;
    host.parent->show();
    settle();
    PaintCounter counter(&host.image());
    host.preview->Margins().SetVisible(true);
    settle();
    const int afterFirst = counter.paints;
    EXPECT_GE(afterFirst, 1);
    host.preview->Margins().SetVisible(true);
    settle();
    EXPECT_GT(counter.paints, afterFirst);
    const int afterSecond = counter.paints;
    host.preview->Margins().Pen().SetColor(clBlue);
    settle();
    EXPECT_GT(counter.paints, afterSecond);
    const int afterPen = counter.paints;
    host.preview->Margins().SetShowPrinterMargins(false); // unchanged, still repaints
    settle();
    EXPECT_GT(counter.paints, afterPen);
}

TEST(Margins, ClipMarginsCutsAnObjectAtTheMarginLineAtOnce) {
    PreviewHost host;
    // A green bar across the whole page width, 2 to 3 inches down.
    kptest::AddRect(host.preview->GetPage(1), 0, 5080, 21000, 7620, clGreen, clGreen);
    host.preview->RefreshPage();
    TKpMetafile& mf = host.preview->GetPage(1)->Metafile();
    QImage img = playPicture(mf);
    ASSERT_EQ(img.width(), 794);
    EXPECT_EQ(rgbAt(img, 10, 240), 0x008000u);
    EXPECT_EQ(rgbAt(img, 790, 240), 0x008000u);

    // Switched on while AutoRefresh is off: the picture is rebuilt all the same.
    host.preview->AutoRefresh = false;
    host.preview->Margins().SetClipMargins(true);
    img = playPicture(host.preview->GetPage(1)->Metafile());
    // px(Left) = 57: column 56 is outside the clip, 57 inside; px(Right) = 57: the clip
    // ends before 794 - 57 = 737.
    EXPECT_TRUE(isWhite(img, 56, 240));
    EXPECT_EQ(rgbAt(img, 57, 240), 0x008000u);
    EXPECT_EQ(rgbAt(img, 736, 240), 0x008000u);
    EXPECT_TRUE(isWhite(img, 737, 240));
    EXPECT_TRUE(isWhite(img, 10, 240));

    // An object reaching into the top margin is cut at px(Top) = 76.
    kptest::AddRect(host.preview->GetPage(1), 5080, 0, 7620, 2540, clBlue, clBlue);
    host.preview->AutoRefresh = true;
    host.preview->RefreshPage();
    img = playPicture(host.preview->GetPage(1)->Metafile());
    EXPECT_TRUE(isWhite(img, 240, 75));
    EXPECT_EQ(rgbAt(img, 240, 76), 0x0000FFu);

    // Unchanged value: no rebuild.
    MessageLog log;
    host.preview->AddLinkedControl(&log);
    host.preview->Margins().SetClipMargins(true);
    EXPECT_EQ(log.count(KPM_PAGEREBUILT), 0);
    host.preview->Margins().SetClipMargins(false);
    EXPECT_EQ(log.count(KPM_PAGEREBUILT), 1);
    img = playPicture(host.preview->GetPage(1)->Metafile());
    EXPECT_EQ(rgbAt(img, 10, 240), 0x008000u);
}
