// The older keyed format: value lists and the document loader, from bytes written here.
#include <gtest/gtest.h>

#include <cmath>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include "drawing/KpCanvas.h"
#include "drawing/KpDrawContext.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "drawing/stream_test_util.h"
#include "legacy/KpLegacy.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "platform/metafile_writer.h"
#include "preview/KpPreview.h"
#include "preview/KpTypes.h"

using namespace kp;

using streamtest::Bytes;
using streamtest::Hex;

namespace {

// Record builders; keys are given as their 10 bytes.
Bytes Key(long double k) {
    return Bytes().x87(k);
}
Bytes IntRec(const Bytes& key, int32_t v) {
    return Bytes().i32(1001).raw(key).i32(v);
}
Bytes ExtRec(const Bytes& key, long double v) {
    return Bytes().i32(1000).raw(key).x87(v);
}
Bytes StrRec(const Bytes& key, const QByteArray& v) {
    return Bytes().i32(1002).raw(key).i32(static_cast<int32_t>(v.size())).raw(v);
}
Bytes Nested(int kind, const Bytes& key, const Bytes& records) {
    return Bytes().i32(kind).raw(key).chunk(records);
}
QByteArray List(const Bytes& records) {
    return Bytes().chunk(records);
}

TKpExtValueList& Parse(TKpExtValueList& list, const QByteArray& bytes) {
    TKpExtStream s{QByteArray(bytes)};
    list.LoadFromStream(s);
    return list;
}

const Bytes K201 = Bytes().raw(Hex("D7 A3 70 3D 0A D7 A3 80 00 40"));
const Bytes K1005 = Bytes().raw(Hex("00 00 00 00 00 00 40 FB 08 40"));
const Bytes K1005_ = K1005;
const Bytes K3002 = Bytes().raw(Hex("F6 28 5C 8F C2 F5 28 F0 03 40"));
const Bytes K1005Widened = K1005;

class Legacy : public ::testing::Test {
protected:
    void SetUp() override {
        if (!streamtest::LongDoubleIsX87())
            GTEST_SKIP() << "test keys come from the 80-bit long double";
    }
};

struct Doc {
    QWidget host;
    TKpPreview* preview = new TKpPreview(&host);
    TKpPreview* operator->() { return preview; }
};

void LoadDocument(TKpPreview& p, const QByteArray& afterVersion) {
    QByteArray data = afterVersion;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    LoadLegacyDocument(p.Document(), buffer);
}

QByteArray Block(int kind, const Bytes& more = Bytes()) {
    return List(Bytes().raw(IntRec(Key(10), kind)).raw(more));
}

QByteArray ObjectBlock(int objectKind, const Bytes& more = Bytes()) {
    return Block(10, Bytes().raw(IntRec(Key(10.01L), objectKind)).raw(more));
}

} // namespace

TEST_F(Legacy, KeysMatchTheNearestExtendedBytes) {
    // The test's own keys agree with the documented bytes.
    EXPECT_EQ(Key(2.01L).data(), K201.data());
    EXPECT_EQ(Key(10.05L).data(), Hex("CD CC CC CC CC CC CC A0 02 40"));
    EXPECT_EQ(Key(1005).data(), K1005.data());
    EXPECT_EQ(Key(30.02L).data(), K3002.data());
    EXPECT_EQ(KpKey("2.01").Bytes, Ext80FromDecimal("2.01").Bytes);

    TKpExtValueList list;
    Parse(list, List(Bytes()
                         .raw(IntRec(K201, 5))
                         .raw(IntRec(Bytes().raw(Hex("CD CC CC CC CC CC CC A0 02 40")), 6))));
    EXPECT_EQ(list.GetInteger(0, KpKey("2.01")), 5);
    EXPECT_EQ(list.GetInteger(0, KpKey("10.05")), 6);
    EXPECT_EQ(list.GetInteger(-1, KpKey("10.5")), -1);
}

TEST_F(Legacy, DoubleWidenedKeyIsNotFound) {
    TKpExtValueList list;
    Parse(list, List(IntRec(Bytes().raw(Hex("00 A0 70 3D 0A D7 A3 80 00 40")), 5)));
    ASSERT_EQ(list.IntRecords().size(), 1u);
    EXPECT_EQ(list.GetInteger(-7, KpKey("2.01")), -7);
}

