#pragma once
// Table rows as the file describes them (\trowd ... \cellx ... \cell ... \row) and the cells'
// content, buffered until a run of rows is written as one QTextTable.
#include <cstdint>
#include <vector>

#include <QString>

#include "richtext/KpRtfState.h"

namespace kp {

namespace rtf {

constexpr int kMaxColumns = 63;

enum class TBorderStyle : uint8_t { None, Solid, Double, Dotted, Dashed };
enum class TCellAlign : uint8_t { Top, Center, Bottom };

struct TBorder {
    bool stated = false;
    TBorderStyle style = TBorderStyle::None;
    int width = 0; // twips
    int color = 0;
};

enum TSide { kTop, kLeft, kBottom, kRight, kInsideH, kInsideV, kSideCount };

// A padding a row or a cell states: its value and whether it counts (a unit of 0 says "ignore").
struct TPadding {
    int twips = 0;
    bool stated = false;
    int unit = -1; // \trpaddfX, \clpadfX: 3 is twips, 0 ignores the value; unnamed counts as twips
    bool Counts() const { return stated && unit != 0; }
};

struct TCellDef {
    int right = 0; // \cellx, twips from the row's origin
    TBorder borders[4];
    TPadding padding[4]; // by TSide
    int background = 0;  // \clcbpat
    int pattern = 0;     // \clcfpat: the colour the shading mixes in
    int shading = -1;    // \clshdng: hundredths of a percent of the pattern colour; -1 unset
    TCellAlign align = TCellAlign::Top;
};

struct TRowDef {
    int left = 0; // \trleft
    int gap = 0;  // \trgaph: half the space between cells
    TAlign align = TAlign::Left;
    TBorder borders[kSideCount]; // \trbrdrX
    TPadding padding[4];         // \trpaddX, by TSide; they win over the gap
    std::vector<TCellDef> cells;
};

// One piece of a paragraph: text in one format, or an image.
struct TRun {
    QString text;
    TCharProps chars;
    int image = -1; // index into the builder's images
};

struct TParagraph {
    std::vector<TRun> runs;
    TParaProps para;
    TCharProps mark; // the format of the paragraph mark
    bool Empty() const { return runs.empty(); }
};

struct TCell {
    std::vector<TParagraph> paragraphs;
};

struct TRow {
    TRowDef def;
    std::vector<TCell> cells;
};

// Reads the row definition words. Border words (\brdrX) apply to the side last named.
class TRowDefReader {
public:
    void Reset() { // \trowd
        def_ = TRowDef();
        cell_ = TCellDef();
        target_ = nullptr;
    }
    void EndCellDef(int right); // \cellx
    void TargetCellSide(TSide side) { target_ = &cell_.borders[side]; }
    void TargetRowSide(TSide side) { target_ = &def_.borders[side]; }
    void TargetNone() { target_ = nullptr; } // paragraph borders are not read
    void SetBorderStyle(TBorderStyle style);
    void SetBorderWidth(int twips);
    void SetBorderColor(int index);
    void SetCellBackground(int index) { cell_.background = index; }
    void SetCellPattern(int index) { cell_.pattern = index; }
    void SetCellShading(int percent100) { cell_.shading = percent100; }
    void SetCellPadding(TSide side, int twips) { SetPadding(cell_.padding[side], twips); }
    void SetCellPaddingUnit(TSide side, int unit) { cell_.padding[side].unit = unit; }
    void SetRowPadding(TSide side, int twips) { SetPadding(def_.padding[side], twips); }
    void SetRowPaddingUnit(TSide side, int unit) { def_.padding[side].unit = unit; }
    void SetCellAlign(TCellAlign align) { cell_.align = align; }
    void SetLeft(int twips) { def_.left = twips; }
    void SetGap(int twips) { def_.gap = twips; }
    void SetAlign(TAlign align) { def_.align = align; }
    const TRowDef& Def() const { return def_; }

private:
    static void SetPadding(TPadding& p, int twips);

    TRowDef def_;
    TCellDef cell_;
    TBorder* target_ = nullptr;
};

} // namespace rtf

} // namespace kp
