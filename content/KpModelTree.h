#pragma once
// A tree model read as a tree source: the column-0 items under a root index in display
// order. Expansion comes from a tree view showing the model when one is given; without one
// every node counts as visible. Image indexes are read from KpImageIndexRole.
#include "paginor/KpExport.h"

#include <vector>

#include <QPersistentModelIndex>
#include <QPointer>

#include "content/KpImageList.h"
#include "content/KpTreeSource.h"

class QAbstractItemModel;
class QTreeView;

namespace kp {

class PAGINOR_EXPORT TKpModelTree : public IKpTreeSource {
public:
    explicit TKpModelTree(const QAbstractItemModel* model, const QTreeView* view = nullptr,
                          const QModelIndex& root = {});

    int Count() const override;
    QString Text(int index) const override;
    int Level(int index) const override;
    int ImageIndex(int index) const override;
    bool IsVisible(int index) const override;
    const TKpImageList* Images() const override { return images_; }
    void SetImages(TKpImageList* images) { images_ = images; }

private:
    struct Node {
        QPersistentModelIndex index;
        int level;
    };
    // The nodes as the model holds them now.
    const std::vector<Node>& nodes() const;

    QPointer<const QAbstractItemModel> model_;
    QPointer<const QTreeView> view_;
    QPersistentModelIndex root_;
    QPointer<TKpImageList> images_;
    mutable std::vector<Node> nodes_;
};

} // namespace kp
