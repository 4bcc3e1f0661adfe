// A document file as the desktop platform writes it, its graphic holding an enhanced metafile:
// it loads, draws the metafile on the page picture and in the PDF, and saves back the same
// bytes.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include "drawing/KpDocument.h"
#include "drawing/KpObjects.h"
#include "drawing/KpPage.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "printing/KpPdfExport.h"

#include "drawing/stream_test_util.h"
#include "image_helpers.h"
#include "platform/metafile_play.h"

using namespace kp;

namespace {

using streamtest::Bytes;

// One inch square (96 x 96 reference pixels): a red square top left, a blue one bottom
// right, and a word in the top right quarter.
QByteArray LogoMetafile() {
    mfw::Emf e(2540, 2540);
    e.rec(37, {mfw::kNullPen});
    e.rec(39, {1, 0, 0x0000FF, 0}).rec(37, {1}).rec(43, {0, 0, 48, 48});
    e.rec(39, {2, 0, 0xFF0000, 0}).rec(37, {2}).rec(43, {48, 48, 96, 96});
    e.font(3, -16).rec(37, {3}).text(52, 8, QStringLiteral("Logo"));
    return e.done();
}

Bytes Font() {
    return Bytes().raw(QByteArray(10, '\0')).i32(0).str("Arial").i32(10).str("");
}
Bytes Pen() {
    return Bytes().i32(0).i32(0).i32(1).i32(4);
}
Bytes Band() {
    Bytes band;
    band.u8(0).u8(0);
    for (int i = 0; i < 3; ++i)
        band.chunk(Bytes().chunk(Font()).str(""));
    return band.chunk(Pen());
}

// The file, chunk by chunk: one A4 page holding one graphic object of one inch at one inch.
QByteArray PlatformDocument(const QByteArray& metafile) {
    Bytes graphic;
    graphic.i32(5080).i32(5080).u8(0).i32(0).raw(metafile).i32(0x00CC0020).u8(0);
    Bytes page;
    page.i32(0).i32(1).i32(9).chunk(Bytes().i32(2540).i32(2540)).chunk(graphic);
    Bytes document;
    document.chunk(Bytes().raw(QByteArray(8, '\0')).i32(1));
    document.chunk(Bytes().i32(21000).i32(29700).str("A4").i32(0).i32(0x808080).i32(5));
    document.chunk(Bytes().i32(2000).i32(2000).i32(2000).i32(2000).u8(0).u8(0).u8(0));
    document.chunk(Band()).chunk(Band()).chunk(page);
    return Bytes().raw(streamtest::Hex("48 E1 7A 14 AE 47 E1 9A 00 40")).chunk(document);
}

bool Near(QRgb pixel, QRgb expected) {
    return std::abs(qRed(pixel) - qRed(expected)) < 40 &&
           std::abs(qGreen(pixel) - qGreen(expected)) < 40 &&
           std::abs(qBlue(pixel) - qBlue(expected)) < 40;
}

// Red and blue squares of half an inch from one inch in, at 96 pixels per inch.
void ExpectLogo(const QImage& page) {
    for (QPoint p : {QPoint(98, 98), QPoint(141, 141)})
        EXPECT_TRUE(Near(page.pixel(p), mfw::kRed)) << p.x() << "," << p.y();
    for (QPoint p : {QPoint(146, 146), QPoint(189, 189)})
        EXPECT_TRUE(Near(page.pixel(p), mfw::kBlue)) << p.x() << "," << p.y();
    for (QPoint p : {QPoint(94, 94), QPoint(120, 170), QPoint(194, 194)})
        EXPECT_TRUE(Near(page.pixel(p), testimg::kWhite)) << p.x() << "," << p.y();
}

TEST(PlatformMetafileDocument, LoadsDrawsExportsAndSavesBackTheSameBytes) {
    const QByteArray metafile = LogoMetafile();
    const QByteArray file = PlatformDocument(metafile);
    TKpDocument document;
    streamtest::LoadBytes(document, file);
    ASSERT_EQ(document.GetPage(1)->Count(), 1);
    auto* g = dynamic_cast<TKpGraphicObject*>(document.GetPage(1)->Objects(0));
    ASSERT_TRUE(g && g->Picture);
    EXPECT_EQ(g->Picture->Form(), TKpPictureForm::Emf);
    EXPECT_EQ(g->Picture->MetafileBytes(), metafile);
    EXPECT_EQ(QSize(g->Picture->Width(), g->Picture->Height()), QSize(96, 96));

    // On screen: the page picture played at 96 pixels per inch.
    document.RefreshPage();
    TKpMetafile& picture = document.GetPage(1)->Metafile();
    QImage screen = testimg::whiteImage(picture.Width(), picture.Height());
    {
        QPainter painter(&screen);
        TKpDeviceCanvas canvas(&painter, 96, 96);
        canvas.PlayMetafile(picture, screen.rect());
    }
    ExpectLogo(screen);

    // In the PDF: the same pixels at 96 dots per inch, and the word as text.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("logo.pdf"));
    ExportToPdf(document, pdf);
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"),
                  QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("page"))});
    ASSERT_TRUE(render.waitForFinished(60000) && render.exitCode() == 0);
    ExpectLogo(
        QImage(dir.filePath(QStringLiteral("page.png"))).convertToFormat(QImage::Format_RGB32));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(60000) && text.exitCode() == 0);
    EXPECT_TRUE(text.readAllStandardOutput().contains("Logo"));

    // Saved again, only the save time (8 bytes after the first chunk's length) differs.
    QByteArray saved = streamtest::SaveBytes(document);
    ASSERT_EQ(saved.size(), file.size());
    saved.replace(18, 8, QByteArray(8, '\0'));
    EXPECT_EQ(saved.toHex(), file.toHex());
}

} // namespace
