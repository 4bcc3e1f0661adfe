#pragma once
// What the text engine cannot draw itself, drawn over a laid-out page: the values of page
// fields (the page's number, the page count) over their placeholders, and the leaders that
// fill the gap before a tab stop (see KpPageFields.h for how the reader marks both).
#include <functional>

#include <QRectF>

class QPainter;
class QTextDocument;

namespace kp {

struct TKpPageNumbers {
    int number = 1;
    int count = 1;
};

// Draws onto `column`, which paints in `doc`'s coordinates, the fields and leaders of the
// characters [from, to) whose lines lie inside `clip`. `numbers` is asked only when a page
// field is met.
void DrawPageDecorations(QPainter& column, const QTextDocument& doc, int from, int to,
                         const QRectF& clip, const std::function<TKpPageNumbers()>& numbers);

} // namespace kp
