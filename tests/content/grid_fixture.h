#pragma once
// Shared by the content printers' tests: a hosted preview, and the objects recorded on a page
// picked out by kind.
#include <vector>

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

} // namespace kpcontent
