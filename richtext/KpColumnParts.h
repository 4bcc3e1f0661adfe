#pragma once
// A long document laid out as several documents stacked in one column. The text engine
// keeps column positions in fixed point (2^31 / 64 units: some 2,500 A4 pages at 1,440 units
// per inch) and stalls past that, so a long document is copied in parts of whole paragraphs,
// each laid out on its own and placed below the one before. Parts meet only between two
// paragraphs with no space between them (as the pieces of a cut paragraph), so stacking them
// leaves every line where one document would put it.
#include "paginor/KpExport.h"

#include <memory>
#include <vector>

class QPaintDevice;
class QTextDocument;
class QTextTable;

namespace kp {

// Starts of the parts after the first, for parts of about `length` characters; none when
// the document is short or has no place to cut.
PAGINOR_INTERNAL_EXPORT std::vector<int> PartStarts(const QTextDocument& doc, int length);

// Characters [from, to) of `doc`, whole top-level paragraphs, as a document set up like
// `doc` for layout on `device`; its pictures come from `doc`.
PAGINOR_INTERNAL_EXPORT std::unique_ptr<QTextDocument> CopyPart(QTextDocument& doc, int from,
                                                                int to, QPaintDevice& device);

// A long table is laid out in pieces of rows, each piece a table of its own rows with one
// more row of the whole table on each side, so that the borders between rows collapse as in
// the whole table. Rows where pieces may start, about `rows` apart: the row and its two
// neighbours hold no cell spanning rows, and it has a top-aligned cell for aligning pieces.
PAGINOR_INTERNAL_EXPORT std::vector<int> TableCuts(const QTextTable& table, int rows);

// A document set up like `doc` for layout on `device`, empty; its pictures come from `doc`.
PAGINOR_INTERNAL_EXPORT std::unique_ptr<QTextDocument> NewPart(QTextDocument& doc,
                                                               QPaintDevice& device);

// Rows [first, last] of `table` (first < last), appended to `part` as a table formatted like
// `table`; none when the copy did not come out row for row.
PAGINOR_INTERNAL_EXPORT QTextTable* AppendRows(QTextDocument& part, QTextTable& table, int first,
                                               int last);

// Characters [from, to) of `doc`, whole paragraphs, appended to `part` (whose last paragraph
// is empty). False when the copy's paragraphs do not match the document's.
PAGINOR_INTERNAL_EXPORT bool AppendRange(QTextDocument& part, QTextDocument& doc, int from, int to);

} // namespace kp