TEST_F(Legacy, DuplicateKeyAnswersTheFirst) {
    TKpExtValueList list;
    Parse(list, List(Bytes()
                         .raw(IntRec(K201, 1))
                         .raw(IntRec(K201, 2))
                         .raw(StrRec(Key(50), "first"))
                         .raw(StrRec(Key(50), "second"))
                         .raw(ExtRec(Key(5.01L), 1.5L))
                         .raw(ExtRec(Key(5.01L), 2.5L))));
    EXPECT_EQ(list.GetInteger(0, KpKey("2.01")), 1);
    EXPECT_EQ(list.GetString(KpKey("50")), QStringLiteral("first"));
    EXPECT_EQ(list.GetExtended(KpKey("5.01")), 1.5L);
    EXPECT_EQ(list.GetExtended(KpKey("5.02")), 0);
    EXPECT_EQ(list.GetString(KpKey("51")), QString());
}

TEST_F(Legacy, UnknownRecordKindsArePassedOver) {
    TKpExtValueList list;
    Parse(list, List(Bytes().i32(999).i32(12345).raw(IntRec(K201, 9))));
    EXPECT_EQ(list.GetInteger(0, KpKey("2.01")), 9);
}

TEST_F(Legacy, FontStyleLettersUpperCaseOnly) {
    const Bytes font = Bytes()
                           .raw(StrRec(Key(30), "Arial"))
                           .raw(StrRec(K3002, "SB"))
                           .raw(ExtRec(Key(30.05L), 45.0L))
                           .raw(IntRec(Key(30.03L), 0x112233));
    TKpExtValueList list;
    Parse(list, List(Bytes()
                         .raw(Nested(1004, Key(1004), font))
                         .raw(Nested(1004, Key(1004.5L), Bytes().raw(StrRec(K3002, "sb"))))));
    TKpFontData f;
    list.GetFont(f, KpKey("1004"));
    EXPECT_EQ(f.Style, FontStyleBit(fsBold) | FontStyleBit(fsStrikeOut));
    EXPECT_EQ(f.Name, QStringLiteral("Arial"));
    EXPECT_EQ(f.Size, 12); // absent: the default
    EXPECT_EQ(f.Angle, 45.0L);
    EXPECT_EQ(f.Color, 0x112233u);
    TKpFontData lower;
    list.GetFont(lower, KpKey("1004.5"));
    EXPECT_EQ(lower.Style, 0);
    // Absent key: the target is left as it was.
    TKpFontData untouched;
    untouched.Name = QStringLiteral("Keep");
    list.GetFont(untouched, KpKey("1003"));
    EXPECT_EQ(untouched.Name, QStringLiteral("Keep"));
}

TEST_F(Legacy, EmptyNestedListsGiveTheDefaults) {
    TKpExtValueList list;
    Parse(list, List(Bytes()
                         .raw(Nested(1003, Key(1003), Bytes()))
                         .raw(Nested(1005, K1005, Bytes()))
                         .raw(IntRec(K201, 3))));
    TKpBrushData b{clRed, bsCross};
    list.GetBrush(b, KpKey("1003"));
    EXPECT_EQ(b.Color, 0u);
    EXPECT_EQ(b.Style, bsSolid);
    TKpPenData p{clRed, psDot, 9, pmXor};
    list.GetPen(p, KpKey("1005"));
    EXPECT_EQ(p, (TKpPenData{0, psSolid, 1, pmCopy}));
    EXPECT_EQ(list.GetInteger(0, KpKey("2.01")), 3); // the list after them is still found
}

TEST_F(Legacy, NestedPenValues) {
    TKpExtValueList list;
    Parse(list, List(Nested(1005, K1005,
                            Bytes()
                                .raw(IntRec(Key(40), 0xFF))
                                .raw(IntRec(Key(40.01L), psDash))
                                .raw(IntRec(Key(40.02L), 4))
                                .raw(IntRec(Key(40.03L), pmXor)))));
    TKpPenData p;
    list.GetPen(p, KpKey("1005"));
    EXPECT_EQ(p, (TKpPenData{0xFF, psDash, 4, pmXor}));
}

TEST_F(Legacy, EmptyListConsumesOnlyItsLength) {
    TKpExtStream s(Bytes().i32(0).i32(77));
    TKpExtValueList list;
    list.LoadFromStream(s);
    EXPECT_EQ(s.Position(), 4);
    EXPECT_TRUE(list.IntRecords().empty());
}

