// The command-line export and print commands, run as a separate process on a saved document.
#include <QFileInfo>

#include "print_fixture.h"

using namespace kptest;

class KppTool : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo(Tool()).isExecutable()) GTEST_SKIP() << "kpptool is not built";
        // A four-page portrait document with a word per page.
        VirtualPrinter none{std::vector<TKpVirtualPrinterSetup>{}};
        PreviewHost host;
        TKpPreview& preview = *host.preview;
        preview.AutoRefresh = false;
        for (int i = 1; i <= 4; ++i) {
            TKpPage* page = i == 1 ? preview.GetPage(1) : preview.NewPage();
            AddText(page, 2540, 2540, QStringLiteral("Leaf%1").arg(i), KpRGB(255, 0, 0));
        }
        preview.AutoRefresh = true;
        doc = dir.filePath("doc.kpp");
        preview.SaveToFile(doc);
    }
    QTemporaryDir dir;
    QString doc;
};

TEST_F(KppTool, ExportOnePerSheet) {
    const QString out = dir.filePath("one.pdf");
    const ToolResult r = RunTool({"export", doc, "-o", out});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const auto pages = PdfPages(out);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_NEAR(pages[0].width, 595, 0.5);
    const auto words = PdfWords(out);
    ASSERT_EQ(words.size(), 4u);
    EXPECT_EQ(words[3].text, QStringLiteral("Leaf4"));
    EXPECT_EQ(words[3].page, 4);
    EXPECT_NEAR(words[0].xMin, 72, 1.0);
}

TEST_F(KppTool, ExportTwoAndFourPerSheetWithRange) {
    const QString two = dir.filePath("two.pdf");
    ToolResult r = RunTool({"export", doc, "-o", two, "--pages-per-sheet", "2"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    auto pages = PdfPages(two);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NEAR(pages[0].width, 842, 0.5);

    const QString four = dir.filePath("four.pdf");
    r = RunTool({"export", doc, "-o", four, "--pages-per-sheet", "4", "--range", "2-4"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    pages = PdfPages(four);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NEAR(pages[0].width, 595, 0.5);
    const auto words = PdfWords(four);
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0].text, QStringLiteral("Leaf2"));
    // Page 2 keeps its own slot: the top-right quarter.
    EXPECT_GT(words[0].xMin, 595.0 / 2);
}

TEST_F(KppTool, ExportMonochrome) {
    const QString out = dir.filePath("mono.pdf");
    const ToolResult r = RunTool({"export", doc, "-o", out, "--mono", "--dpi", "150"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    kptest::Run("pdftoppm", {"-r", "72", "-f", "1", "-l", "1", "-png", "-singlefile", out,
                             dir.filePath("mono")});
    const QImage img = QImage(dir.filePath("mono.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(img.isNull());
    int inked = 0;
    for (int y = 72; y < 100; ++y)
        for (int x = 72; x < 130; ++x) {
            const QRgb c = img.pixel(x, y);
            if (qRed(c) < 200) ++inked;
            EXPECT_LE(std::abs(qRed(c) - qGreen(c)), 1);
        }
    EXPECT_GT(inked, 10);
}

TEST_F(KppTool, BadArgumentsAreRefusedClearly) {
    ToolResult r = RunTool({"export", doc});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains("-o OUT.pdf"));
    r = RunTool({"export", doc, "-o", dir.filePath("x.pdf"), "--pages-per-sheet", "3"});
    EXPECT_EQ(r.code, 2);
    r = RunTool({"export", doc, "-o", dir.filePath("x.pdf"), "--range", "3-9"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("beyond"));
    r = RunTool({"export", doc, "-o", dir.filePath("x.pdf"), "--range", "b-a"});
    EXPECT_EQ(r.code, 2);
    r = RunTool({"export", dir.filePath("missing.kpp"), "-o", dir.filePath("x.pdf")});
    EXPECT_EQ(r.code, 1);
    r = RunTool({"print", doc, "--printer", "No Such Printer Anywhere"});
    EXPECT_EQ(r.code, 1);
}

TEST_F(KppTool, ExportIntoAMissingFolderNamesTheFileAndTheReason) {
    const QString out = dir.filePath("no/such/dir/x.pdf");
    const ToolResult r = RunTool({"export", doc, "-o", out});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(out)) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("No such file or directory")) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
}
