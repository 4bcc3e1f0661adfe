// Document files that are hostile or come from elsewhere: embedded pictures that would make
// the player recurse or allocate without end, boxes and bitmaps too large to draw, metafiles
// of the original platform, values out of range, text in the Western Windows code page, and
// a save onto a full disk.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "drawing/KpCanvas.h"
#include "drawing/KpDocument.h"
#include "drawing/KpPage.h"
#include "drawing/KpPictureStore.h"
#include "drawing/KpStream.h"
#include "image_helpers.h"
#include "legacy/KpLegacy.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "platform/KpPictureCheck.h"
#include "platform/KpWinFlags.h"
#include "stream_test_util.h"

using namespace kp;

using streamtest::Bytes;
using streamtest::LoadBytes;
using streamtest::SaveBytes;

namespace {

// Big-endian bytes, as the picture format stores them.
QByteArray be32(uint32_t v) {
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return QByteArray(b, 4);
}

// A recorded picture around the given records: header, outer begin, the records, the end
// record, with the record count and the checksum filled in.
QByteArray Recording(const QByteArray& records, uint32_t count) {
    QByteArray b("QPIC");
    b += QByteArray::fromHex("0000"
                             "0014"
                             "0000"
                             "1e04");
    b += QByteArray(16, '\0') + be32(count + 1) + records + QByteArray::fromHex("1f00");
    kp::MendPictureChecksum(b);
    return b;
}

// The recording in its stored form, as a graphic record holds it.
QByteArray Stored(const QByteArray& recording) {
    return Bytes().raw("KPQP").i32(16 + recording.size()).i32(40).i32(30).raw(recording);
}

void ReadStored(const QByteArray& stored, TKpMetafile& picture) {
    TKpExtStream s{stored};
    KpPictureStore::ReadPicture(s, picture);
}

// A page with a graphic object holding the picture, then a line, saved as a document file.
QByteArray DocumentWithPicture(const TKpMetafile& picture, int32_t box, bool asBitmap) {
    TKpDocument p;
    auto g = std::make_unique<TKpGraphicObject>();
    g->X2 = box;
    g->Y2 = box;
    g->MetafileAsBitmap = asBitmap;
    g->SetPicture(picture);
    p.GetPage(1)->AddObject(std::move(g));
    auto line = std::make_unique<TKpLineObject>();
    line->X2 = 1234;
    p.GetPage(1)->AddObject(std::move(line));
    return SaveBytes(p);
}

TKpMetafile FramedRectangle() {
    TKpMetafile m;
    m.SetWidth(40);
    m.SetHeight(30);
    TKpMetafileCanvas r(m);
    r.Canvas().Brush().SetStyle(bsClear);
    r.Canvas().Rectangle(0, 0, 40, 30);
    return m;
}

} // namespace