TEST_F(Legacy, CutShortListsAreReadErrors) {
    TKpExtValueList list;
    // The key is cut by the end of the list.
    EXPECT_THROW(Parse(list, List(Bytes().i32(1001).hex({1, 2, 3}))), EReadError);
    // A text longer than the list.
    EXPECT_THROW(Parse(list, List(Bytes().i32(1002).raw(K201).i32(1000))), EReadError);
    // A list longer than its source.
    EXPECT_THROW(Parse(list, Bytes().i32(100).i32(1)), EReadError);
    // Lists nested without end are refused, not followed down the stack.
    Bytes deep = Bytes();
    for (int i = 0; i < 200; ++i)
        deep = Nested(1003, Key(1003), deep);
    EXPECT_THROW(Parse(list, List(deep)), EReadError);
}

TEST_F(Legacy, PaperAndOnePageBlock) {
    Doc d;
    const QByteArray file = Bytes()
                                .raw(Block(2, Bytes()
                                                  .raw(IntRec(K201, 20000))
                                                  .raw(IntRec(Key(2.02L), 30000))
                                                  .raw(IntRec(Key(2.03L), Custom))))
                                .raw(Block(1));
    LoadDocument(*d.preview, file);
    EXPECT_EQ(d->NumPages(), 1);
    EXPECT_EQ(d->GetPage(1)->Count(), 0);
    // Stored raw; the paper size setter leaves a custom size to the two values.
    EXPECT_EQ(d->PaperWidth().value, 20000);
    EXPECT_EQ(d->PaperHeight().value, 30000);
    EXPECT_EQ(d->Orientation(), kpPortrait);

    Doc a5;
    LoadDocument(*a5.preview,
                 Bytes()
                     .raw(Block(2, Bytes().raw(IntRec(Key(2.03L), A5)).raw(IntRec(Key(2.04L), 1))))
                     .raw(Block(1)));
    EXPECT_EQ(a5->PaperSize(), A5);
    EXPECT_EQ(a5->Orientation(), kpLandscape);
    EXPECT_EQ(a5->PaperWidth().value, 21000);
    EXPECT_EQ(a5->PaperHeight().value, 14850);
    EXPECT_TRUE(d->AutoRefresh);
}

TEST_F(Legacy, TwoPageBlocksPutObjectsOnTheirPages) {
    Doc d;
    d->NewPage(); // cleared by the load
    const QByteArray file = Bytes()
                                .raw(Block(1))
                                .raw(ObjectBlock(4, Bytes().raw(IntRec(Key(10.03L), 111))))
                                .raw(ObjectBlock(2, Bytes().raw(IntRec(Key(10.03L), 222))))
                                .raw(Block(1))
                                .raw(ObjectBlock(7))
                                .raw(ObjectBlock(99))
                                .raw(Block(42))
                                .raw(List(Bytes()));
    LoadDocument(*d.preview, file);
    ASSERT_EQ(d->NumPages(), 2);
    ASSERT_EQ(d->GetPage(1)->Count(), 2);
    EXPECT_EQ(d->GetPage(1)->Objects(0)->ObjectType, kpRectangleShape);
    EXPECT_EQ(d->GetPage(1)->Objects(0)->X1, 111);
    EXPECT_EQ(d->GetPage(1)->Objects(1)->ObjectType, kpLineObject);
    EXPECT_EQ(d->GetPage(1)->Objects(1)->X1, 222);
    ASSERT_EQ(d->GetPage(2)->Count(), 1); // kind 99 creates nothing
    auto* polygon = dynamic_cast<TKpPolygonObject*>(d->GetPage(2)->Objects(0));
    ASSERT_TRUE(polygon);
    EXPECT_TRUE(polygon->Points.isEmpty());
}

