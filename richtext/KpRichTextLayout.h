#pragma once
// A rich text document laid out for paper: a copy of the text laid out at 1,440 units per
// inch with the fonts' design metrics, so line and page breaks are the same on every screen
// and printer. Pages are cut from the laid-out column (see KpRichTextPager.h).
#include "paginor/KpExport.h"

#include <memory>
#include <vector>

#include <QImage>

#include "richtext/KpFormatRange.h"
#include "richtext/KpParagraphPieces.h"
#include "richtext/KpRichTextPager.h"

class QPainter;
class QTextDocument;
class QTextFrame;
class QTextTable;

namespace kp {

struct TKpPageNumbers;
class TKpStoryLayout;

// Layout units per inch: one unit is one twip.
constexpr int KpTwipsPerInch = 1440;

struct PAGINOR_EXPORT TKpTextPage {
    int from = 0; // first character on the page
    int next = 0; // first character of the next page (the length when all fitted)
    TKpPageSpan span;
    // A page of several columns: the columns after the first, left to right, each
    // `columnStep` twips right of the one before.
    std::vector<TKpPageSpan> columns;
    double columnStep = 0;
};

class PAGINOR_EXPORT TKpRichTextLayout {
public:
    // Lays out a copy of `source`; the source may change or go away afterwards. A document
    // longer than `partLength` characters is laid out in parts, and so is a table of more
    // than twice `tableRows` rows, in pieces of about that many rows (see KpColumnParts.h).
    explicit TKpRichTextLayout(const QTextDocument& source, int partLength = 1 << 20,
                               int tableRows = 100);
    ~TKpRichTextLayout();
    TKpRichTextLayout(const TKpRichTextLayout&) = delete;
    TKpRichTextLayout& operator=(const TKpRichTextLayout&) = delete;

    // Characters in the document: one per letter, paragraph mark, table cell mark and picture.
    int Length() const;

    // The page that starts at character `from` in a frame of width × height twips, holding
    // characters before `to` only (-1: to the end).
    TKpTextPage Page(int from, int width, int height, int to = -1);
    // Draws a page found by Page with its top-left corner at `origin` (twips) onto a painter
    // whose device has dpiX × dpiY pixels per inch. The text stays text: glyphs, not pixels.
    void Draw(QPainter& painter, const TKpTextPage& page, double originX, double originY, int dpiX,
              int dpiY);
    // Adds the links and headings of a page found by Page, placed as Draw places it, in twips
    // (KpRichTextMarks.cpp).
    void Marks(const TKpTextPage& page, double originX, double originY, TKpRangeMarks& out);

    // The units the column is cut into for frames width × height twips.
    const std::vector<TKpLayoutUnit>& Units(int width, int height);
    // The copy; laid out itself unless it is laid out in parts.
    QTextDocument& Document() { return *doc_; }
    int Parts() const { return static_cast<int>(parts_.size()); }

private:
    // A document laid out in the column from character `start`, `top` twips down.
    struct Part {
        std::unique_ptr<QTextDocument> copy; // none: the whole document
        QTextDocument* doc = nullptr;
        int start = 0;
        double top = 0;
        // Pieces of long tables: the table whose second row follows the part before (its
        // first row is context), and the table whose last row is context for the part after.
        QTextTable* first = nullptr;
        QTextTable* last = nullptr;
        int anchor = 0; // a top-aligned cell of the first own row, for aligning the piece
        // The part's own band, in its own coordinates: units starting in it, lines drawn.
        double from = -1e300, to = 1e300;
        double clipTop = -1e300, clipBottom = 1e300;
        // A section whose text area has another shape than the document's: its width and
        // height as shares of the frame's, and the scale that fits it into the frame.
        double widthShare = 1, heightShare = 1, scale = 1;
        int columns = 1;
        double stepShare = 0; // from one column to the next
    };
    struct SectionShape {
        int start = 0;
        double widthShare = 1, heightShare = 1; // of a column
        double pageShare = 1;                   // the whole text area's width
        int columns = 1;
        double stepShare = 0;
        bool operator==(const SectionShape& o) const {
            return widthShare == o.widthShare && heightShare == o.heightShare &&
                   pageShare == o.pageShare && columns == o.columns && stepShare == o.stepShare;
        }
    };
    void splitParts();
    void splitSections();
    const Part& partAt(std::size_t unit) const;
    double frameHeight(std::size_t unit, int height) const;
    std::vector<TKpPageSpan> moreColumns(const TKpPageSpan& span, int height, std::size_t end);
    void drawColumn(QPainter& painter, const TKpTextPage& page, const TKpPageSpan& span);
    bool splitTables();
    bool placePiece(std::size_t k);
    bool layOutParts(int height);
    static void copyFramePolicies(const QTextFrame& from, QTextFrame& to);
    void layOut(int width, int height);
    void addBlocks(int from, int to);
    void addTable(QTextTable& table, int height);
    void addTallRow(int start, int next, double top, double bottom);
    TKpPageNumbers pageNumbers(const TKpTextPage& page);
    void placeNotes();
    double noteGap() const;
    void drawStories(QPainter& painter, const TKpTextPage& page, double originY);

    QImage device_;
    std::unique_ptr<QTextDocument> doc_;
    std::vector<TKpLayoutUnit> units_;
    TKpParagraphPieces pieces_;
    std::vector<Part> parts_;
    QTextDocument* cur_ = nullptr; // the part whose units are being gathered
    int partLength_;
    int tableRows_;
    int width_ = -1;
    int height_ = -1;
    std::vector<std::size_t> pageFirsts_; // the first unit of each page, once a field asks
    // Headers, footers and footnotes, when the document has any; each footnote reference as
    // (unit, note index), by unit.
    std::unique_ptr<TKpStoryLayout> stories_;
    std::vector<std::pair<std::size_t, int>> noteRefs_;
    std::vector<SectionShape> shapes_; // none when every section has the document's shape
};

} // namespace kp
