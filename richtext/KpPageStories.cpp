#include "richtext/KpPageStories.h"

#include <algorithm>

#include <QTextDocument>
#include <QUrl>
#include <QVariant>

Q_DECLARE_METATYPE(std::shared_ptr<const kp::TKpPageStories>)

namespace kp {

namespace {

constexpr int kStoriesResource = QTextDocument::UserResource + 0x4B;

QUrl StoriesUrl() {
    return QUrl(QStringLiteral("paginor-stories:page"));
}

} // namespace

void SetPageStories(QTextDocument& doc, std::shared_ptr<const TKpPageStories> stories) {
    doc.addResource(kStoriesResource, StoriesUrl(), QVariant::fromValue(std::move(stories)));
}

std::shared_ptr<const TKpPageStories> PageStories(const QTextDocument& doc) {
    const QVariant v = doc.resource(kStoriesResource, StoriesUrl());
    if (!v.canConvert<std::shared_ptr<const TKpPageStories>>()) return nullptr;
    return v.value<std::shared_ptr<const TKpPageStories>>();
}

const QTextDocument* BandStory(const TKpPageStories& stories, const TKpSectionStories& section,
                               bool footer, int pageNumber, bool firstOfSection) {
    const int base = footer ? static_cast<int>(TKpStoryKind::Footer) : 0;
    auto band = [&](TKpStoryKind kind) {
        return section.bands[static_cast<std::size_t>(base + static_cast<int>(kind))].get();
    };
    if (section.titlePage && firstOfSection) return band(TKpStoryKind::HeaderFirst);
    const QTextDocument* all = band(TKpStoryKind::Header);
    if (stories.facing && pageNumber % 2 == 0) {
        const QTextDocument* left = band(TKpStoryKind::HeaderLeft);
        return left ? left : all;
    }
    const QTextDocument* right = band(TKpStoryKind::HeaderRight);
    // Without facing pages a writer's right-page band is the one for every page.
    return all ? (stories.facing && right ? right : all) : right;
}

std::pair<int, int> TextArea(const TKpPageStories& stories, const TKpSectionStories& section) {
    int w = section.paperWidth > 0 ? section.paperWidth : stories.paperWidth;
    int h = section.paperHeight > 0 ? section.paperHeight : stories.paperHeight;
    if (section.landscape && w < h) std::swap(w, h);
    auto own = [](int v, int document) { return v >= 0 ? v : document; };
    w -=
        own(section.marginLeft, stories.marginLeft) + own(section.marginRight, stories.marginRight);
    h -=
        own(section.marginTop, stories.marginTop) + own(section.marginBottom, stories.marginBottom);
    return {std::max(w, 720), std::max(h, 720)};
}

const TKpSectionStories* SectionAt(const TKpPageStories& stories, int position) {
    const auto it =
        std::upper_bound(stories.sections.begin(), stories.sections.end(), position,
                         [](int pos, const TKpSectionStories& s) { return pos < s.start; });
    if (it == stories.sections.begin()) return stories.sections.empty() ? nullptr : &*it;
    return &*(it - 1);
}

} // namespace kp
