#include "richtext/KpRichTextLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include "richtext/KpColumnParts.h"
#include "richtext/KpPageBand.h"
#include "richtext/KpPageDecorations.h"
#include "richtext/KpPageStories.h"
#include "richtext/KpPageStoryLayout.h"

namespace kp {

namespace {

// Qt takes frame and cell lengths (borders, paddings, margins) in 1/96 inch.
constexpr double FrameScale = KpTwipsPerInch / 96.0;

double cellTopInset(const QTextTableFormat& tf, const QTextTableCellFormat& cf,
                    const QTextBlock& first) {
    const double padding =
        cf.hasProperty(QTextFormat::TableCellTopPadding) ? cf.topPadding() : tf.cellPadding();
    const double border =
        cf.hasProperty(QTextFormat::TableCellTopBorder) ? cf.topBorder() : tf.border();
    return (padding + border + first.blockFormat().topMargin()) * FrameScale;
}

// A cell's first or last paragraph, found without a cursor (which would measure its place
// on a laid-out line).
QTextBlock CellBlock(const QTextDocument& doc, const QTextTableCell& cell, bool last = false) {
    return doc.findBlock(last ? cell.lastPosition() : cell.firstPosition());
}

} // namespace

TKpRichTextLayout::TKpRichTextLayout(const QTextDocument& source, int partLength, int tableRows)
    : device_(1, 1, QImage::Format_RGB32), doc_(source.clone()),
      partLength_(std::max(partLength, 1)), tableRows_(std::max(tableRows, 3)) {
    const int dotsPerMeter = qRound(KpTwipsPerInch / 0.0254);
    device_.setDotsPerMeterX(dotsPerMeter);
    device_.setDotsPerMeterY(dotsPerMeter);
    PrepareForPrintLayout(*doc_, device_);
    copyFramePolicies(*source.rootFrame(), *doc_->rootFrame());
    if (auto stories = PageStories(source)) {
        // Sections whose text area differs from the document's by more than a little.
        const auto [w0, h0] = TextArea(*stories, TKpSectionStories());
        bool other = false;
        for (const TKpSectionStories& section : stories->sections) {
            const auto [w, h] = TextArea(*stories, section);
            const int n = std::max(section.columns, 1);
            const int gap = n > 1 ? std::min(section.columnGap, w / (2 * n)) : 0;
            const double column = double(w - (n - 1) * gap) / n;
            SectionShape shape{section.start,  column / w0, double(h) / h0,
                               double(w) / w0, n,           (column + gap) / w0};
            other = other || n > 1 || std::abs(shape.widthShare - 1) > 0.005 ||
                    std::abs(shape.heightShare - 1) > 0.005;
            if (!shapes_.empty() && shapes_.back() == shape) continue;
            if (!shapes_.empty() && shapes_.back().start >= shape.start) shapes_.pop_back();
            shapes_.push_back(shape);
        }
        if (!other) shapes_.clear();
        stories_ = std::make_unique<TKpStoryLayout>(std::move(stories), device_);
    }
}

// The copy loses the page break policies of frames and tables; they come from the source,
// whose frames the copy holds in the same order.
void TKpRichTextLayout::copyFramePolicies(const QTextFrame& from, QTextFrame& to) {
    const QList<QTextFrame*> a = from.childFrames(), b = to.childFrames();
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i) {
        const auto policy = a[i]->frameFormat().pageBreakPolicy();
        if (policy != b[i]->frameFormat().pageBreakPolicy()) {
            QTextFrameFormat f = b[i]->frameFormat();
            f.setPageBreakPolicy(policy);
            b[i]->setFrameFormat(f);
        }
        copyFramePolicies(*a[i], *b[i]);
    }
}

TKpRichTextLayout::~TKpRichTextLayout() = default;

int TKpRichTextLayout::Length() const {
    return std::max(0, doc_->characterCount() - 1);
}

const std::vector<TKpLayoutUnit>& TKpRichTextLayout::Units(int width, int height) {
    layOut(width, height);
    return units_;
}

