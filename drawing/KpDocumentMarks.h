#pragma once
// What a document knows besides its drawing: bookmarks (the outline of an exported PDF) and
// the links on its pages (link annotations in a PDF, the pointing hand in a preview). Kept in
// memory with the pages; files do not store them.
#include "paginor/KpExport.h"

#include <memory>
#include <unordered_map>
#include <vector>

#include <QPoint>
#include <QRect>
#include <QString>

namespace kp {

class TKpPage;

struct PAGINOR_EXPORT TKpBookmark {
    QString Title;
    int Page = 1;  // from 1
    int Level = 1; // 1 is the top level; a deeper entry nests under the one before it
    int Top = 0;   // where on the page it leads: KpUnits below the paper's top edge
};

struct PAGINOR_EXPORT TKpPageLink {
    QRect Rect; // on the page, in KpUnits from the paper's top-left corner
    QString Url;
};

class PAGINOR_EXPORT TKpDocumentMarks {
public:
    TKpDocumentMarks();
    ~TKpDocumentMarks();
    TKpDocumentMarks(const TKpDocumentMarks&) = delete;
    TKpDocumentMarks& operator=(const TKpDocumentMarks&) = delete;

    void AddBookmark(TKpBookmark bookmark) { bookmarks_.push_back(std::move(bookmark)); }
    // In the order they were added.
    const std::vector<TKpBookmark>& Bookmarks() const { return bookmarks_; }
    void AddLink(const TKpPage* page, TKpPageLink link);
    // The page's links, in the order they were added (none: empty).
    const std::vector<TKpPageLink>& Links(const TKpPage* page) const;
    // The last link added whose rectangle holds the point; nullptr: none.
    const TKpPageLink* LinkAt(const TKpPage* page, QPoint point) const;
    bool HasLinks() const { return !links_.empty(); }

    // Page `number` left the document: its bookmarks and links go, and the bookmarks of the
    // pages after it move up one page with them.
    void PageDeleted(int number, const TKpPage* page);
    void Clear();

private:
    std::vector<TKpBookmark> bookmarks_;
    std::unordered_map<const TKpPage*, std::vector<TKpPageLink>> links_;
};

} // namespace kp
