#include "drawing/KpDocumentMarks.h"

#include <algorithm>

namespace kp {

TKpDocumentMarks::TKpDocumentMarks() = default;
TKpDocumentMarks::~TKpDocumentMarks() = default;

void TKpDocumentMarks::AddLink(const TKpPage* page, TKpPageLink link) {
    links_[page].push_back(std::move(link));
}

const std::vector<TKpPageLink>& TKpDocumentMarks::Links(const TKpPage* page) const {
    static const std::vector<TKpPageLink> none;
    const auto it = links_.find(page);
    return it == links_.end() ? none : it->second;
}

const TKpPageLink* TKpDocumentMarks::LinkAt(const TKpPage* page, QPoint point) const {
    const std::vector<TKpPageLink>& links = Links(page);
    // The last one added is drawn over the others.
    for (auto it = links.rbegin(); it != links.rend(); ++it)
        if (it->Rect.contains(point)) return &*it;
    return nullptr;
}

void TKpDocumentMarks::PageDeleted(int number, const TKpPage* page) {
    links_.erase(page);
    std::erase_if(bookmarks_, [number](const TKpBookmark& b) { return b.Page == number; });
    for (TKpBookmark& b : bookmarks_)
        if (b.Page > number) --b.Page;
}

void TKpDocumentMarks::Clear() {
    bookmarks_.clear();
    links_.clear();
}

} // namespace kp
