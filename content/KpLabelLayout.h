#pragma once
// Where the labels of one sheet lie, apart from any preview: the label grid from the sheet's
// top-left label corner, the order in which the label printer visits the labels (column by
// column, each from top to bottom) and the order in which a mail merge fills them (across
// each row, then down).
#include "paginor/KpExport.h"

#include <cstdint>

#include <QPoint>
#include <QString>

namespace kp {

struct PAGINOR_EXPORT TKpLabelGeometry {
    int32_t Left = 0; // corner of the first label, KpUnits
    int32_t Top = 0;
    int32_t LabelWidth = 0;
    int32_t LabelHeight = 0;
    int32_t HorzPitch = 0; // 0: the label width
    int32_t VertPitch = 0; // 0: the label height
    int32_t Columns = 0;
    int32_t Rows = 0;
};

class PAGINOR_EXPORT TKpLabelLayout {
public:
    // More labels than this on one sheet are refused (a mistyped count, not a sheet).
    static constexpr int MaxLabels = 1000;

    explicit TKpLabelLayout(const TKpLabelGeometry& geometry);

    // Empty when the geometry makes a sheet; otherwise why not.
    QString Problem() const;
    int Count() const;
    int Columns() const { return g_.Columns; }
    int Rows() const { return g_.Rows; }
    // The visit-th label visited (from 0): its column, row and top-left corner.
    int Column(int visit) const { return visit / g_.Rows; }
    int Row(int visit) const { return visit % g_.Rows; }
    QPoint Corner(int visit) const;
    // The visit-th label's place in the fill order: across each row then down, or (down) the
    // visiting order itself.
    int FillIndex(int visit, bool down) const;

private:
    TKpLabelGeometry g_;
};

} // namespace kp
