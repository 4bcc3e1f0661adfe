// The links and headings of a laid-out page, where Draw puts them: a link is a rectangle per
// line it covers, a heading the top of its first line.
#include <algorithm>
#include <cmath>

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "richtext/KpRichTextLayout.h"

namespace kp {

namespace {

int twips(double v) {
    return static_cast<int>(std::lround(v));
}

void addLink(TKpRangeMarks& out, const TKpTwipsRect& r, const QString& url) {
    // Pieces of one link side by side on a line (a change of font inside it) are one rectangle.
    if (!out.links.empty()) {
        TKpRangeLink& last = out.links.back();
        if (last.url == url && last.rect.top == r.top && last.rect.bottom == r.bottom &&
            r.left <= last.rect.right + 1 && r.right >= last.rect.left - 1) {
            last.rect.left = std::min(last.rect.left, r.left);
            last.rect.right = std::max(last.rect.right, r.right);
            return;
        }
    }
    out.links.push_back({r, url});
}

} // namespace

void TKpRichTextLayout::Marks(const TKpTextPage& page, double originX, double originY,
                              TKpRangeMarks& out) {
    if (page.span.last <= page.span.first) return;
    // The lines Draw shows: those that reach into the page's band of each part by more than
    // touching it.
    constexpr double touch = 0.5;
    for (const Part& part : parts_) {
        const double top = std::max(page.span.top + touch - part.top, part.clipTop);
        const double bottom = std::min(page.span.bottom - touch - part.top, part.clipBottom);
        const int from = std::max(page.from - part.start, 0);
        const int to = page.next - part.start;
        if (bottom <= top || to <= 0) continue;
        const double dy = originY + part.top - page.span.top; // part to page
        QAbstractTextDocumentLayout& layout = *part.doc->documentLayout();
        for (QTextBlock b = part.doc->findBlock(from); b.isValid() && b.position() < to;
             b = b.next()) {
            const QTextLayout* tl = b.layout();
            if (!tl || tl->lineCount() == 0) continue;
            const double blockTop = layout.blockBoundingRect(b).top();
            const double blockLeft = originX + tl->position().x();
            auto lineTop = [&](const QTextLine& line) { return blockTop + line.y(); };
            auto shown = [&](const QTextLine& line) {
                return lineTop(line) < bottom && lineTop(line) + line.height() > top;
            };
            const int level = b.blockFormat().headingLevel();
            if (level > 0 && b.position() >= from && shown(tl->lineAt(0))) {
                const QString title = b.text().simplified();
                if (!title.isEmpty())
                    out.headings.push_back({title, level, twips(dy + lineTop(tl->lineAt(0)))});
            }
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                const QTextCharFormat format = fragment.charFormat();
                if (!format.isAnchor() || format.anchorHref().isEmpty()) continue;
                const int start = fragment.position() - b.position();
                const int end = start + fragment.length();
                for (int i = 0; i < tl->lineCount(); ++i) {
                    const QTextLine line = tl->lineAt(i);
                    const int s = std::max(start, line.textStart());
                    const int e = std::min(end, line.textStart() + line.textLength());
                    if (s >= e || !shown(line)) continue;
                    const double x1 = line.cursorToX(s), x2 = line.cursorToX(e);
                    TKpTwipsRect r;
                    r.left = twips(blockLeft + std::min(x1, x2));
                    r.right = twips(blockLeft + std::max(x1, x2));
                    r.top = twips(dy + lineTop(line));
                    r.bottom = twips(dy + lineTop(line) + line.height());
                    addLink(out, r, format.anchorHref());
                }
            }
        }
    }
}

} // namespace kp
