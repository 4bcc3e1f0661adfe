#pragma once
// What the tree printer reads from a tree view: its nodes in display order (every node, also
// those under collapsed parents), each with its text, level (0 for roots) and image index,
// whether it is visible (all its ancestors expanded), and the tree's image list.
#include "paginor/KpExport.h"

#include <QString>
#include <Qt>

namespace kp {

class TKpImageList;

// The item data role that holds a node's image index in the widget and model adapters.
constexpr int KpImageIndexRole = Qt::UserRole + 0x4B50;

class PAGINOR_EXPORT IKpTreeSource {
public:
    virtual ~IKpTreeSource() = default;
    virtual int Count() const = 0;
    virtual QString Text(int index) const = 0;
    virtual int Level(int index) const = 0;
    // -1 for none.
    virtual int ImageIndex(int index) const = 0;
    virtual bool IsVisible(int index) const = 0;
    // Null when the tree has no image list.
    virtual const TKpImageList* Images() const = 0;
};

} // namespace kp
