// The CSV reader and the text checks it shares with the outline reader.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "content/KpCsv.h"

using namespace kp;

namespace {
std::vector<QStringList> Read(const QByteArray& bytes) {
    TKpCsvReader r;
    EXPECT_TRUE(r.Read(bytes)) << r.Error().toStdString();
    return r.Records();
}
} // namespace

TEST(CsvReader, ReadsQuotedFieldsAsRfc4180WritesThem) {
    struct Case {
        QByteArray in;
        std::vector<QStringList> out;
    } cases[] = {
        {"a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
        {"a,b\nc,d", {{"a", "b"}, {"c", "d"}}},
        {"a\rb\r", {{"a"}, {"b"}}},
        {"\"x, y\",\"say \"\"hi\"\"\"\n", {{"x, y", "say \"hi\""}}},
        {"\"two\r\nlines\",z\n", {{"two\nlines", "z"}}},
        {"a,,\n,b\n", {{"a", "", ""}, {"", "b"}}},
        {"\xEF\xBB\xBFname\n\xC3\xA9t\xC3\xA9\n",
         {{"name"}, {QString::fromUtf8("\xC3\xA9t\xC3\xA9")}}},
        {"a\n\n\nb\n", {{"a"}, {"b"}}},
        {"\"\",x", {{"", "x"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Read(c.in), c.out) << c.in.constData();
}

TEST(CsvReader, RecordsKnowTheLineTheyStartOn) {
    TKpCsvReader r;
    ASSERT_TRUE(r.Read("a\n\"b\nb\"\nc\n"));
    EXPECT_EQ(r.RecordLines(), (std::vector<int>{1, 2, 4}));
}

TEST(CsvReader, BadInputNamesTheLine) {
    struct Case {
        QByteArray in;
        const char* error;
    } cases[] = {
        {"a,b\nc,\"open\nstill open\n", "line 2: unterminated quoted field"},
        {"a\n\"x\"y,z\n", "line 2: text after a closing quote"},
        {"a\nb\nab\"c\n", "line 3: quote inside an unquoted field"},
        {"", "the file is empty"},
        {"\xEF\xBB\xBF \n\n", "the file is empty"},
        {"ok\nPK\x03\x04zip", "line 2: not a text file (control byte 0x03)"},
        {"ok\nfine\n\xFF\xFEw\n", "line 3: not a text file (not UTF-8)"},
        {QByteArray("a\0b", 3), "line 1: not a text file (control byte 0x00)"},
    };
    for (const Case& c : cases) {
        TKpCsvReader r;
        EXPECT_FALSE(r.Read(c.in)) << c.in.constData();
        EXPECT_EQ(r.Error(), QString::fromLatin1(c.error));
        EXPECT_TRUE(r.Records().empty());
    }
}

TEST(CsvReader, FilesThatCannotBeReadSayWhy) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.csv"));
    TKpCsvReader r;
    EXPECT_FALSE(r.ReadFile(missing));
    EXPECT_EQ(r.Error(), missing + QStringLiteral(": No such file or directory"));
    QFile bad(dir.filePath(QStringLiteral("bad.csv")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("a,\"b\"c\n");
    bad.close();
    EXPECT_FALSE(r.ReadFile(bad.fileName()));
    EXPECT_EQ(r.Error(), QStringLiteral("line 1: text after a closing quote"));
    bad.open(QIODevice::WriteOnly);
    bad.write("a,b\n1,2\n");
    bad.close();
    EXPECT_TRUE(r.ReadFile(bad.fileName()));
    EXPECT_EQ(r.Records().size(), 2u);
}
