// The built demo program run under a virtual X display for each demo, its window
// picture checked against simple expectations: a window-sized, colourful picture with a
// white sheet in the preview and blue-framed thumbnails in the strip.
// Skipped when Xvfb (xvfb-run) or the demo program is not there. Set PAGINOR_SCREENSHOT_DIR
// to keep the pictures.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

struct Shot {
    QImage image;
    QString error;
};

Shot takeScreenshot(const QString& demo, const QString& dir) {
    const QString program = QStringLiteral(PAGINOR_BINARY_DIR "/paginor-demo");
    const QString file = QDir(dir).filePath(demo + QStringLiteral(".png"));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM")); // the real X platform, on Xvfb
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("xvfb-run"),
            {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1280x1024x24"),
             program, QStringLiteral("--demo"), demo, QStringLiteral("--screenshot"), file});
    if (!p.waitForFinished(120000)) {
        p.kill();
        return {{}, QStringLiteral("timed out")};
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {{},
                QStringLiteral("exit code %1: %2")
                    .arg(p.exitCode())
                    .arg(QString::fromLocal8Bit(p.readAllStandardError()))};
    return {QImage(file), QString()};
}

} // namespace

TEST(DemoScreenshots, EveryDemoUnderXvfb) {
    if (QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty())
        GTEST_SKIP() << "xvfb-run is not installed";
    if (!QFileInfo::exists(QStringLiteral(PAGINOR_BINARY_DIR "/paginor-demo")))
        GTEST_SKIP() << "paginor-demo is not built";
    QTemporaryDir temp;
    const QString keep = qEnvironmentVariable("PAGINOR_SCREENSHOT_DIR");
    if (!keep.isEmpty()) QDir().mkpath(keep);
    const QString dir = keep.isEmpty() ? temp.path() : keep;

    for (const char* name : {"about", "canvas", "graphics", "zooming", "richtext", "stringgrid",
                             "treeview", "labels"}) {
        SCOPED_TRACE(name);
        const Shot shot = takeScreenshot(QString::fromLatin1(name), dir);
        ASSERT_TRUE(shot.error.isEmpty()) << shot.error.toStdString();
        const QImage& img = shot.image;
        ASSERT_FALSE(img.isNull());
        EXPECT_GE(img.width(), 800);
        EXPECT_GE(img.height(), 560);

        // Not blank: many colours.
        QSet<QRgb> colours;
        for (int y = 0; y < img.height(); y += 3)
            for (int x = 0; x < img.width(); x += 3)
                colours.insert(img.pixel(x, y) & 0xFFFFFF);
        EXPECT_GT(colours.size(), 50);

        // A sheet: a white run at least 100 pixels wide in the upper two thirds, right of
        // the feature column.
        int longestWhite = 0;
        for (int y = img.height() / 6; y < img.height() * 2 / 3; y += 4) {
            int run = 0;
            for (int x = 140; x < img.width(); ++x) {
                run = (img.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF ? run + 1 : 0;
                longestWhite = std::max(longestWhite, run);
            }
        }
        EXPECT_GE(longestWhite, 100);

        // Thumbnails: the current one framed in pure blue in the lower part of the window.
        int blue = 0;
        for (int y = img.height() * 3 / 4; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                blue += (img.pixel(x, y) & 0xFFFFFF) == 0x0000FF;
        EXPECT_GT(blue, 20);
    }
}
