#include "richtext/KpRtfOldNumbering.h"

#include <algorithm>

namespace kp {

namespace rtf {
namespace {

constexpr int kMaxTextLength = 32;    // the texts around a number
constexpr int kMaxDefinitions = 4096; // files that repeat {\pn} on every paragraph reuse slots
constexpr int kMaxNumber = 1 << 20;

QString Letters(int value, char16_t a) {
    // 1..26 are a..z, then aa, bb, ... as writers count past z.
    const int repeat = (value - 1) / 26 + 1;
    return QString(std::min(repeat, kMaxTextLength), QChar(char16_t(a + (value - 1) % 26)));
}

QString Roman(int value, bool upper) {
    static const struct {
        int v;
        const char* s;
    } parts[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"},
                 {90, "xc"},  {50, "l"},   {40, "xl"}, {10, "x"},   {9, "ix"},
                 {5, "v"},    {4, "iv"},   {1, "i"}};
    if (value > 3999) return QString::number(value);
    QString out;
    for (const auto& p : parts)
        for (; value >= p.v; value -= p.v)
            out += QLatin1String(p.s);
    return upper ? out.toUpper() : out;
}

QString Ordinal(int value) {
    const int tens = value % 100, ones = value % 10;
    const char* suffix = (tens >= 11 && tens <= 13) ? "th"
                         : ones == 1                ? "st"
                         : ones == 2                ? "nd"
                         : ones == 3                ? "rd"
                                                    : "th";
    return QString::number(value) + QLatin1String(suffix);
}

} // namespace

QString FormatOldNumber(int value, TNumberStyle style) {
    if (value <= 0) return QString::number(value);
    switch (style) {
    case TNumberStyle::UpperLetter:
        return Letters(value, u'A');
    case TNumberStyle::LowerLetter:
        return Letters(value, u'a');
    case TNumberStyle::UpperRoman:
        return Roman(value, true);
    case TNumberStyle::LowerRoman:
        return Roman(value, false);
    case TNumberStyle::Ordinal:
        return Ordinal(value);
    default:
        return QString::number(value);
    }
}

void TOldNumbering::Begin() {
    def_ = TOldNumberDef();
}

void TOldNumbering::HandleWord(std::string_view w, bool hasParam, int param) {
    const bool on = !hasParam || param != 0;
    if (w == "pnlvl" && hasParam)
        def_.level = std::clamp(param, 1, 9);
    else if (w == "pnlvlbody")
        def_.level = TOldNumberDef::kBodyLevel;
    else if (w == "pnlvlblt")
        def_.level = TOldNumberDef::kBulletLevel;
    else if (w == "pnlvlcont")
        def_.level = TOldNumberDef::kContinueLevel;
    else if (w == "pndec" || w == "pncard" || w == "pnaiu" || w == "pniroha")
        def_.style = TNumberStyle::Decimal;
    else if (w == "pnucltr")
        def_.style = TNumberStyle::UpperLetter;
    else if (w == "pnlcltr")
        def_.style = TNumberStyle::LowerLetter;
    else if (w == "pnucrm")
        def_.style = TNumberStyle::UpperRoman;
    else if (w == "pnlcrm")
        def_.style = TNumberStyle::LowerRoman;
    else if (w == "pnord" || w == "pnordt")
        def_.style = TNumberStyle::Ordinal;
    else if (w == "pnstart" && hasParam)
        def_.start = std::clamp(param, 0, kMaxNumber);
    else if (w == "pnf" && hasParam)
        def_.font = param;
    else if (w == "pnfs" && hasParam)
        def_.halfPoints = std::clamp(param, 2, 3276);
    else if (w == "pnb")
        def_.bold = on;
    else if (w == "pni")
        def_.italic = on;
}

void TOldNumbering::Cap(QString& text) {
    if (text.size() > kMaxTextLength) text.truncate(kMaxTextLength);
}

int TOldNumbering::Commit() {
    const auto same = [this](const TOldNumberDef& d) {
        return d.level == def_.level && d.style == def_.style && d.start == def_.start &&
               d.font == def_.font && d.halfPoints == def_.halfPoints && d.bold == def_.bold &&
               d.italic == def_.italic && d.before == def_.before && d.after == def_.after;
    };
    // Writers repeat the same group on every paragraph: the last few are looked at only.
    const std::size_t from = defs_.size() > 8 ? defs_.size() - 8 : 0;
    for (std::size_t i = defs_.size(); i-- > from;)
        if (same(defs_[i])) return static_cast<int>(i);
    if (static_cast<int>(defs_.size()) >= kMaxDefinitions) return -1;
    defs_.push_back(def_);
    return static_cast<int>(defs_.size() - 1);
}

const TOldNumberDef* TOldNumbering::Find(int index) const {
    return index >= 0 && index < static_cast<int>(defs_.size())
               ? &defs_[static_cast<std::size_t>(index)]
               : nullptr;
}

QString TOldNumbering::Next(int index, bool rendered) {
    const TOldNumberDef* d = Find(index);
    if (!d || d->level == 0) { // a paragraph without a number ends the run of body numbers
        body_ = 0;
        return {};
    }
    int value = 0;
    switch (d->level) {
    case TOldNumberDef::kContinueLevel:
        return {}; // belongs to the numbered paragraph above, shows no number of its own
    case TOldNumberDef::kBulletLevel:
        body_ = 0;
        if (rendered) return {};
        return (d->before.isEmpty() && d->after.isEmpty() ? QString(QChar(0x2022))
                                                          : d->before + d->after) +
               QLatin1Char('\t');
    case TOldNumberDef::kBodyLevel:
        body_ = body_ > 0 ? std::min(body_ + 1, kMaxNumber) : std::max(d->start, 1);
        value = body_;
        break;
    default: { // outline level: counts on, and the levels below it start again
        const auto level = static_cast<std::size_t>(d->level);
        outline_[level] =
            outline_[level] > 0 ? std::min(outline_[level] + 1, kMaxNumber) : std::max(d->start, 1);
        value = outline_[level];
        std::fill(outline_.begin() + static_cast<std::ptrdiff_t>(level) + 1, outline_.end(), 0);
        body_ = 0;
        break;
    }
    }
    if (rendered) return {};
    return d->before + FormatOldNumber(value, d->style) + d->after + QLatin1Char('\t');
}

} // namespace rtf

} // namespace kp
