// Records of every drawing object kind: byte layout, round trips, version-dependent reading.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include "drawing/KpPictureStore.h"
#include "drawing/KpStream.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "platform/KpWinFlags.h"
#include "stream_test_util.h"

using namespace kp;

using streamtest::Bytes;

namespace {

const Extended V242 = ExtendedFromDecimal("2.42");

Bytes BrushChunk(TColor c, int style) {
    return Bytes().chunk(Bytes().i32(static_cast<int32_t>(c)).i32(style));
}
Bytes PenChunk(TColor c, int style, int width, int mode) {
    return Bytes().chunk(Bytes().i32(static_cast<int32_t>(c)).i32(style).i32(width).i32(mode));
}

QByteArray Save(const TKpBaseObject& o) {
    TKpExtStream s;
    o.SaveToStream(s);
    return s.Bytes();
}

template <typename T> std::unique_ptr<T> Load(const QByteArray& bytes, Extended version = V242) {
    auto o = std::make_unique<T>();
    TKpExtStream s{QByteArray(bytes)};
    o->LoadFromStream(s, version);
    EXPECT_EQ(s.Position(), s.Size());
    return o;
}

QImage SampleImage() {
    QImage image(5, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    image.setPixel(1, 1, qRgb(0, 0, 255));
    return image;
}

} // namespace

TEST(StreamObjects, LineRecordBytes) {
    TKpLineObject line;
    line.X1 = 100;
    line.Y1 = -200;
    line.X2 = 3000;
    line.Y2 = 4000;
    line.Reserved = 0;
    line.Pen = TKpPenData{clRed, psDash, 3, pmXor};
    const QByteArray expected =
        Bytes()
            .chunk(Bytes().i32(100).i32(-200))
            .chunk(Bytes().raw(PenChunk(clRed, 1, 3, 14)).i32(3000).i32(4000).i32(0));
    EXPECT_EQ(Save(line), expected);
    auto back = Load<TKpLineObject>(expected);
    EXPECT_EQ(back->X1, 100);
    EXPECT_EQ(back->Y1, -200);
    EXPECT_EQ(back->X2, 3000);
    EXPECT_EQ(back->Y2, 4000);
    EXPECT_EQ(back->Pen, line.Pen);
}

TEST(StreamObjects, ShapeRecordsBytes) {
    TKpRoundRectShape round;
    round.X1 = 1;
    round.Y1 = 2;
    round.X2 = 3;
    round.Y2 = 4;
    round.X3 = 500;
    round.Y3 = 600;
    round.Brush = TKpBrushData{clGreen, bsDiagCross};
    round.Pen = TKpPenData{clBlue, psSolid, 2, pmCopy};
    const QByteArray expected =
        Bytes()
            .chunk(Bytes().i32(1).i32(2))
            .chunk(Bytes().raw(BrushChunk(clGreen, 7)).raw(PenChunk(clBlue, 0, 2, 4)).i32(3).i32(4))
            .chunk(Bytes().i32(500).i32(600));
    EXPECT_EQ(Save(round), expected);
    auto back = Load<TKpRoundRectShape>(expected);
    EXPECT_EQ(back->X3, 500);
    EXPECT_EQ(back->Y3, 600);
    EXPECT_EQ(back->Brush, round.Brush);

    TKpPieShape pie;
    pie.X1 = 10;
    pie.Y1 = 20;
    pie.X2 = 30;
    pie.Y2 = 40;
    pie.X3 = 50;
    pie.Y3 = 60;
    pie.X4 = 70;
    pie.Y4 = 80;
    pie.Brush = TKpBrushData{clWhite, bsSolid};
    pie.Pen = TKpPenData{clBlack, psSolid, 1, pmCopy};
    EXPECT_EQ(
        Save(pie),
        Bytes()
            .chunk(Bytes().i32(10).i32(20))
            .chunk(
                Bytes().raw(BrushChunk(clWhite, 0)).raw(PenChunk(clBlack, 0, 1, 4)).i32(30).i32(40))
            .chunk(Bytes().i32(50).i32(60).i32(70).i32(80))
            .data());
}

TEST(StreamObjects, RectangleLoadsWithoutFillOnly) {
    TKpRectangleShape rect;
    rect.FillOnly = true;
    rect.X2 = 99;
    auto back = Load<TKpRectangleShape>(Save(rect));
    EXPECT_FALSE(back->FillOnly);
    EXPECT_EQ(back->X2, 99);
}

TEST(StreamObjects, TextAndTextBoxRecordBytes) {
    TKpTextBoxObject box;
    box.X1 = 5;
    box.Y1 = 6;
    box.Brush = TKpBrushData{clYellow, bsClear};
    box.Text = QStringLiteral("Hi");
    box.Font.Edit().Angle = 0;
    box.Font.Edit().Color = clBlack;
    box.Font.Edit().Name = QStringLiteral("Arial");
    box.Font.Edit().Size = 12;
    box.Font.Edit().Style = FontStyleBit(fsUnderline);
    box.Alignment = taCenter;
    box.Layout = tlBottom;
    box.X2 = 700;
    box.Y2 = 800;
    box.Pen = TKpPenData{clRed, psClear, 1, pmCopy};
    const Bytes font = Bytes().chunk(Bytes().x87(0).i32(0).str("Arial").i32(12).str("U"));
    const QByteArray expected =
        Bytes()
            .chunk(Bytes().i32(5).i32(6))
            .chunk(Bytes().raw(BrushChunk(clYellow, 1)).str("Hi").raw(font))
            .chunk(Bytes().i32(2).i32(700).i32(800).raw(PenChunk(clRed, 5, 1, 4)));
    EXPECT_EQ(Save(box), expected);
    auto back = Load<TKpTextBoxObject>(expected);
    EXPECT_EQ(back->Text, QStringLiteral("Hi"));
    EXPECT_EQ(back->Font, box.Font);
    EXPECT_EQ(back->Alignment, taCenter);
    EXPECT_EQ(back->Layout, tlTop); // the layout is not stored
    EXPECT_EQ(back->Pen, box.Pen);
}

TEST(StreamObjects, PolylineWithoutPointsStoresMinusOne) {
    TKpPolyLineObject poly;
    poly.Brush = TKpBrushData{clWhite, bsSolid};
    poly.Pen = TKpPenData{clBlack, psSolid, 1, pmCopy};
    const QByteArray expected =
        Bytes()
            .chunk(Bytes().i32(0).i32(0))
            .chunk(Bytes().raw(BrushChunk(clWhite, 0)).raw(PenChunk(clBlack, 0, 1, 4)).i32(-1));
    EXPECT_EQ(Save(poly), expected);
    auto back = Load<TKpPolyLineObject>(expected);
    EXPECT_TRUE(back->Points.isEmpty());
}

TEST(StreamObjects, PolygonPointsStoredAsCountMinusOne) {
    TKpPolygonObject poly;
    poly.Points = {QPoint(1, 2), QPoint(-3, 4), QPoint(5, 6)};
    const QByteArray bytes = Save(poly);
    const QByteArray tail = Bytes().i32(2).i32(1).i32(2).i32(-3).i32(4).i32(5).i32(6);
    EXPECT_TRUE(bytes.endsWith(tail));
    auto back = Load<TKpPolygonObject>(bytes);
    EXPECT_EQ(back->Points, poly.Points);
}

TEST(StreamObjects, PointCountBeyondTheChunkIsAReadError) {
    const QByteArray bytes = Bytes()
                                 .chunk(Bytes().i32(0).i32(0))
                                 .chunk(Bytes()
                                            .raw(BrushChunk(0, 0))
                                            .raw(PenChunk(0, 0, 1, 4))
                                            .i32(0x7FFFFFF0)
                                            .i32(1)
                                            .i32(2));
    TKpPolyBezierObject poly;
    TKpExtStream s{QByteArray(bytes)};
    EXPECT_THROW(poly.LoadFromStream(s, V242), EReadError);
}

TEST(StreamObjects, BitmapGraphicRecord) {
    TKpGraphicObject g;
    g.X1 = 1;
    g.Y1 = 2;
    g.X2 = 3;
    g.Y2 = 4;
    g.SetBitmap(SampleImage());
    g.CopyMode = SRCAND;
    g.PrintMetafileAsBitmap = true;
    g.MetafileAsBitmap = true;
    ASSERT_TRUE(g.BitmapData.startsWith("BM"));
    const QByteArray expected =
        Bytes()
            .chunk(Bytes().i32(1).i32(2))
            .chunk(Bytes().i32(3).i32(4).u8(1).i32(1).raw(g.BitmapData).i32(SRCAND).u8(1));
    EXPECT_EQ(Save(g), expected);
    auto back = Load<TKpGraphicObject>(expected);
    EXPECT_EQ(back->ImageKind, kpImageBitmap);
    EXPECT_EQ(back->BitmapData, g.BitmapData);
    EXPECT_EQ(back->Bitmap().pixel(1, 1), qRgb(0, 0, 255));
    EXPECT_EQ(back->CopyMode, static_cast<uint32_t>(SRCAND));
    EXPECT_TRUE(back->PrintMetafileAsBitmap);
    EXPECT_TRUE(back->MetafileAsBitmap);
}

TEST(StreamObjects, GraphicVersionDependentFields) {
    TKpGraphicObject g;
    g.SetBitmap(SampleImage());
    const QByteArray image = g.BitmapData;
    const QByteArray base = Bytes().chunk(Bytes().i32(0).i32(0));
    // A 2.31 record ends after the image.
    const QByteArray v231 =
        Bytes().raw(base).chunk(Bytes().i32(10).i32(20).u8(0).i32(1).raw(image));
    auto a = Load<TKpGraphicObject>(v231, ExtendedFromDecimal("2.31"));
    EXPECT_EQ(a->CopyMode, static_cast<uint32_t>(SRCCOPY));
    EXPECT_FALSE(a->PrintMetafileAsBitmap);
    EXPECT_EQ(a->X2, 10);
    // 2.32 up to 2.41 read the copy mode but not the flag, even when a byte follows.
    const QByteArray v232 = Bytes().raw(base).chunk(
        Bytes().i32(10).i32(20).u8(0).i32(1).raw(image).i32(SRCPAINT).u8(1));
    for (const char* version : {"2.32", "2.35", "2.41"}) {
        auto b = std::make_unique<TKpGraphicObject>();
        TKpExtStream s{QByteArray(v232)};
        b->LoadFromStream(s, ExtendedFromDecimal(version));
        EXPECT_EQ(b->CopyMode, static_cast<uint32_t>(SRCPAINT)) << version;
        EXPECT_FALSE(b->PrintMetafileAsBitmap) << version;
        EXPECT_EQ(s.Position(), s.Size()) << version; // the chunk is consumed whole
    }
    auto c = Load<TKpGraphicObject>(v232, ExtendedFromDecimal("2.42"));
    EXPECT_TRUE(c->PrintMetafileAsBitmap);
}

TEST(StreamObjects, PictureGraphicRoundTripsItsDrawing) {
    TKpMetafile picture;
    picture.SetWidth(40);
    picture.SetHeight(30);
    {
        TKpMetafileCanvas canvas(picture);
        canvas.Canvas().Brush().SetColor(clBlue);
        canvas.Canvas().Pen().SetColor(clBlue);
        canvas.Canvas().Rectangle(0, 0, 40, 30);
    }
    TKpGraphicObject g;
    g.SetPicture(picture);
    g.X2 = 4000;
    g.Y2 = 3000;
    const QByteArray bytes = Save(g);
    auto back = Load<TKpGraphicObject>(bytes);
    ASSERT_TRUE(back->Picture);
    EXPECT_EQ(back->ImageKind, kpImageMetafile);
    EXPECT_EQ(back->Picture->Width(), 40);
    EXPECT_EQ(back->Picture->Height(), 30);
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TKpDeviceCanvas canvas(&painter, 96, 96);
        canvas.PlayMetafile(*back->Picture, QRect(0, 0, 40, 30));
    }
    EXPECT_EQ(image.pixel(20, 15), qRgb(0, 0, 255));
}

