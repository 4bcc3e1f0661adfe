#include "richtext/KpPageDecorations.h"

#include <algorithm>
#include <cmath>

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "richtext/KpPageFields.h"

namespace kp {

namespace {

// Tab positions are kept in 1/96 inch; the print layout's device has 1,440 units per inch.
constexpr double kTabScale = 1440 / 96.0;

QColor TextColor(const QTextCharFormat& format) {
    const QBrush brush = format.foreground();
    return brush.style() == Qt::NoBrush ? QColor(Qt::black) : brush.color();
}

// The leader of the stop a tab starting at x (layout units) reaches on `line`.
QChar LeaderAt(const QTextBlockFormat& format, const QTextLine& line, double x) {
    const QString leaders = format.property(KpTabLeadersProperty).toString();
    const QList<QTextOption::Tab> tabs = format.tabPositions();
    // Stops are measured from where the line starts.
    for (qsizetype j = 0; j < tabs.size() && j < leaders.size(); ++j)
        if (tabs[j].position * kTabScale + line.x() > x + 1) return leaders[j];
    return QLatin1Char(' ');
}

void DrawLeader(QPainter& column, const QTextCharFormat& format, QChar leader, double x0, double x1,
                double baseline) {
    const QFont font = format.font();
    const QFontMetricsF metrics(font, column.device());
    column.setPen(QPen(TextColor(format),
                       std::max(metrics.lineWidth(), 1.0) * (leader == QLatin1Char('T') ? 2 : 1)));
    if (leader == QLatin1Char('_') || leader == QLatin1Char('T')) {
        const double y = baseline + metrics.underlinePos();
        column.drawLine(QPointF(x0, y), QPointF(x1, y));
        return;
    }
    const double w = metrics.horizontalAdvance(leader);
    if (w <= 0) return;
    // Whole characters, ending a little before the text the tab leads to.
    const int n = static_cast<int>(std::floor((x1 - x0 - w / 2) / w));
    if (n <= 0) return;
    column.setFont(font);
    column.drawText(QPointF(x1 - w / 4 - n * w, baseline), QString(n, leader));
}

} // namespace

void DrawPageDecorations(QPainter& column, const QTextDocument& doc, int from, int to,
                         const QRectF& clip, const std::function<TKpPageNumbers()>& numbers) {
    if (to <= from) return;
    bool known = false;
    TKpPageNumbers pages;
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    for (QTextBlock b = doc.findBlock(std::max(from, 0)); b.isValid() && b.position() < to;
         b = b.next()) {
        const QTextBlockFormat blockFormat = b.blockFormat();
        const bool leaders = blockFormat.hasProperty(KpTabLeadersProperty);
        QPointF origin; // the block layout's place in the document, found once it is needed
        bool placed = false;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const int field = format.intProperty(KpPageFieldProperty);
            if (field == 0 && !leaders) continue;
            const QString text = fragment.text();
            for (qsizetype k = 0; k < text.size(); ++k) {
                const bool tab = leaders && text[k] == QLatin1Char('\t');
                if (!tab && (field == 0 || k > 0)) continue;
                const int at = fragment.position() + static_cast<int>(k);
                if (at < from || at >= to) continue;
                const int inBlock = at - b.position();
                const QTextLine line = b.layout()->lineForTextPosition(inBlock);
                if (!line.isValid()) continue;
                if (!placed) {
                    origin = layout->blockBoundingRect(b).topLeft();
                    placed = true;
                }
                const double top = origin.y() + line.y();
                if (top + line.height() <= clip.top() || top >= clip.bottom()) continue;
                const double baseline = top + line.ascent();
                const double x0 = origin.x() + line.cursorToX(inBlock);
                if (tab) {
                    const QChar leader = LeaderAt(blockFormat, line, x0 - origin.x());
                    if (leader != QLatin1Char(' '))
                        DrawLeader(column, format, leader, x0,
                                   origin.x() + line.cursorToX(inBlock + 1), baseline);
                    continue;
                }
                if (!known) {
                    pages = numbers ? numbers() : TKpPageNumbers();
                    known = true;
                }
                const int value =
                    field == static_cast<int>(TKpPageField::PageCount) ? pages.count : pages.number;
                column.setFont(format.font());
                column.setPen(TextColor(format));
                column.drawText(QPointF(x0, baseline), QString::number(value));
            }
        }
    }
}

} // namespace kp
