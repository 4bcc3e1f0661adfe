#pragma once
// Documents built the way the rich text reader builds them (point sizes; margins, image
// sizes and column widths in 1/96 inch), for the page layout tests.
#include <memory>

#include <QImage>
#include <QPainter>
#include <QString>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

namespace rtfdocs {

// Frames in twips: the A4 text rectangle for 40 mm top and bottom margins, and a short one.
constexpr int kWidth = 10200;
constexpr int kHeight = 12300;
constexpr int kShort = 3000;

inline std::unique_ptr<QTextDocument> NewDocument() {
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(QFont(QStringLiteral("Liberation Serif"), 12));
    return doc;
}

// Paragraph i reads "P<i> " followed by `words` words.
inline QString ParagraphText(int i, int words) {
    QString s = QStringLiteral("P%1").arg(i, 4, 10, QLatin1Char('0'));
    for (int w = 0; w < words; ++w)
        s += QStringLiteral(" word%1").arg(w % 7);
    return s;
}

inline void AddParagraphs(QTextCursor& c, int first, int count, int words,
                          QTextFormat::PageBreakFlags firstPolicy = {}) {
    for (int i = first; i < first + count; ++i) {
        if (!c.atStart() || i != first) c.insertBlock();
        QTextBlockFormat f = c.blockFormat();
        f.setPageBreakPolicy(i == first ? firstPolicy : QTextFormat::PageBreak_Auto);
        c.setBlockFormat(f);
        c.insertText(ParagraphText(i, words));
    }
}

// A table whose cell (r, c) holds `lines(r)` paragraphs "R<r>C<c>L<k>".
template <typename Lines> QTextTable* AddTable(QTextCursor& c, int rows, int columns, Lines lines) {
    c.insertBlock();
    QTextTableFormat tf;
    tf.setBorder(1);
    tf.setCellPadding(2);
    tf.setCellSpacing(0);
    QTextTable* table = c.insertTable(rows, columns, tf);
    for (int r = 0; r < rows; ++r)
        for (int col = 0; col < columns; ++col) {
            QTextCursor cc = table->cellAt(r, col).firstCursorPosition();
            for (int k = 0; k < lines(r); ++k) {
                if (k) cc.insertBlock();
                cc.insertText(QStringLiteral("R%1C%2L%3").arg(r).arg(col).arg(k));
            }
        }
    c.movePosition(QTextCursor::End);
    return table;
}

// A picture paragraph of w × h in 1/96 inch (a picture's size on the page).
inline int AddPicture(QTextDocument& doc, QTextCursor& c, int w, int h) {
    static int n = 0;
    const QString name = QStringLiteral("pic:%1").arg(++n);
    QImage img(32, 32, QImage::Format_RGB32);
    img.fill(Qt::darkBlue);
    doc.addResource(QTextDocument::ImageResource, QUrl(name), img);
    c.insertBlock();
    const int position = c.position();
    QTextImageFormat f;
    f.setName(name);
    f.setWidth(w);
    f.setHeight(h);
    c.insertImage(f);
    return position;
}

} // namespace rtfdocs
