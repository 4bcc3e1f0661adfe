// The demonstration program: creates the main window, the About box and the print dialog,
// and runs until the main window closes. With --demo NAME it runs that demo once the window
// shows. Asked to write something (--screenshot, --export, --save) it runs unattended: the
// demo, then every output in turn, and exits (0 when nothing failed).
#include <cstdio>
#include <functional>
#include <vector>

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include "demo/DemoApplication.h"
#include "demo/FindBar.h"
#include "demo/untAbout.h"
#include "demo/untMain.h"
#include "demo/untPrint.h"
#include "printing/KpErrors.h"
#include "printing/KpPdfExport.h"

using namespace kp;

namespace {

// Lets pending paints and layout run a few rounds so the window shows its final state.
void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// Without any display Qt would abort with a terse message; say what to do instead.
bool displayAvailable(int argc, char** argv) {
    if (!qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "-platform") == 0) return true;
    return false;
}

// When an option's step runs: before the demo (its inputs), after it, or as an output (which
// makes the run unattended).
enum class Phase { BeforeDemo, AfterDemo, Output };

// One command-line option with a value and the step it runs on the window. A step signals a
// failure by raising; the application reports it and the run goes on with the next step.
struct StepOption {
    const char* name;
    const char* valueName;
    const char* help;
    Phase phase;
    std::function<void(TfrmMain& window, const QString& value)> run;
};

// Runs steps one after the other, each as its own event, the next posted when the one before
// has finished (also when it raised).
class StepChain {
public:
    StepChain(QObject* context, std::vector<std::function<void()>> steps)
        : context_(context), steps_(std::move(steps)) {}
    void Start() { post(0); }

private:
    void post(std::size_t i) {
        if (i >= steps_.size()) return;
        QTimer::singleShot(0, context_, [this, i] {
            struct Next {
                StepChain* chain;
                std::size_t i;
                ~Next() { chain->post(i + 1); }
            } next{this, i};
            steps_[i]();
        });
    }
    QObject* context_;
    std::vector<std::function<void()>> steps_;
};

void fail(const QString& text) {
    throw std::runtime_error(text.toStdString());
}

// The width --screenshot pictures are scaled to (0: as the window is).
int screenshotWidth = 0;

