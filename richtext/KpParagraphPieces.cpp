#include "richtext/KpParagraphPieces.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>

namespace kp {

namespace {

// The engine rounds lengths to 1/64 unit before it breaks lines.
double Fixed(double v) {
    return qRound(v * 64) / 64.0;
}

bool Cuttable(const QTextBlock& b, int minLength) {
    if (b.length() <= minLength || b.textList()) return false;
    const QTextBlockFormat f = b.blockFormat();
    return !f.nonBreakableLines() && f.indent() == 0;
}

} // namespace

// Where the lines of the paragraph at `start` begin, laid out the way the document's layout
// lays them out: the column width less the paragraph's side margins, less the first-line
// indent on the first line; a word longer than the line is broken anywhere. A cut goes at
// the first line start after each `linesPerPiece` lines that follows a space.
std::vector<int> TKpParagraphPieces::cutPoints(QTextDocument& doc, int start, double width,
                                               int linesPerPiece) {
    const QTextBlock b = doc.findBlock(start);
    const QTextBlockFormat f = b.blockFormat();
    QTextOption option = doc.defaultTextOption();
    option.setTextDirection(b.textDirection());
    option.setTabs(f.tabPositions());
    const bool wordOrAnywhere = option.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere;
    QTextLayout* tl = b.layout();
    tl->setTextOption(option);
    const double full = Fixed(width) - Fixed(f.rightMargin()) - Fixed(f.leftMargin());
    std::vector<int> starts;
    tl->beginLayout();
    for (bool first = true;; first = false) {
        QTextLine line = tl->createLine();
        if (!line.isValid()) break;
        const double w = first ? full - Fixed(f.textIndent()) : full;
        line.setLineWidth(w);
        if (wordOrAnywhere && Fixed(line.naturalTextWidth()) > w) {
            option.setWrapMode(QTextOption::WrapAnywhere);
            tl->setTextOption(option);
            line.setLineWidth(w);
            option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            tl->setTextOption(option);
        }
        starts.push_back(line.textStart());
    }
    tl->endLayout();
    const QString text = b.text();
    std::vector<int> cuts;
    for (std::size_t i = linesPerPiece; i < starts.size(); ++i) {
        const int at = starts[i];
        if (at > 0 && at < text.size() && text.at(at - 1) == QLatin1Char(' ')) {
            cuts.push_back(b.position() + at - 1);
            i += linesPerPiece - 1;
        }
    }
    return cuts;
}

void TKpParagraphPieces::Cut(QTextDocument& doc, double width, int minLength, int linesPerPiece) {
    std::vector<int> starts;
    QTextFrame* root = doc.rootFrame();
    for (auto it = root->begin(); !it.atEnd(); ++it)
        if (!it.currentFrame() && Cuttable(it.currentBlock(), minLength))
            starts.push_back(it.currentBlock().position());
    if (starts.empty()) return;
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    for (const int start : starts) {
        Paragraph p{start, doc.findBlock(start).blockFormat(),
                    cutPoints(doc, start, width, std::max(linesPerPiece, 1))};
        if (p.cuts.empty()) continue;
        QTextBlockFormat firstPiece = p.format, middle = p.format, lastPiece = p.format;
        firstPiece.setBottomMargin(0);
        firstPiece.setPageBreakPolicy(p.format.pageBreakPolicy() &
                                      ~QTextFormat::PageBreak_AlwaysAfter);
        for (QTextBlockFormat* g : {&middle, &lastPiece}) {
            g->setTopMargin(0);
            g->setTextIndent(0);
        }
        middle.setBottomMargin(0);
        middle.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
        lastPiece.setPageBreakPolicy(p.format.pageBreakPolicy() &
                                     ~QTextFormat::PageBreak_AlwaysBefore);
        cursor.setPosition(start);
        cursor.setBlockFormat(firstPiece);
        for (std::size_t k = 0; k < p.cuts.size(); ++k) {
            cursor.setPosition(p.cuts[k]);
            cursor.setPosition(p.cuts[k] + 1, QTextCursor::KeepAnchor);
            const QTextCharFormat space = cursor.charFormat();
            cursor.insertBlock(k + 1 == p.cuts.size() ? lastPiece : middle, space);
        }
        paragraphs_.push_back(std::move(p));
    }
    cursor.endEditBlock();
}

void TKpParagraphPieces::Join(QTextDocument& doc) {
    if (paragraphs_.empty()) return;
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    for (const Paragraph& p : paragraphs_) {
        for (const int at : p.cuts) {
            // The mark that ends a piece kept the space's format.
            const QTextCharFormat space = doc.findBlock(at + 1).charFormat();
            cursor.setPosition(at);
            cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
            cursor.insertText(QStringLiteral(" "), space);
        }
        cursor.setPosition(p.start);
        cursor.setBlockFormat(p.format);
    }
    cursor.endEditBlock();
    paragraphs_.clear();
}

int TKpParagraphPieces::Cuts() const {
    int n = 0;
    for (const Paragraph& p : paragraphs_)
        n += static_cast<int>(p.cuts.size());
    return n;
}

} // namespace kp
