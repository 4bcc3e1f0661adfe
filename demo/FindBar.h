#pragma once
// The find bar under the preview (Ctrl+F): the text, next and previous, match case and whole
// words, and where the user stands ("3 of 41") or that nothing was found.
#include <QPointer>
#include <QWidget>

#include "preview/KpPreview.h"

using namespace kp;

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

class TFindBar : public QWidget {
public:
    TFindBar(TKpPreview* preview, QWidget* parent);

    // Shows the bar with its text selected, ready for typing.
    void Open();
    // Hides the bar; the marks go with it.
    void Close();
    // Looks for text (as typed in the bar) and shows the first match.
    bool Find(const QString& text);
    bool Next();
    bool Previous();
    // What the status shows: "3 of 41", "Not found", or nothing.
    QString Status() const;

    QLineEdit* Edit;
    QToolButton *NextButton, *PreviousButton, *CloseButton;
    QCheckBox *MatchCase, *WholeWords;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    TKpFindOptions options() const;
    void showStatus();

    QPointer<TKpPreview> preview_;
    QLabel* status_;
};
