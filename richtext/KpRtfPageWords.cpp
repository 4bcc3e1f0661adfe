// The words of page furniture: headers, footers, notes, section settings and keeps. They are
// looked up here, apart from the main table, when that table does not know them.
#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "richtext/KpRtfParser.h"

namespace kp {

namespace rtf {
namespace {

enum class TPageWord {
    Unknown,
    Titlepg,
    Facingp,
    Headery,
    Footery,
    Chftn,
    Ftnalt,
    FootnoteStyle,
    Ftnstart,
    EndnoteStyle,
    Aftnstart,
    NotesAtEnd,
    Fet,
    Keep,
    Keepn,
    SectionPage, // the section's paper and margins
    Colsx,
};

struct TPageWordInfo {
    TPageWord word = TPageWord::Unknown;
    char style = 0; // the numbering style of a style word, the side of a page word
};

TPageWordInfo LookUpPageWord(std::string_view name) {
    static const std::unordered_map<std::string_view, TPageWordInfo> kWords = {
        {"titlepg", {TPageWord::Titlepg}},
        {"facingp", {TPageWord::Facingp}},
        {"headery", {TPageWord::Headery}},
        {"footery", {TPageWord::Footery}},
        {"chftn", {TPageWord::Chftn}},
        {"ftnalt", {TPageWord::Ftnalt}},
        {"ftnnar", {TPageWord::FootnoteStyle, '1'}},
        {"ftnnalc", {TPageWord::FootnoteStyle, 'a'}},
        {"ftnnauc", {TPageWord::FootnoteStyle, 'A'}},
        {"ftnnrlc", {TPageWord::FootnoteStyle, 'i'}},
        {"ftnnruc", {TPageWord::FootnoteStyle, 'I'}},
        {"ftnnchi", {TPageWord::FootnoteStyle, '*'}},
        {"ftnstart", {TPageWord::Ftnstart}},
        {"aftnnar", {TPageWord::EndnoteStyle, '1'}},
        {"aftnnalc", {TPageWord::EndnoteStyle, 'a'}},
        {"aftnnauc", {TPageWord::EndnoteStyle, 'A'}},
        {"aftnnrlc", {TPageWord::EndnoteStyle, 'i'}},
        {"aftnnruc", {TPageWord::EndnoteStyle, 'I'}},
        {"aftnnchi", {TPageWord::EndnoteStyle, '*'}},
        {"aftnstart", {TPageWord::Aftnstart}},
        {"enddoc", {TPageWord::NotesAtEnd}},
        {"endnotes", {TPageWord::NotesAtEnd}},
        {"fet", {TPageWord::Fet}},
        {"keep", {TPageWord::Keep}},
        {"keepn", {TPageWord::Keepn}},
        {"colsx", {TPageWord::Colsx}},
        {"pgwsxn", {TPageWord::SectionPage, 'w'}},
        {"pghsxn", {TPageWord::SectionPage, 'h'}},
        {"lndscpsxn", {TPageWord::SectionPage, 'o'}},
        {"marglsxn", {TPageWord::SectionPage, 'l'}},
        {"margrsxn", {TPageWord::SectionPage, 'r'}},
        {"margtsxn", {TPageWord::SectionPage, 't'}},
        {"margbsxn", {TPageWord::SectionPage, 'b'}},
    };
    const auto it = kWords.find(name);
    return it == kWords.end() ? TPageWordInfo() : it->second;
}

constexpr int kMaxBandTwips = 31680;
constexpr int kMaxPageTwips = 1000000;

} // namespace

bool TRtfParser::BeginStoryGroup(TWord w) {
    TKpStoryKind kind;
    switch (w) {
    case TWord::kHeader:
        kind = TKpStoryKind::Header;
        break;
    case TWord::kHeaderl:
        kind = TKpStoryKind::HeaderLeft;
        break;
    case TWord::kHeaderr:
        kind = TKpStoryKind::HeaderRight;
        break;
    case TWord::kHeaderf:
        kind = TKpStoryKind::HeaderFirst;
        break;
    case TWord::kFooter:
        kind = TKpStoryKind::Footer;
        break;
    case TWord::kFooterl:
        kind = TKpStoryKind::FooterLeft;
        break;
    case TWord::kFooterr:
        kind = TKpStoryKind::FooterRight;
        break;
    case TWord::kFooterf:
        kind = TKpStoryKind::FooterFirst;
        break;
    case TWord::kFootnote:
        kind = TKpStoryKind::Footnote;
        break;
    default:
        return false;
    }
    TGroupState& g = Top();
    if (g.opensStory) return true; // one story per group
    if (!builder_.CanBeginStory()) return false;
    g.opensStory = true;
    builder_.BeginStory(kind);
    return true;
}

void TRtfParser::HandlePageWord(const TToken& t) {
    const TPageWordInfo info = LookUpPageWord(t.word);
    TGroupState& g = Top();
    const bool on = !t.hasParam || t.param != 0;
    switch (info.word) {
    case TPageWord::Unknown:
        break;
    case TPageWord::Titlepg:
        builder_.Section().titlePage = on;
        break;
    case TPageWord::Facingp:
        builder_.SetFacingPages(on);
        break;
    case TPageWord::Headery:
        if (t.hasParam) builder_.Section().headerY = std::clamp(t.param, 0, kMaxBandTwips);
        break;
    case TPageWord::Footery:
        if (t.hasParam) builder_.Section().footerY = std::clamp(t.param, 0, kMaxBandTwips);
        break;
    case TPageWord::Chftn:
        if (g.dest == TDestination::Body) builder_.AppendNoteMark(g.chars);
        break;
    case TPageWord::Ftnalt:
        builder_.SetEndnote();
        break;
    case TPageWord::FootnoteStyle:
        builder_.FootnoteNumbering().style = info.style;
        break;
    case TPageWord::EndnoteStyle:
        builder_.EndnoteNumbering().style = info.style;
        break;
    case TPageWord::Ftnstart:
        if (t.hasParam) builder_.FootnoteNumbering().start = std::clamp(t.param, 1, 32767);
        break;
    case TPageWord::Aftnstart:
        if (t.hasParam) builder_.EndnoteNumbering().start = std::clamp(t.param, 1, 32767);
        break;
    case TPageWord::NotesAtEnd:
        builder_.SetNotesAtEnd(true);
        break;
    case TPageWord::Fet:
        builder_.SetNotesAtEnd(t.param == 1);
        break;
    case TPageWord::Keep:
        g.para.keep = on;
        break;
    case TPageWord::Keepn:
        g.para.keepNext = on;
        break;
    case TPageWord::Colsx:
        if (t.hasParam) builder_.Section().columnGap = std::clamp(t.param, 0, kMaxBandTwips);
        break;
    case TPageWord::SectionPage: {
        TKpSectionStories& s = builder_.Section();
        const int v = std::clamp(t.param, 0, kMaxPageTwips);
        if (info.style == 'o') {
            s.landscape = on;
        } else if (!t.hasParam) {
            break;
        } else if (info.style == 'w' || info.style == 'h') {
            (info.style == 'w' ? s.paperWidth : s.paperHeight) = std::max(v, 720);
        } else {
            (info.style == 'l'   ? s.marginLeft
             : info.style == 'r' ? s.marginRight
             : info.style == 't' ? s.marginTop
                                 : s.marginBottom) = v;
        }
        builder_.NoteSectionPage();
        break;
    }
    }
}

} // namespace rtf

} // namespace kp