// A long document is laid out in parts of whole paragraphs (see KpColumnParts.h).
void TKpRichTextLayout::splitParts() {
    const std::vector<int> starts = PartStarts(*doc_, partLength_);
    if (starts.empty()) {
        if (!splitTables()) {
            parts_.clear();
            parts_.push_back({nullptr, doc_.get(), 0, 0});
        }
        return;
    }
    const int end = doc_->characterCount() - 1;
    for (std::size_t k = 0; k <= starts.size(); ++k) {
        const int from = k == 0 ? 0 : starts[k - 1];
        // A part ends before the paragraph mark that ends its last paragraph.
        const int to = k < starts.size() ? starts[k] - 1 : end;
        Part part{CopyPart(*doc_, from, to, device_), nullptr, from, 0};
        part.doc = part.copy.get();
        parts_.push_back(std::move(part));
    }
}

// Sections of other shapes are parts of their own, laid out at their own width; a page
// holds as much of the column as the section's page does, and is drawn scaled down to the
// frame when it is wider or taller.
void TKpRichTextLayout::splitSections() {
    const int end = doc_->characterCount() - 1;
    std::vector<SectionShape> cuts{shapes_.front()};
    cuts.front().start = 0;
    for (std::size_t k = 1; k < shapes_.size(); ++k) {
        const int start = shapes_[k].start;
        QTextCursor at(doc_.get());
        at.setPosition(std::clamp(start, 0, end));
        // Sections start at a paragraph of the body after a paragraph (the reader puts an
        // empty one after a table); one that does not stays with the one before.
        QTextCursor before(doc_.get());
        before.setPosition(std::max(start - 1, 0));
        if (start <= cuts.back().start || start >= end || at.block().position() != start ||
            at.currentFrame() != doc_->rootFrame() || before.currentTable())
            continue;
        cuts.push_back(shapes_[k]);
    }
    for (std::size_t k = 0; k < cuts.size(); ++k) {
        Part part;
        if (cuts.size() == 1) {
            part.doc = doc_.get();
        } else {
            const int to = k + 1 < cuts.size() ? cuts[k + 1].start - 1 : end;
            part.copy = CopyPart(*doc_, cuts[k].start, to, device_);
            part.doc = part.copy.get();
            part.start = cuts[k].start;
        }
        part.widthShare = cuts[k].widthShare;
        part.heightShare = cuts[k].heightShare;
        part.scale = std::min({1.0, 1 / cuts[k].pageShare, 1 / part.heightShare});
        part.columns = cuts[k].columns;
        part.stepShare = cuts[k].stepShare;
        parts_.push_back(std::move(part));
    }
}

const TKpRichTextLayout::Part& TKpRichTextLayout::partAt(std::size_t unit) const {
    const int start = unit < units_.size() ? units_[unit].start : 0;
    const auto it = std::upper_bound(parts_.begin(), parts_.end(), start,
                                     [](int pos, const Part& p) { return pos < p.start; });
    return it == parts_.begin() ? parts_.front() : *(it - 1);
}

// The column a page starting with `unit` holds in a frame `height` high.
double TKpRichTextLayout::frameHeight(std::size_t unit, int height) const {
    height = std::max(height, 1);
    if (shapes_.empty() || parts_.empty()) return height;
    return height * partAt(unit).heightShare;
}

// A page of a section in columns goes on in the next column until a forced break.
std::vector<TKpPageSpan> TKpRichTextLayout::moreColumns(const TKpPageSpan& span, int height,
                                                        std::size_t end) {
    std::vector<TKpPageSpan> more;
    if (shapes_.empty() || parts_.empty() || span.last <= span.first) return more;
    const int columns = partAt(span.first).columns;
    std::size_t last = span.last;
    for (int k = 1; k < columns && last < end; ++k) {
        if (units_[last].breakBefore || units_[last - 1].breakAfter) break;
        more.push_back(NextPage(units_, last, frameHeight(last, height), end, noteGap()));
        last = more.back().last;
    }
    return more;
}

