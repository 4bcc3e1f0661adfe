#pragma once
// The colour table. Entry 0 is normally "auto" (an entry with no components), which reads as
// an invalid QColor: the text keeps its default colour.
#include <vector>

#include <QColor>

namespace kp {

namespace rtf {

class TColorTable {
public:
    void SetRed(int v) { Set(red_, v); }
    void SetGreen(int v) { Set(green_, v); }
    void SetBlue(int v) { Set(blue_, v); }
    void Commit();              // at each ';'
    QColor At(int index) const; // invalid for auto and out-of-range indexes

private:
    void Set(int& component, int v) {
        component = v < 0 ? 0 : (v > 255 ? 255 : v);
        stated_ = true;
    }
    std::vector<QColor> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool stated_ = false;
};

} // namespace rtf

} // namespace kp
