#include "demo/FindBar.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

TFindBar::TFindBar(TKpPreview* preview, QWidget* parent) : QWidget(parent), preview_(preview) {
    auto* l = new QHBoxLayout(this);
    l->setContentsMargins(4, 2, 4, 2);
    l->addWidget(new QLabel(QStringLiteral("Find:"), this));
    Edit = new QLineEdit(this);
    Edit->setObjectName(QStringLiteral("edtFind"));
    Edit->setClearButtonEnabled(true);
    Edit->setPlaceholderText(QStringLiteral("Text on the pages"));
    l->addWidget(Edit, 1);
    auto button = [this, l](const char* name, const char* text, const char* tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setText(QString::fromUtf8(text));
        b->setToolTip(QString::fromUtf8(tip));
        l->addWidget(b);
        return b;
    };
    PreviousButton = button("btnFindPrevious", "\u25B2", "Previous match (Shift+Enter)");
    NextButton = button("btnFindNext", "\u25BC", "Next match (Enter)");
    MatchCase = new QCheckBox(QStringLiteral("Match case"), this);
    WholeWords = new QCheckBox(QStringLiteral("Whole words"), this);
    l->addWidget(MatchCase);
    l->addWidget(WholeWords);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lblFindStatus"));
    status_->setMinimumWidth(90);
    l->addWidget(status_);
    CloseButton = button("btnFindClose", "\u2715", "Close (Esc)");

    connect(Edit, &QLineEdit::returnPressed, this, [this] {
        if (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier)
            Previous();
        else
            Next();
    });
    connect(NextButton, &QToolButton::clicked, this, [this] { Next(); });
    connect(PreviousButton, &QToolButton::clicked, this, [this] { Previous(); });
    connect(CloseButton, &QToolButton::clicked, this, [this] { Close(); });
    // A changed text or option starts again from the current page.
    connect(Edit, &QLineEdit::textEdited, this, [this] {
        if (preview_) preview_->ClearFind();
        status_->clear();
    });
    for (QCheckBox* box : {MatchCase, WholeWords})
        connect(box, &QCheckBox::toggled, this, [this] {
            if (preview_ && !Edit->text().isEmpty()) Next();
        });
    if (preview_) connect(preview_, &TKpPreview::findChanged, this, [this] { showStatus(); });
    hide();
}

void TFindBar::Open() {
    show();
    Edit->setFocus();
    Edit->selectAll();
}

void TFindBar::Close() {
    hide();
    if (preview_) {
        preview_->ClearFind();
        preview_->setFocus();
    }
}

bool TFindBar::Find(const QString& text) {
    Open();
    Edit->setText(text);
    return Next();
}

TKpFindOptions TFindBar::options() const {
    TKpFindOptions o;
    o.MatchCase = MatchCase->isChecked();
    o.WholeWords = WholeWords->isChecked();
    return o;
}

bool TFindBar::Next() {
    if (!preview_ || Edit->text().isEmpty()) return false;
    const bool found = preview_->FindNext(Edit->text(), options());
    showStatus();
    return found;
}

bool TFindBar::Previous() {
    if (!preview_ || Edit->text().isEmpty()) return false;
    const bool found = preview_->FindPrevious(Edit->text(), options());
    showStatus();
    return found;
}

QString TFindBar::Status() const {
    return status_->text();
}

void TFindBar::showStatus() {
    if (!preview_ || Edit->text().isEmpty()) {
        status_->clear();
        return;
    }
    const auto& matches = preview_->FindMatches();
    if (matches.empty()) {
        // Only once a search ran: typing alone says nothing yet.
        status_->setText(preview_->FindIndex() < 0 && isVisible() ? QStringLiteral("Not found")
                                                                  : QString());
        return;
    }
    status_->setText(QStringLiteral("%1 of %2").arg(preview_->FindIndex() + 1).arg(matches.size()));
}

void TFindBar::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        Close();
        return;
    }
    QWidget::keyPressEvent(e);
}
