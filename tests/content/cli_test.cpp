// kpptool grid, labels and tree, run as the built program.
#include <QFile>

#include "drawing/KpCanvas.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "grid_fixture.h"

using namespace kp;

using namespace kptest;
using namespace kpcontent;

namespace {

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(Tool())) GTEST_SKIP() << "kpptool not built";
    }
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    // Loads a document the tool wrote.
    std::unique_ptr<PreviewHost> Load(const QString& kpp) {
        auto host = std::make_unique<PreviewHost>();
        host->preview->LoadFromFile(kpp);
        return host;
    }
    QTemporaryDir dir;
    ErrorCollector errors;
};

} // namespace

TEST_F(Cli, GridPrintsEveryCellOfQuotedCommasAndLineBreaks) {
    const QString csv =
        Write("q.csv", "\xEF\xBB\xBFName,Note\r\n\"Smith, John\",\"first\r\nsecond\"\r\n"
                       "\"say \"\"hi\"\"\",plain\r\n");
    const QString pdf = dir.filePath("q.pdf");
    const ToolResult r = RunTool({"grid", csv, "-o", pdf, "--title", "Contacts"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QStringList words;
    for (const PdfWord& w : PdfWords(pdf)) // pdftotext writes its words as HTML
        words << QString(w.text).replace("&quot;", "\"").replace("&amp;", "&");
    for (const char* w : {"Contacts", "Name", "Note", "Smith,", "John", "first", "second", "say",
                          "\"hi\"", "plain", "Page", "1", "of"})
        EXPECT_TRUE(words.contains(QString::fromUtf8(w)))
            << w << " in " << words.join(' ').toStdString();
}

TEST_F(Cli, TenThousandRowsPrintInOrderOnFullPages) {
    QByteArray csv = "id,a,b,c\n";
    for (int i = 1; i <= 10000; ++i)
        csv += QStringLiteral("r%1,x,y,z\n").arg(i, 5, 10, QLatin1Char('0')).toLatin1();
    const QString in = Write("big.csv", csv);
    const QString pdf = dir.filePath("big.pdf"), kpp = dir.filePath("big.kpp");
    ASSERT_EQ(RunTool({"grid", in, "-o", kpp}).code, 0);
    const ToolResult r = RunTool({"grid", in, "-o", pdf});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    auto host = Load(kpp);
    TKpPreview& doc = *host->preview;
    const int32_t limit = doc.PaperHeight().value -
                          (doc.Footer().BandHeight().value + doc.Margins().Bottom().value + 1000);
    int rows = 0;
    for (int p = 1; p <= doc.NumPages(); ++p) {
        const auto cells = Rectangles(doc.GetPage(p));
        rows += static_cast<int>(cells.size() / 4);
        if (p < doc.NumPages()) EXPECT_GT(cells.back()->Y2, limit) << "page " << p << " not full";
    }
    EXPECT_EQ(rows, 10001);
    EXPECT_EQ(static_cast<int>(PdfPages(pdf).size()), doc.NumPages());
    EXPECT_GT(doc.NumPages(), 100);

    int expected = 1, lastPage = 0;
    for (const PdfWord& w : PdfWords(pdf)) {
        if (!w.text.startsWith(QLatin1Char('r')) || w.text.size() != 6) continue;
        EXPECT_EQ(w.text.mid(1).toInt(), expected) << "on page " << w.page;
        EXPECT_GE(w.page, lastPage);
        lastPage = w.page;
        ++expected;
    }
    EXPECT_EQ(expected, 10001);
    EXPECT_EQ(lastPage, doc.NumPages());
}

TEST_F(Cli, GridTablesOfAnyShapeFitBetweenTheMargins) {
    const struct {
        const char* name;
        QByteArray csv;
        size_t maxObjects; // on the first page
    } cases[] = {
        // Columns far narrower than a unit: rounded one by one they add up past the paper.
        // (Five objects to a cell of a one-row table: box, text, left, top and bottom rules.)
        {"10,000 columns", QByteArray("x,").repeated(9999) + "x\n", 5 * 10000 + 1},
        // Invisible columns record nothing: 18,000 units hold at most 18,000 cells.
        {"200,000 empty fields", QByteArray(199999, ','), 5 * 18000 + 1},
        // Measured in one go, a text this wide wraps around to a few pixels.
        {"one 4 MB cell", QByteArray(4 << 20, 'W') + "\n", 10},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        const QString kpp = dir.filePath(QStringLiteral("fit.kpp"));
        const ToolResult r = RunTool({"grid", Write("fit.csv", k.csv), "-o", kpp});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        auto host = Load(kpp);
        TKpPreview& doc = *host->preview;
        ASSERT_EQ(doc.NumPages(), 1);
        const int32_t left = doc.Margins().Left().value;
        const int32_t right = doc.PaperWidth().value - doc.Margins().Right().value;
        int32_t lowest = INT32_MAX, highest = INT32_MIN;
        for (TKpLineObject* l : Lines(doc.GetPage(1))) {
            lowest = std::min({lowest, l->X1, l->X2});
            highest = std::max({highest, l->X1, l->X2});
        }
        EXPECT_EQ(lowest, left);
        EXPECT_LE(highest, right);
        EXPECT_GE(highest, right - 100); // the table is scaled to the room, not below it
        EXPECT_LE(static_cast<size_t>(doc.GetPage(1)->Count()), k.maxObjects);
    }
}

TEST_F(Cli, LabelsSkipPartOfTheFirstSheetInMailMergeOrder) {
    const QString in = Write("a.csv", "Ann,1 Road\nBob,\"2 Street\nFlat 3\"\nCy,3 Lane\n");
    const QString kpp = dir.filePath("l.kpp");
    const ToolResult r =
        RunTool({"labels", in, "--template", "L7161_Address", "--skip", "4", "-o", kpp});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    auto host = Load(kpp);
    TKpPreview& doc = *host->preview;
    ASSERT_EQ(doc.NumPages(), 1);
    auto find = [&](const QString& text) -> TKpTextObject* {
        for (TKpTextObject* t : Texts(doc.GetPage(1)))
            if (t->Text == text) return t;
        return nullptr;
    };
    // The fifth label is row 2, column 2; the next ones follow across the row and down.
    const struct {
        const char* text;
        int col, row;
    } expect[] = {{"Ann", 1, 1}, {"Bob", 2, 1}, {"Cy", 0, 2}};
    for (const auto& e : expect) {
        TKpTextObject* t = find(QString::fromLatin1(e.text));
        ASSERT_NE(t, nullptr) << e.text;
        EXPECT_EQ(t->X1, 720 + e.col * 6600 + 300) << e.text;
        EXPECT_EQ(t->Y1, 950 + e.row * 4660 + 300) << e.text;
    }
    TKpTextObject* flat = find(QStringLiteral("Flat 3"));
    ASSERT_NE(flat, nullptr);
    EXPECT_GT(flat->Y1, find(QStringLiteral("2 Street"))->Y1);

    // Filled down the columns instead, and onto as many sheets as the records need.
    QByteArray many;
    for (int i = 0; i < 20; ++i)
        many += "n" + QByteArray::number(i) + "\n";
    const QString kpp2 = dir.filePath("down.kpp");
    ASSERT_EQ(
        RunTool({"labels", Write("m.csv", many), "--template", "l7161", "--down", "-o", kpp2}).code,
        0);
    auto host2 = Load(kpp2);
    ASSERT_EQ(host2->preview->NumPages(), 2);
    TKpTextObject* second = Texts(host2->preview->GetPage(1))[1];
    EXPECT_EQ(second->Text, QStringLiteral("n1"));
    EXPECT_EQ(second->X1, 720 + 300);
    EXPECT_EQ(second->Y1, 950 + 4660 + 300);
    EXPECT_EQ(Texts(host2->preview->GetPage(2)).size(), 2u);
}

TEST_F(Cli, ListsTheTemplates) {
    const ToolResult r = RunTool({"labels", "--list-templates"});
    ASSERT_EQ(r.code, 0);
    const QStringList lines = r.out.trimmed().split('\n');
    EXPECT_EQ(lines.size(), 19);
    EXPECT_TRUE(r.out.contains(QRegularExpression(
        "L7161_Address +A4 port\\. +63\\.5 x 46\\.6 +3 x 6 +7\\.2, 9\\.5 +66\\.0 x 46\\.6")));
    EXPECT_TRUE(
        r.out.contains(QRegularExpression("CD1_CdLabels +A4 port\\. +118\\.0 x 118\\.0 round")));
}

TEST_F(Cli, TreeReadsIndentationAsLevels) {
    const QString in = Write("t.txt", "root\n  child\n    grandchild\n  second\n");
    const QString kpp = dir.filePath("t.kpp");
    const ToolResult r = RunTool({"tree", in, "-o", kpp});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    auto host = Load(kpp);
    const auto texts = Texts(host->preview->GetPage(1));
    ASSERT_EQ(texts.size(), 4u);
    const int levels[] = {0, 1, 2, 1};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(texts[i]->X1 - texts[0]->X1, levels[i] * 600) << i;
}

// A report: the title row on every page, the amounts right-aligned under each other.
TEST_F(Cli, GridRepeatsTheHeaderAndAlignsColumns) {
    QByteArray csv = "Item,Amount\n";
    for (int i = 1; i <= 150; ++i)
        csv += QStringLiteral("item%1,%2.00\n").arg(i).arg(i * i * 7).toLatin1();
    const QString pdf = dir.filePath("r.pdf");
    const ToolResult r =
        RunTool({"grid", Write("r.csv", csv), "-o", pdf, "--repeat-header", "--align", "1:right"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const auto words = PdfWords(pdf);
    if (words.empty()) GTEST_SKIP() << "pdftotext is not installed";
    int titles = 0, pages = 0;
    double right = -1;
    for (const PdfWord& w : words) {
        pages = std::max(pages, w.page);
        titles += w.text == "Amount";
        if (!w.text.endsWith(".00")) continue;
        if (right < 0) right = w.xMax;
        EXPECT_NEAR(w.xMax, right, 0.5) << w.text.toStdString();
    }
    EXPECT_GE(pages, 3);
    EXPECT_EQ(titles, pages);
}

TEST_F(Cli, BadInputGivesOneLineNamingTheProblem) {
    const QString out = dir.filePath("o.pdf");
    const struct {
        QStringList args;
        QByteArray input;
        int code;
        const char* message;
    } cases[] = {
        {{"grid"}, "a,b\n\"open,c\n", 1, "line 2: unterminated quoted field"},
        {{"grid"}, "a,\"b\"c\n", 1, "line 1: text after a closing quote"},
        {{"grid"}, "", 1, "the file is empty"},
        {{"grid"}, QByteArray("\x89PNG\r\n\x1a\n\0\0", 10), 1, "not a text file"},
        {{"labels", "--template", "L9999"}, "a\n", 1, "unknown template 'L9999'"},
        {{"labels", "--template", "L7161", "--skip", "18"},
         "a\n",
         2,
         "--skip must be below the 18"},
        {{"tree"}, "\n\n", 1, "the file is empty"},
        {{"grid", "--paper", "Folio"}, "a\n", 2, "--paper takes"},
        {{"grid", "--y", "1000"}, "a\n", 2, "--y leaves no room for the table"},
        {{"grid", "--y", "280"}, "a\n", 2, "--y leaves no room for the table"},
        {{"grid", "--align", "1:up"}, "a\n", 2, "--align takes COL:left|right|center"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString in = Write(QStringLiteral("bad%1.txt").arg(n++), c.input);
        QStringList args = c.args;
        args.insert(1, in);
        args << "-o" << out;
        const ToolResult r = RunTool(args);
        EXPECT_EQ(r.code, c.code) << c.message;
        const QString first = r.err.section('\n', 0, 0);
        EXPECT_TRUE(first.startsWith("kpptool: error: ")) << r.err.toStdString();
        EXPECT_TRUE(first.contains(QString::fromLatin1(c.message))) << r.err.toStdString();
        if (c.code == 1) {
            EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        }
        EXPECT_FALSE(QFile::exists(out));
    }
}
