#include "platform/KpFontTexts.h"

#include <QPainter>
#include <QTextOption>

int TKpFontTexts::Advance(const QFontMetrics& fm, const QString& text) {
    if (text.size() > kMaxTextLength) return fm.horizontalAdvance(text);
    const auto found = advances_.constFind(text);
    if (found != advances_.cend()) return *found;
    const int advance = fm.horizontalAdvance(text);
    const qsizetype chars = text.size() + 1;
    if (advanceChars_ + chars > kAdvanceBudget) {
        advances_.clear();
        advanceChars_ = 0;
    }
    advances_.insert(text, advance);
    advanceChars_ += chars;
    return advance;
}

std::shared_ptr<const QTextLayout> TKpFontTexts::layoutOf(const QFont& font, const QString& text) {
    const auto found = layouts_.constFind(text);
    // Kept for the font it was made in: another font lays the text out anew.
    if (found != layouts_.cend() && (!*found || (*found)->font() == font)) return *found;

    // The single line drawText makes: returns and line feeds are blanks, tabs too (no tab
    // expansion), a text with length variants is drawn by drawText itself.
    std::shared_ptr<QTextLayout> layout;
    if (!text.contains(QChar(0x9c))) {
        QString line = text;
        for (QChar& c : line)
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t'))
                c = QLatin1Char(' ');
        layout = std::make_shared<QTextLayout>(line, font);
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
            // Separators that break the line anyway: drawText places further lines itself.
            oneLine = !layout->createLine().isValid();
        }
        layout->endLayout();
        if (!oneLine) layout.reset();
    }

    const qsizetype chars = text.size() + 1;
    if (layoutChars_ + chars > kLayoutBudget) {
        layouts_.clear();
        layoutChars_ = 0;
    }
    layouts_.insert(text, layout);
    layoutChars_ += chars;
    return layout;
}

void TKpFontTexts::DrawPlayed(QPainter& painter, QPointF cell, const QString& text) {
    if (text.isEmpty() || painter.pen().style() == Qt::NoPen) return;
    std::shared_ptr<const QTextLayout> layout;
    if (text.size() <= kMaxTextLength) layout = layoutOf(painter.font(), text);
    if (!layout) {
        painter.drawText(QRectF(cell, QSizeF(1, 1)), PlayedTextFlags, text);
        return;
    }
    layout->lineAt(0).draw(&painter, cell);
}
