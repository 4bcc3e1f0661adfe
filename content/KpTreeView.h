#pragma once
// A tree view with an image list: a QTreeWidget read as a tree source. A node's image index
// is kept in the item's KpImageIndexRole data of column 0.
#include "paginor/KpExport.h"

#include <vector>

#include <QPointer>
#include <QTreeWidget>

#include "content/KpImageList.h"
#include "content/KpTreeSource.h"

namespace kp {

class PAGINOR_EXPORT TKpTreeView : public QTreeWidget, public IKpTreeSource {
    Q_OBJECT
public:
    explicit TKpTreeView(QWidget* parent = nullptr);
    ~TKpTreeView() override;

    int Count() const override { return static_cast<int>(nodes().size()); }
    QString Text(int index) const override;
    int Level(int index) const override;
    int ImageIndex(int index) const override;
    bool IsVisible(int index) const override;
    const TKpImageList* Images() const override { return images_; }

    // Not owned; empty once the list is destroyed.
    void SetImages(TKpImageList* images);
    // The node at a display position (from 0).
    QTreeWidgetItem* Node(int index) const { return nodes().at(static_cast<size_t>(index)); }
    // Appends a node under parent (a root when null) and returns it.
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& text, int imageIndex = -1);
    // Stores an item's image index (-1: none) in its KpImageIndexRole data.
    static void SetImageIndex(QTreeWidgetItem* item, int imageIndex);

private:
    const std::vector<QTreeWidgetItem*>& nodes() const;
    QPointer<TKpImageList> images_;
    mutable std::vector<QTreeWidgetItem*> nodes_;
    mutable bool stale_ = true;
};

} // namespace kp