// Pictures crafted to overflow the player's stack or make it allocate gigabytes are
// refused by the reader, before anything plays them.
TEST(HostileFiles, CraftedPicturesAreRefused) {
    const QByteArray nestedBegins = QByteArray::fromHex("1e0400000001").repeated(200000);
    const QByteArray overCountedPolygon =
        QByteArray::fromHex("0d25") + be32(100000000) + QByteArray(32, '\0') + QByteArray(1, '\0');
    const QByteArray overCountedPath =
        QByteArray::fromHex("1915") + be32(0x7FFFFFFF) + QByteArray(17, '\0');
    const QByteArray unknownRecord = QByteArray::fromHex("2000"); // a save record
    struct Case {
        const char* name;
        QByteArray records;
        uint32_t count;
    } cases[] = {{"nested begins", nestedBegins, 200000},
                 {"over-counted polygon", overCountedPolygon, 1},
                 {"over-counted path", overCountedPath, 1},
                 {"unrecorded operation", unknownRecord, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TKpMetafile picture;
        EXPECT_THROW(ReadStored(Stored(Recording(c.records, c.count)), picture), EReadError);
        EXPECT_TRUE(picture.Empty());
    }
    // Pictures the fuzzer once found a fault with (their checksums mended, as it does).
    for (const char* name : {"picture-image-size-overflow.qpic", "picture-huge-glyphs.qpic",
                             "picture-undecodable-image.qpic"}) {
        SCOPED_TRACE(name);
        QFile f(QStringLiteral(PAGINOR_SOURCE_DIR "/fuzz/crashers/") + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QByteArray recording = f.readAll();
        kp::MendPictureChecksum(recording);
        TKpMetafile picture;
        EXPECT_THROW(ReadStored(Stored(recording), picture), EReadError);
    }
    // A true recording with one byte changed fails its checksum.
    QByteArray real =
        Stored(QByteArray(FramedRectangle().Picture().data(), FramedRectangle().Picture().size()));
    real[real.size() - 3] = static_cast<char>(real[real.size() - 3] ^ 0x40);
    TKpMetafile picture;
    EXPECT_THROW(ReadStored(real, picture), EReadError);
}

// Such a picture inside a document stops the load with an error naming page and object,
// even for a preview in a window (whose refresh would play it).
TEST(HostileFiles, DocumentWithCraftedPictureIsRefusedNamingPageAndObject) {
    TKpMetafile hostile;
    hostile.SetWidth(40);
    hostile.SetHeight(30);
    const QByteArray nested =
        Recording(QByteArray::fromHex("1e0400000001").repeated(200000), 200000);
    hostile.Picture().setData(nested.constData(), static_cast<uint>(nested.size()));
    TKpDocument p;
    try {
        LoadBytes(p, DocumentWithPicture(hostile, 2540, false));
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(std::string(e.what()).substr(0, 27), "Page 1, object 1 (type 9): ");
    }
}

// A picture drawn as a bitmap into a 5 m box is drawn as vectors instead of a bitmap of
// gigabytes; a bitmap whose header claims too many pixels is not decoded.
TEST(HostileFiles, HugeBitmapBoxesStayWithinThePixelBudget) {
    TKpDocument p;
    LoadBytes(p, DocumentWithPicture(FramedRectangle(), 500000, true));
    p.RefreshPage();
    EXPECT_LT(p.GetPage(1)->Metafile().Picture().size(), 100000u);

    TKpGraphicObject g;
    g.SetBitmap(QImage(2, 2, QImage::Format_RGB32));
    // Width and height of the information header: 100000 x 100000 pixels.
    g.BitmapData.replace(18, 8, Bytes().i32(100000).i32(100000).data());
    EXPECT_TRUE(g.Bitmap().isNull());
}

// A native file may hold a metafile of the original platform: it is taken by its stated
// length, kept as its bytes, and the objects after it still load.
TEST(HostileFiles, PlatformMetafileIsKeptByItsLengthAndLoadingGoesOn) {
    // A stored picture of 120 bytes is replaced by a metafile of 120 bytes.
    TKpMetafile placeholder;
    const QByteArray filler(104, 'x');
    placeholder.Picture().setData(filler.constData(), static_cast<uint>(filler.size()));
    QByteArray file = DocumentWithPicture(placeholder, 2540, false);
    const int at = file.indexOf(QByteArray("KPQP"));
    ASSERT_GT(at, 0);
    const QByteArray emf = Bytes()
                               .i32(1)
                               .i32(88)
                               .raw(QByteArray(32, '\0'))
                               .raw(" EMF")
                               .i32(0x10000)
                               .i32(120)
                               .raw(QByteArray(120 - 52, '\0'));
    file.replace(at, emf.size(), emf);
    TKpDocument p;
    LoadBytes(p, file);
    ASSERT_EQ(p.GetPage(1)->Count(), 2);
    auto* g = dynamic_cast<TKpGraphicObject*>(p.GetPage(1)->Objects(0));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->X2, 2540);
    ASSERT_TRUE(g->Picture);
    EXPECT_EQ(g->Picture->Form(), TKpPictureForm::Emf);
    EXPECT_EQ(g->Picture->MetafileBytes(), emf);
    EXPECT_EQ(g->CopyMode, static_cast<uint32_t>(SRCCOPY));
    EXPECT_EQ(dynamic_cast<TKpLineObject*>(p.GetPage(1)->Objects(1))->X2, 1234);
}

// Texts are stored in the Western Windows code page, in both formats; characters outside
// it become "?".
TEST(HostileFiles, TextsUseTheWesternWindowsCodePage) {
    const QString marks = QStringLiteral("\u20AC \u201C\u201D \u2014 \u2018\u2019 \u2026 \u2122");
    TKpDocument p;
    auto text = std::make_unique<TKpTextObject>();
    text->Text = marks + QStringLiteral(" \u03A9");
    p.GetPage(1)->AddObject(std::move(text));
    const QByteArray file = SaveBytes(p);
    EXPECT_TRUE(file.contains(QByteArray::fromHex("80209394209720919220852099203f")));
    TKpDocument q;
    LoadBytes(q, file);
    EXPECT_EQ(dynamic_cast<TKpTextObject*>(q.GetPage(1)->Objects(0))->Text,
              marks + QStringLiteral(" ?"));

    TKpExtStream native{Bytes().i32(2).hex({0x80, 0x9F}).data()};
    EXPECT_EQ(native.ReadString(), QStringLiteral("\u20AC\u0178"));
    TKpExtStream legacy{Bytes().i32(4 + 10 + 4 + 1).i32(1002).x87(50).i32(1).hex({0x80}).data()};
    TKpExtValueList list;
    list.LoadFromStream(legacy);
    if (streamtest::LongDoubleIsX87())
        EXPECT_EQ(list.GetString(KpKey("50")), QStringLiteral("\u20AC"));
}

// A framed picture drawn scaled reaches the last pixels of its box, as its fill does.
TEST(HostileFiles, FramedPictureScalesToTheFullBox) {
    const TKpMetafile frame = FramedRectangle();
    for (QSize box : {QSize(40, 30), QSize(96, 72)}) {
        SCOPED_TRACE(box.width());
        QImage img = testimg::whiteImage(120, 100);
        {
            QPainter painter(&img);
            TKpDeviceCanvas canvas(&painter, 96, 96);
            canvas.PlayMetafile(frame, QRect(QPoint(0, 0), box));
        }
        EXPECT_EQ(testimg::inkBounds(img), QRect(QPoint(0, 0), box));
        EXPECT_EQ(img.pixel(box.width() - 1, box.height() - 1), testimg::kBlack);
        EXPECT_EQ(img.pixel(box.width() / 2, box.height() / 2), testimg::kWhite);
    }
    // A box far more stretched on one axis than the other (from a file) shows nothing.
    QImage sliver = testimg::whiteImage(120, 100);
    QPainter painter(&sliver);
    TKpDeviceCanvas canvas(&painter, 96, 96);
    canvas.PlayMetafile(frame, QRect(0, 0, 9000, 1));
    painter.end();
    EXPECT_EQ(testimg::inkCount(sliver), 0);
}

// Enumerations read from a file are range-checked, naming the page and the object.
TEST(HostileFiles, EnumerationsOutOfRangeAreRefused) {
    TKpDocument p;
    auto box = std::make_unique<TKpTextBoxObject>();
    box->Pen.Edit().Style = psDot;
    p.GetPage(1)->AddObject(std::move(box));
    const QByteArray file = SaveBytes(p);
    // The box's pen chunk: colour 0 (black), style 2, width 1, mode 4.
    const QByteArray pen = Bytes().i32(16).i32(0).i32(2).i32(1).i32(4).data();
    struct Case {
        int offset;
        int32_t value;
        const char* message;
    } cases[] = {{8, 7, "Page 1, object 1 (type 6): pen style 7 is out of range"},
                 {16, 16, "Page 1, object 1 (type 6): pen mode 16 is out of range"}};
    for (const Case& c : cases) {
        QByteArray bad = file;
        const int at = bad.lastIndexOf(pen);
        ASSERT_GT(at, 0);
        bad.replace(at + c.offset, 4, Bytes().i32(c.value).data());
        TKpDocument q;
        try {
            LoadBytes(q, bad);
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    TKpValue v;
    EXPECT_THROW(v.SetPixels(0, 10), std::invalid_argument);
}

// Bitmaps with transparency are stored with 32 bits and an alpha mask.
TEST(HostileFiles, TransparentBitmapsKeepTheirAlpha) {
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(qRgba(10, 20, 30, 255));
    image.setPixel(1, 0, qRgba(200, 100, 50, 0));
    TKpGraphicObject g;
    g.SetBitmap(image);
    EXPECT_EQ(static_cast<uint8_t>(g.BitmapData[28]), 32);
    const QImage back = g.Bitmap().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(back.pixel(1, 0)), 0);
    EXPECT_EQ(back.pixel(2, 1), qRgba(10, 20, 30, 255));
}

// A save onto a full disk fails naming the file and keeps the file it would replace.
TEST(HostileFiles, SaveOntoAFullDiskFailsAndKeepsTheOldFile) {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small filesystem needs root";
    QTemporaryDir dir;
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    struct Unmount {
        QByteArray at;
        ~Unmount() { umount(at.constData()); }
    } unmount{mountPoint};
    const QString path = dir.filePath(QStringLiteral("doc.kpp"));
    TKpDocument p;
    p.SaveToFile(path);
    const QByteArray good = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ASSERT_FALSE(good.isEmpty());
    {
        // Fill the filesystem up to 8 KiB.
        QFile filler(dir.filePath(QStringLiteral("filler")));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();
        filler.resize(filler.size() - 8192);
    }
    for (int page = 1; page <= 4; ++page) {
        if (page > 1) p.NewPage();
        for (int i = 0; i < 200; ++i)
            p.Canvas().Rectangle(i, i, i + 10, i + 10, kpMillimeters);
    }
    try {
        p.SaveToFile(path);
        FAIL() << "the save reported success";
    } catch (const EWriteError& e) {
        EXPECT_NE(std::string(e.what()).find(path.toStdString()), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("space"), std::string::npos) << e.what();
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), good);
    TKpDocument q;
    q.LoadFromFile(path);
    EXPECT_EQ(q.NumPages(), 1);
}

// Paper sides read from a file are positive and at most 10 m; others are refused by name.
TEST(HostileFiles, PaperSidesOutOfRangeAreRefused) {
    TKpDocument p;
    const QByteArray file = SaveBytes(p);
    const QByteArray paper = Bytes().i32(21000).i32(29700).i32(2).raw("A4").data();
    const int at = file.indexOf(paper);
    ASSERT_GT(at, 0);
    struct Case {
        int32_t width, height;
        const char* message; // none: loads
    } cases[] = {{0, 29700, "Settings: paper width 0 is out of range"},
                 {-21000, 29700, "Settings: paper width -21000 is out of range"},
                 {21000, 1000001, "Settings: paper height 1000001 is out of range"},
                 {21000, INT32_MAX, "Settings: paper height 2147483647 is out of range"},
                 {1, 1000000, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        QByteArray bad = file;
        bad.replace(at, 8, Bytes().i32(c.width).i32(c.height).data());
        TKpDocument q;
        if (!c.message) {
            LoadBytes(q, bad);
            EXPECT_EQ(q.PaperWidth().value, c.width);
            EXPECT_EQ(q.PaperHeight().value, c.height);
            continue;
        }
        try {
            LoadBytes(q, bad);
            ADD_FAILURE() << "no error";
        } catch (const EStreamReadError& e) {
            EXPECT_STREQ(e.what(), c.message);
            EXPECT_EQ(e.Kind, TKpReadErrorKind::OutOfRange);
            // The offending side's own bytes.
            EXPECT_EQ(e.Offset, c.width < 1 ? at : at + 4);
        }
        EXPECT_EQ(q.PaperWidth().value, 21000); // the paper is left as it was
    }
}
