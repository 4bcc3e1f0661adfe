#pragma once
// Reads a rich text (RTF) file into a QTextDocument.
//
// The document is meant to be laid out on a 1,440-dpi paint device with documentMargin 0 and
// design metrics. On such a device:
// - paragraph indents (\li \ri \fi) are stored as twips;
// - block margins (\sb \sa), fixed line heights (\sl), image sizes (\picwgoal \pichgoal) and
//   table column widths (\cellx) are stored in 1/96 inch (twips / 15), because Qt scales those
//   from 96 dpi to the device;
// - font sizes are point sizes.
//
// Forced breaks (\page, \sect, and \pagebb on a paragraph) set
// QTextFormat::PageBreak_AlwaysBefore on the block that starts the new page; the reader never
// uses PageBreak_AlwaysAfter.
//
// Pictures become image resources of the document (names "rtfpict:N") shown through a
// QTextImageFormat at the picture's goal size. Metafile pictures, which Qt cannot draw, become
// a light placeholder box of the same size. A HYPERLINK field's result is an anchor.
// Tables become QTextTables; nested tables are flattened into their outer cell, one paragraph
// per nested row with the nested cells separated by tabs.
#include "paginor/KpExport.h"

#include <QByteArray>
#include <QStringList>

class QTextDocument;

namespace kp {

// Lengths in twips; each 'has' flag says the file stated it.
struct PAGINOR_EXPORT TKpRtfPageGeometry {
    bool hasPaper = false;
    int paperWidth = 0, paperHeight = 0;
    bool hasMargins = false;
    int marginLeft = 0, marginRight = 0, marginTop = 0, marginBottom = 0;
};

struct PAGINOR_EXPORT TKpRtfReadResult {
    bool ok = true;       // false when the input is not RTF at all (no "{\rtf")
    QStringList warnings; // what was skipped or malformed, for the caller to show
    TKpRtfPageGeometry geometry;
};

// True when the data starts (after an optional UTF-8 byte order mark and white space) with
// "{\rtf".
PAGINOR_EXPORT bool LooksLikeRtf(const QByteArray& data);

// Replaces doc's content with the file's. Linear in data.size(); never throws for bad input.
// When the data is not RTF, the result has ok false and doc is left as it was. A malformed file
// yields what could be read, with a warning for each kind of fault met.
// A stated paper size or margin that the file leaves out takes the format's default
// (paper 12240 x 15840, margins 1800 left and right, 1440 top and bottom).
PAGINOR_EXPORT TKpRtfReadResult ReadRtf(const QByteArray& data, QTextDocument& doc);

} // namespace kp
