#include "platform/KpFontTexts.h"

#include <QPainter>
#include <QTextOption>

namespace kp {

namespace {

// The single line drawText lays out for a played text: returns and line feeds are blanks,
// tabs too (no tab expansion). Null for a text with length variants or one that breaks
// into more lines anyway (separators): drawText places those itself.
std::shared_ptr<const QTextLayout> layOut(const QFont& font, const QString& text) {
    if (text.contains(QChar(0x9c))) return nullptr;
    QString line = text;
    for (QChar& c : line)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
    auto layout = std::make_shared<QTextLayout>(line, font);
    QTextOption option = layout->textOption();
    option.setTextDirection(Qt::LeftToRight);
    option.setAlignment(Qt::AlignLeft);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    QTextLine first = layout->createLine();
    bool oneLine = first.isValid();
    if (oneLine) {
        first.setLineWidth(0x01000000);
        first.setPosition(QPointF(0, 0));
        oneLine = !layout->createLine().isValid();
    }
    layout->endLayout();
    if (!oneLine) return nullptr;
    return layout;
}

} // namespace

void TKpFontTexts::clear() {
    last_ = nullptr;
    lastText_.clear();
    texts_.clear();
    keptChars_ = 0;
    laidOutChars_ = 0;
}

TKpFontTexts::TKept& TKpFontTexts::kept(const QString& text) {
    // A text is measured and then drawn: the second look-up is the first one's (the same
    // characters; entries stay where they are until the next insertion).
    if (last_ && text.constData() == lastText_.constData() && text.size() == lastText_.size())
        return *last_;
    auto found = texts_.find(text);
    if (found == texts_.end()) {
        const qsizetype chars = text.size() + 1;
        if (keptChars_ + chars > kKeptBudget) clear();
        keptChars_ += chars;
        found = texts_.insert(text, TKept{});
    }
    last_ = &*found;
    lastText_ = text;
    return *last_;
}

int TKpFontTexts::Advance(const QFontMetrics& fm, const QString& text) {
    if (text.size() > kMaxTextLength) return fm.horizontalAdvance(text);
    TKept& k = kept(text);
    if (k.advance < 0) k.advance = fm.horizontalAdvance(text);
    return k.advance;
}

void TKpFontTexts::DrawPlayed(QPainter& painter, QPointF cell, const QString& text) {
    if (text.isEmpty() || painter.pen().style() == Qt::NoPen) return;
    if (text.size() <= kMaxTextLength) {
        TKept* k = &kept(text);
        // A layout is kept for the font it was made in: another font lays the text out anew.
        if (k->layout && k->layout->font() == painter.font()) {
            k->layout->lineAt(0).draw(&painter, cell);
            return;
        }
        if (k->drawn && !k->plain) {
            const qsizetype chars = text.size() + 1;
            if (laidOutChars_ + chars > kLaidOutBudget) {
                clear();
                k = &kept(text);
            } else {
                k->layout = layOut(painter.font(), text);
                k->plain = !k->layout;
                if (k->layout) {
                    laidOutChars_ += chars;
                    k->layout->lineAt(0).draw(&painter, cell);
                    return;
                }
            }
        }
        k->drawn = true;
    }
    painter.drawText(QRectF(cell, QSizeF(1, 1)), PlayedTextFlags, text);
}

} // namespace kp
