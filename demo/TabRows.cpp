#include "demo/TabRows.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kSpacing = 2;
constexpr int kMargin = 2;
} // namespace

std::vector<std::vector<int>> TabRowsLayout(const std::vector<int>& widths, int width,
                                            int spacing) {
    std::vector<std::vector<int>> rows;
    int used = 0;
    for (int i = 0; i < static_cast<int>(widths.size()); ++i) {
        const int w = widths[i];
        if (!rows.empty() && used + spacing + w <= width) {
            used += spacing + w;
            rows.back().push_back(i);
        } else {
            rows.push_back({i});
            used = w;
        }
    }
    return rows;
}

TTabRows::TTabRows(QTabWidget* tabs, int width, QWidget* parent)
    : QWidget(parent), tabs_(tabs), group_(new QButtonGroup(this)) {
    tabs->tabBar()->hide();
    setFixedWidth(width);
    std::vector<int> widths;
    for (int i = 0; i < tabs->count(); ++i) {
        auto* b = new QToolButton(this);
        b->setText(tabs->tabText(i));
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        group_->addButton(b, i);
        widths.push_back(b->sizeHint().width());
    }
    rows_ = TabRowsLayout(widths, width - 2 * kMargin, kSpacing);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    column->setSpacing(kSpacing);
    for (const auto& row : rows_) {
        auto* line = new QHBoxLayout;
        line->setSpacing(kSpacing);
        for (int i : row)
            line->addWidget(group_->button(i), 1);
        column->addLayout(line);
    }
    // A button picks its tab as a click on the tab would; the tab widget's own changes
    // (a demo selecting its tab) show on the buttons.
    connect(group_, &QButtonGroup::idClicked, tabs, &QTabWidget::setCurrentIndex);
    connect(tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (QAbstractButton* b = Button(index)) b->setChecked(true);
    });
    if (QAbstractButton* b = Button(tabs->currentIndex())) b->setChecked(true);
}

QAbstractButton* TTabRows::Button(int index) const {
    return group_->button(index);
}