// The window's picture, scaled down to a small palette picture when a width is asked for.
QImage windowPicture(TfrmMain& w) {
    const QImage shot = w.grab().toImage();
    if (screenshotWidth <= 0 || screenshotWidth >= shot.width()) return shot;
    return shot.scaledToWidth(screenshotWidth, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
}

const std::vector<StepOption>& stepOptions() {
    static const std::vector<StepOption> options = {
        {"rtf", "FILE", "The rich text file the richtext demo lays out (default: Paginor.rtf).",
         Phase::BeforeDemo, [](TfrmMain& w, const QString& f) { w.DemoRtfFile = f; }},
        {"open", "FILE.kpp", "Open a document (native or older format) after the demo.",
         Phase::AfterDemo, [](TfrmMain& w, const QString& f) { w.OpenDocument(f); }},
        {"zoom", "PERCENT", "Zoom the preview after the demo, as the zoom box does.",
         Phase::AfterDemo,
         [](TfrmMain& w, const QString& v) {
             bool ok = false;
             const int zoom = v.toInt(&ok);
             if (!ok) fail(QStringLiteral("--zoom wants a percentage, not '%1'").arg(v));
             w.KpPreview1->SetZoom(zoom);
         }},
        {"view", "MODE", "Show the preview as single, facing or continuous after the demo.",
         Phase::AfterDemo,
         [](TfrmMain& w, const QString& v) {
             const QStringList modes{QStringLiteral("single"), QStringLiteral("facing"),
                                     QStringLiteral("continuous")};
             const int mode = static_cast<int>(modes.indexOf(v));
             if (mode < 0)
                 fail(QStringLiteral("--view wants single, facing or continuous, not '%1'").arg(v));
             w.KpPreview1->SetViewMode(static_cast<TKpViewMode>(mode));
         }},
        {"find", "TEXT", "Find TEXT in the document after the demo, as the find bar does.",
         Phase::AfterDemo, [](TfrmMain& w, const QString& text) { w.FindBar1->Find(text); }},
        {"save", "FILE.kpp", "Save the document to FILE.kpp.", Phase::Output,
         [](TfrmMain& w, const QString& f) { w.SaveDocument(f); }},
        {"export", "FILE.pdf", "Export the document as a PDF file.", Phase::Output,
         [](TfrmMain& w, const QString& f) { ExportToPdf(*w.KpPreview1, f); }},
        {"screenshot-width", "PIXELS",
         "Scale --screenshot pictures down to this width, in at most 256 colours.",
         Phase::BeforeDemo,
         [](TfrmMain&, const QString& v) {
             bool ok = false;
             screenshotWidth = v.toInt(&ok);
             if (!ok || screenshotWidth < 1) {
                 screenshotWidth = 0;
                 fail(QStringLiteral("--screenshot-width wants a number of pixels, not '%1'")
                          .arg(v));
             }
         }},
        {"screenshot", "FILE.png", "Save a PNG picture of the window.", Phase::Output,
         [](TfrmMain& w, const QString& f) {
             settle();
             if (!windowPicture(w).save(f, "PNG")) fail(QStringLiteral("Cannot write %1").arg(f));
         }},
    };
    return options;
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
    TDemoApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("paginor-demo"));

    const QString demoNames = TfrmMain::DemoNames().join(QStringLiteral(", "));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Paginor demonstration"));
    parser.addHelpOption();
    const QCommandLineOption demoOption(
        QStringLiteral("demo"), QStringLiteral("Run the demo NAME at start (%1).").arg(demoNames),
        QStringLiteral("NAME"));
    parser.addOption(demoOption);
    std::vector<QCommandLineOption> stepParsers;
    for (const StepOption& o : stepOptions()) {
        stepParsers.emplace_back(QString::fromLatin1(o.name), QString::fromLatin1(o.help),
                                 QString::fromLatin1(o.valueName));
        parser.addOption(stepParsers.back());
    }
    parser.process(app);
    const QString demo = parser.value(demoOption);
    if (!demo.isEmpty() && !TfrmMain::DemoNames().contains(demo)) {
        std::fprintf(stderr, "paginor-demo: unknown demo '%s' (%s)\n", qPrintable(demo),
                     qPrintable(demoNames));
        return 2;
    }
    bool unattended = false;
    for (std::size_t i = 0; i < stepOptions().size(); ++i)
        unattended |= stepOptions()[i].phase == Phase::Output && parser.isSet(stepParsers[i]);

    TfrmMain frmMain;
    TfrmAbout frmAbout(&frmMain);
    TfrmPrint frmPrint(&frmMain);
    frmMain.SetWindows(&frmAbout, &frmPrint);

    int failures = 0;
    if (unattended) {
        // Messages and errors go to the error stream instead of waiting for a click.
        auto toStderr = [](const QString& text) {
            std::fprintf(stderr, "paginor-demo: %s\n", qPrintable(text));
        };
        frmMain.ShowInformation = toStderr;
        SetErrorReporter(toStderr);
        SetDemoErrorSink([&failures, toStderr](const QString& text) {
            ++failures;
            toStderr(text);
        });
        frmMain.resize(1280, 860);
        frmMain.show();
    } else {
        // The library reports its errors to whoever asks: the demo shows them in a box.
        SetErrorReporter([&frmMain](const QString& text) {
            QMessageBox::information(&frmMain, QApplication::applicationDisplayName(), text);
        });
        frmMain.showMaximized();
    }
    settle();

    // Each step is its own event, so an error in one is reported and the next still runs. A
    // step is posted only once the one before has finished: demos and loads let pending
    // events run in their middle, and a later step must not run there.
    std::vector<std::function<void()>> steps;
    auto addPhase = [&](Phase phase) {
        for (std::size_t i = 0; i < stepOptions().size(); ++i) {
            const StepOption& o = stepOptions()[i];
            if (o.phase != phase || !parser.isSet(stepParsers[i])) continue;
            const QString value = parser.value(stepParsers[i]);
            steps.push_back([&frmMain, &o, value] { o.run(frmMain, value); });
        }
    };
    addPhase(Phase::BeforeDemo);
    if (!demo.isEmpty()) steps.push_back([&frmMain, demo] { frmMain.RunDemo(demo); });
    addPhase(Phase::AfterDemo);
    if (unattended) {
        addPhase(Phase::Output);
        steps.push_back([&failures] { QCoreApplication::exit(failures == 0 ? 0 : 1); });
    }
    StepChain chain(&frmMain, std::move(steps));
    chain.Start();
    return app.exec();
}