TEST(StreamObjects, StoredImagesCanBeSkippedUnread) {
    TKpMetafile picture;
    picture.SetWidth(10);
    picture.SetHeight(10);
    {
        TKpMetafileCanvas canvas(picture);
        canvas.Canvas().Ellipse(0, 0, 10, 10);
    }
    TKpExtStream s;
    KpPictureStore::WritePicture(s, picture);
    s.WriteInteger(77);
    TKpGraphicObject g;
    g.SetBitmap(SampleImage());
    KpPictureStore::WriteBitmap(s, g.BitmapData);
    s.WriteInteger(88);
    KpPictureStore::WriteBitmap(s, QByteArray());
    s.WriteInteger(99);
    s.SetPosition(0);
    KpPictureStore::SkipImage(s);
    EXPECT_EQ(s.ReadInteger(), 77);
    EXPECT_EQ(KpPictureStore::SkipImage(s), g.BitmapData.size());
    EXPECT_EQ(s.ReadInteger(), 88);
    EXPECT_TRUE(KpPictureStore::ReadBitmap(s).isEmpty());
    EXPECT_EQ(s.ReadInteger(), 99);
}

TEST(StreamObjects, ImageSizeBeyondTheRecordIsAReadError) {
    const QByteArray bytes =
        Bytes()
            .chunk(Bytes().i32(0).i32(0))
            .chunk(Bytes().i32(0).i32(0).u8(0).i32(1).hex({'B', 'M'}).i32(1 << 30).i32(0).i32(0));
    TKpGraphicObject g;
    TKpExtStream s{QByteArray(bytes)};
    EXPECT_THROW(g.LoadFromStream(s, V242), EReadError);
    const QByteArray badKind =
        Bytes().chunk(Bytes().i32(0).i32(0)).chunk(Bytes().i32(0).i32(0).u8(0).i32(5));
    TKpExtStream s2{QByteArray(badKind)};
    EXPECT_THROW(g.LoadFromStream(s2, V242), EReadError);
}

TEST(StreamObjects, EveryKindRoundTripsThroughItsTypeId) {
    for (int type = 1; type <= 13; ++type) {
        auto o = CreateObjectOfType(type);
        ASSERT_TRUE(o) << type;
        o->X1 = type * 10;
        o->Y1 = type * 20;
        TKpExtStream s;
        o->SaveToStream(s);
        const QByteArray first = s.Bytes();
        auto back = CreateObjectOfType(type);
        s.SetPosition(0);
        back->LoadFromStream(s, V242);
        EXPECT_EQ(s.Position(), s.Size()) << type;
        EXPECT_EQ(back->X1, type * 10);
        EXPECT_EQ(back->Y1, type * 20);
        EXPECT_EQ(Save(*back), first) << type;
    }
    EXPECT_FALSE(CreateObjectOfType(0));
    EXPECT_FALSE(CreateObjectOfType(14));
}
