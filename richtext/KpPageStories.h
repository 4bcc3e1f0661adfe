#pragma once
// The text a document keeps beside its body: the headers and footers of each section and the
// footnotes. The reader writes each into a document of its own and hangs them on the body
// document (a resource, so a copy of the body keeps them); the print layout draws them on the
// pages (see KpPageStoryLayout.h).
#include "paginor/KpExport.h"

#include <array>
#include <memory>
#include <utility>
#include <vector>

#include <QTextFormat>

class QTextDocument;

namespace kp {

// Which pages a header or footer is for. Without facing pages the plain one (or else the
// right-page one) is on every page; a title page gets the first-page one only.
enum class TKpStoryKind : int {
    Header = 0,
    HeaderLeft = 1,
    HeaderRight = 2,
    HeaderFirst = 3,
    Footer = 4,
    FooterLeft = 5,
    FooterRight = 6,
    FooterFirst = 7,
    Footnote = 8
};
constexpr int KpBandStoryCount = 8;

struct PAGINOR_INTERNAL_EXPORT TKpSectionStories {
    int start = 0;          // the section's first character in the body
    bool titlePage = false; // its first page has a header and footer of its own
    int headerY = 720;      // twips from the paper's top edge to the header's top
    int footerY = 720;      // twips from the paper's bottom edge to the footer's bottom
    std::array<std::shared_ptr<const QTextDocument>, KpBandStoryCount> bands;
    // The section's own paper and margins in twips; 0 (margins -1) where it keeps the
    // document's.
    int paperWidth = 0, paperHeight = 0;
    bool landscape = false;
    int marginLeft = -1, marginRight = -1, marginTop = -1, marginBottom = -1;
    int columns = 1;     // columns of text side by side
    int columnGap = 720; // twips between them
};

struct PAGINOR_INTERNAL_EXPORT TKpPageStories {
    std::vector<TKpSectionStories> sections; // by start, the first at 0
    bool facing = false;                     // odd and even pages have headers of their own
    // The document's paper and margins in twips. Footers keep their distance from the
    // text's bottom edge; a section with a text area of another shape is laid out at its own
    // width and height, scaled to the frame when it is wider.
    int paperWidth = 12240, paperHeight = 15840;
    int marginLeft = 1800, marginRight = 1800, marginTop = 1440, marginBottom = 1440;
    // Footnotes shown at the foot of the page that refers to them, in order; the reference
    // is a character whose KpNoteProperty is the note's index + 1.
    std::vector<std::shared_ptr<const QTextDocument>> footnotes;
};

// A character format's footnote: the index + 1 of the note it refers to.
constexpr int KpNoteProperty = QTextFormat::UserProperty + 0x4B72;
// A block format's keep flags (KpKeep…): its lines stay on one page, or its last line stays
// with the next paragraph's first.
constexpr int KpKeepProperty = QTextFormat::UserProperty + 0x4B73;
constexpr int KpKeepTogether = 1;
constexpr int KpKeepWithNext = 2;

// Hangs the stories on `doc`, or reads them back (none when the document has none).
PAGINOR_INTERNAL_EXPORT void SetPageStories(QTextDocument& doc,
                                            std::shared_ptr<const TKpPageStories> stories);
PAGINOR_INTERNAL_EXPORT std::shared_ptr<const TKpPageStories> PageStories(const QTextDocument& doc);

// The band story a page shows: the page's number in the document, whether it is the first
// page of its section; null when the page has none.
PAGINOR_INTERNAL_EXPORT const QTextDocument* BandStory(const TKpPageStories& stories,
                                                       const TKpSectionStories& section,
                                                       bool footer, int pageNumber,
                                                       bool firstOfSection);

// A section's text area (width, height) in twips, by its own page or the document's.
PAGINOR_INTERNAL_EXPORT std::pair<int, int> TextArea(const TKpPageStories& stories,
                                                     const TKpSectionStories& section);

// The section holding character `position`.
PAGINOR_INTERNAL_EXPORT const TKpSectionStories* SectionAt(const TKpPageStories& stories,
                                                           int position);

} // namespace kp
