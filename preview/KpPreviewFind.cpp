// Finding text in the preview: stepping through the matches, showing and marking them.
#include <algorithm>

#include "platform/KpScreen.h"
#include "preview/KpFindMarks.h"
#include "preview/KpPageImage.h"
#include "preview/KpPreview.h"

namespace kp {

std::vector<TKpFindMatch> TKpPreview::FindText(const QString& text, TKpFindOptions options) const {
    return document_->FindText(text, options);
}

bool TKpPreview::FindNext(const QString& text, TKpFindOptions options) {
    return findStep(text, options, true);
}

bool TKpPreview::FindPrevious(const QString& text, TKpFindOptions options) {
    return findStep(text, options, false);
}

bool TKpPreview::findStep(const QString& text, const TKpFindOptions& options, bool forward) {
    TKpFindOptions all;
    all.MatchCase = options.MatchCase;
    all.WholeWords = options.WholeWords;
    const bool sameSearch = !findMatches_.empty() && text == findText_ &&
                            all.MatchCase == findOptions_.MatchCase &&
                            all.WholeWords == findOptions_.WholeWords;
    const int shownIndex = sameSearch ? findIndex_ : -1;
    const TKpFindMatch shown = shownIndex >= 0 ? findMatches_[shownIndex] : TKpFindMatch{};
    // Searched again each time: pages read before are kept by the document, and pages that
    // changed since are read anew.
    findText_ = text;
    findOptions_ = all;
    findMatches_ = document_->FindText(text, all);
    const int count = static_cast<int>(findMatches_.size());
    if (count == 0) {
        findIndex_ = -1;
        findChangedNotify();
        return false;
    }
    int at = -1;
    if (shownIndex >= 0) {
        const auto it = std::find(findMatches_.begin(), findMatches_.end(), shown);
        if (it != findMatches_.end())
            at = (static_cast<int>(it - findMatches_.begin()) + (forward ? 1 : count - 1)) % count;
    }
    if (at < 0) {
        const int page = CurrentPage();
        if (forward) {
            const auto it = std::find_if(findMatches_.begin(), findMatches_.end(),
                                         [page](const TKpFindMatch& m) { return m.Page >= page; });
            at = it == findMatches_.end() ? 0 : static_cast<int>(it - findMatches_.begin());
        } else {
            const auto it = std::find_if(findMatches_.rbegin(), findMatches_.rend(),
                                         [page](const TKpFindMatch& m) { return m.Page <= page; });
            at = it == findMatches_.rend() ? count - 1
                                           : static_cast<int>(findMatches_.rend() - it) - 1;
        }
    }
    findIndex_ = at;
    showFound();
    return true;
}

void TKpPreview::showFound() {
    const TKpFindMatch match = findMatches_[findIndex_];
    if (match.Page != CurrentPage()) SetCurrentPage(match.Page);
    // The current page may have refused to change (a handler, a page gone).
    if (match.Page == CurrentPage()) {
        const qreal scale = pageImage_->Scale() * ScreenPixelsPerInch() / 2540.0;
        const QRect mark =
            FindMarkRect(match.Rect, pageImage_->PageRect(), scale).translated(pageImage_->pos());
        if (!viewport()->rect().contains(mark)) CenterOnPoint(mark.center().x(), mark.center().y());
    }
    pageImage_->update();
    findChangedNotify();
}

void TKpPreview::ClearFind() {
    const bool had = !findMatches_.empty() || !findText_.isEmpty();
    findText_.clear();
    findMatches_.clear();
    findIndex_ = -1;
    if (!had) return;
    if (pageImage_) pageImage_->update();
    findChangedNotify();
}

void TKpPreview::findChangedNotify() {
    if (OnFind) OnFind(this);
    Q_EMIT findChanged();
}

std::vector<TKpFindMatch> TKpPreview::FindMatchesOn(int n, int* current) const {
    std::vector<TKpFindMatch> on;
    if (current) *current = -1;
    for (size_t i = 0; i < findMatches_.size(); ++i) {
        if (findMatches_[i].Page != n) continue;
        if (current && static_cast<int>(i) == findIndex_) *current = static_cast<int>(on.size());
        on.push_back(findMatches_[i]);
    }
    return on;
}

std::vector<int> TKpPreview::FindPages() const {
    std::vector<int> pages;
    for (const TKpFindMatch& m : findMatches_)
        pages.push_back(m.Page);
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    return pages;
}

} // namespace kp
