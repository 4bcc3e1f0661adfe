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

namespace kp {

class PAGINOR_EXPORT TKpFontTexts {
public:
    // The advance of text in the font of fm; fm must always be of the same font.
    int Advance(const QFontMetrics& fm, const QString& text);

    // Draws text the way a played recording draws it: laid out again as one line whose
    // top-left corner is at cell, in the painter's font (the font these texts belong to,
    // on the painter's device). The same pixels as
    // QPainter::drawText(QRectF(cell, 1 x 1), PlayedTextFlags, text). A text is laid out to
    // be kept the second time it is drawn: a page of texts that never repeat costs no more
    // than drawing them the ordinary way.
    void DrawPlayed(QPainter& painter, QPointF cell, const QString& text);
    static constexpr int PlayedTextFlags =
        Qt::TextSingleLine | Qt::TextDontClip | Qt::TextForceLeftToRight;

    // How much the table holds: characters of the texts kept, and of those laid out.
    qsizetype KeptChars() const { return keptChars_; }
    qsizetype LaidOutChars() const { return laidOutChars_; }

    // Texts longer than this are measured and laid out each time; the budgets bound the
    // memory of the table (a laid-out character takes some tens of bytes).
    static constexpr qsizetype kMaxTextLength = 256;
    static constexpr qsizetype kKeptBudget = 64 * 1024;
    static constexpr qsizetype kLaidOutBudget = 16 * 1024;

private:
    struct TKept {
        int advance = -1;   // not measured yet
        bool drawn = false; // drawn once the ordinary way
        bool plain = false; // not one line: always drawn the ordinary way
        std::shared_ptr<const QTextLayout> layout;
    };
    // The text's entry, made (after emptying a full table) when it has none.
    TKept& kept(const QString& text);
    void clear();

    QHash<QString, TKept> texts_;
    TKept* last_ = nullptr; // the entry looked up last, for lastText_
    QString lastText_;
    qsizetype keptChars_ = 0;
    qsizetype laidOutChars_ = 0;
};

} // namespace kp