TEST_F(Legacy, ObjectFieldsFromKeys) {
    Doc d;
    const Bytes brush =
        Bytes().raw(IntRec(Key(20), 0x00FF00)).raw(IntRec(Key(20.01L), bsFDiagonal));
    const Bytes pen = Bytes().raw(IntRec(Key(40), 0xFF)).raw(IntRec(Key(40.02L), 3));
    const QByteArray file = Bytes()
                                .raw(Block(1))
                                .raw(ObjectBlock(12, Bytes()
                                                         .raw(IntRec(Key(10.02L), 5))
                                                         .raw(IntRec(Key(10.03L), 1))
                                                         .raw(IntRec(Key(10.04L), 2))
                                                         .raw(IntRec(Key(10.05L), 3))
                                                         .raw(IntRec(Key(10.06L), 4))
                                                         .raw(IntRec(Key(10.07L), 5))
                                                         .raw(IntRec(Key(10.08L), 6))
                                                         .raw(IntRec(Key(10.09L), 7))
                                                         .raw(IntRec(Key(10.1L), 8))
                                                         .raw(Nested(1003, Key(1003), brush))
                                                         .raw(Nested(1005, K1005, pen))))
                                .raw(ObjectBlock(6, Bytes()
                                                        .raw(StrRec(Key(50), "boxed"))
                                                        .raw(IntRec(Key(51), 0x102))
                                                        .raw(IntRec(Key(51.01L), 1))
                                                        .raw(IntRec(Key(10.05L), 900))))
                                .raw(ObjectBlock(2, Bytes().raw(IntRec(Key(11), 0x1FF))))
                                .raw(ObjectBlock(3));
    LoadDocument(*d.preview, file);
    ASSERT_EQ(d->GetPage(1)->Count(), 4);
    auto* pie = dynamic_cast<TKpPieShape*>(d->GetPage(1)->Objects(0));
    ASSERT_TRUE(pie);
    // PageNum is set again by the picture rebuild at the end of the load; read directly:
    TKpExtValueList list;
    Parse(list, List(Bytes().raw(IntRec(Key(10.02L), 5))));
    TKpEllipseShape direct;
    LoadObjectFromValueList(direct, list);
    EXPECT_EQ(direct.PageNum, 5);
    TKpEllipseShape defaulted;
    LoadObjectFromValueList(defaulted, Parse(list, List(Bytes())));
    EXPECT_EQ(defaulted.PageNum, 1);
    EXPECT_EQ(
        std::vector<int>({pie->X1, pie->Y1, pie->X2, pie->Y2, pie->X3, pie->Y3, pie->X4, pie->Y4}),
        std::vector<int>({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(pie->Brush, (TKpBrushData{0x00FF00, bsFDiagonal}));
    EXPECT_EQ(pie->Pen, (TKpPenData{0xFF, psSolid, 3, pmCopy}));
    auto* box = dynamic_cast<TKpTextBoxObject*>(d->GetPage(1)->Objects(1));
    ASSERT_TRUE(box);
    EXPECT_EQ(box->Text, QStringLiteral("boxed"));
    EXPECT_EQ(box->Alignment, taCenter); // the low byte of 0x102
    EXPECT_EQ(box->Layout, tlCenter);
    EXPECT_EQ(box->X2, 900);
    EXPECT_EQ(box->Font->Name, QString()); // no font key: a zeroed record
    EXPECT_EQ(box->Font->Size, 0);
    auto* line = dynamic_cast<TKpLineObject*>(d->GetPage(1)->Objects(2));
    ASSERT_TRUE(line);
    EXPECT_EQ(line->Reserved, 0xFF);
    EXPECT_EQ(line->Pen, (TKpPenData{0, psSolid, 0, pmBlack})); // no pen key: all zero
    auto* ellipse = dynamic_cast<TKpEllipseShape*>(d->GetPage(1)->Objects(3));
    ASSERT_TRUE(ellipse);
    EXPECT_EQ(ellipse->Brush, (TKpBrushData{0, bsSolid}));
}

TEST_F(Legacy, GraphicBitmapFromKey70) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    TKpGraphicObject source;
    source.SetBitmap(image);
    Doc d;
    const QByteArray file =
        Bytes().raw(ObjectBlock(9, Bytes()
                                       .raw(IntRec(Key(10.5L), 1))
                                       .raw(IntRec(Key(72), 1))
                                       .raw(IntRec(Key(10.05L), 500))
                                       .raw(StrRec(Key(70), source.BitmapData))));
    LoadDocument(*d.preview, file);
    ASSERT_EQ(d->GetPage(1)->Count(), 1);
    auto* g = dynamic_cast<TKpGraphicObject*>(d->GetPage(1)->Objects(0));
    ASSERT_TRUE(g);
    EXPECT_EQ(g->ImageKind, kpImageBitmap);
    EXPECT_TRUE(g->MetafileAsBitmap);
    EXPECT_EQ(g->X2, 500);
    EXPECT_EQ(g->Bitmap().pixel(2, 1), qRgb(10, 20, 30));
}

// Key 71 holds a platform metafile (its length, then its bytes), enhanced or 16-bit: the
// graphic keeps it and draws it, here a red left half of a one-inch picture.
TEST_F(Legacy, GraphicMetafileFromKey71) {
    mfw::Emf emf(2540, 2540);
    emf.rec(37, {int(0x80000008)}).rec(39, {1, 0, 0x0000FF, 0}).rec(37, {1});
    mfw::Wmf wmf(true, 0, 0, 96, 96, 96);
    wmf.rec(0x02FC, {0, 0x00FF, 0, 0}).rec(0x012D, {0});
    wmf.rec(0x02FA, {5, 0, 0, 0, 0}).rec(0x012D, {1});
    const struct {
        QByteArray bytes;
        TKpPictureForm form;
    } cases[] = {{emf.rec(43, {0, 0, 48, 96}).done(), TKpPictureForm::Emf},
                 {wmf.rec(0x041B, {96, 48, 0, 0}).done(), TKpPictureForm::Wmf}};
    for (const auto& c : cases) {
        Doc d;
        const QByteArray text = Bytes().i32(int32_t(c.bytes.size())).raw(c.bytes);
        LoadDocument(*d.preview, ObjectBlock(9, Bytes()
                                                    .raw(IntRec(Key(10.05L), 2540))
                                                    .raw(IntRec(Key(10.06L), 2540))
                                                    .raw(StrRec(Key(71), text))));
        auto* g = dynamic_cast<TKpGraphicObject*>(d->GetPage(1)->Objects(0));
        ASSERT_TRUE(g && g->Picture);
        EXPECT_EQ(g->Picture->Form(), c.form);
        QImage img(96, 96, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter painter(&img);
            TKpDeviceCanvas canvas(&painter, 96, 96);
            g->Draw(canvas, TKpDrawContext::Current(false), {}, 1);
        }
        EXPECT_EQ(img.pixel(1, 1), qRgb(255, 0, 0));
        EXPECT_EQ(img.pixel(46, 94), qRgb(255, 0, 0));
        EXPECT_EQ(img.pixel(50, 50), qRgb(255, 255, 255));
    }
}

TEST_F(Legacy, SettingsBlocks) {
    Doc d;
    const Bytes pen = Bytes().raw(IntRec(Key(40), 0x0000FF));
    const QByteArray file =
        Bytes()
            .raw(Block(3, Bytes()
                              .raw(IntRec(Key(3.01L), 100))
                              .raw(IntRec(Key(3.02L), 200))
                              .raw(IntRec(Key(3.03L), 300))
                              .raw(IntRec(Key(3.04L), 400))
                              .raw(IntRec(Key(3.05L), 0x100)) // low byte 0: false
                              .raw(IntRec(Key(3.06L), 1))
                              .raw(Nested(1005, Key(3.07L), pen))))
            .raw(Block(4, Bytes().raw(IntRec(Key(4.01L), 0x123456)).raw(IntRec(Key(4.02L), 9))))
            .raw(Block(5, Bytes().raw(ExtRec(Key(5.01L), 1.0L))))
            .raw(Block(6, Bytes()
                              .raw(IntRec(Key(6.03L), 0))
                              .raw(IntRec(Key(6.04L), 1))
                              .raw(Nested(1005, K1005, pen))))
            .raw(Block(7, Bytes().raw(IntRec(Key(7.04L), 1))));
    LoadDocument(*d.preview, file);
    TKpMargins& m = d->Margins();
    EXPECT_EQ(m.Left().value, 100);
    EXPECT_EQ(m.Top().value, 200);
    EXPECT_EQ(m.Right().value, 300);
    EXPECT_EQ(m.Bottom().value, 400);
    EXPECT_FALSE(m.Visible());
    EXPECT_TRUE(m.ShowPrinterMargins());
    EXPECT_EQ(m.Pen().Color(), 0x0000FFu);
    EXPECT_EQ(m.Pen().Width(), 1);
    EXPECT_EQ(m.PrinterMarginPen().Color(), clSilver); // no key: left as it was
    EXPECT_EQ(d->Shadow().Color(), 0x123456u);
    EXPECT_EQ(d->Shadow().Width(), 9);
    EXPECT_FALSE(d->Header().ShowLine());
    EXPECT_TRUE(d->Header().Visible());
    EXPECT_EQ(d->Header().Pen().Color(), 0x0000FFu);
    EXPECT_TRUE(d->Footer().Visible());
    EXPECT_FALSE(d->Footer().ShowLine()); // absent: 0
}

TEST_F(Legacy, TruncatedFileKeepsPagesReadSoFar) {
    Doc d;
    // A failed load leaves the document as it was: two pages, one line on the first.
    d->Canvas().Line(0, 0, 10, 10, kpMillimeters);
    d->NewPage();
    QByteArray file =
        Bytes().raw(Block(1)).raw(ObjectBlock(4)).raw(Block(1)).raw(ObjectBlock(3)).data();
    file.chop(3);
    EXPECT_THROW(LoadDocument(*d.preview, file), EReadError);
    EXPECT_EQ(d->NumPages(), 2);
    EXPECT_EQ(d->GetPage(1)->Count(), 1);
    EXPECT_TRUE(d->AutoRefresh);
}

// Values out of range are refused naming the page and the block; other read errors pass on
// as they are. Offsets count from the start of the device (block 2's records start at 26).
TEST_F(Legacy, ReadErrorsKeepTheirKindAndOffset) {
    const struct {
        Bytes records;
        TKpReadErrorKind kind;
        int64_t offset;
        const char* message;
    } cases[] = {
        {Bytes().raw(IntRec(Key(10.01L), 2)).raw(Nested(1005, Key(1005), IntRec(Key(40.01L), 9))),
         TKpReadErrorKind::OutOfRange, 62, "Page 1, block 2: pen style 9 is out of range"},
        {Bytes().raw(IntRec(Key(10.01L), 6)).raw(IntRec(Key(51), 3)), TKpReadErrorKind::OutOfRange,
         -1, "Page 1, object block 2: alignment 3 is out of range"},
        {Bytes().raw(IntRec(Key(10.01L), 2)).i32(1002).raw(Key(50)).i32(100).raw("x"),
         TKpReadErrorKind::Truncated, 76, "Stream read error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Doc d;
        try {
            LoadDocument(*d.preview, Bytes().raw(Block(1)).raw(Block(10, c.records)));
            ADD_FAILURE() << "no error";
        } catch (const EStreamReadError& e) {
            EXPECT_EQ(e.Kind, c.kind);
            EXPECT_EQ(e.Offset, c.offset);
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

// Found by fuzzing: an angle of about 1e4875 degrees overflowed the escapement conversion
// when the loaded page was drawn.
TEST_F(Legacy, HugeOrNonFiniteFontAnglesAreMadeSafe) {
    TKpExtValueList list;
    Parse(list, List(Bytes()
                         .raw(Nested(1004, Key(1004), Bytes().raw(ExtRec(Key(30.05L), 1e4000L))))
                         .raw(Nested(1004, Key(1004.5L),
                                     Bytes()
                                         .i32(1000)
                                         .raw(Key(30.05L))
                                         .hex({0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F})))));
    TKpFontData f;
    list.GetFont(f, KpKey("1004"));
    EXPECT_TRUE(std::isfinite(f.Angle));
    EXPECT_LT(std::fabs(f.Angle), 360);
    list.GetFont(f, KpKey("1004.5")); // not a number
    EXPECT_EQ(f.Angle, 0);

    Doc d;
    const QByteArray file = ObjectBlock(
        6,
        Bytes()
            .raw(StrRec(Key(50), "x"))
            .raw(IntRec(Key(10.05L), 2000))
            .raw(IntRec(Key(10.06L), 2000))
            .raw(Nested(1004, Key(1004),
                        Bytes().raw(StrRec(Key(30), "Arial")).raw(ExtRec(Key(30.05L), -1e4875L)))));
    LoadDocument(*d.preview, file);
    auto* box = dynamic_cast<TKpTextBoxObject*>(d->GetPage(1)->Objects(0));
    ASSERT_TRUE(box);
    EXPECT_TRUE(std::isfinite(box->Font->Angle));
    EXPECT_LT(std::fabs(box->Font->Angle), 360);
}

TEST_F(Legacy, FontSizesBeyondDrawableAreClamped) {
    TKpExtValueList list;
    Parse(list, List(Nested(1004, Key(1004), Bytes().raw(IntRec(Key(30.01L), INT32_MIN)))));
    TKpFontData f;
    list.GetFont(f, KpKey("1004"));
    EXPECT_EQ(f.Size, -MaxFontPoints);
}

TEST_F(Legacy, FuzzerCrasherLoadsAndDraws) {
    QFile f(QStringLiteral(PAGINOR_SOURCE_DIR "/fuzz/crashers/legacy-font-angle.bin"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    Doc d;
    try {
        LoadDocument(*d.preview, f.readAll());
    } catch (const EReadError&) {
    }
    for (int p = 1; p <= d->NumPages(); ++p)
        for (int k = 0; k < d->GetPage(p)->Count(); ++k)
            if (auto* text = dynamic_cast<TKpTextObject*>(d->GetPage(p)->Objects(k)))
                EXPECT_TRUE(std::isfinite(text->Font->Angle));
    EXPECT_TRUE(d->AutoRefresh);
}
