// Pictures loaded from enhanced and 16-bit metafile files, drawn through the recording canvas:
// the object keeps the metafile and draws it into its box.
#include <gtest/gtest.h>

#include <stdexcept>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "drawing/KpCanvas.h"
#include "drawing/KpDocument.h"
#include "drawing/KpDrawContext.h"
#include "drawing/KpObjects.h"
#include "drawing/KpPage.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"

#include "platform/metafile_writer.h"

using namespace kp;

namespace {

// Half an inch wide, a quarter inch high; a red square fills its left half.
QByteArray Emf() {
    mfw::Emf e(1270, 635);
    e.rec(37, {int(0x80000008)}).rec(39, {1, 0, 0x0000FF, 0}).rec(37, {1});
    return e.rec(43, {0, 0, 24, 24}).done();
}
QByteArray Wmf() {
    mfw::Wmf w(true, 0, 0, 48, 24, 96);
    w.rec(0x02FC, {0, 0x00FF, 0, 0}).rec(0x012D, {0});
    w.rec(0x02FA, {5, 0, 0, 0, 0}).rec(0x012D, {1});
    return w.rec(0x041B, {24, 24, 0, 0}).done();
}

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

TEST(CanvasMetafileFile, DrawRecordsTheMetafileAtItsNaturalSizeAndStretchDrawFillsTheBox) {
    QTemporaryDir dir;
    // The extension says nothing: the content tells the forms apart.
    const struct {
        QString name;
        QByteArray bytes;
        TKpPictureForm form;
    } cases[] = {{QStringLiteral("a.emf"), Emf(), TKpPictureForm::Emf},
                 {QStringLiteral("a.pic"), Wmf(), TKpPictureForm::Wmf}};
    for (const auto& c : cases) {
        TKpMetafile picture;
        picture.LoadFromFile(Write(dir, c.name, c.bytes));
        EXPECT_EQ(picture.Form(), c.form);
        EXPECT_EQ(QSize(picture.Width(), picture.Height()), QSize(48, 24));

        TKpDocument document;
        document.Canvas().Draw(10, 20, &picture, 1.0L, kpPixels);
        document.Canvas().StretchDraw(0, 40, 96, 88, &picture, kpPixels);
        ASSERT_EQ(document.GetPage(1)->Count(), 2);
        auto* drawn = dynamic_cast<TKpGraphicObject*>(document.GetPage(1)->Objects(0));
        ASSERT_TRUE(drawn && drawn->Picture);
        EXPECT_EQ(drawn->Picture->MetafileBytes(), c.bytes);
        EXPECT_EQ(QRect(QPoint(drawn->X1, drawn->Y1), QPoint(drawn->X2, drawn->Y2)),
                  QRect(QPoint(265, 529), QPoint(1535, 1164)));

        QImage img(100, 100, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter painter(&img);
            TKpDeviceCanvas canvas(&painter, 96, 96);
            for (int i = 0; i < 2; ++i)
                document.GetPage(1)->Objects(i)->Draw(canvas, TKpDrawContext::Current(false), {},
                                                      1);
        }
        // Drawn: red over (10, 20)-(32, 42); stretched twice: red over (0, 40)-(45, 85) (a
        // rectangle without a pen is one unit smaller).
        const QRgb red = qRgb(255, 0, 0), white = qRgb(255, 255, 255);
        EXPECT_EQ(img.pixel(11, 21), red);
        EXPECT_EQ(img.pixel(32, 38), red);
        EXPECT_EQ(img.pixel(36, 30), white);
        EXPECT_EQ(img.pixel(1, 84), red);
        EXPECT_EQ(img.pixel(44, 60), red);
        EXPECT_EQ(img.pixel(50, 60), white);
    }
}

TEST(CanvasMetafileFile, OtherFilesAreRefused) {
    QTemporaryDir dir;
    TKpMetafile picture;
    EXPECT_THROW(picture.LoadFromFile(Write(dir, QStringLiteral("x.emf"), "not a metafile")),
                 std::runtime_error);
    EXPECT_THROW(picture.LoadFromFile(dir.filePath(QStringLiteral("missing.emf"))),
                 std::runtime_error);
    EXPECT_TRUE(picture.Empty());
}

} // namespace
