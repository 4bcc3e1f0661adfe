#pragma once
// Tree nodes held as a plain list in display order, for hosts without a widget (an indented
// outline read from a text file). A node is visible when every ancestor is expanded.
#include "paginor/KpExport.h"

#include <vector>

#include <QByteArray>
#include <QString>

#include "content/KpTreeSource.h"

namespace kp {

struct PAGINOR_EXPORT TKpTreeNode {
    QString Text;
    int Level = 0;
    int ImageIndex = -1;
    bool Expanded = true; // false hides the node's descendants unless ExpandNodes is set
};

class PAGINOR_EXPORT TKpTreeList : public IKpTreeSource {
public:
    TKpTreeList() = default;
    explicit TKpTreeList(std::vector<TKpTreeNode> nodes) : nodes_(std::move(nodes)) {}

    int Count() const override { return static_cast<int>(nodes_.size()); }
    QString Text(int index) const override { return node(index).Text; }
    int Level(int index) const override { return node(index).Level; }
    int ImageIndex(int index) const override { return node(index).ImageIndex; }
    bool IsVisible(int index) const override;
    const TKpImageList* Images() const override { return nullptr; }
    const std::vector<TKpTreeNode>& Nodes() const { return nodes_; }

private:
    const TKpTreeNode& node(int index) const { return nodes_.at(static_cast<size_t>(index)); }
    std::vector<TKpTreeNode> nodes_;
};

// Reads an indented outline: one node per non-blank line, its level given by the leading
// indentation (spaces, tabs to the next multiple of 4, and the line-drawing prefixes of a
// `tree` listing). A deeper line is a child of the line above it; a shallower one returns to
// the nearest earlier line indented no further.
class PAGINOR_EXPORT TKpOutlineReader {
public:
    // False on bad input, with Error() naming the line.
    bool Read(const QByteArray& bytes);
    const std::vector<TKpTreeNode>& Nodes() const { return nodes_; }
    QString Error() const { return error_; }

private:
    std::vector<TKpTreeNode> nodes_;
    QString error_;
};

} // namespace kp
