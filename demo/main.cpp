// The demonstration program: creates the main window, the About box and the print dialog,
// and runs until the main window closes. With --demo NAME it runs that demo once the window
// shows; with --screenshot FILE it then saves a picture of the whole window and exits.
#include <cstdio>
#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QTimer>

#include "demo/untAbout.h"
#include "demo/untMain.h"
#include "demo/untPrint.h"

namespace {

// Lets pending paints and layout run a few rounds so the window shows its final state.
void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// Without any display Qt would abort with a terse message; say what to do instead.
bool displayAvailable(int argc, char** argv) {
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "-platform") == 0) return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (!displayAvailable(argc, argv)) {
        std::fprintf(stderr,
                     "paginor-demo: no display found (DISPLAY is not set).\n"
                     "  Run it on a desktop, or under a virtual display: xvfb-run -a %s\n"
                     "  or headless for a picture: QT_QPA_PLATFORM=offscreen %s --demo canvas "
                     "--screenshot canvas.png\n",
                     argv[0], argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("paginor-demo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Paginor demonstration"));
    parser.addHelpOption();
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral("Run the demo NAME at start (about, canvas, graphics, zooming)."),
        QStringLiteral("NAME"));
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a PNG picture of the window to FILE and exit."),
        QStringLiteral("FILE"));
    parser.addOption(demoOption);
    parser.addOption(screenshotOption);
    parser.process(app);
    const QString demo = parser.value(demoOption);
    const QString screenshot = parser.value(screenshotOption);

    TfrmMain frmMain;
    TfrmAbout frmAbout(&frmMain);
    TfrmPrint frmPrint(&frmMain);
    frmMain.SetWindows(&frmAbout, &frmPrint);

    if (!screenshot.isEmpty()) {
        // Unattended: messages go to the error stream instead of waiting for a click.
        frmMain.ShowInformation = [](const QString& text) {
            std::fprintf(stderr, "paginor-demo: %s\n", qPrintable(text));
        };
        frmMain.resize(1280, 860);
        frmMain.show();
    } else {
        frmMain.showMaximized();
    }
    settle();

    if (!demo.isEmpty() && !frmMain.RunDemo(demo)) {
        std::fprintf(stderr, "paginor-demo: unknown demo '%s' (about, canvas, graphics, zooming)\n",
                     qPrintable(demo));
        return 2;
    }
    if (!screenshot.isEmpty()) {
        settle();
        if (!frmMain.grab().save(screenshot, "PNG")) {
            std::fprintf(stderr, "paginor-demo: cannot write %s\n", qPrintable(screenshot));
            return 1;
        }
        return 0;
    }
    return app.exec();
}