// Long tables are laid out in pieces of rows (see KpColumnParts.h): a part holds what comes
// between two long tables, the last rows of the one before and the first rows of the next.
bool TKpRichTextLayout::splitTables() {
    std::vector<Part> parts;
    Part part;
    part.copy = NewPart(*doc_, device_);
    int pos = 0; // where the document's next characters go into the part
    for (QTextFrame* f : doc_->rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(f);
        if (!table || table->rows() <= 2 * tableRows_) continue;
        const std::vector<int> cuts = TableCuts(*table, tableRows_);
        if (cuts.empty()) continue;
        if (!AppendRange(*part.copy, *doc_, pos, table->firstPosition() - 1)) return false;
        part.last = AppendRows(*part.copy, *table, 0, cuts[0]);
        if (!part.last || part.last->firstPosition() + part.start != table->firstPosition())
            return false;
        part.doc = part.copy.get();
        parts.push_back(std::move(part));
        for (std::size_t k = 0; k < cuts.size(); ++k) {
            const bool end = k + 1 == cuts.size();
            part = Part();
            part.copy = NewPart(*doc_, device_);
            part.first =
                AppendRows(*part.copy, *table, cuts[k] - 1, end ? table->rows() - 1 : cuts[k + 1]);
            if (!part.first) return false;
            part.doc = part.copy.get();
            part.start = table->cellAt(cuts[k] - 1, 0).firstPosition() -
                         part.first->cellAt(0, 0).firstPosition();
            for (int c = part.first->columns() - 1; c >= 0; --c) {
                const auto a = part.first->cellAt(1, c).format().verticalAlignment();
                if (a != QTextCharFormat::AlignMiddle && a != QTextCharFormat::AlignBottom)
                    part.anchor = c;
            }
            if (!end) {
                part.last = part.first;
                parts.push_back(std::move(part));
            }
        }
        pos = table->lastPosition() + 1;
        if (part.first->lastPosition() + 1 + part.start != pos) return false;
    }
    if (parts.empty()) return false;
    const int end = doc_->characterCount() - 1;
    if (!AppendRange(*part.copy, *doc_, pos, end) ||
        part.copy->characterCount() - 1 + part.start != end)
        return false;
    part.doc = part.copy.get();
    parts.push_back(std::move(part));
    parts_ = std::move(parts);
    return true;
}

// Places a piece of a table so that the row it shares with the piece before is where that
// piece put it; false when the shared row is laid out differently in the two.
bool TKpRichTextLayout::placePiece(std::size_t k) {
    const Part& before = parts_[k - 1];
    Part& piece = parts_[k];
    QAbstractTextDocumentLayout& a = *before.doc->documentLayout();
    QAbstractTextDocumentLayout& b = *piece.doc->documentLayout();
    const int shared = before.last->rows() - 1;
    auto rect = [](QAbstractTextDocumentLayout& l, const QTextTableCell& cell) {
        return l.blockBoundingRect(cell.firstCursorPosition().block());
    };
    piece.top = before.top + rect(a, before.last->cellAt(shared, piece.anchor)).top() -
                rect(b, piece.first->cellAt(1, piece.anchor)).top();
    for (int c = 0; c < piece.first->columns(); ++c) {
        const QTextTableCell cell = piece.first->cellAt(1, c);
        const QRectF x = rect(a, before.last->cellAt(shared, c)), y = rect(b, cell);
        if (x.left() != y.left() || x.width() != y.width()) return false;
        const auto align = cell.format().verticalAlignment();
        if (align != QTextCharFormat::AlignMiddle && align != QTextCharFormat::AlignBottom &&
            x.top() + before.top != y.top() + piece.top)
            return false;
    }
    return true;
}

