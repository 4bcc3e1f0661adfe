// kpptool dump and render, run as the built program on documents saved here.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "drawing/KpObjects.h"
#include "object_builders.h"
#include "preview/KpPreview.h"

using namespace kp;

namespace {

struct Result {
    int code = -1;
    QByteArray out, err;
};

Result RunTool(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(PAGINOR_BINARY_DIR "/kpptool"), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

class KpptoolFiles : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(QStringLiteral(PAGINOR_BINARY_DIR "/kpptool")))
            GTEST_SKIP() << "kpptool not built";
        path = dir.filePath(QStringLiteral("doc.kpp"));
        QWidget host;
        TKpPreview preview(&host);
        preview.SetOrientation(kpLandscape);
        preview.Margins().Left().value = 1000;
        preview.Margins().SetVisible(true);
        preview.Header().SetCaptionLeft(QStringLiteral("Head"));
        preview.Header().CaptionLeftFont().SetStyle(FontStyleBit(fsBold) | FontStyleBit(fsItalic));
        kptest::AddRect(preview.GetPage(1), 2540, 2540, 5080, 5080, clRed, clRed);
        preview.NewPage();
        kptest::AddObject<TKpPolyLineObject>(preview.GetPage(2))->Points = {QPoint(1, 2),
                                                                            QPoint(3, 4)};
        auto* text = kptest::AddObject<TKpTextObject>(preview.GetPage(2));
        text->Text = QStringLiteral("Hello");
        text->Font.Edit().Style = FontStyleBit(fsUnderline);
        preview.SaveToFile(path);
    }
    QTemporaryDir dir;
    QString path;
};

} // namespace

TEST_F(KpptoolFiles, DumpPrintsTheDocumentAsJson) {
    const Result r = RunTool({QStringLiteral("dump"), path});
    ASSERT_EQ(r.code, 0) << r.err.constData();
    const QJsonObject doc = QJsonDocument::fromJson(r.out).object();
    EXPECT_NEAR(doc["version"].toDouble(), 2.42, 1e-12);
    const QJsonObject paper = doc["paper"].toObject();
    EXPECT_EQ(paper["size"].toString(), QStringLiteral("A4"));
    EXPECT_EQ(paper["width"].toInt(), 29700);
    EXPECT_EQ(paper["height"].toInt(), 21000);
    EXPECT_EQ(paper["orientation"].toInt(), 1);
    const QJsonObject margins = doc["margins"].toObject();
    EXPECT_EQ(margins["Left"].toInt(), 1000);
    EXPECT_EQ(margins["Top"].toInt(), 2000);
    EXPECT_TRUE(margins["Visible"].toBool());
    EXPECT_FALSE(margins["ClipMargins"].toBool());
    const QJsonObject header = doc["header"].toObject();
    EXPECT_EQ(header["CaptionLeft"].toString(), QStringLiteral("Head"));
    EXPECT_EQ(header["CaptionLeftFont"].toObject()["Style"].toString(), QStringLiteral("BI"));
    EXPECT_TRUE(header["ShowLine"].toBool());
    EXPECT_EQ(header["Pen"].toObject()["Width"].toInt(), 1);
    const QJsonArray pages = doc["pages"].toArray();
    ASSERT_EQ(pages.size(), 2);
    const QJsonObject rect = pages[0].toObject()["objects"].toArray()[0].toObject();
    EXPECT_EQ(rect["ObjectType"].toInt(), 4);
    EXPECT_EQ(rect["X1"].toInt(), 2540);
    EXPECT_EQ(rect["Y2"].toInt(), 5080);
    EXPECT_EQ(rect["Brush"].toObject()["Color"].toInt(), 0xFF);
    EXPECT_EQ(rect["Pen"].toObject()["Mode"].toInt(), 4);
    const QJsonArray objects2 = pages[1].toObject()["objects"].toArray();
    ASSERT_EQ(objects2.size(), 2);
    EXPECT_EQ(objects2[0].toObject()["Points"].toArray(),
              (QJsonArray{QJsonArray{1, 2}, QJsonArray{3, 4}}));
    EXPECT_EQ(objects2[1].toObject()["Text"].toString(), QStringLiteral("Hello"));
    EXPECT_EQ(objects2[1].toObject()["Font"].toObject()["Style"].toString(), QStringLiteral("U"));
}

