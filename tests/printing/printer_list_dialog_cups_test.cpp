// The demo's print dialog on the real spooler: the printer list picks the test queue, Enter
// prints every page and "Current Page" the page shown. Skipped unless the test runner set
// PAGINOR_CUPS_QUEUE and the spooler answers.
#include <QApplication>
#include <QKeyEvent>
#include <QRadioButton>
#include <QTimer>

#include "cups_queue.h"
#include "demo/InfoMemo.cpp"
#include "demo/untPrint.cpp" // the dialog as the demo program builds it
#include "selectors/KpPrinterList.h"

using namespace kp;

using namespace kptest;

namespace {

// Where the dark ink of page n of a PDF lies, as a fraction of the page height (-1 when the
// page has none or cannot be rendered).
double InkHeight(const QString& file, int n, const QString& stem) {
    Run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("36"), QStringLiteral("-png"),
         QStringLiteral("-singlefile"), QStringLiteral("-f"), QString::number(n),
         QStringLiteral("-l"), QString::number(n), file, stem});
    const QImage img = QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    if (img.isNull()) return -1;
    double sum = 0;
    int count = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qRed(img.pixel(x, y)) < 80) {
                sum += y;
                ++count;
            }
    return count ? sum / count / img.height() : -1;
}

} // namespace

class PrintDialogOnQueue : public ::testing::Test {
protected:
    void SetUp() override {
        queue = qEnvironmentVariable("PAGINOR_CUPS_QUEUE");
        if (queue.isEmpty()) GTEST_SKIP() << "PAGINOR_CUPS_QUEUE is not set";
        if (!SpoolerRunning()) GTEST_SKIP() << "the CUPS scheduler is not reachable";
        scope = std::make_unique<TKpScopedPrinterBackend>(MakeQtPrinterBackend());
        host = std::make_unique<PreviewHost>();
        TKpPreview& preview = *host->preview;
        preview.AutoRefresh = false;
        for (int i = 1; i <= 3; ++i) {
            TKpPage* page = i == 1 ? preview.GetPage(1) : preview.NewPage();
            // A black square a third further down on every page: 4 cm, 12 cm, 20 cm.
            const int top = 4000 + 8000 * (i - 1);
            AddRect(page, 8000, top, 12000, top + 4000, clBlack);
        }
        preview.AutoRefresh = true;
        preview.SetTitle(QStringLiteral("Paginor dialog test"));
        dialog = std::make_unique<TfrmPrint>(host->window.get());
        dialog->LinkSelectors(host->preview);
        // The user picks the test queue in the printer list.
        TKpPrinterList& list = *dialog->KpPrinterList2;
        const int index = list.findText(queue);
        ASSERT_GE(index, 0) << "queue " << queue.toStdString() << " is not listed";
        list.setCurrentIndex(index);
        emit list.activated(index);
        ASSERT_EQ(preview.KpPrinter().PrinterIndex(), index);
    }
    void TearDown() override {
        for (const QString& f : written)
            QFile::remove(f);
        dialog.reset();
        host.reset();
        scope.reset();
    }

    // Shows the dialog as the main window does, presses Enter in it, and returns where the
    // ink lies on each page of the PDF the queue wrote.
    std::vector<double> PrintWithEnter() {
        const QSet<int> before = JobIds(queue);
        dialog->Preview = host->preview;
        QTimer::singleShot(0, [this] {
            QWidget* target = dialog->focusWidget() ? dialog->focusWidget() : dialog.get();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(target, &press);
            if (dialog->isVisible()) dialog->reject();
        });
        dialog->exec();
        const QSet<int> added = JobIds(queue) - before;
        EXPECT_EQ(added.size(), 1) << "one job per print";
        if (added.size() != 1) return {};
        const QString file = WaitForJobFile(*added.begin());
        if (file.isEmpty()) return {};
        written << file;
        const std::size_t pages = PdfPages(file).size();
        EXPECT_EQ(pages, expectedPages);
        std::vector<double> ink;
        for (std::size_t n = 1; n <= pages; ++n)
            ink.push_back(InkHeight(file, static_cast<int>(n),
                                    scratch.filePath(QStringLiteral("p%1").arg(n))));
        return ink;
    }

    QString queue;
    QStringList written;
    QTemporaryDir scratch;
    std::size_t expectedPages = 0;
    ErrorCollector errors;
    std::unique_ptr<TKpScopedPrinterBackend> scope;
    std::unique_ptr<PreviewHost> host;
    std::unique_ptr<TfrmPrint> dialog;
};

// The squares' centres: 6 cm, 14 cm and 22 cm down a 29.7 cm page.
constexpr double kSquareAt[] = {6 / 29.7, 14 / 29.7, 22 / 29.7};

TEST_F(PrintDialogOnQueue, EnterPrintsAllPages) {
    expectedPages = 3;
    const auto ink = PrintWithEnter();
    ASSERT_EQ(ink.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(ink[i], kSquareAt[i], 0.03) << "page " << i + 1;
    EXPECT_TRUE(errors.texts.isEmpty());
}

TEST_F(PrintDialogOnQueue, CurrentPagePrintsThePageShown) {
    host->preview->SetCurrentPage(2);
    dialog->RadioButton1->setChecked(true);
    expectedPages = 1;
    const auto ink = PrintWithEnter();
    ASSERT_EQ(ink.size(), 1u);
    EXPECT_NEAR(ink[0], kSquareAt[1], 0.03);
}
