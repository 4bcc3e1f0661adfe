#include "demo/InfoMemo.h"

#include <utility>

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int kShadow = 4;
// Space between the panel's edge and its text.
constexpr int kTextLeft = 6;
constexpr int kTextTop = 4;

int advance(const QFontMetrics& metrics, const QString& text) {
    // Trailing spaces take no room at the end of a row.
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return metrics.horizontalAdvance(text.left(end));
}

// Where text breaks to fit width: the last space before the first word that does not fit, or
// the end of the first word when even that does not fit. -1 when there is nothing to break.
qsizetype breakAt(const QFontMetrics& metrics, const QString& text, int width) {
    qsizetype wordStart = 0; // leading spaces are indentation, not a break
    while (wordStart < text.size() && text.at(wordStart) == QLatin1Char(' '))
        ++wordStart;
    qsizetype last = -1;
    for (qsizetype i = wordStart; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char(' ') || (i > 0 && text.at(i - 1) == QLatin1Char(' ')))
            continue;
        if (advance(metrics, text.left(i)) > width) return last >= 0 ? last : i;
        last = i;
    }
    return last;
}

} // namespace

QStringList MemoRows(const QStringList& lines, const QFontMetrics& metrics, int width) {
    QStringList rows;
    QString carried; // words a row had no room for, ahead of the next line
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool goesOn = lines[i].endsWith(QLatin1Char(' ')) && i + 1 < lines.size();
        QString text = carried + lines[i];
        carried.clear();
        bool broken = false;
        while (advance(metrics, text) > width) {
            qsizetype at = breakAt(metrics, text, width);
            if (at < 0) break;
            rows << text.left(at);
            broken = true;
            while (at < text.size() && text.at(at) == QLatin1Char(' '))
                ++at;
            text = text.mid(at);
            if (goesOn) std::swap(carried, text);
            if (text.isEmpty()) break;
        }
        if (!carried.isEmpty() && !carried.endsWith(QLatin1Char(' '))) carried += QLatin1Char(' ');
        if (!text.isEmpty() || !broken) rows << text;
    }
    for (QString& row : rows)
        while (row.endsWith(QLatin1Char(' ')))
            row.chop(1);
    return rows;
}

TInfoMemo::TInfoMemo(const QStringList& lines, QWidget* parent) : QWidget(parent), lines_(lines) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int TInfoMemo::textWidth(int width) const {
    return width - kShadow - 2 * kTextLeft;
}

QStringList TInfoMemo::Rows(int width) const {
    return MemoRows(lines_, fontMetrics(), textWidth(width));
}

int TInfoMemo::heightForWidth(int width) const {
    return Rows(width).size() * fontMetrics().lineSpacing() + 2 * kTextTop + kShadow;
}

QSize TInfoMemo::sizeHint() const {
    int widest = 0;
    for (const QString& line : lines_)
        widest = qMax(widest, advance(fontMetrics(), line));
    const int width = widest + 2 * kTextLeft + kShadow;
    return {width, heightForWidth(width)};
}

QSize TInfoMemo::minimumSizeHint() const {
    // Narrower than its widest line it still shows every word, on more rows.
    return {2 * kTextLeft + kShadow, heightForWidth(sizeHint().width())};
}

void TInfoMemo::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect panel = rect().adjusted(0, 0, -kShadow, -kShadow);
    p.fillRect(panel.translated(kShadow, kShadow), QColor(128, 128, 128));
    p.fillRect(panel, palette().color(QPalette::ToolTipBase));
    p.setPen(QColor(80, 80, 80));
    p.drawRect(panel.adjusted(0, 0, -1, -1));
    p.setPen(palette().color(QPalette::ToolTipText));
    const QFontMetrics metrics = fontMetrics();
    int y = kTextTop + metrics.ascent();
    for (const QString& row : Rows(width())) {
        p.drawText(kTextLeft, y, row);
        y += metrics.lineSpacing();
    }
}
