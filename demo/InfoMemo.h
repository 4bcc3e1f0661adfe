#pragma once
// An explanatory text on an info-coloured panel with a grey drop shadow 4 pixels to the lower
// right, as the demo's tabs and its print dialog show them.
#include <QStringList>
#include <QWidget>

class QFontMetrics;

// The rows that lines make in a text area width pixels wide. Every line keeps its own break.
// A line too wide for the area breaks before the first word that does not fit; when the line
// goes on in the next one (it ends in a space), the words that did not fit start that next
// line, so a sentence flows on instead of leaving its last word alone on a row. A single word
// wider than the area keeps a row of its own.
QStringList MemoRows(const QStringList& lines, const QFontMetrics& metrics, int width);

class TInfoMemo : public QWidget {
public:
    TInfoMemo(const QStringList& lines, QWidget* parent);

    const QStringList& Lines() const { return lines_; }
    // The rows shown when the memo, shadow included, is width pixels wide.
    QStringList Rows(int width) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    int textWidth(int width) const;

    QStringList lines_;
};
