// The explanatory memos: every line keeps its own break, and a line too wide for the memo
// flows on into the next line of its sentence instead of leaving a word alone on a row.
#include <gtest/gtest.h>

#include <algorithm>

#include <QSignalBlocker>

#include "demo/InfoMemo.h"
#include "demo_fixture.h"

namespace {

struct RowsCase {
    const char* name;
    QStringList lines;
    QStringList rows;
};

const QString w4 = QStringLiteral("xxxx");

QString words(int n, const QString& tail = QString()) {
    QStringList list;
    for (int i = 0; i < n; ++i)
        list << w4;
    return list.join(QLatin1Char(' ')) + tail;
}

} // namespace

TEST(InfoMemo, RowsKeepTheLinesAndCarryWhatDoesNotFit) {
    const QFontMetrics metrics{QFont()};
    const int width = metrics.horizontalAdvance(words(2)); // two words to a row
    const QString space = QStringLiteral(" ");
    const RowsCase cases[] = {
        {"fitting lines stay as given", {words(2, space), w4}, {words(2), w4}},
        {"the overflow starts the next line", {words(3, space), w4}, {words(2), words(2)}},
        {"carried on over several lines",
         {words(3, space), words(2, space), w4},
         {words(2), words(2), words(2)}},
        {"a line that ends its sentence wraps on its own", {words(3), w4}, {words(2), w4, w4}},
        {"indentation and empty lines stay",
         {QStringLiteral("  -  xx"), QString(), w4},
         {QStringLiteral("  -  xx"), QString(), w4}},
        {"a word wider than the memo keeps its row",
         {QStringLiteral("xxxxxxxxxxxxxxxxxxxxxxxx xxxx")},
         {QStringLiteral("xxxxxxxxxxxxxxxxxxxxxxxx"), w4}},
    };
    for (const RowsCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MemoRows(c.lines, metrics, width), c.rows);
    }
}

TEST(InfoMemo, TabMemosLeaveNoWordAloneAndShowEveryRow) {
    demotest::DemoWindows d;
    QTabWidget* tabs = d.main->PageControl1;
    int memos = 0;
    for (int i = 0; i < tabs->count(); ++i) {
        {
            const QSignalBlocker quiet(tabs); // the page only, not its demo
            tabs->setCurrentIndex(i);
        }
        QCoreApplication::processEvents();
        for (TInfoMemo* memo : demotest::Memos(tabs->widget(i))) {
            SCOPED_TRACE(memo->Lines().join(QLatin1Char('|')).toStdString());
            ++memos;
            auto oneWord = [](const QString& s) {
                return !s.trimmed().isEmpty() && !s.trimmed().contains(QLatin1Char(' '));
            };
            const QStringList rows = memo->Rows(memo->width());
            EXPECT_LE(std::count_if(rows.begin(), rows.end(), oneWord),
                      std::count_if(memo->Lines().begin(), memo->Lines().end(), oneWord));
            EXPECT_GE(memo->height(), memo->heightForWidth(memo->width()));
        }
    }
    EXPECT_EQ(memos, 8);
}
