// kpptool find: one line per match in millimetres, exit 1 when nothing is found.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "drawing/KpCanvas.h"
#include "drawing/KpDocument.h"

using namespace kp;

namespace {

struct Case {
    const char* name;
    QStringList args; // after FILE
    int code;
    int lines;
};

class KpptoolFind : public ::testing::TestWithParam<Case> {};

TEST_P(KpptoolFind, PrintsEveryMatch) {
    if (!QFile::exists(QStringLiteral(PAGINOR_BINARY_DIR "/kpptool")))
        GTEST_SKIP() << "kpptool not built";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.kpp"));
    TKpDocument doc;
    doc.Canvas().Brush().SetStyle(bsClear);
    doc.Canvas().TextOut(20, 30, QStringLiteral("Total due"), kpMillimeters);
    doc.NewPage();
    doc.Canvas().TextOut(40, 50, QStringLiteral("total and subtotal"), kpMillimeters);
    doc.SaveToFile(path);

    const Case& c = GetParam();
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral(PAGINOR_BINARY_DIR "/kpptool"),
               QStringList{QStringLiteral("find"), path} + c.args);
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), c.code);
    const QStringList lines = QString::fromUtf8(tool.readAllStandardOutput())
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), c.lines);
    if (c.lines == 0) return;
    // The first match stands where the text was drawn, to the pixel (0.26 mm at 96 dpi).
    const QStringList f = lines[0].split(QLatin1Char(' '));
    ASSERT_EQ(f.size(), 5);
    EXPECT_EQ(f[0], QStringLiteral("1"));
    EXPECT_NEAR(f[1].toDouble(), 20, 0.27);
    EXPECT_NEAR(f[2].toDouble(), 30, 0.27);
    EXPECT_GT(f[3].toDouble(), 5);
    EXPECT_GT(f[4].toDouble(), 2);
    EXPECT_EQ(f[1], QString::number(f[1].toDouble(), 'f', 2));
}

INSTANTIATE_TEST_SUITE_P(
    Options, KpptoolFind,
    ::testing::Values(Case{"anyCase", {QStringLiteral("total")}, 0, 3},
                      Case{"matchCase", {QStringLiteral("Total"), QStringLiteral("--case")}, 0, 1},
                      Case{"words", {QStringLiteral("total"), QStringLiteral("--words")}, 0, 2},
                      Case{"none", {QStringLiteral("absent")}, 1, 0}, Case{"usage", {}, 2, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
