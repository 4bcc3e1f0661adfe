#pragma once
// Shared by the content printers' tests: a hosted preview, and the objects recorded on a page
// picked out by kind.
#include <vector>

#include <QStringList>

#include "content/KpGridPrint.h"
#include "drawing/KpObjects.h"
#include "drawing/KpPage.h"
#include "printing/print_fixture.h"

using namespace kp;

namespace kpcontent {

template <typename T> std::vector<T*> ObjectsOf(TKpPage* page, int32_t type) {
    std::vector<T*> out;
    for (int i = 0; i < page->Count(); ++i)
        if (page->Objects(i)->ObjectType == type) out.push_back(static_cast<T*>(page->Objects(i)));
    return out;
}

inline std::vector<TKpLineObject*> Lines(TKpPage* page) {
    return ObjectsOf<TKpLineObject>(page, kpLineObject);
}
inline std::vector<TKpTextBoxObject*> TextBoxes(TKpPage* page) {
    return ObjectsOf<TKpTextBoxObject>(page, kpTextBoxObject);
}
inline std::vector<TKpRectangleShape*> Rectangles(TKpPage* page) {
    return ObjectsOf<TKpRectangleShape>(page, kpRectangleShape);
}
inline std::vector<TKpTextObject*> Texts(TKpPage* page) {
    return ObjectsOf<TKpTextObject>(page, kpTextObject);
}

// True when the page holds a line between the two points (either direction).
inline bool HasLine(TKpPage* page, int x1, int y1, int x2, int y2) {
    for (TKpLineObject* l : Lines(page))
        if ((l->X1 == x1 && l->Y1 == y1 && l->X2 == x2 && l->Y2 == y2) ||
            (l->X1 == x2 && l->Y1 == y2 && l->X2 == x1 && l->Y2 == y1))
            return true;
    return false;
}

// rows × cols cells reading "r<row>c<col>".
inline std::vector<QStringList> Rows(int rows, int cols) {
    std::vector<QStringList> out;
    for (int r = 0; r < rows; ++r) {
        QStringList row;
        for (int c = 0; c < cols; ++c)
            row << QStringLiteral("r%1c%2").arg(r).arg(c);
        out.push_back(row);
    }
    return out;
}

// A grid printer linked to a hosted preview, with the errors it reports collected.
class GridPrinterTest : public ::testing::Test {
protected:
    void SetUp() override { printer.SetPreview(&preview); }
    kptest::ErrorCollector errors;
    kptest::PreviewHost host;
    TKpPreview& preview = *host.preview;
    TKpGridPrint printer;
};

} // namespace kpcontent