TEST_F(KpptoolFiles, RenderDrawsOnePage) {
    const QString out = dir.filePath(QStringLiteral("p1.png"));
    const Result r = RunTool({QStringLiteral("render"), path, QStringLiteral("--page"),
                              QStringLiteral("1"), QStringLiteral("-o"), out});
    ASSERT_EQ(r.code, 0) << r.err.constData();
    QImage image(out);
    ASSERT_FALSE(image.isNull());
    // A4 landscape at 96 pixels per inch.
    EXPECT_EQ(image.width(), 1123);
    EXPECT_EQ(image.height(), 794);
    // The rectangle covers pixels 96 to 191 in both directions.
    EXPECT_EQ(image.pixel(140, 140), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(80, 140), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(200, 200), qRgb(255, 255, 255));

    const QString half = dir.filePath(QStringLiteral("half.png"));
    ASSERT_EQ(
        RunTool({QStringLiteral("render"), path, QStringLiteral("--page"), QStringLiteral("1"),
                 QStringLiteral("--zoom"), QStringLiteral("50"), QStringLiteral("-o"), half})
            .code,
        0);
    QImage small(half);
    EXPECT_EQ(small.width(), 562);
    EXPECT_EQ(small.pixel(70, 70), qRgb(255, 0, 0));
}

TEST_F(KpptoolFiles, BadInputGivesOneLineAndNonZeroExit) {
    QFile bad(dir.filePath(QStringLiteral("bad.kpp")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("short");
    bad.close();
    for (const QStringList& args :
         {QStringList{QStringLiteral("dump"), bad.fileName()},
          QStringList{QStringLiteral("dump"), dir.filePath(QStringLiteral("missing.kpp"))},
          QStringList{QStringLiteral("render"), path, QStringLiteral("--page"), QStringLiteral("9"),
                      QStringLiteral("-o"), dir.filePath(QStringLiteral("x.png"))},
          QStringList{QStringLiteral("render"), path, QStringLiteral("-o")},
          QStringList{QStringLiteral("nonsense")}}) {
        const Result r = RunTool(args);
        EXPECT_NE(r.code, 0) << args.join(' ').toStdString();
        // One line of error; an unknown command adds the usage, every line of it naming the tool.
        const QList<QByteArray> lines = r.err.trimmed().split('\n');
        if (args[0] == QLatin1String("nonsense")) {
            EXPECT_GT(lines.size(), 2) << r.err.constData();
            for (qsizetype i = 1; i < lines.size(); ++i)
                EXPECT_TRUE(lines[i].contains("kpptool ")) << lines[i].constData();
        } else {
            EXPECT_EQ(lines.size(), 1) << r.err.constData();
        }
        EXPECT_TRUE(r.err.startsWith("kpptool: error:")) << r.err.constData();
    }
}

// Paper of 5 m x 5 m loads and draws, but its image at 100 % is refused in one line.
TEST_F(KpptoolFiles, RenderRefusesAnImageOverTheLimit) {
    {
        QWidget host;
        TKpPreview preview(&host);
        preview.PaperWidth().SetMillimeters(5000);
        preview.PaperHeight().SetMillimeters(5000);
        preview.SaveToFile(path);
    }
    const Result r =
        RunTool({QStringLiteral("render"), path, QStringLiteral("--page"), QStringLiteral("1"),
                 QStringLiteral("-o"), dir.filePath(QStringLiteral("big.png"))});
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.err.startsWith("kpptool: error: a 18898 x 18898 pixel image is too large"))
        << r.err.constData();
    EXPECT_EQ(r.err.count('\n'), 1);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("big.png"))));
}
