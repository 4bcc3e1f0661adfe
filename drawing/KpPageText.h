#pragma once
// The text of a page, ready to be searched: text objects read straight from the objects,
// pictures played through a text collector, text boxes kept whole and laid out only when a
// match lands in one. Texts that continue one another on a baseline are searched as one line.
#include "paginor/KpExport.h"

#include <cstdint>
#include <memory>
#include <vector>

#include <QString>

#include "drawing/KpDrawContext.h"
#include "drawing/KpFind.h"
#include "drawing/KpTextCollector.h"

namespace kp {

class TKpPage;

class PAGINOR_INTERNAL_EXPORT TKpPageText {
public:
    // Reads the page's text; positions are worked out at dpi pixels per inch. The page must
    // stay unchanged for as long as this is used.
    TKpPageText(const TKpPage& page, const TKpDrawContext& context, int dpi);
    ~TKpPageText();

    // Appends the page's matches, in the order the page draws them.
    void Find(const QString& text, const TKpFindOptions& options, int pageNum,
              std::vector<TKpFindMatch>& matches);
    // The searchable lines (texts of one baseline joined), in drawing order.
    QStringList Lines() const;

private:
    struct Piece {
        int Offset; // in the line's text
        int Run;
    };
    struct Line {
        QString Text;
        std::vector<Piece> Pieces;
        int Box = -1; // a text box object not laid out yet
    };
    void addRun(TKpTextRun&& run);
    void layOutBox(Line& line);
    QRect matchRect(const Line& line, int from, int to) const;

    const TKpPage& page_;
    TKpDrawContext context_;
    int dpi_;
    std::vector<TKpTextRun> runs_;
    std::vector<Line> lines_;
    // The last search and its matches: stepping through matches searches again and again.
    QString lastText_;
    TKpFindOptions lastOptions_;
    int lastPage_ = 0;
    std::vector<TKpFindMatch> lastMatches_;
};

// The texts of a document's pages, each read when first searched and again once its page
// has changed.
class PAGINOR_INTERNAL_EXPORT TKpDocumentText {
public:
    explicit TKpDocumentText(int dpi) : dpi_(dpi) {}
    ~TKpDocumentText();
    // The text of page (number pageNum); revision is the page list's.
    TKpPageText& Page(const TKpPage& page, int pageNum, uint32_t revision,
                      const TKpDrawContext& context);
    int Dpi() const { return dpi_; }

private:
    struct Entry {
        const TKpPage* Page = nullptr;
        int Count = -1;
        uint32_t Revision = 0;
        std::unique_ptr<TKpPageText> Text;
    };
    std::vector<Entry> entries_;
    int dpi_;
};

} // namespace kp
