#pragma once
// Drawing objects added straight to a page, as the tests of every area build them
// (coordinates in KpUnits, colours as TColor).
#include <memory>

#include <QString>

#include "drawing/KpObjects.h"
#include "drawing/KpPage.h"

using namespace kp;

namespace kptest {

// A default object of type T appended to the page; the page owns it.
template <typename T> T* AddObject(TKpPage* page) {
    auto object = std::make_unique<T>();
    T* raw = object.get();
    page->AddObject(std::move(object));
    return raw;
}

inline TKpTextObject* AddText(TKpPage* page, int x, int y, const QString& text,
                              TColor color = clBlack, int size = 12) {
    auto* object = AddObject<TKpTextObject>(page);
    object->X1 = x;
    object->Y1 = y;
    object->Text = text;
    object->Font.Edit().Name = QStringLiteral("Arial");
    object->Font.Edit().Size = size;
    object->Font.Edit().Color = color;
    object->Brush.Style = bsClear;
    return object;
}

// A solid filled rectangle with a pen of its own.
inline TKpRectangleShape* AddRect(TKpPage* page, int x1, int y1, int x2, int y2, TColor fill,
                                  TColor penColor = clBlack, int penWidth = 1) {
    auto* object = AddObject<TKpRectangleShape>(page);
    object->X1 = x1;
    object->Y1 = y1;
    object->X2 = x2;
    object->Y2 = y2;
    object->Brush.Color = fill;
    object->Brush.Style = bsSolid;
    object->Pen.Edit().Color = penColor;
    object->Pen.Edit().Width = penWidth;
    return object;
}

inline TKpLineObject* AddLine(TKpPage* page, int x1, int y1, int x2, int y2, TColor color,
                              int width) {
    auto* object = AddObject<TKpLineObject>(page);
    object->X1 = x1;
    object->Y1 = y1;
    object->X2 = x2;
    object->Y2 = y2;
    object->Pen.Edit().Color = color;
    object->Pen.Edit().Width = width;
    return object;
}

} // namespace kptest
