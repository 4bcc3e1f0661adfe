// A document under a QGuiApplication only: made through its canvas, saved, read into a second
// document and exported as a PDF whose text reads back; its events name the document.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>

#include "drawing/KpCanvas.h"
#include "drawing/KpDocument.h"
#include "drawing/KpHeaderFooter.h"
#include "printing/KpPdfExport.h"

using namespace kp;

namespace {

// The PDF's text, one entry a page.
QStringList PdfPages(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

TEST(DocumentOnly, ThreePagesSavedLoadedAndExportedWithoutWidgets) {
    ASSERT_EQ(qobject_cast<QApplication*>(QCoreApplication::instance()), nullptr);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TKpDocument report;
    report.Footer().SetCaptionCenter(QStringLiteral("Sheet {PAGE} of {NUMPAGES}"));
    report.Footer().SetVisible(true);
    for (int page = 1; page <= 3; ++page) {
        if (page > 1) report.NewPage();
        report.Canvas().TextOut(20, 20, QStringLiteral("Quarter %1 figures").arg(page),
                                kpMillimeters);
    }
    ASSERT_EQ(report.NumPages(), 3);
    EXPECT_EQ(report.CurrentPage(), 3);
    const QString file = dir.filePath(QStringLiteral("report.kpp"));
    report.SaveToFile(file);

    TKpDocument copy;
    int progress = 0;
    copy.OnLoadProgess = [&](void* sender, int percent) {
        EXPECT_EQ(sender, &copy);
        progress = percent;
    };
    copy.LoadFromFile(file);
    EXPECT_EQ(progress, 100);
    ASSERT_EQ(copy.NumPages(), 3);
    EXPECT_EQ(copy.LoadedPageCount, 3);
    EXPECT_EQ(copy.Footer().CaptionCenter(), QStringLiteral("Sheet {PAGE} of {NUMPAGES}"));

    // The copy saves the same bytes as the original but for the save time (one double).
    QBuffer first, second;
    first.open(QIODevice::WriteOnly);
    second.open(QIODevice::WriteOnly);
    report.SaveToStream(first);
    copy.SaveToStream(second);
    ASSERT_EQ(first.data().size(), second.data().size());
    qsizetype from = -1, to = -1;
    for (qsizetype i = 0; i < first.data().size(); ++i) {
        if (first.data()[i] == second.data()[i]) continue;
        if (from < 0) from = i;
        to = i;
    }
    EXPECT_LT(to - from, 8);

    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    ExportToPdf(copy, pdf, TKpPdfExportOptions{});
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 3);
    for (int page = 1; page <= 3; ++page) {
        EXPECT_TRUE(pages[page - 1].contains(QStringLiteral("Quarter %1 figures").arg(page)));
        EXPECT_TRUE(pages[page - 1].contains(QStringLiteral("Sheet %1 of 3").arg(page)));
    }
}

TEST(DocumentOnly, EventsNameTheDocumentInOrder) {
    TKpDocument document;
    QStringList seen;
    document.OnPageChanging = [&](void* sender, int n) {
        EXPECT_EQ(sender, &document);
        seen << QStringLiteral("changing %1").arg(n);
    };
    document.OnPageChange = [&](void* sender, int n) {
        EXPECT_EQ(sender, &document);
        seen << QStringLiteral("change %1").arg(n);
    };
    document.OnNewPage = [&](void* sender) {
        EXPECT_EQ(sender, &document);
        seen << QStringLiteral("new");
    };
    document.OnDeletePage = [&](void*) { seen << QStringLiteral("delete"); };
    document.OnClear = [&](void*) { seen << QStringLiteral("clear"); };
    document.NewPage();
    document.Pages().DeletePage(1);
    document.Clear();
    EXPECT_EQ(seen, (QStringList{"changing 2", "change 2", "new", "changing 1", "change 1",
                                 "delete", "clear"}));
    EXPECT_EQ(document.NumPages(), 1);
    EXPECT_EQ(document.Canvas().Page(), document.GetPage(1));
}

} // namespace
