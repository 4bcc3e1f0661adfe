#include "richtext/KpColumnParts.h"

#include <algorithm>

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>

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

std::unique_ptr<QTextDocument> CopyPart(QTextDocument& doc, int from, int to,
                                        QPaintDevice& device) {
    auto part = std::make_unique<TKpPartDocument>(doc);
    part->setUndoRedoEnabled(false);
    part->setPageSize(QSizeF(0, 0));
    part->setDefaultFont(doc.defaultFont());
    part->setDefaultTextOption(doc.defaultTextOption());
    part->setIndentWidth(doc.indentWidth());
    part->setDocumentMargin(doc.documentMargin());
    part->setUseDesignMetrics(doc.useDesignMetrics());
    part->documentLayout()->setPaintDevice(&device);
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

} // namespace kp
