#include <gtest/gtest.h>

#include "platform/KpColor.h"
#include "platform/KpGraphics.h"
#include "platform/KpPicture.h"
#include "platform/KpScreen.h"
#include "platform/KpScreenOverride.h"

using namespace kp;

TEST(Colors, RgbLayoutAndGrey) {
    EXPECT_EQ(KpRGB(1, 2, 3), 0x030201u);
    EXPECT_EQ(ToGrey(KpRGB(0, 255, 0)), KpRGB(153, 153, 153));
    EXPECT_EQ(ToGrey(KpRGB(255, 0, 0)), KpRGB(76, 76, 76)); // 76.5 rounds to even
    EXPECT_EQ(ToGrey(KpRGB(0, 0, 255)), KpRGB(26, 26, 26)); // 25.5 rounds to even
    EXPECT_EQ(ToGrey(clWhite), clWhite);
    EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(FromQColor(QColor(10, 20, 30)), KpRGB(10, 20, 30));
}

TEST(Colors, SystemColoursResolveThroughThePalette) {
    const TColor window = ColorToRGB(clWindow);
    EXPECT_EQ(window & 0xFF000000u, 0u);
    EXPECT_EQ(ToGrey(clWindow), ToGrey(window));
}

TEST(Pen, NotifiesOnlyOnChange) {
    TKpPen pen;
    int changes = 0;
    pen.OnChange = [&](void* sender) {
        EXPECT_EQ(sender, &pen);
        ++changes;
    };
    EXPECT_EQ(pen.Color(), clBlack);
    EXPECT_EQ(pen.Style(), psSolid);
    EXPECT_EQ(pen.Width(), 1);
    EXPECT_EQ(pen.Mode(), pmCopy);
    pen.SetWidth(1);
    EXPECT_EQ(changes, 0);
    pen.SetWidth(3);
    pen.SetStyle(psDot);
    EXPECT_EQ(changes, 2);
    TKpPen other;
    other.SetColor(clRed);
    pen.Assign(other);
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(pen == other);
}

TEST(Brush, DefaultsAndAssign) {
    TKpBrush brush;
    EXPECT_EQ(brush.Color(), clWhite);
    EXPECT_EQ(brush.Style(), bsSolid);
    int changes = 0;
    brush.OnChange = [&](void*) { ++changes; };
    TKpBrush other;
    other.SetStyle(bsCross);
    brush.Assign(other);
    EXPECT_EQ(brush.Style(), bsCross);
    EXPECT_EQ(changes, 1);
}

TEST(Font, SizeAndHeightFollowPixelsPerInch) {
    TKpFont font;
    EXPECT_EQ(font.PixelsPerInch(), 96);
    font.SetSize(12);
    EXPECT_EQ(font.Height(), -16);
    EXPECT_EQ(font.Size(), 12);
    font.SetSize(10);
    EXPECT_EQ(font.Height(), -13); // 13.33 rounded
    EXPECT_EQ(font.Size(), 10);    // 9.75 rounded

    // A copy onto a 600 dpi font carries the point size over.
    TKpFont printerFont;
    printerFont.SetPixelsPerInch(600);
    font.SetSize(12);
    printerFont.Assign(font);
    EXPECT_EQ(printerFont.Height(), -100);
    EXPECT_EQ(printerFont.Size(), 12);
}

TEST(Font, EscapementDroppedWhenTheHandleIsRecreated) {
    TKpFont font;
    font.SetEscapement(900);
    font.SetColor(clRed); // colour is not part of the handle
    EXPECT_EQ(font.Escapement(), 900);
    font.SetStyle(FontStyleBit(fsBold));
    EXPECT_EQ(font.Escapement(), 0);
    EXPECT_TRUE(font.HasStyle(fsBold));
    EXPECT_FALSE(font.HasStyle(fsItalic));
    font.SetEscapement(450);
    font.SetName(QStringLiteral("Times New Roman"));
    EXPECT_EQ(font.Escapement(), 0);
    TKpFont copy;
    font.SetEscapement(300);
    copy.Assign(font);
    EXPECT_EQ(copy.Escapement(), 300);
    EXPECT_EQ(copy.Name(), QStringLiteral("Times New Roman"));
}

TEST(Screen, PinnedResolution) {
    EXPECT_EQ(ScreenPixelsPerInch(), 96);
    kp::SetScreenPixelsPerInchOverride(120);
    EXPECT_EQ(ScreenPixelsPerInch(), 120);
    kp::SetScreenPixelsPerInchOverride(96);
}

TEST(Metafile, KeepsSizeAcrossClear) {
    TKpMetafile picture;
    picture.SetWidth(794);
    picture.SetHeight(1123);
    { TKpMetafileCanvas recorder(picture); }
    picture.Clear();
    EXPECT_EQ(picture.Width(), 794);
    EXPECT_EQ(picture.Height(), 1123);
    EXPECT_TRUE(picture.Empty());
}