void TKpRichTextLayout::layOut(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == width_ && height == height_) return;
    if (width != width_) {
        // Long paragraphs are cut where their lines end for this width; with no page size
        // the edits lay nothing out.
        doc_->setPageSize(QSizeF(0, 0));
        parts_.clear();
        pieces_.Join(*doc_);
        if (shapes_.empty()) {
            pieces_.Cut(*doc_, width);
            splitParts();
        } else {
            // Paragraphs are not cut where their lines end: the sections have widths of their
            // own.
            splitSections();
        }
        for (Part& part : parts_)
            part.doc->setTextWidth(width * part.widthShare);
    }
    width_ = width;
    height_ = height;
    pageFirsts_.clear();
    if (!layOutParts(height)) {
        // Pieces that do not stack exactly give way to the whole document.
        parts_.clear();
        parts_.push_back({nullptr, doc_.get(), 0, 0});
        doc_->setTextWidth(width);
        layOutParts(height);
    }
    if (stories_) {
        stories_->SetWidth(width);
        placeNotes();
    }
}

// The room each unit's footnotes take goes with the unit, for the page breaking.
void TKpRichTextLayout::placeNotes() {
    noteRefs_.clear();
    const auto& notes = stories_->Stories().footnotes;
    if (notes.empty() || units_.empty()) return;
    for (QTextBlock b = doc_->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const int note = it.fragment().charFormat().intProperty(KpNoteProperty);
            if (note <= 0 || note > static_cast<int>(notes.size())) continue;
            const std::size_t unit = UnitAt(units_, it.fragment().position());
            noteRefs_.emplace_back(unit, note - 1);
            units_[unit].notes += stories_->Height(*notes[static_cast<std::size_t>(note - 1)]);
        }
    }
    std::stable_sort(noteRefs_.begin(), noteRefs_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

// Room between the text and the footnotes, with the separator line in it.
double TKpRichTextLayout::noteGap() const {
    return noteRefs_.empty() ? 0.0 : 288.0;
}

bool TKpRichTextLayout::layOutParts(int height) {
    units_.clear();
    std::vector<std::size_t> ends;
    double top = 0;
    for (std::size_t k = 0; k < parts_.size(); ++k) {
        Part& part = parts_[k];
        cur_ = part.doc;
        QAbstractTextDocumentLayout& layout = *cur_->documentLayout();
        const double extent = layout.documentSize().height(); // finishes the layout
        if (part.first) {
            if (!placePiece(k)) return false;
        } else {
            part.top = top;
        }
        top = part.top + extent;
        const std::size_t first = units_.size();
        QTextFrame* root = cur_->rootFrame();
        for (auto it = root->begin(); !it.atEnd(); ++it) {
            if (QTextFrame* frame = it.currentFrame()) {
                if (auto* table = qobject_cast<QTextTable*>(frame)) {
                    addTable(*table, height);
                } else {
                    const QRectF r = layout.frameBoundingRect(frame);
                    units_.push_back(
                        {frame->firstPosition() - 1, r.top(), r.bottom(), false, false});
                }
            } else {
                const QTextBlock block = it.currentBlock();
                addBlocks(block.position(), block.position() + 1);
            }
        }
        ends.push_back(units_.size());
        auto edge = [&](const QTextTable& table, int row, bool bottom) {
            double y = bottom ? -1e300 : 1e300;
            for (int c = 0; c < table.columns(); ++c) {
                const QTextTableCell cell = table.cellAt(row, c);
                const QTextBlock b = CellBlock(*cur_, cell, bottom);
                const QRectF r = layout.blockBoundingRect(b);
                y = bottom ? std::max(y, r.bottom()) : std::min(y, r.top());
            }
            return y;
        };
        // Rows of context are neither drawn nor cut into pages by this part.
        if (part.first) {
            const int start = part.first->cellAt(1, 0).firstPosition() - 1;
            std::size_t i = first;
            while (i < units_.size() && units_[i].start != start)
                ++i;
            if (i == units_.size()) return false;
            part.from = units_[i].top;
            parts_[k - 1].to = part.from + part.top - parts_[k - 1].top;
            part.clipTop = edge(*part.first, 1, false);
        }
        if (part.last) part.clipBottom = edge(*part.last, part.last->rows() - 2, true);
    }
    std::vector<TKpLayoutUnit> kept;
    kept.reserve(units_.size());
    for (std::size_t k = 0, i = 0; k < parts_.size(); ++k) {
        const Part& part = parts_[k];
        bool any = false;
        for (; i < ends[k]; ++i) {
            TKpLayoutUnit u = units_[i];
            if (u.top < part.from || u.top >= part.to) continue;
            u.start += part.start;
            u.top += part.top;
            u.bottom += part.top;
            kept.push_back(u);
            any = true;
        }
        // The last own row ends where the next piece's first row starts.
        if (any && part.last) kept.back().bottom = part.to + part.top;
    }
    units_ = std::move(kept);
    // Starts must grow strictly for the character lookup; a unit that does not start later
    // than the one before joins it.
    std::vector<TKpLayoutUnit> merged;
    merged.reserve(units_.size());
    for (const TKpLayoutUnit& u : units_) {
        if (!merged.empty() && u.start <= merged.back().start) {
            merged.back().bottom = std::max(merged.back().bottom, u.bottom);
            merged.back().breakBefore = merged.back().breakBefore || u.breakBefore;
            merged.back().breakAfter = merged.back().breakAfter || u.breakAfter;
            merged.back().keepNext = u.keepNext;
        } else {
            merged.push_back(u);
        }
    }
    units_ = std::move(merged);
    return true;
}

// One unit per line of the blocks that start in [from, to).
void TKpRichTextLayout::addBlocks(int from, int to) {
    QAbstractTextDocumentLayout& layout = *cur_->documentLayout();
    for (QTextBlock b = cur_->findBlock(from); b.isValid() && b.position() < to; b = b.next()) {
        const QTextLayout* tl = b.layout();
        const QRectF br = layout.blockBoundingRect(b);
        const QTextBlockFormat format = b.blockFormat();
        const auto policy = format.pageBreakPolicy();
        const bool before = policy & QTextFormat::PageBreak_AlwaysBefore;
        const bool after = policy & QTextFormat::PageBreak_AlwaysAfter;
        const int keep = format.intProperty(KpKeepProperty);
        const int n = tl ? tl->lineCount() : 0;
        if (n == 0) {
            units_.push_back(
                {b.position(), br.top(), br.bottom(), before, after, (keep & KpKeepWithNext) != 0});
            continue;
        }
        for (int i = 0; i < n; ++i) {
            const QTextLine line = tl->lineAt(i);
            const double top = br.top() + line.y();
            // Exact line spacing may place the next line closer than this one's height.
            const double bottom =
                i + 1 < n ? br.top() + tl->lineAt(i + 1).y() : top + line.height();
            const bool keepNext =
                i + 1 < n ? (keep & KpKeepTogether) != 0 : (keep & KpKeepWithNext) != 0;
            units_.push_back({b.position() + line.textStart(), top, bottom, i == 0 && before,
                              i == n - 1 && after, keepNext});
        }
    }
}

// A row moves whole; rows joined by a cell spanning down move together. A group of rows
// taller than a page is cut into bands between its lines.
void TKpRichTextLayout::addTable(QTextTable& table, int height) {
    const QRectF frame = cur_->documentLayout()->frameBoundingRect(&table);
    const int rows = table.rows(), columns = table.columns();
    if (rows == 0 || columns == 0) {
        units_.push_back({table.firstPosition() - 1, frame.top(), frame.bottom(), false, false});
        return;
    }
    std::vector<double> rowTop(rows + 1, frame.top());
    std::vector<int> rowStart(rows + 1, table.lastPosition() + 1);
    std::vector<int> spanEnd(rows, 0);
    std::vector<char> rowBreak(rows, 0);
    QAbstractTextDocumentLayout& layout = *cur_->documentLayout();
    const QTextTableFormat tableFormat = table.format();
    // Where the cells met in the row above and in this row start: a cell spanning down or
    // across is met again there and counted once.
    std::vector<int> above(columns, -1), here(columns, -1);
    for (int r = 0; r < rows; ++r) {
        double top = std::numeric_limits<double>::max();
        spanEnd[r] = r;
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table.cellAt(r, c);
            if (!cell.isValid()) continue;
            const int position = cell.firstPosition();
            here[c] = position;
            if (above[c] == position || (c > 0 && here[c - 1] == position)) continue;
            rowStart[r] = std::min(rowStart[r], position - 1);
            const QTextBlock first = cur_->findBlock(position);
            if (first.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                rowBreak[r] = true;
            const QTextTableCellFormat cf = cell.format().toTableCellFormat();
            spanEnd[r] = std::max(spanEnd[r], r + std::max(cf.tableCellRowSpan(), 1) - 1);
            const QTextLayout* tl = first.layout();
            double lineTop = layout.blockBoundingRect(first).top();
            if (tl && tl->lineCount() > 0) lineTop += tl->lineAt(0).y();
            top = std::min(top, lineTop - cellTopInset(tableFormat, cf, first));
        }
        std::swap(above, here);
        std::fill(here.begin(), here.end(), -1);
        if (r > 0 && top != std::numeric_limits<double>::max()) rowTop[r] = top;
    }
    rowTop[0] = frame.top();
    // The frame's rectangle starts below its top margin but is as high as the margins and
    // the rows together.
    const QTextTableFormat tf = table.format();
    rowTop[rows] = frame.bottom() - (tf.topMargin() + tf.bottomMargin()) * FrameScale;
    rowStart[0] = table.firstPosition() - 1;
    const QTextFormat::PageBreakFlags policy = table.format().pageBreakPolicy();
    for (int r = 0; r < rows;) {
        int end = spanEnd[r];
        for (int k = r; k <= end && k < rows; ++k)
            end = std::max(end, spanEnd[k]);
        end = std::min(end, rows - 1);
        const int next = end + 1;
        const bool before =
            rowBreak[r] || (r == 0 && (policy & QTextFormat::PageBreak_AlwaysBefore));
        const bool after = next == rows && (policy & QTextFormat::PageBreak_AlwaysAfter);
        if (rowTop[next] - rowTop[r] > height) {
            const std::size_t firstBand = units_.size();
            addTallRow(rowStart[r], rowStart[next], rowTop[r], rowTop[next]);
            units_[firstBand].breakBefore = before;
            units_.back().breakAfter = after;
        } else {
            units_.push_back({rowStart[r], rowTop[r], rowTop[next], before, after});
        }
        r = next;
    }
}

void TKpRichTextLayout::addTallRow(int start, int next, double top, double bottom) {
    struct Line {
        double top, bottom;
        int start;
    };
    std::vector<Line> lines;
    QAbstractTextDocumentLayout& layout = *cur_->documentLayout();
    for (QTextBlock b = cur_->findBlock(start); b.isValid() && b.position() < next; b = b.next()) {
        const QTextLayout* tl = b.layout();
        const QRectF br = layout.blockBoundingRect(b);
        for (int i = 0; tl && i < tl->lineCount(); ++i) {
            const QTextLine line = tl->lineAt(i);
            lines.push_back({br.top() + line.y(), br.top() + line.y() + line.height(),
                             b.position() + line.textStart()});
        }
    }
    std::sort(lines.begin(), lines.end(),
              [](const Line& a, const Line& b) { return a.top < b.top; });
    // A band ends where no line crosses; its start is the earliest character at or below it.
    std::vector<TKpLayoutUnit> bands{{start, top, bottom, false, false}};
    double reach = top;
    for (const Line& l : lines) {
        if (l.top >= reach && l.top > bands.back().top) {
            bands.back().bottom = l.top;
            bands.push_back({l.start, l.top, bottom, false, false});
        } else {
            bands.back().start = bands.size() == 1 ? start : std::min(bands.back().start, l.start);
        }
        reach = std::max(reach, l.bottom);
    }
    // Cells are stored one after another, so a later band may hold earlier characters; the
    // starts are made to grow, staying inside the rows' characters.
    const int count = static_cast<int>(bands.size());
    for (int k = 1; k < count; ++k) {
        int s = std::max(bands[k].start, bands[k - 1].start + 1);
        s = std::min(s, next - (count - k));
        bands[k].start = std::max(s, bands[k - 1].start + 1);
    }
    units_.insert(units_.end(), bands.begin(), bands.end());
}

// Pages are counted from the column's top, all in the frame height the layout was cut for.
TKpPageNumbers TKpRichTextLayout::pageNumbers(const TKpTextPage& page) {
    if (pageFirsts_.empty()) {
        for (std::size_t first = 0; first < units_.size();) {
            pageFirsts_.push_back(first);
            const TKpPageSpan span =
                NextPage(units_, first, frameHeight(first, height_), units_.size(), noteGap());
            const auto more = moreColumns(span, height_, units_.size());
            first = std::max(more.empty() ? span.last : more.back().last, first + 1);
        }
    }
    TKpPageNumbers numbers;
    numbers.count = std::max<int>(static_cast<int>(pageFirsts_.size()), 1);
    const auto it = std::upper_bound(pageFirsts_.begin(), pageFirsts_.end(), page.span.first);
    numbers.number = std::max<int>(static_cast<int>(it - pageFirsts_.begin()), 1);
    return numbers;
}

TKpTextPage TKpRichTextLayout::Page(int from, int width, int height, int to) {
    const int length = Length();
    if (to < 0 || to > length) to = length;
    TKpTextPage page;
    page.from = std::max(from, 0);
    if (page.from >= to) {
        page.next = std::min(page.from, length);
        return page;
    }
    layOut(width, height);
    const std::size_t first = UnitAt(units_, page.from);
    const auto endIt =
        std::lower_bound(units_.begin(), units_.end(), to,
                         [](const TKpLayoutUnit& u, int pos) { return u.start < pos; });
    const std::size_t end = std::max<std::size_t>(endIt - units_.begin(), first + 1);
    page.span = NextPage(units_, first, frameHeight(first, height), end, noteGap());
    page.columns = moreColumns(page.span, height, end);
    if (!page.columns.empty()) page.columnStep = width_ * partAt(first).stepShare;
    const std::size_t last = page.columns.empty() ? page.span.last : page.columns.back().last;
    page.next = last < end ? units_[last].start : to;
    return page;
}

void TKpRichTextLayout::Draw(QPainter& painter, const TKpTextPage& page, double originX,
                             double originY, int dpiX, int dpiY) {
    if (page.span.last <= page.span.first || dpiX <= 0 || dpiY <= 0) return;
    painter.save();
    painter.scale(double(dpiX) / KpTwipsPerInch, double(dpiY) / KpTwipsPerInch);
    painter.translate(originX, originY);
    if (!shapes_.empty()) {
        const double scale = partAt(page.span.first).scale;
        painter.scale(scale, scale);
    }
    drawColumn(painter, page, page.span);
    for (std::size_t k = 0; k < page.columns.size(); ++k) {
        painter.save();
        painter.translate(page.columnStep * double(k + 1), 0);
        drawColumn(painter, page, page.columns[k]);
        painter.restore();
    }
    painter.restore();
    if (stories_) {
        painter.save();
        painter.scale(double(dpiX) / KpTwipsPerInch, double(dpiY) / KpTwipsPerInch);
        painter.translate(originX, originY);
        drawStories(painter, page, originY);
        painter.restore();
    }
}

// One column's band of the laid-out column, with its top at the painter's origin.
void TKpRichTextLayout::drawColumn(QPainter& painter, const TKpTextPage& page,
                                   const TKpPageSpan& span) {
    if (span.last <= span.first) return;
    painter.save();
    // Only the page's band of the column; sideways, anything that sticks out still shows.
    constexpr double wide = 100.0 * KpTwipsPerInch;
    const double height = span.bottom - span.top;
    const QRectF band(-wide, 0, 2 * wide, height);
    painter.setClipRect(band, Qt::IntersectClip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    // Lines that only touch the band are left out altogether rather than clipped away.
    constexpr double touch = 0.5;
    context.clip = QRectF(-wide, span.top + touch, 2 * wide, std::max(height - 2 * touch, 0.0));
    for (std::size_t k = 0; k < parts_.size(); ++k) {
        const Part& part = parts_[k];
        const double partTop = part.first ? part.top + part.from : part.top;
        double partBottom = k + 1 < parts_.size() ? parts_[k + 1].top : span.bottom;
        if (part.last) partBottom = part.top + part.to;
        if (partBottom <= span.top || partTop >= span.bottom) continue;
        // A paragraph that goes on over the next page keeps its shaped text: the engine would
        // otherwise shape the whole paragraph again for each of its pages.
        if (span.last < units_.size()) {
            const QTextBlock last = part.doc->findBlock(units_[span.last - 1].start - part.start);
            if (last.isValid() &&
                last.position() + last.length() > units_[span.last].start - part.start)
                last.layout()->setCacheEnabled(true);
        }
        QAbstractTextDocumentLayout::PaintContext partContext = context;
        partContext.clip.translate(0, -part.top);
        const double clipTop = std::max(partContext.clip.top(), part.clipTop);
        const double clipBottom = std::min(partContext.clip.bottom(), part.clipBottom);
        if (clipBottom <= clipTop) continue;
        partContext.clip.setTop(clipTop);
        partContext.clip.setBottom(clipBottom);
        // The page records its own coordinates, not the column's.
        TKpPageBand device(painter, span.top - part.top, band, KpTwipsPerInch);
        QPainter column(&device);
        part.doc->documentLayout()->draw(&column, partContext);
        DrawPageDecorations(column, *part.doc, page.from - part.start, page.next - part.start,
                            partContext.clip, [&] { return pageNumbers(page); });
    }
    painter.restore();
}

// The page's footnotes at the foot of the frame, under a separator; the header at its
// distance from the paper's top edge, the footer at the file's distance below the text.
void TKpRichTextLayout::drawStories(QPainter& painter, const TKpTextPage& page, double originY) {
    const TKpPageStories& all = stories_->Stories();
    const auto numbers = [&] { return pageNumbers(page); };
    auto byUnit = [](const std::pair<std::size_t, int>& r, std::size_t unit) {
        return r.first < unit;
    };
    const auto lo = std::lower_bound(noteRefs_.begin(), noteRefs_.end(), page.span.first, byUnit);
    const auto hi =
        std::lower_bound(lo, noteRefs_.end(),
                         page.columns.empty() ? page.span.last : page.columns.back().last, byUnit);
    if (lo != hi) {
        double total = 0;
        for (auto it = lo; it != hi; ++it)
            total += stories_->Height(*all.footnotes[static_cast<std::size_t>(it->second)]);
        double y = height_ - total;
        // A short rule, as other writers draw it: two inches, half a point thick.
        painter.save();
        painter.setPen(QPen(Qt::black, 10));
        const double rule = y - noteGap() / 2;
        painter.drawLine(QPointF(0, rule), QPointF(std::min(2880, width_), rule));
        painter.restore();
        for (auto it = lo; it != hi; ++it) {
            const QTextDocument& note = *all.footnotes[static_cast<std::size_t>(it->second)];
            stories_->Draw(painter, note, y, numbers);
            y += stories_->Height(note);
        }
    }
    if (all.sections.empty()) return;
    // The section the page belongs to: the last one starting before the next page.
    const auto after =
        std::lower_bound(all.sections.begin(), all.sections.end(), page.next,
                         [](const TKpSectionStories& s, int pos) { return s.start < pos; });
    const TKpSectionStories& section =
        after == all.sections.begin() ? all.sections.front() : *(after - 1);
    const bool first = section.start >= page.from;
    const int number = pageNumbers(page).number;
    if (const QTextDocument* header = BandStory(all, section, false, number, first))
        stories_->Draw(painter, *header, section.headerY - originY, numbers);
    if (const QTextDocument* footer = BandStory(all, section, true, number, first)) {
        const double bottom = height_ + all.marginBottom - section.footerY;
        stories_->Draw(painter, *footer, bottom - stories_->Height(*footer), numbers);
    }
}

} // namespace kp
