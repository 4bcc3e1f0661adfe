#include "richtext/KpColumnParts.h"

#include <algorithm>

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextTable>

namespace kp {

namespace {

// Pictures are kept by the whole document only.
class TKpPartDocument : public QTextDocument {
public:
    explicit TKpPartDocument(const QTextDocument& whole) : whole_(whole) {}

protected:
    QVariant loadResource(int type, const QUrl& name) override {
        return whole_.resource(type, name);
    }

private:
    const QTextDocument& whole_;
};

} // namespace

std::vector<int> PartStarts(const QTextDocument& doc, int length) {
    std::vector<int> starts;
    if (doc.characterCount() <= length) return starts;
    int partStart = 0;
    QTextBlock previous;
    QTextFrame* root = doc.rootFrame();
    for (auto it = root->begin(); !it.atEnd(); ++it) {
        if (it.currentFrame()) {
            previous = QTextBlock();
            continue;
        }
        const QTextBlock b = it.currentBlock();
        if (previous.isValid() && b.position() - partStart >= length &&
            previous.blockFormat().bottomMargin() == 0 && b.blockFormat().topMargin() == 0 &&
            previous.length() > 1 && b.length() > 1) {
            starts.push_back(b.position());
            partStart = b.position();
        }
        previous = b;
    }
    return starts;
}

std::unique_ptr<QTextDocument> NewPart(QTextDocument& doc, QPaintDevice& device) {
    auto part = std::make_unique<TKpPartDocument>(doc);
    part->setUndoRedoEnabled(false);
    part->setPageSize(QSizeF(0, 0));
    part->setDefaultFont(doc.defaultFont());
    part->setDefaultTextOption(doc.defaultTextOption());
    part->setIndentWidth(doc.indentWidth());
    part->setDocumentMargin(doc.documentMargin());
    part->setUseDesignMetrics(doc.useDesignMetrics());
    part->documentLayout()->setPaintDevice(&device);
    return part;
}

std::unique_ptr<QTextDocument> CopyPart(QTextDocument& doc, int from, int to,
                                        QPaintDevice& device) {
    std::unique_ptr<QTextDocument> part = NewPart(doc, device);
    QTextCursor source(&doc);
    source.setPosition(from);
    source.setPosition(to, QTextCursor::KeepAnchor);
    QTextCursor target(part.get());
    target.insertFragment(source.selection());
    // The copy's first paragraph is the one an empty document starts with.
    const QTextBlock first = doc.findBlock(from);
    target.setPosition(0);
    target.setBlockFormat(first.blockFormat());
    target.setBlockCharFormat(first.charFormat());
    // Copied tables and frames lose their page break policies; they come from the document,
    // whose frames in the range the copy holds in the same order.
    QList<QTextFrame*> frames;
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        if (f->firstPosition() > from && f->lastPosition() < to) frames << f;
    const QList<QTextFrame*> copies = part->rootFrame()->childFrames();
    for (qsizetype i = 0; i < std::min(frames.size(), copies.size()); ++i) {
        QTextFrameFormat f = copies[i]->frameFormat();
        f.setPageBreakPolicy(frames[i]->frameFormat().pageBreakPolicy());
        copies[i]->setFrameFormat(f);
    }
    return part;
}

namespace {

// The cell at (row, column) starts in that row and spans no other.
bool OwnCell(const QTextTable& table, int row, int column) {
    const QTextTableCell cell = table.cellAt(row, column);
    if (cell.format().toTableCellFormat().tableCellRowSpan() != 1) return false;
    return row == 0 || table.cellAt(row - 1, column).firstPosition() != cell.firstPosition();
}

bool PlainRow(const QTextTable& table, int row) {
    for (int c = 0; c < table.columns(); ++c)
        if (!OwnCell(table, row, c)) return false;
    return true;
}

bool TopAligned(const QTextTableCell& cell) {
    const auto a = cell.format().verticalAlignment();
    return a != QTextCharFormat::AlignMiddle && a != QTextCharFormat::AlignBottom;
}

} // namespace

std::vector<int> TableCuts(const QTextTable& table, int rows) {
    std::vector<int> cuts;
    const int count = table.rows();
    rows = std::max(rows, 3);
    // Columns of fixed widths only, so that every piece gets the whole table's widths.
    const QTextTableFormat tf = table.format();
    if (tf.columnWidthConstraints().size() != table.columns() || tf.border() != 0 ||
        tf.background().style() != Qt::NoBrush)
        return cuts;
    for (const QTextLength& l : tf.columnWidthConstraints())
        if (l.type() != QTextLength::FixedLength) return cuts;
    int last = 0;
    for (int r = rows; r + rows / 2 < count; ++r) {
        if (r - last < rows) continue;
        if (!PlainRow(table, r - 1) || !PlainRow(table, r) || !PlainRow(table, r + 1)) continue;
        bool anchor = false;
        for (int c = 0; c < table.columns() && !anchor; ++c)
            anchor = TopAligned(table.cellAt(r, c));
        if (!anchor) continue;
        cuts.push_back(r);
        last = r;
    }
    return cuts;
}

QTextTable* AppendRows(QTextDocument& part, QTextTable& table, int first, int last) {
    if (first >= last) return nullptr;
    QTextCursor source(table.document());
    source.setPosition(table.cellAt(first, 0).firstPosition());
    source.setPosition(table.cellAt(last, table.columns() - 1).lastPosition(),
                       QTextCursor::KeepAnchor);
    QTextCursor target(&part);
    target.movePosition(QTextCursor::End);
    target.insertFragment(source.selection());
    const QList<QTextFrame*> frames = part.rootFrame()->childFrames();
    auto* copy = frames.isEmpty() ? nullptr : qobject_cast<QTextTable*>(frames.back());
    if (!copy || copy->rows() != last - first + 1 || copy->columns() != table.columns())
        return nullptr;
    copy->setFormat(table.format());
    // The table's top edge is measured from its first row's top rules; a piece's first row
    // takes them over, so that its rows end where the whole table's do.
    for (int c = 0; first > 0 && c < copy->columns(); ++c) {
        const QTextTableCellFormat top = table.cellAt(0, c).format().toTableCellFormat();
        QTextTableCell cell = copy->cellAt(0, c);
        QTextTableCellFormat f = cell.format().toTableCellFormat();
        f.setTopBorder(top.topBorder());
        f.setTopBorderBrush(top.topBorderBrush());
        f.setTopBorderStyle(top.topBorderStyle());
        cell.setFormat(f);
    }
    return copy;
}

bool AppendRange(QTextDocument& part, QTextDocument& doc, int from, int to) {
    QTextCursor target(&part);
    target.movePosition(QTextCursor::End);
    const int at = target.position();
    if (to > from) {
        QTextCursor source(&doc);
        source.setPosition(from);
        source.setPosition(to, QTextCursor::KeepAnchor);
        target.insertFragment(source.selection());
    }
    // A copied paragraph takes the format of the one it lands in; each gets its own back.
    QTextBlock p = part.findBlock(at);
    for (QTextBlock d = doc.findBlock(from); d.isValid() && d.position() <= to; d = d.next()) {
        if (!p.isValid() || p.position() - at != std::max(d.position() - from, 0)) return false;
        if (p.blockFormat() != d.blockFormat() || p.charFormat() != d.charFormat()) {
            QTextCursor c(p);
            c.setBlockFormat(d.blockFormat());
            c.setBlockCharFormat(d.charFormat());
        }
        p = p.next();
    }
    QList<QTextFrame*> frames, copies;
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        if (f->firstPosition() > from && f->lastPosition() < to) frames << f;
    for (QTextFrame* f : part.rootFrame()->childFrames())
        if (f->firstPosition() > at) copies << f;
    if (frames.size() != copies.size()) return false;
    for (qsizetype i = 0; i < frames.size(); ++i) {
        QTextFrameFormat f = copies[i]->frameFormat();
        f.setPageBreakPolicy(frames[i]->frameFormat().pageBreakPolicy());
        copies[i]->setFrameFormat(f);
    }
    return true;
}

} // namespace kp
