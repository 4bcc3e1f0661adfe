// The strip's marked pages: a coloured corner on the thumbnails of pages with found text.
#include <algorithm>

#include "thumbnails/KpThumbnails.h"

namespace kp {

void TKpThumbnails::SetMarkedPages(std::vector<int> pages) {
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    if (pages == markedPages_) return;
    // Only the thumbnails whose mark comes or goes are repainted.
    std::vector<int> changed;
    std::set_symmetric_difference(pages.begin(), pages.end(), markedPages_.begin(),
                                  markedPages_.end(), std::back_inserter(changed));
    markedPages_ = std::move(pages);
    for (int n : changed)
        if (n >= 1 && n <= list_->Count()) list_->Items(n)->PageImage()->update();
}

bool TKpThumbnails::PageMarked(int n) const {
    return std::binary_search(markedPages_.begin(), markedPages_.end(), n);
}

} // namespace kp
