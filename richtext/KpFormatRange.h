#pragma once
// The "format range" operation of a rich text engine: render text from a character on into
// a rectangle of a drawing surface and tell where it stopped.
#include "paginor/KpExport.h"

#include <vector>

#include <QString>

class QPainter;

namespace kp {

// A rectangle in twips (1/1440 inch) on the surface; right and bottom are exclusive.
struct PAGINOR_EXPORT TKpTwipsRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const TKpTwipsRect&) const = default;
};

// What a rendered page holds besides its drawing, in twips on the surface: the rectangles of
// its links (one per line a link covers) and the headings that start on it.
struct PAGINOR_EXPORT TKpRangeLink {
    TKpTwipsRect rect;
    QString url;
};
struct PAGINOR_EXPORT TKpRangeHeading {
    QString title;
    int level = 1; // from 1
    int top = 0;   // the top of its first line
};
struct PAGINOR_EXPORT TKpRangeMarks {
    std::vector<TKpRangeLink> links;
    std::vector<TKpRangeHeading> headings;
};

struct PAGINOR_EXPORT TKpFormatRange {
    QPainter* painter = nullptr; // the surface rendered onto
    int dpiX = 96;               // its pixels per inch
    int dpiY = 96;
    TKpTwipsRect rc;     // where the text goes; the engine sets rc.bottom to its end
    TKpTwipsRect rcPage; // the whole page
    int cpMin = 0;       // first character
    int cpMax = -1;      // character to stop before; -1: the end
    // When set, a rendering engine that knows links and headings adds the page's here.
    TKpRangeMarks* marks = nullptr;
};

class PAGINOR_EXPORT TKpRichTextEngine {
public:
    virtual ~TKpRichTextEngine() = default;
    // Characters in the text, counted as FormatRange counts them.
    virtual int TextLength() const = 0;
    // Renders (or, without render, only measures) range->cpMin on into range->rc and returns
    // the first character that did not fit, or the length when everything fitted. A null
    // range frees the engine's formatting cache and returns 0.
    virtual int FormatRange(bool render, TKpFormatRange* range) = 0;
};

} // namespace kp
