// kpptool picture: a metafile rendered at its frame size, at the resolution asked for.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "drawing/KpDocument.h"
#include "drawing/KpObjects.h"
#include "drawing/KpPage.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "platform/metafile_writer.h"

using namespace kp;

namespace {

struct Result {
    int code = -1;
    QByteArray err;
};

Result RunPicture(const QStringList& args, QByteArray* out = nullptr) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(PAGINOR_BINARY_DIR "/kpptool"),
            out ? args : QStringList{"picture"} + args);
    EXPECT_TRUE(p.waitForFinished(60000));
    if (out) *out = p.readAllStandardOutput();
    return {p.exitCode(), p.readAllStandardError()};
}

QString WriteFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

TEST(KpptoolPicture, RendersTheFrameAtTheAskedResolution) {
    QTemporaryDir dir;
    // A 1 x 0.5 inch frame; a black-framed white rectangle from (20, 10) to (60, 40) at 96 dpi.
    mfw::Emf e(2540, 1270);
    e.rec(37, {int32_t(0x80000007)}).rec(43, {20, 10, 60, 40});
    const QString in = WriteFile(dir, "box.emf", e.done());
    const QString out = dir.filePath(QStringLiteral("box.png"));
    struct Case {
        const char* dpi;
        QSize size;
        QPoint corner; // the rectangle's top-left pixel
    } cases[] = {{"96", QSize(96, 48), QPoint(20, 10)}, {"192", QSize(192, 96), QPoint(40, 20)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        const Result r = RunPicture({in, "-o", out, "--dpi", c.dpi});
        ASSERT_EQ(r.code, 0) << r.err.constData();
        const QImage image(out);
        EXPECT_EQ(image.size(), c.size);
        EXPECT_EQ(qGray(image.pixel(c.corner)), 0);
        EXPECT_EQ(qGray(image.pixel(c.corner - QPoint(1, 1))), 255);
    }
}

TEST(KpptoolPicture, RefusesWhatIsNoMetafileAndReportsDamage) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("x.png"));
    const QString text = WriteFile(dir, "text.emf", "just some text, no records");
    Result r = RunPicture({text, "-o", out});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("not an enhanced or 16-bit metafile")) << r.err.constData();
    EXPECT_EQ(RunPicture({text}).code, 2);

    // A record claiming more bytes than the file holds: drawn up to it, and said so.
    mfw::Emf e(2540, 1270);
    QByteArray bytes = e.rec(43, {20, 10, 60, 40}).done();
    mfw::put32(bytes, int(bytes.size()) - 40, 4000);
    r = RunPicture({WriteFile(dir, "cut.emf", bytes), "-o", out});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.err.contains("warning")) << r.err.constData();
    EXPECT_TRUE(QFile::exists(out));
}

// `dump` tells each graphic's image apart. A 16-bit metafile is saved as a recording of
// itself (the file keeps only enhanced metafiles as they are).
TEST(KpptoolPicture, DumpNamesTheKindOfEachPicture) {
    QTemporaryDir dir;
    TKpMetafile emf, wmf, recorded;
    const QByteArray emfBytes = mfw::Emf(2540, 2540).rec(43, {0, 0, 9, 9}).done();
    ASSERT_TRUE(emf.LoadFromBytes(emfBytes));
    ASSERT_TRUE(
        wmf.LoadFromBytes(mfw::Wmf(true, 0, 0, 96, 96, 96).rec(0x041B, {9, 9, 0, 0}).done()));
    recorded.SetWidth(10);
    recorded.SetHeight(10);
    TKpMetafileCanvas(recorded).Canvas().Rectangle(0, 0, 5, 5);
    TKpDocument document;
    for (const TKpMetafile* picture : {&emf, &recorded, &wmf, static_cast<TKpMetafile*>(nullptr)}) {
        auto g = std::make_unique<TKpGraphicObject>();
        if (picture)
            g->SetPicture(*picture);
        else
            g->SetBitmap(QImage(2, 2, QImage::Format_RGB32));
        document.GetPage(1)->AddObject(std::move(g));
    }
    document.GetPage(1)->AddObject(std::make_unique<TKpGraphicObject>());
    const QString path = dir.filePath(QStringLiteral("pictures.kpp"));
    document.SaveToFile(path);

    QByteArray out;
    const Result r = RunPicture({QStringLiteral("dump"), path}, &out);
    ASSERT_EQ(r.code, 0) << r.err.constData();
    const QJsonArray objects =
        QJsonDocument::fromJson(out).object()["pages"].toArray()[0].toObject()["objects"].toArray();
    QStringList kinds;
    for (const auto& o : objects)
        kinds << o.toObject()["Picture"].toString();
    EXPECT_EQ(kinds, (QStringList{"emf", "picture", "picture", "bitmap", "none"}));
    EXPECT_EQ(objects[0].toObject()["ImageBytes"].toInt(), emfBytes.size());
}

} // namespace
