#pragma once
// What the texts of one font measured and how a played recording lays them out, kept for
// the next time a page shows the same text: reports repeat their texts many times over.
// Bounded by the characters it holds; a full table starts again.
#include "paginor/KpExport.h"

#include <memory>

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPointF>
#include <QString>
#include <QTextLayout>

class QPainter;

class PAGINOR_EXPORT TKpFontTexts {
public:
    // The advance of text in the font of fm; fm must always be of the same font.
    int Advance(const QFontMetrics& fm, const QString& text);

    // Draws text the way a played recording draws it: laid out again as one line whose
    // top-left corner is at cell, in the painter's font, which must always be the same one
    // (the font these texts belong to, on the painter's device). The same pixels as
    // QPainter::drawText(QRectF(cell, 1 x 1), PlayedTextFlags, text).
    void DrawPlayed(QPainter& painter, QPointF cell, const QString& text);
    static constexpr int PlayedTextFlags =
        Qt::TextSingleLine | Qt::TextDontClip | Qt::TextForceLeftToRight;

    // How much the tables hold (characters of the texts kept).
    qsizetype AdvanceChars() const { return advanceChars_; }
    qsizetype LayoutChars() const { return layoutChars_; }

    // Texts longer than this are measured and laid out each time; the budgets bound the
    // memory of the tables (a laid-out character takes some tens of bytes).
    static constexpr qsizetype kMaxTextLength = 256;
    static constexpr qsizetype kAdvanceBudget = 64 * 1024;
    static constexpr qsizetype kLayoutBudget = 16 * 1024;

private:
    // The line laid out as drawText lays out a single line, or null when the text does not
    // make exactly one such line (that text is drawn the ordinary way).
    std::shared_ptr<const QTextLayout> layoutOf(const QFont& font, const QString& text);

    QHash<QString, int> advances_;
    qsizetype advanceChars_ = 0;
    QHash<QString, std::shared_ptr<const QTextLayout>> layouts_;
    qsizetype layoutChars_ = 0;
};
