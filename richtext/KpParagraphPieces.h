#pragma once
// Long paragraphs cut into pieces for layout. The text engine cannot lay out a document
// taller than its fixed-point range, so a long document is laid out in parts (see
// KpColumnParts.h), and parts meet between paragraphs only; a very long paragraph of the
// laid-out copy is therefore cut every thousand lines or so where a line ends at a space: that
// space becomes a paragraph mark, the character count stays the same, and each piece breaks
// its lines where the whole paragraph would. Only the first piece keeps the space before, the
// first-line indent and a break before; only the last keeps the space after and a break
// after. A justified paragraph leaves the last line of each piece unjustified.
#include "paginor/KpExport.h"

#include <vector>

#include <QTextBlockFormat>

class QTextDocument;

namespace kp {

class PAGINOR_INTERNAL_EXPORT TKpParagraphPieces {
public:
    // Paragraphs of the root frame longer than `minLength` characters are cut every
    // `linesPerPiece` lines or so, for a column `width` units wide.
    void Cut(QTextDocument& doc, double width, int minLength = 200000, int linesPerPiece = 1000);
    // Puts every cut paragraph back together as it was.
    void Join(QTextDocument& doc);
    // Paragraph marks the cutting added.
    int Cuts() const;

private:
    struct Paragraph {
        int start;
        QTextBlockFormat format;
        std::vector<int> cuts;
    };
    std::vector<int> cutPoints(QTextDocument& doc, int start, double width, int linesPerPiece);
    std::vector<Paragraph> paragraphs_;
};

} // namespace kp
