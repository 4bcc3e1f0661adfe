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

namespace kp {

// Starts of the parts after the first, for parts of about `length` characters; none when
// the document is short or has no place to cut.
PAGINOR_INTERNAL_EXPORT std::vector<int> PartStarts(const QTextDocument& doc, int length);

// Characters [from, to) of `doc`, whole top-level paragraphs, as a document set up like
// `doc` for layout on `device`; its pictures come from `doc`.
PAGINOR_INTERNAL_EXPORT std::unique_ptr<QTextDocument> CopyPart(QTextDocument& doc, int from,
                                                                int to, QPaintDevice& device);

} // namespace kp
