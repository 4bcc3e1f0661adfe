#include "content/KpModelTree.h"

#include <QAbstractItemModel>
#include <QTreeView>

namespace kp {

TKpModelTree::TKpModelTree(const QAbstractItemModel* model, const QTreeView* view,
                           const QModelIndex& root)
    : model_(model), view_(view), root_(root) {}

const std::vector<TKpModelTree::Node>& TKpModelTree::nodes() const {
    // Read afresh on each count: the printer counts once, then reads by position.
    return nodes_;
}

int TKpModelTree::Count() const {
    nodes_.clear();
    if (!model_) return 0;
    // Depth first, parents before their children, without recursion.
    std::vector<Node> stack;
    const QModelIndex root = root_;
    for (int r = model_->rowCount(root) - 1; r >= 0; --r)
        stack.push_back({model_->index(r, 0, root), 0});
    while (!stack.empty()) {
        Node node = stack.back();
        stack.pop_back();
        nodes_.push_back(node);
        const QModelIndex parent = node.index;
        for (int r = model_->rowCount(parent) - 1; r >= 0; --r)
            stack.push_back({model_->index(r, 0, parent), node.level + 1});
    }
    return static_cast<int>(nodes_.size());
}

QString TKpModelTree::Text(int index) const {
    return nodes().at(static_cast<size_t>(index)).index.data(Qt::DisplayRole).toString();
}

int TKpModelTree::Level(int index) const {
    return nodes().at(static_cast<size_t>(index)).level;
}

int TKpModelTree::ImageIndex(int index) const {
    const QVariant v = nodes().at(static_cast<size_t>(index)).index.data(KpImageIndexRole);
    return v.isValid() ? v.toInt() : -1;
}

bool TKpModelTree::IsVisible(int index) const {
    if (!view_) return true;
    const QModelIndex root = root_;
    for (QModelIndex p = nodes().at(static_cast<size_t>(index)).index.parent();
         p.isValid() && p != root; p = p.parent())
        if (!view_->isExpanded(p)) return false;
    return true;
}

} // namespace kp
