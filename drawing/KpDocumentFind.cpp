// Finding text on the document's pages.
#include <algorithm>

#include "drawing/KpDocument.h"
#include "drawing/KpPageText.h"
#include "platform/KpScreen.h"

namespace kp {

std::vector<TKpFindMatch> TKpDocument::FindText(const QString& text, TKpFindOptions options) const {
    std::vector<TKpFindMatch> matches;
    const int count = NumPages();
    if (text.isEmpty() || count == 0) return matches;
    // Positions are worked out at the resolution the pages are shown at.
    const int dpi = ScreenPixelsPerInch();
    if (!text_ || text_->Dpi() != dpi) text_ = std::make_unique<TKpDocumentText>(dpi);
    const TKpDrawContext context = DrawContext(false);
    int from = options.FromPage;
    if (from < 1 || from > count) from = options.Backwards ? count : 1;
    const int step = options.Backwards ? -1 : 1;
    for (int n = from; n >= 1 && n <= count; n += step) {
        const TKpPage& page = *GetPage(n);
        const size_t first = matches.size();
        text_->Page(page, n, pages_->Revision(), context).Find(text, options, n, matches);
        if (options.Backwards)
            std::reverse(matches.begin() + static_cast<long>(first), matches.end());
    }
    return matches;
}

} // namespace kp
