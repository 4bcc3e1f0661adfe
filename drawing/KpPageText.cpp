#include "drawing/KpPageText.h"

#include <cmath>

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QStringList>

#include "drawing/KpObjects.h"
#include "drawing/KpPage.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpMath.h"
#include "platform/KpPicture.h"

namespace kp {

namespace {

// A length in hundredths of a millimetre as device pixels, rounded as objects place
// themselves.
int toPixels(int32_t v, int dpi) {
    return kp::RoundInt(static_cast<Extended>(v) / 100 / 25.4L * dpi);
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool sameLinearPart(const QTransform& a, const QTransform& b) {
    constexpr qreal eps = 1e-6;
    return std::abs(a.m11() - b.m11()) < eps && std::abs(a.m12() - b.m12()) < eps &&
           std::abs(a.m21() - b.m21()) < eps && std::abs(a.m22() - b.m22()) < eps;
}

// What joins run b to the run a before it on one line: nothing when b continues a word,
// a space when it follows after a word gap, nothing at all (false) when b starts elsewhere.
bool joinText(const TKpTextRun& a, const TKpTextRun& b, QString& separator) {
    if (!sameLinearPart(a.Map, b.Map)) return false;
    bool invertible = false;
    const QTransform back = a.Map.inverted(&invertible);
    if (!invertible) return false;
    const QPointF start = back.map(b.Map.map(QPointF(0, 0)));
    const qreal size = std::max<qreal>(a.Ascent + a.Descent, 1);
    if (std::abs(start.y()) > size / 8) return false;
    const qreal gap = start.x() - a.DrawnWidth();
    if (gap < -size / 4 || gap > size * 1.2) return false;
    separator = gap <= size * 0.15 ? QString() : QStringLiteral(" ");
    return true;
}

struct TFontInfo {
    QFont Font;
    int Ascent = 0;
    int Descent = 0;
};

} // namespace

TKpPageText::TKpPageText(const TKpPage& page, const TKpDrawContext& context, int dpi)
    : page_(page), context_(context), dpi_(dpi) {
    // Fonts are made as the drawing canvas makes them; a page uses a few, shared by many
    // objects.
    TKpDeviceCanvas fonts(nullptr, dpi, dpi);
    QHash<const TKpFontData*, TFontInfo> fontInfo;
    std::unique_ptr<TKpTextCollector> collector;
    for (int i = 0; i < page.Count(); ++i) {
        TKpBaseObject* object = page.Objects(i);
        switch (object->ObjectType) {
        case kpTextObject: {
            const auto& t = static_cast<const TKpTextObject&>(*object);
            const QString text = context_.Substitute(t.Text, page.PageNum);
            if (text.isEmpty()) break;
            const TKpFontData& data = *t.Font;
            auto found = fontInfo.find(&data);
            if (found == fontInfo.end()) {
                SetFontData(fonts.Font(), data, 1);
                TFontInfo info;
                info.Font = fonts.qtFont();
                const QFontMetrics fm(info.Font);
                info.Ascent = fm.ascent();
                info.Descent = fm.descent();
                found = fontInfo.insert(&data, info);
            }
            TKpTextRun run;
            run.Text = text;
            run.Font = found->Font;
            run.Ascent = found->Ascent;
            run.Descent = found->Descent;
            // The text's cell has its top-left corner on the object's point and turns about it.
            run.Map.translate(toPixels(t.X1, dpi), toPixels(t.Y1, dpi));
            const int escapement = kp::RoundInt(data.Angle * 10);
            if (escapement != 0) run.Map.rotate(-escapement / 10.0);
            run.Map.translate(0, found->Ascent);
            addRun(std::move(run));
            break;
        }
        case kpTextBoxObject: {
            const auto& t = static_cast<const TKpTextBoxObject&>(*object);
            if (t.Text.isEmpty()) break;
            Line line;
            line.Text = t.Text;
            line.Box = i;
            lines_.push_back(std::move(line));
            break;
        }
        case kpGraphicObject: {
            const auto& g = static_cast<const TKpGraphicObject&>(*object);
            if (g.ImageKind != kpImageMetafile || !g.Picture || g.Picture->Empty()) break;
            if (!collector) collector = std::make_unique<TKpTextCollector>(dpi);
            {
                QPainter painter(collector.get());
                TKpDeviceCanvas canvas(&painter, dpi, dpi);
                // Played as vectors also when the picture is shown as a bitmap: its text is
                // what it draws.
                const QRect r(QPoint(toPixels(g.X1, dpi), toPixels(g.Y1, dpi)),
                              QPoint(toPixels(g.X2, dpi) - 1, toPixels(g.Y2, dpi) - 1));
                canvas.PlayMetafile(*g.Picture, r);
            }
            for (TKpTextRun& run : collector->Runs())
                addRun(std::move(run));
            collector->Runs().clear();
            break;
        }
        default:
            break;
        }
    }
}

TKpPageText::~TKpPageText() = default;

void TKpPageText::addRun(TKpTextRun&& run) {
    QString separator;
    if (!lines_.empty() && lines_.back().Box < 0 && !lines_.back().Pieces.empty() &&
        joinText(runs_[lines_.back().Pieces.back().Run], run, separator)) {
        Line& line = lines_.back();
        line.Text += separator;
        line.Pieces.push_back({static_cast<int>(line.Text.size()), static_cast<int>(runs_.size())});
        line.Text += run.Text;
    } else {
        Line line;
        line.Text = run.Text;
        line.Pieces.push_back({0, static_cast<int>(runs_.size())});
        lines_.push_back(std::move(line));
    }
    runs_.push_back(std::move(run));
}

void TKpPageText::layOutBox(Line& line) {
    const int index = line.Box;
    line.Box = -1;
    TKpTextCollector collector(dpi_);
    {
        QPainter painter(&collector);
        TKpDeviceCanvas canvas(&painter, dpi_, dpi_);
        TKpBaseObject& object = *page_.Objects(index);
        object.PageNum = page_.PageNum;
        object.Draw(canvas, context_, QPoint(), 1);
    }
    // The box draws its text line by line; each drawn line is found again in the box's text
    // (tabs expanded to spaces are not, and stay without a place).
    qsizetype at = 0;
    for (TKpTextRun& run : collector.Runs()) {
        const qsizetype found = line.Text.indexOf(run.Text, at);
        if (found < 0) continue;
        at = found + run.Text.size();
        line.Pieces.push_back({static_cast<int>(found), static_cast<int>(runs_.size())});
        runs_.push_back(std::move(run));
    }
}

QRect TKpPageText::matchRect(const Line& line, int from, int to) const {
    QRectF box;
    for (const Piece& piece : line.Pieces) {
        const TKpTextRun& run = runs_[piece.Run];
        const int a = std::max(from, piece.Offset);
        const int b = std::min<int>(to, piece.Offset + static_cast<int>(run.Text.size()));
        if (a >= b) continue;
        box = box.united(run.Box(a - piece.Offset, b - piece.Offset));
    }
    // Page pixels to hundredths of a millimetre.
    const qreal f = 2540.0 / dpi_;
    const QPoint topLeft(qRound(box.left() * f), qRound(box.top() * f));
    const QPoint bottomRight(qRound(box.right() * f), qRound(box.bottom() * f));
    return QRect(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
}

void TKpPageText::Find(const QString& text, const TKpFindOptions& options, int pageNum,
                       std::vector<TKpFindMatch>& matches) {
    if (text.isEmpty()) return;
    if (pageNum == lastPage_ && text == lastText_ && options.MatchCase == lastOptions_.MatchCase &&
        options.WholeWords == lastOptions_.WholeWords) {
        matches.insert(matches.end(), lastMatches_.begin(), lastMatches_.end());
        return;
    }
    const size_t first = matches.size();
    const Qt::CaseSensitivity cs = options.MatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (Line& line : lines_) {
        const QString& s = line.Text;
        for (qsizetype at = s.indexOf(text, 0, cs); at >= 0; at = s.indexOf(text, at + 1, cs)) {
            const qsizetype end = at + text.size();
            if (options.WholeWords &&
                ((at > 0 && isWordChar(s[at - 1]) && isWordChar(s[at])) ||
                 (end < s.size() && isWordChar(s[end]) && isWordChar(s[end - 1]))))
                continue;
            if (line.Box >= 0) layOutBox(line);
            const QRect r = matchRect(line, static_cast<int>(at), static_cast<int>(end));
            if (!r.isNull()) matches.push_back({pageNum, r});
            at = end - 1; // matches do not overlap
        }
    }
    lastText_ = text;
    lastOptions_ = options;
    lastPage_ = pageNum;
    lastMatches_.assign(matches.begin() + static_cast<long>(first), matches.end());
}

QStringList TKpPageText::Lines() const {
    QStringList lines;
    for (const Line& line : lines_)
        lines.push_back(line.Text);
    return lines;
}

TKpDocumentText::~TKpDocumentText() = default;

TKpPageText& TKpDocumentText::Page(const TKpPage& page, int pageNum, uint32_t revision,
                                   const TKpDrawContext& context) {
    if (entries_.size() < static_cast<size_t>(pageNum)) entries_.resize(pageNum);
    Entry& e = entries_[pageNum - 1];
    if (!e.Text || e.Page != &page || e.Count != page.Count() || e.Revision != revision) {
        e.Text.reset();
        e.Text = std::make_unique<TKpPageText>(page, context, dpi_);
        e.Page = &page;
        e.Count = page.Count();
        e.Revision = revision;
    }
    return *e.Text;
}

} // namespace kp
