// What the export adds to the PDF Qt writes: the whole title, author and subject, link
// annotations and the outline, read back with qpdf and pdfinfo; and files it must not touch.
#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "drawing/KpDocument.h"
#include "print_fixture.h"
#include "printing/KpPdfExport.h"
#include "printing/KpPdfUpdate.h"

using namespace kp;
using namespace kptest;

namespace {

// The file as qpdf reads it: its objects, pages and outline.
struct QpdfView {
    QJsonObject objects;
    QJsonArray pages, outlines;
    bool ok = false;
    explicit QpdfView(const QString& file) {
        const QJsonObject json =
            QJsonDocument::fromJson(
                Run(QStringLiteral("qpdf"), {QStringLiteral("--json"), file}).toUtf8())
                .object();
        objects = json.value("qpdf").toArray().at(1).toObject();
        pages = json.value("pages").toArray();
        outlines = json.value("outlines").toArray();
        ok = !objects.isEmpty();
    }
    QJsonObject Object(const QJsonValue& ref) const {
        return objects.value(QStringLiteral("obj:") + ref.toString())
            .toObject()
            .value("value")
            .toObject();
    }
    double PageHeight(int index) const {
        return Object(pages.at(index).toObject().value("object"))
            .value("/MediaBox")
            .toArray()
            .at(3)
            .toDouble();
    }
};

struct Annot {
    int page; // from 1
    double x1, y1, x2, y2;
    QString uri;
};

std::vector<Annot> Annots(const QpdfView& pdf) {
    std::vector<Annot> out;
    for (int i = 0; i < pdf.pages.size(); ++i) {
        const QJsonObject page = pdf.Object(pdf.pages.at(i).toObject().value("object"));
        for (const QJsonValue& ref : page.value("/Annots").toArray()) {
            const QJsonObject a = pdf.Object(ref);
            const QJsonArray r = a.value("/Rect").toArray();
            out.push_back({i + 1, r.at(0).toDouble(), r.at(1).toDouble(), r.at(2).toDouble(),
                           r.at(3).toDouble(),
                           a.value("/A").toObject().value("/URI").toString().mid(2)});
        }
    }
    return out;
}

// Title, depth, page and the target's height of every outline entry, depth first.
void Flatten(const QJsonArray& entries, int depth, QStringList& out) {
    for (const QJsonValue& v : entries) {
        const QJsonObject e = v.toObject();
        out << QStringLiteral("%1 %2 p%3 %4")
                   .arg(QString(depth, QLatin1Char('-')), e.value("title").toString())
                   .arg(e.value("destpageposfrom1").toInt())
                   .arg(e.value("dest").toArray().at(3).toDouble(), 0, 'f', 2);
        Flatten(e.value("kids").toArray(), depth + 1, out);
    }
}

bool QpdfAccepts(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), file});
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QByteArray Digest(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

} // namespace

class PdfMarks : public ::testing::Test {
protected:
    void SetUp() override {
        if (kptest::Run(QStringLiteral("qpdf"), {QStringLiteral("--version")}).isEmpty())
            GTEST_SKIP() << "qpdf is not installed";
        for (int i = 2; i <= 4; ++i)
            document.NewPage();
    }
    QTemporaryDir dir;
    VirtualPrinter none{std::vector<TKpVirtualPrinterSetup>{}};
    ErrorCollector errors;
    TKpDocument document;
};

TEST_F(PdfMarks, TitleAuthorAndSubjectGoWhole) {
    const QString title =
        QStringLiteral("Quarterly figures \u2013 Gr\u00fcn & (S\u00f6hne) ltd., 2026");
    ASSERT_GT(title.size(), 31);
    document.SetTitle(title);
    const QString out = dir.filePath("info.pdf");
    ExportToPdf(document, out,
                {.Resolution = 300,
                 .Author = QStringLiteral("J\u00f6rg Paginor"),
                 .Subject = QStringLiteral("Sales (north)")});
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
    EXPECT_TRUE(QpdfAccepts(out));
    EXPECT_EQ(PdfInfoField(out, "Title"), title);
    EXPECT_EQ(PdfInfoField(out, "Author"), QStringLiteral("J\u00f6rg Paginor"));
    EXPECT_EQ(PdfInfoField(out, "Subject"), QStringLiteral("Sales (north)"));
    EXPECT_EQ(PdfInfoField(out, "Pages"), QStringLiteral("4"));
}

TEST_F(PdfMarks, APreviewWithoutPrinterExportsTheDocumentTitle) {
    PreviewHost host;
    host.preview->SetTitle(QStringLiteral("Annual figures"));
    const QString out = dir.filePath("preview.pdf");
    ExportToPdf(*host.preview, out, {.Resolution = 300});
    EXPECT_EQ(PdfInfoField(out, "Title"), QStringLiteral("Annual figures"));
}

