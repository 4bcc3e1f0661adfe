#pragma once
// A list of images of one size, as a tree view shows beside its nodes. Rendering image n
// gives a bitmap of the list's size on a white ground.
#include "paginor/KpExport.h"

#include <vector>

#include <QImage>
#include <QObject>

namespace kp {

class PAGINOR_EXPORT TKpImageList : public QObject {
    Q_OBJECT
public:
    TKpImageList(int width, int height, QObject* parent = nullptr);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return static_cast<int>(images_.size()); }
    // Returns the new image's index; images of another size are scaled to the list's.
    int Add(const QImage& image);
    // Image n on a white bitmap of the list's size; an index outside the list leaves it white.
    QImage Bitmap(int index) const;

private:
    int width_;
    int height_;
    std::vector<QImage> images_;
};

} // namespace kp
