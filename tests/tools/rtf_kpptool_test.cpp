// kpptool rtf: the paper comes from the options, else from the file, else A4; the result is
// a document or a PDF; bad input fails with one line.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include "drawing/KpMargins.h"
#include "preview/KpPreview.h"

using namespace kp;

namespace {

const QString kTool = QStringLiteral(PAGINOR_BINARY_DIR "/kpptool");

struct ToolRun {
    int code = -1;
    QByteArray err;
};

ToolRun Tool(const QStringList& args) {
    QProcess p;
    p.start(kTool, args);
    EXPECT_TRUE(p.waitForFinished(120000));
    return {p.exitCode(), p.readAllStandardError()};
}

class KpptoolRtf : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Write(const char* name, const QByteArray& data) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(data);
        return path;
    }
    void SetUp() override {
        if (!QFile::exists(kTool)) GTEST_SKIP() << "kpptool not built";
    }
};

struct PaperCase {
    const char* name;
    QByteArray rtf;
    QStringList options;
    int width, height; // KpUnits
    int left;          // the preview's left margin, KpUnits
};

class KpptoolRtfPaper : public KpptoolRtf, public ::testing::WithParamInterface<PaperCase> {};

TEST_P(KpptoolRtfPaper, PaperAndMargins) {
    const PaperCase& c = GetParam();
    const QString in = Write("in.rtf", c.rtf), out = dir.filePath(QStringLiteral("out.kpp"));
    const ToolRun r =
        Tool(QStringList{QStringLiteral("rtf"), in, QStringLiteral("-o"), out} << c.options);
    ASSERT_EQ(r.code, 0) << r.err.constData();
    QWidget host;
    TKpPreview preview(&host);
    preview.LoadFromFile(out);
    EXPECT_EQ(preview.PaperWidth().value, c.width);
    EXPECT_EQ(preview.PaperHeight().value, c.height);
    EXPECT_EQ(preview.Margins().Left().value, c.left);
    EXPECT_EQ(preview.NumPages(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Papers, KpptoolRtfPaper,
    ::testing::Values(
        PaperCase{"defaults", "{\\rtf1 text}", {}, 21000, 29700, 1500},
        PaperCase{"from_the_file",
                  "{\\rtf1\\paperw12240\\paperh15840\\margl1440 text}",
                  {},
                  21590,
                  27940,
                  2540},
        PaperCase{
            "landscape_file", "{\\rtf1\\paperw16838\\paperh11906 text}", {}, 29700, 21000, 1500},
        PaperCase{"options_win",
                  "{\\rtf1\\paperw12240\\paperh15840\\margl1440 text}",
                  {QStringLiteral("--paper"), QStringLiteral("A4"), QStringLiteral("--left"),
                   QStringLiteral("20")},
                  21000,
                  29700,
                  2000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KpptoolRtf, BadInputFailsWithOneLine) {
    const QString out = dir.filePath(QStringLiteral("out.pdf"));
    const QString notRtf = Write("plain.rtf", "just words");
    const QStringList cases[] = {
        {QStringLiteral("rtf"), dir.filePath(QStringLiteral("missing.rtf")), QStringLiteral("-o"),
         out},
        {QStringLiteral("rtf"), notRtf, QStringLiteral("-o"), out},
        {QStringLiteral("rtf"), notRtf, QStringLiteral("-o"),
         dir.filePath(QStringLiteral("x.doc"))},
        {QStringLiteral("rtf"), notRtf, QStringLiteral("-o"), out, QStringLiteral("--left"),
         QStringLiteral("-3")},
        {QStringLiteral("rtf"), notRtf, QStringLiteral("-o"), out, QStringLiteral("--size"),
         QStringLiteral("9")},
    };
    for (const QStringList& args : cases) {
        const ToolRun r = Tool(args);
        EXPECT_NE(r.code, 0) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("kpptool: error: ")) << r.err.constData();
        EXPECT_FALSE(QFile::exists(out));
    }
}

// What the reader skipped is told on standard error, one line each with its place; the
// document is still written. --quiet keeps the tool's own lines back.
TEST_F(KpptoolRtf, ReaderWarningsOneLineEach) {
    const QString in = Write("hex.rtf", "{\\rtf1 a{\\pict\\pngblip 89zz50}b}");
    const QString out = dir.filePath(QStringLiteral("hex.kpp"));
    const QStringList args{QStringLiteral("rtf"), in, QStringLiteral("-o"), out};
    const ToolRun loud = Tool(args);
    ASSERT_EQ(loud.code, 0) << loud.err.constData();
    EXPECT_TRUE(QFile::exists(out));
    QList<QByteArray> lines;
    for (const QByteArray& line : loud.err.split('\n'))
        if (line.startsWith("kpptool: ")) lines << line;
    ASSERT_EQ(lines.size(), 2) << loud.err.constData();
    const QByteArray prefix = "kpptool: warning: " + in.toUtf8() + ": ";
    EXPECT_TRUE(lines[0].startsWith(prefix + "2 bad hex digit(s) were skipped (first at byte 23)"))
        << lines[0].constData();
    EXPECT_TRUE(lines[1].startsWith(prefix + "1 picture(s) could not be decoded"))
        << lines[1].constData();
    EXPECT_TRUE(lines[1].contains("(first at byte 29)")) << lines[1].constData();
    const ToolRun quiet = Tool(QStringList(args) << QStringLiteral("--quiet"));
    EXPECT_EQ(quiet.code, 0);
    EXPECT_FALSE(quiet.err.contains("kpptool: ")) << quiet.err.constData();
}

TEST_F(KpptoolRtf, PlainTextInAFontToPdf) {
    const QString in = Write("notes.txt", "first line\nsecond line\n");
    const QString out = dir.filePath(QStringLiteral("notes.pdf"));
    const ToolRun r =
        Tool({QStringLiteral("rtf"), in, QStringLiteral("-o"), out, QStringLiteral("--plain"),
              QStringLiteral("--font"), QStringLiteral("Liberation Mono"), QStringLiteral("--size"),
              QStringLiteral("14")});
    ASSERT_EQ(r.code, 0) << r.err.constData();
    QFile pdf(out);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_TRUE(bytes.contains("LiberationMono"));
}

} // namespace
