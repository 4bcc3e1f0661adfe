#include "richtext/KpPageStoryLayout.h"

#include <algorithm>

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "richtext/KpPageBand.h"

namespace kp {

namespace {

// Qt takes frame and cell lengths in 1/96 inch; the print device has 1,440 units per inch.
constexpr double kFrameScale = 1440 / 96.0;

// Block indents are kept in 1/96 inch like every other length, so the document looks right on
// the screen; the engine scales all lengths but these to its device, so a copy laid out on
// the 1,440-dpi device gets them in device units.
void ScaleIndents(QTextDocument& doc) {
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QTextBlockFormat f = b.blockFormat();
        if (f.leftMargin() == 0 && f.rightMargin() == 0 && f.textIndent() == 0) continue;
        f.setLeftMargin(f.leftMargin() * kFrameScale);
        f.setRightMargin(f.rightMargin() * kFrameScale);
        f.setTextIndent(f.textIndent() * kFrameScale);
        cursor.setPosition(b.position());
        cursor.setBlockFormat(f);
    }
    cursor.endEditBlock();
}

} // namespace

void PrepareForPrintLayout(QTextDocument& doc, QPaintDevice& device) {
    // No layout until the frame's width is known: with the source's page size (often no
    // width at all) every change below would lay a long paragraph out as one endless line.
    doc.setPageSize(QSizeF(0, 0));
    doc.setUndoRedoEnabled(false);
    ScaleIndents(doc);
    doc.documentLayout()->setPaintDevice(&device);
    doc.setDocumentMargin(0);
    doc.setUseDesignMetrics(true);
}

TKpStoryLayout::TKpStoryLayout(std::shared_ptr<const TKpPageStories> stories, QPaintDevice& device)
    : stories_(std::move(stories)), device_(device) {}

TKpStoryLayout::~TKpStoryLayout() = default;

QTextDocument& TKpStoryLayout::copy(const QTextDocument& story) {
    auto& slot = copies_[&story];
    if (!slot) {
        slot.reset(story.clone());
        PrepareForPrintLayout(*slot, device_);
        slot->setTextWidth(width_);
    }
    return *slot;
}

void TKpStoryLayout::SetWidth(int width) {
    width = std::max(width, 1);
    if (width == width_) return;
    width_ = width;
    for (auto& [story, doc] : copies_)
        doc->setTextWidth(width_);
}

double TKpStoryLayout::Height(const QTextDocument& story) {
    return copy(story).documentLayout()->documentSize().height();
}

void TKpStoryLayout::Draw(QPainter& page, const QTextDocument& story, double top,
                          const std::function<TKpPageNumbers()>& numbers) {
    QTextDocument& doc = copy(story);
    const double height = doc.documentLayout()->documentSize().height();
    constexpr double wide = 100.0 * 1440;
    TKpPageBand device(page, -top, QRectF(-wide, top, 2 * wide, height), 1440);
    QPainter painter(&device);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    context.clip = QRectF(-wide, 0, 2 * wide, height);
    doc.documentLayout()->draw(&painter, context);
    DrawPageDecorations(painter, doc, 0, std::max(doc.characterCount() - 1, 0), context.clip,
                        numbers);
}

} // namespace kp