// A link 2 by 0.5 inches at (1, 2) inches on page 2, and three bookmarks.
TEST_F(PdfMarks, LinksAndOutlineLandOnTheirSheets) {
    document.AddLink(2, QRect(2540, 5080, 5080, 1270), QStringLiteral("https://example.com/a b"));
    document.AddLink(4, QRect(0, 0, 2540, 2540), QStringLiteral("mailto:sales@example.com"));
    document.AddBookmark(QStringLiteral("Part B"), 3, 1);
    document.AddBookmark(QStringLiteral("Part A"), 1, 1);
    document.AddBookmark(QStringLiteral("A, section 1"), 2, 2, 5080);
    document.AddBookmark(QStringLiteral("A, section 1.1"), 2, 3, 7620);
    document.AddBookmark(QStringLiteral("A, section 2 (\u00e9t\u00e9)"), 2, 2, 10160);
    const QString out = dir.filePath("marks.pdf");
    ExportToPdf(document, out, {.Resolution = 600});
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
    ASSERT_TRUE(QpdfAccepts(out));
    const QpdfView pdf(out);
    ASSERT_TRUE(pdf.ok);
    const double h = pdf.PageHeight(0);
    EXPECT_EQ(h, 842); // Qt's writer sizes pages in whole points
    const std::vector<Annot> annots = Annots(pdf);
    ASSERT_EQ(annots.size(), 2u);
    EXPECT_EQ(annots[0].page, 2);
    EXPECT_NEAR(annots[0].x1, 72, 0.01);
    EXPECT_NEAR(annots[0].y1, h - 180, 0.01);
    EXPECT_NEAR(annots[0].x2, 216, 0.01);
    EXPECT_NEAR(annots[0].y2, h - 144, 0.01);
    EXPECT_EQ(annots[0].uri, QStringLiteral("https://example.com/a%20b"));
    EXPECT_EQ(annots[1].page, 4);
    EXPECT_EQ(annots[1].uri, QStringLiteral("mailto:sales@example.com"));
    QStringList outline;
    Flatten(pdf.outlines, 0, outline);
    const QString hs = QString::number(h, 'f', 2);
    EXPECT_EQ(
        outline,
        (QStringList{QStringLiteral(" Part A p1 ") + hs,
                     QStringLiteral("- A, section 1 p2 ") + QString::number(h - 144, 'f', 2),
                     QStringLiteral("-- A, section 1.1 p2 ") + QString::number(h - 216, 'f', 2),
                     QStringLiteral("- A, section 2 (\u00e9t\u00e9) p2 ") +
                         QString::number(h - 288, 'f', 2),
                     QStringLiteral(" Part B p3 ") + hs}));
    EXPECT_EQ(PdfInfoField(out, "Title"), QStringLiteral("<document>"));
}

// Two and four pages a sheet: page 2's link is scaled into its slot; a range starts at its
// first page.
TEST_F(PdfMarks, LinksFollowPagesPerSheetAndTheRange) {
    document.AddLink(2, QRect(2540, 5080, 5080, 1270), QStringLiteral("https://example.com/"));
    document.AddBookmark(QStringLiteral("Second"), 2);
    struct Case {
        TKpPagesPerSheet perSheet;
        int from;
        int sheet; // of page 2, from 1
        double x1, top, x2, bottom;
    };
    // At 600 dpi the A4 sheet, 595 x 842 points, is 4958 x 7016 pixels. Two-up, pages are
    // scaled by 4958 / 7016 (424 pixels an inch) and page 2 starts at x = 3508; four-up, 300
    // pixels an inch from x = 2479.
    for (const Case& c : {Case{kpOnePage, 2, 1, 72, 144, 216, 180},
                          Case{kpTwoPage, 1, 1, (3508 + 424) * 0.12, 2 * 424 * 0.12,
                               (3508 + 3 * 424) * 0.12, 2.5 * 424 * 0.12},
                          Case{kpFourPage, 1, 1, (2479 + 300) * 0.12, 600 * 0.12,
                               (2479 + 900) * 0.12, 750 * 0.12}}) {
        SCOPED_TRACE(static_cast<int>(c.perSheet));
        TKpPagesPerSheet perSheet = c.perSheet;
        TKpPrinter printer;
        document.SetPrinterState(&printer);
        TKpPrintJob job(document, printer);
        job.PagesPerSheet = &perSheet;
        const QString out = dir.filePath(QStringLiteral("sheets%1.pdf").arg(c.perSheet));
        ExportToPdf(job, document, QStringLiteral("Sheets"), out,
                    {.Resolution = 600, .FromPage = c.from});
        document.SetPrinterState(nullptr);
        const QpdfView pdf(out);
        ASSERT_TRUE(pdf.ok);
        const std::vector<Annot> annots = Annots(pdf);
        ASSERT_EQ(annots.size(), 1u);
        const double h = pdf.PageHeight(0);
        EXPECT_EQ(annots[0].page, c.sheet);
        EXPECT_NEAR(annots[0].x1, c.x1, 0.01);
        EXPECT_NEAR(annots[0].y2, h - c.top, 0.01);
        EXPECT_NEAR(annots[0].x2, c.x2, 0.01);
        EXPECT_NEAR(annots[0].y1, h - c.bottom, 0.01);
        QStringList outline;
        Flatten(pdf.outlines, 0, outline);
        ASSERT_EQ(outline.size(), 1);
        EXPECT_TRUE(outline[0].startsWith(QStringLiteral(" Second p%1 ").arg(c.sheet)));
    }
}

// Files the update does not understand are left byte for byte, with the reason.
TEST_F(PdfMarks, RefusesWhatItDoesNotUnderstand) {
    const QString out = dir.filePath("twice.pdf");
    ExportToPdf(document, out, {.Resolution = 300});
    TKpPdfUpdate update;
    update.Outline.push_back({QStringLiteral("One"), 1, 0, 0});
    ASSERT_TRUE(AppendPdfUpdate(out, update));
    QFile text(dir.filePath("text.pdf"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("%PDF-1.4\nnot really a PDF\n%%EOF\n");
    text.close();
    for (const QString& file : {out, text.fileName()}) {
        const QByteArray before = Digest(file);
        QString why;
        EXPECT_FALSE(AppendPdfUpdate(file, update, &why));
        EXPECT_FALSE(why.isEmpty());
        EXPECT_EQ(Digest(file), before);
    }
    EXPECT_FALSE(AppendPdfUpdate(dir.filePath("missing.pdf"), update));
}
