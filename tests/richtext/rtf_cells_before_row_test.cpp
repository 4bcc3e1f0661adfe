// Rows whose cells come before the row's definition (cell text, then \trowd ... \row).
#include <gtest/gtest.h>

#include "rtf_test_helpers.h"

namespace {

struct TRowCase {
    const char* name;
    const char* rtf;
    const char16_t* text;
};

void PrintTo(const TRowCase& c, std::ostream* os) {
    *os << c.name;
}

class RtfCellsBeforeRow : public ::testing::TestWithParam<TRowCase> {};

// Each reads as a table of one row and two cells, between the empty blocks around it.
TEST_P(RtfCellsBeforeRow, KeepCellsApart) {
    TRtfRead r(QByteArray(GetParam().rtf));
    EXPECT_EQ(r.Text(), QString::fromUtf16(GetParam().text));
    const QTextTable* table = qobject_cast<QTextTable*>(r.doc.rootFrame()->childFrames().value(0));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->columns(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RtfCellsBeforeRow,
    ::testing::Values(
        TRowCase{"intbl_then_trowd",
                 R"({\rtf1 \intbl A\cell B\cell\trowd\cellx1000\cellx2000\row})", u"\nA\tB\t\n"},
        TRowCase{"no_intbl", R"({\rtf1 A\cell B\cell\trowd\cellx1000\cellx2000\row})",
                 u"\nA\tB\t\n"},
        TRowCase{"row_in_group",
                 R"({\rtf1 \pard\intbl A\cell B\cell\pard\intbl{\trowd\cellx1000\cellx2000\row}})",
                 u"\nA\tB\t\n"},
        TRowCase{"pard_between",
                 R"({\rtf1 \pard\intbl A\cell\pard B\cell\pard\trowd\cellx1000\cellx2000\row})",
                 u"\nA\tB\t\n"},
        TRowCase{"no_trowd", R"({\rtf1 \intbl A\cell B\cell\row})", u"\nA\tB\t\n"}));

} // namespace
