// Failures come back to the caller: a PDF export onto a path that cannot be written, a job
// without a printer, a job while another prints. Without a reporter nothing opens a window:
// the report goes to Qt's warnings.
#include <QApplication>
#include <QWidget>

#include "drawing/KpCanvas.h"
#include "print_fixture.h"

using namespace kp;
using namespace kptest;

namespace {

// Takes Qt's warnings for its lifetime, so that the default reporter can be heard.
class WarningCollector {
public:
    WarningCollector() { previous_ = qInstallMessageHandler(&WarningCollector::handle); }
    ~WarningCollector() { qInstallMessageHandler(previous_); }
    static QStringList& Texts() {
        static QStringList texts;
        return texts;
    }

private:
    static void handle(QtMsgType, const QMessageLogContext&, const QString& text) {
        if (text.contains(QStringLiteral(" Error...\n\n"))) Texts() << text;
    }
    QtMessageHandler previous_;
};

struct ErrorsToCaller : ::testing::Test {
    void SetUp() override {
        WarningCollector::Texts().clear();
        widgetsBefore = QApplication::topLevelWidgets().size();
        preview.Canvas().TextOut(10, 10, QStringLiteral("one page"), kpMillimeters);
    }
    // Nothing the library did opened a window.
    void TearDown() override { EXPECT_EQ(QApplication::topLevelWidgets().size(), widgetsBefore); }
    VirtualPrinter printer{TKpVirtualPrinterSetup{}};
    PreviewHost host;
    TKpPreview& preview = *host.preview;
    WarningCollector warnings;
    qsizetype widgetsBefore = 0;
};

} // namespace

TEST_F(ErrorsToCaller, AnExportOntoAPathThatCannotBeWrittenSaysWhy) {
    const TKpResult result = ExportToPdf(preview, QStringLiteral("/no/such/folder/out.pdf"));
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.Error.startsWith(QStringLiteral("Unable to start the print job on")))
        << result.Error.toStdString();
    // Reported too, as a warning since no reporter is installed.
    ASSERT_EQ(WarningCollector::Texts().size(), 1);
    EXPECT_EQ(WarningCollector::Texts()[0],
              QStringLiteral("TKpPreview Error...\n\n") + result.Error);

    QTemporaryDir dir;
    EXPECT_TRUE(ExportToPdf(preview, dir.filePath(QStringLiteral("ok.pdf"))).Ok());
    EXPECT_TRUE(ExportToPdf(preview.Document(), dir.filePath(QStringLiteral("doc.pdf"))).Ok());
}

TEST_F(ErrorsToCaller, JobsSayWhyTheyDidNotRun) {
    TKpResult nested;
    PreviewHost other;
    preview.BeforePrintPage = [&](void*, TKpPage*, void*) { nested = other.preview->Print(); };
    QTemporaryDir dir;
    preview.PrintToFile = dir.filePath(QStringLiteral("outer.pdf"));
    EXPECT_TRUE(preview.Print().Ok());
    EXPECT_EQ(nested.Error,
              QStringLiteral("Unable to initialise printer... Printing in progress."));

    VirtualPrinter none{std::vector<TKpVirtualPrinterSetup>{}};
    EXPECT_EQ(other.preview->PrintCurrentPage().Error, QStringLiteral("No printer selected"));
}

TEST_F(ErrorsToCaller, AnInstalledReporterHearsWhatTheCallerIsTold) {
    ErrorCollector reporter;
    const TKpResult result = ExportToPdf(preview, QStringLiteral("/no/such/folder/out.pdf"));
    ASSERT_EQ(reporter.texts.size(), 1);
    EXPECT_TRUE(reporter.texts[0].endsWith(result.Error));
    EXPECT_TRUE(WarningCollector::Texts().isEmpty());
}
