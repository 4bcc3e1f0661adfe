#include "content/KpTreeView.h"

#include <QAbstractItemModel>

namespace kp {

namespace {
void collect(QTreeWidgetItem* item, std::vector<QTreeWidgetItem*>& out) {
    out.push_back(item);
    for (int i = 0; i < item->childCount(); ++i)
        collect(item->child(i), out);
}
} // namespace

TKpTreeView::TKpTreeView(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    // The display order is recomputed after any change of the items.
    auto stale = [this] { stale_ = true; };
    QAbstractItemModel* m = model();
    connect(m, &QAbstractItemModel::rowsInserted, this, stale);
    connect(m, &QAbstractItemModel::rowsRemoved, this, stale);
    connect(m, &QAbstractItemModel::rowsMoved, this, stale);
    connect(m, &QAbstractItemModel::modelReset, this, stale);
    connect(m, &QAbstractItemModel::layoutChanged, this, stale);
}

TKpTreeView::~TKpTreeView() {
    // The tree widget empties its model after this part is gone: no more news of it here.
    disconnect(model(), nullptr, this, nullptr);
}

const std::vector<QTreeWidgetItem*>& TKpTreeView::nodes() const {
    if (stale_) {
        nodes_.clear();
        for (int i = 0; i < topLevelItemCount(); ++i)
            collect(topLevelItem(i), nodes_);
        stale_ = false;
    }
    return nodes_;
}

QString TKpTreeView::Text(int index) const {
    return Node(index)->text(0);
}

int TKpTreeView::Level(int index) const {
    int level = 0;
    for (const QTreeWidgetItem* p = Node(index)->parent(); p; p = p->parent())
        ++level;
    return level;
}

int TKpTreeView::ImageIndex(int index) const {
    const QVariant v = Node(index)->data(0, KpImageIndexRole);
    return v.isValid() ? v.toInt() : -1;
}

bool TKpTreeView::IsVisible(int index) const {
    for (const QTreeWidgetItem* p = Node(index)->parent(); p; p = p->parent())
        if (!p->isExpanded()) return false;
    return true;
}

void TKpTreeView::SetImages(TKpImageList* images) {
    images_ = images;
    if (images) setIconSize(QSize(images->Width(), images->Height()));
}

QTreeWidgetItem* TKpTreeView::AddNode(QTreeWidgetItem* parent, const QString& text,
                                      int imageIndex) {
    // Owned by the tree (a root) or by its parent item.
    QTreeWidgetItem* item = parent ? new QTreeWidgetItem(parent, QStringList{text})
                                   : new QTreeWidgetItem(this, QStringList{text});
    SetImageIndex(item, imageIndex);
    if (images_ && imageIndex >= 0)
        item->setIcon(0, QIcon(QPixmap::fromImage(images_->Bitmap(imageIndex))));
    return item;
}

void TKpTreeView::SetImageIndex(QTreeWidgetItem* item, int imageIndex) {
    item->setData(0, KpImageIndexRole, imageIndex);
}

} // namespace kp
