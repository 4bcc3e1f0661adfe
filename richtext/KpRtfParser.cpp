#include "richtext/KpRtfParser.h"

#include <algorithm>

#include <QDateTime>

#include "richtext/KpPageFields.h"

namespace kp {

namespace rtf {
namespace {

constexpr int kMaxTwips = 31680;       // 22 inches: indents, spacing, cell edges
constexpr int kMaxPageTwips = 1000000; // paper and margins
constexpr char16_t kReplacement = 0xFFFD;
constexpr qsizetype kMaxMathText = 1 << 16; // one formula's fallback text

int Clamp(int v, int lo, int hi) {
    return std::clamp(v, lo, hi);
}
bool On(const TToken& t) {
    return !t.hasParam || t.param != 0;
}

} // namespace

TRtfParser::TRtfParser(const QByteArray& data, qsizetype start, QTextDocument& doc)
    : tokenizer_(data, start), builder_(doc, fonts_, colors_, fields_.Links()) {
    stack_.reserve(kMaxGroupDepth);
    firstAt_.fill(-1);
    // What the format assumes when a file does not say.
    geometry_.paperWidth = 12240;
    geometry_.paperHeight = 15840;
    geometry_.marginLeft = geometry_.marginRight = 1800;
    geometry_.marginTop = geometry_.marginBottom = 1440;
}

void TRtfParser::Run() {
    qsizetype at = tokenizer_.Position();
    for (;;) {
        // Faults are counted while a token is read and handled; they are placed at its start.
        NoteFaults(at);
        at = tokenizer_.Position();
        tokenAt_ = at;
        const TToken t = tokenizer_.Next();
        if (t.kind == TTokenKind::End) break;
        if (overflow_ > 0) { // inside a group past the depth cap: only its end matters
            if (t.kind == TTokenKind::GroupOpen) ++overflow_;
            if (t.kind == TTokenKind::GroupClose) --overflow_;
            if (t.kind == TTokenKind::ControlWord && t.word == "bin" && t.hasParam)
                tokenizer_.ReadBinary(t.param);
            continue;
        }
        switch (t.kind) {
        case TTokenKind::GroupOpen:
            FlushBytes();
            FlushHighSurrogate();
            skip_ = 0;
            starPending_ = false;
            if (static_cast<int>(stack_.size()) >= kMaxGroupDepth) {
                overflow_ = 1;
                ++deepGroups_;
                break;
            }
            OpenGroup();
            break;
        case TTokenKind::GroupClose:
            FlushBytes();
            FlushHighSurrogate();
            skip_ = 0;
            starPending_ = false;
            if (stack_.size() <= 1) {
                // The outer group ends the file; a '}' with more to come is a stray one.
                if (tokenizer_.OnlyBlankLeft()) {
                    rootClosed_ = true;
                    goto finished;
                }
                ++strayCloses_;
                break;
            }
            CloseGroup();
            break;
        case TTokenKind::ControlWord:
            FlushBytes();
            HandleWord(t);
            break;
        case TTokenKind::ControlSymbol:
            FlushBytes();
            HandleSymbol(t.symbol);
            break;
        case TTokenKind::HexByte:
            starPending_ = false;
            if (skip_ > 0) {
                --skip_;
                break;
            }
            if (Top().dest != TDestination::Picture) bytes_.push_back(static_cast<char>(t.byte));
            break;
        case TTokenKind::Text: {
            starPending_ = false;
            std::string_view text = t.text;
            if (skip_ > 0) {
                const int n = static_cast<int>(std::min<size_t>(size_t(skip_), text.size()));
                skip_ -= n;
                text.remove_prefix(static_cast<size_t>(n));
            }
            if (Top().dest == TDestination::Picture)
                picture_.AppendHex(text);
            else
                bytes_.append(text);
            break;
        }
        case TTokenKind::End:
            break;
        }
    }
finished:
    NoteFaults(at);
    FlushBytes();
    FlushHighSurrogate();
    unclosed_ = rootClosed_ ? 0 : static_cast<int>(stack_.size());
    while (stack_.size() > 1)
        CloseGroup();
    builder_.SetPage(geometry_.paperWidth, geometry_.paperHeight, geometry_.marginLeft,
                     geometry_.marginRight, geometry_.marginTop, geometry_.marginBottom);
    if (!stack_.empty()) {
        if (builder_.ParagraphHasContent()) NumberParagraph();
        builder_.Finish(Top().para, Top().chars);
    }
    NoteFaults(tokenizer_.Position());
}

std::array<int, 10> TRtfParser::FaultCounts() const {
    return {deepGroups_,
            strayCloses_,
            unclosed_,
            tokenizer_.longWords,
            tokenizer_.clampedNumbers,
            tokenizer_.shortBinary,
            tokenizer_.badHex + picture_.badHex,
            picturesTooLarge_,
            picturesUndecodable_,
            metafilesShownAsBox_};
}

void TRtfParser::NoteFaults(qsizetype at) {
    const std::array<int, 10> counts = FaultCounts();
    for (std::size_t i = 0; i < counts.size(); ++i)
        if (counts[i] > 0 && firstAt_[i] < 0) firstAt_[i] = at;
}

void TRtfParser::NoteSkipped(TWord w) {
    int kind = -1;
    switch (w) {
    case TWord::kHeader:
    case TWord::kHeaderl:
    case TWord::kHeaderr:
    case TWord::kHeaderf:
    case TWord::kFooter:
    case TWord::kFooterl:
    case TWord::kFooterr:
    case TWord::kFooterf:
        kind = kHeaderFooter;
        break;
    case TWord::kFootnote:
        kind = kFootnote;
        break;
    case TWord::kMmath:
        kind = kMath;
        break;
    case TWord::kAnnotation:
        kind = kComment;
        break;
    case TWord::kCols:
        kind = kColumns;
        break;
    default:
        return;
    }
    if (skipped_[static_cast<size_t>(kind)]++ == 0)
        skippedAt_[static_cast<size_t>(kind)] = tokenAt_;
}

void TRtfParser::OpenGroup() {
    const bool first = stack_.empty();
    stack_.push_back(first ? TGroupState() : stack_.back());
    TGroupState& g = stack_.back();
    g.opensPicture = g.opensField = g.opensShape = g.opensShapePicture = false;
    g.opensFontEntry = false;
    g.opensOldNumber = g.opensMath = false;
    g.opensStory = false;
    if (first) return;
    const TGroupState& parent = stack_[stack_.size() - 2];
    const TDestination outer = parent.dest;
    // Each entry starts from plain properties; groups inside an entry belong to it.
    const bool entry = outer == TDestination::StyleSheet &&
                       (stack_.size() < 3 || stack_[stack_.size() - 3].dest != outer);
    if (entry) {
        g.chars = TCharProps();
        g.para = TParaProps();
        styles_.BeginEntry();
    }
    g.opensFontEntry = parent.fontTable;
    g.fontTable = false;
}

void TRtfParser::CloseGroup() {
    const TGroupState& g = stack_.back();
    if (g.opensPicture) FinishPicture();
    if (g.opensFontEntry) fonts_.Commit();
    if (g.opensField) {
        // A computed field with no stored result still shows its value.
        const TFieldKind kind = fields_.Kind();
        if (kind != TFieldKind::Stored && g.dest == TDestination::Body && fields_.TakePlacement())
            WriteComputedField(kind, g.chars, 0);
        fields_.Pop();
    }
    if (g.opensShapePicture) {
        --shppictOpen_;
        skipNextNonShppict_ = shppictGotPicture_;
        shppictGotPicture_ = false;
    }
    if (g.opensShape && --shapeOpen_ == 0) shapeGotPicture_ = false;
    const bool oldNumber = g.opensOldNumber, math = g.opensMath;
    if (g.opensStory) builder_.EndStory(g.para, g.chars);
    stack_.pop_back();
    // What the group defined belongs to the paragraph of the group around it.
    if (oldNumber) Top().para.oldNumber = numbering_.Commit();
    if (math) EndMath();
}

void TRtfParser::FinishPicture() {
    const TPicture picture = picture_.Finish();
    if (picture.tooLarge) ++picturesTooLarge_;
    if (picture.undecodable) ++picturesUndecodable_;
    const TGroupState& outer = stack_[stack_.size() - 2];
    if (outer.dest == TDestination::Body) {
        builder_.AppendPicture(picture, outer.chars);
        if (picture.metafile) ++metafilesShownAsBox_;
        skipNextNonShppict_ = false;
    }
    if (shppictOpen_ > 0) shppictGotPicture_ = true;
    if (shapeOpen_ > 0) shapeGotPicture_ = true;
}

void TRtfParser::HandleWord(const TToken& t) {
    const TWordInfo info = t.tooLong ? TWordInfo() : LookUpWord(t.word);
    if (skip_ > 0) { // a control word stands for one fallback character
        --skip_;
        if (info.word == TWord::kBin) tokenizer_.ReadBinary(t.hasParam ? t.param : 0);
        starPending_ = false;
        return;
    }
    if (info.word == TWord::kBin) {
        starPending_ = false;
        const std::string_view bytes = tokenizer_.ReadBinary(t.hasParam ? t.param : 0);
        if (Top().dest == TDestination::Picture) picture_.AppendBinary(bytes);
        return;
    }
    TGroupState& g = Top();
    // Headers, footers and notes are read into stories of their own.
    if (!starPending_ && g.dest == TDestination::Body && BeginStoryGroup(info.word)) return;
    if (info.family == TWordFamily::SkipDestination && g.dest == TDestination::Body)
        NoteSkipped(info.word);
    if (starPending_) {
        starPending_ = false;
        // Character, section and table styles are starred entries of the stylesheet.
        const bool styleEntry =
            g.dest == TDestination::StyleSheet &&
            (info.word == TWord::kCs || info.word == TWord::kDs || info.word == TWord::kTs);
        // Office math stars most of its markup; its groups still hold the text.
        const bool math = g.dest == TDestination::Math || g.dest == TDestination::MathRun;
        if (info.family != TWordFamily::Destination && !styleEntry && !math) {
            g.dest = TDestination::Skip;
            return;
        }
    }
    switch (g.dest) {
    case TDestination::Skip:
        return;
    case TDestination::NestTableProps:
        if (info.word == TWord::kNestrow) builder_.EndNestedRow(g.para, g.chars);
        return;
    case TDestination::Picture:
        if (info.family == TWordFamily::Picture) HandlePictureWord(info.word, t);
        return;
    case TDestination::OldNumbering:
    case TDestination::OldNumberBefore:
    case TDestination::OldNumberAfter:
        HandleOldNumberWord(t);
        return;
    case TDestination::Math:
    case TDestination::MathRun:
        HandleMathWord(t);
        return;
    default:
        break;
    }
    switch (info.family) {
    case TWordFamily::Unknown:
        if (!t.tooLong) HandlePageWord(t);
        break;
    case TWordFamily::Document:
        HandleDocumentWord(info.word, t);
        break;
    case TWordFamily::Destination:
        BeginDestination(info.word);
        break;
    case TWordFamily::SkipDestination:
        g.dest = TDestination::Skip;
        break;
    case TWordFamily::Font:
        if (g.dest == TDestination::FontTable) {
            if (info.word == TWord::kF) fonts_.Begin(t.param);
            if (info.word == TWord::kFcharset) fonts_.SetCharset(t.param);
            if (info.word == TWord::kCpg) fonts_.SetCodePage(t.param);
        } else if (info.word == TWord::kF) {
            g.chars.font = t.param;
        }
        break;
    case TWordFamily::Color:
        if (g.dest != TDestination::ColorTable) break;
        if (info.word == TWord::kRed) colors_.SetRed(t.param);
        if (info.word == TWord::kGreen) colors_.SetGreen(t.param);
        if (info.word == TWord::kBlue) colors_.SetBlue(t.param);
        break;
    case TWordFamily::Character:
        HandleCharacterWord(info.word, t);
        break;
    case TWordFamily::Paragraph:
        HandleParagraphWord(info.word, t);
        break;
    case TWordFamily::Special:
        HandleSpecialWord(info.word);
        break;
    case TWordFamily::Table:
        HandleTableWord(info.word, t);
        break;
    case TWordFamily::Picture:
        break; // outside a picture
    }
}

void TRtfParser::HandleDocumentWord(TWord w, const TToken& t) {
    const int page = Clamp(t.param, 0, kMaxPageTwips);
    switch (w) {
    case TWord::kAnsi:
        documentCodePage_ = 1252;
        break;
    case TWord::kMac:
        documentCodePage_ = 10000;
        break;
    case TWord::kPc:
        documentCodePage_ = 437;
        break;
    case TWord::kPca:
        documentCodePage_ = 850;
        break;
    case TWord::kAnsicpg:
        if (t.param > 0) documentCodePage_ = t.param;
        break;
    case TWord::kDeff:
        defaultFont_ = t.param;
        builder_.SetDefaultFont(t.param);
        break;
    case TWord::kDeftab:
        if (t.hasParam) builder_.SetDefaultTab(Clamp(t.param, 0, kMaxTwips));
        break;
    case TWord::kPaperw:
        geometry_.hasPaper = true, geometry_.paperWidth = page;
        break;
    case TWord::kPaperh:
        geometry_.hasPaper = true, geometry_.paperHeight = page;
        break;
    case TWord::kMargl:
        geometry_.hasMargins = true, geometry_.marginLeft = page;
        break;
    case TWord::kMargr:
        geometry_.hasMargins = true, geometry_.marginRight = page;
        break;
    case TWord::kMargt:
        geometry_.hasMargins = true, geometry_.marginTop = page;
        break;
    case TWord::kMargb:
        geometry_.hasMargins = true, geometry_.marginBottom = page;
        break;
    case TWord::kCols: // the section's columns (see KpRtfPageWords.cpp)
        builder_.Section().columns = Clamp(t.param, 1, 12);
        if (t.param > 1) builder_.NoteSectionPage();
        break;
    case TWord::kUc:
        Top().unicodeSkip = t.hasParam ? Clamp(t.param, 0, 255) : 1;
        break;
    case TWord::kU:
        if (t.hasParam) AppendUnicode(t.param);
        break;
    default:
        break;
    }
}

void TRtfParser::BeginDestination(TWord w) {
    TGroupState& g = Top();
    switch (w) {
    case TWord::kFonttbl:
        g.dest = TDestination::FontTable;
        g.opensFontEntry = true;
        g.fontTable = true;
        break;
    case TWord::kColortbl:
        g.dest = TDestination::ColorTable;
        break;
    case TWord::kStylesheet:
        g.dest = TDestination::StyleSheet;
        break;
    case TWord::kInfo:
    case TWord::kNonesttables:
        g.dest = TDestination::Skip;
        break;
    case TWord::kPict:
        if (g.opensPicture) break;
        g.dest = TDestination::Picture;
        g.opensPicture = true;
        picture_.Begin();
        break;
    case TWord::kField:
        if (g.opensField) break;
        g.opensField = true;
        fields_.Push(g.dest);
        break;
    case TWord::kFldinst:
        g.dest = fields_.Empty() ? TDestination::Skip : TDestination::FieldInstruction;
        break;
    case TWord::kFldrslt:
        if (fields_.Empty()) break;
        g.dest = fields_.ResultDestination();
        g.fieldResult = g.dest == TDestination::Body;
        if (g.dest == TDestination::Body) {
            const int link = fields_.ResultLink();
            if (link >= 0) g.chars.link = link;
        }
        break;
    case TWord::kShppict:
        if (g.opensShapePicture) break;
        g.opensShapePicture = true;
        ++shppictOpen_;
        break;
    case TWord::kNonshppict:
        if (skipNextNonShppict_) g.dest = TDestination::Skip;
        skipNextNonShppict_ = false;
        break;
    case TWord::kShp:
        if (g.opensShape) break;
        g.opensShape = true;
        ++shapeOpen_;
        break;
    case TWord::kSp:
        shapeName_.clear();
        break;
    case TWord::kSn:
        g.dest = TDestination::ShapeName;
        shapeName_.clear();
        break;
    case TWord::kSv:
        if (shapeName_ != QLatin1String("pib")) g.dest = TDestination::Skip;
        break;
    case TWord::kShprslt:
        if (shapeGotPicture_) g.dest = TDestination::Skip;
        break;
    case TWord::kNesttableprops:
        g.dest = TDestination::NestTableProps;
        break;
    case TWord::kPn:
        if (g.dest != TDestination::Body && g.dest != TDestination::StyleSheet) {
            g.dest = TDestination::Skip;
            break;
        }
        g.dest = TDestination::OldNumbering;
        g.opensOldNumber = true;
        numbering_.Begin();
        break;
    case TWord::kPntext:
    case TWord::kListtext: // the number as the writer showed it: no second one is made
        if (g.dest == TDestination::Body) numberRendered_ = true;
        break;
    case TWord::kMmath:
        if (g.dest != TDestination::Body) {
            g.dest = TDestination::Skip;
            break;
        }
        NoteSkipped(w);
        g.dest = TDestination::Math;
        g.opensMath = true;
        BeginMath();
        break;
    default:
        break; // containers: shpinst, shptxt, object, result
    }
}

void TRtfParser::HandleCharacterWord(TWord w, const TToken& t) {
    TCharProps& c = Top().chars;
    switch (w) {
    case TWord::kPlain: {
        const int link = c.link;
        c = TCharProps();
        c.link = link;
        break;
    }
    case TWord::kB:
        c.bold = On(t);
        break;
    case TWord::kI:
        c.italic = On(t);
        break;
    case TWord::kStrike:
    case TWord::kStriked:
        c.strike = On(t);
        break;
    case TWord::kV:
        c.hidden = On(t);
        break;
    case TWord::kCaps:
        c.caps = On(t) ? TCaps::All : TCaps::None;
        break;
    case TWord::kScaps:
        c.caps = On(t) ? TCaps::Small : TCaps::None;
        break;
    case TWord::kUl:
    case TWord::kUlw:
    case TWord::kUlth:
        c.underline = On(t) ? TUnderline::Single : TUnderline::None;
        break;
    case TWord::kUlnone:
        c.underline = TUnderline::None;
        break;
    case TWord::kUld:
    case TWord::kUlthd:
        c.underline = TUnderline::Dot;
        break;
    case TWord::kUldash:
    case TWord::kUldashd:
    case TWord::kUldashdd:
    case TWord::kUlthdash:
    case TWord::kUlthdashd:
    case TWord::kUlthdashdd:
    case TWord::kUlthldash:
    case TWord::kUlldash:
        c.underline = TUnderline::Dash;
        break;
    case TWord::kUldb:
        c.underline = TUnderline::Double;
        break;
    case TWord::kUlwave:
    case TWord::kUldbwave:
    case TWord::kUlhwave:
        c.underline = TUnderline::Wave;
        break;
    case TWord::kSuper:
        c.vertical = TVertical::Super;
        break;
    case TWord::kSub:
        c.vertical = TVertical::Sub;
        break;
    case TWord::kNosupersub:
        c.vertical = TVertical::Normal;
        break;
    case TWord::kUp:
        c.vertical = t.param > 0 ? TVertical::Super : TVertical::Normal;
        break;
    case TWord::kDn:
        c.vertical = t.param > 0 ? TVertical::Sub : TVertical::Normal;
        break;
    case TWord::kCf:
        c.color = std::max(t.param, 0);
        break;
    case TWord::kCb:
    case TWord::kChcbpat:
        c.background = std::max(t.param, 0);
        break;
    case TWord::kHighlight:
        c.highlight = std::max(t.param, 0);
        break;
    case TWord::kFs:
        c.halfPoints = t.hasParam ? Clamp(t.param, 2, 3276) : kDefaultHalfPoints;
        break;
    default:
        break;
    }
}

void TRtfParser::HandleParagraphWord(TWord w, const TToken& t) {
    TGroupState& g = Top();
    TParaProps& p = g.para;
    const int twips = Clamp(t.param, -kMaxTwips, kMaxTwips);
    switch (w) {
    case TWord::kCs:
        if (g.dest == TDestination::StyleSheet)
            styles_.SetNumber(t.param, TStyleKind::Character);
        else
            styles_.ApplyCharacterStyle(t.param, g.chars);
        break;
    case TWord::kDs:
    case TWord::kTs:
        if (g.dest == TDestination::StyleSheet) styles_.SetNumber(t.param, TStyleKind::Other);
        break;
    case TWord::kS:
        if (g.dest == TDestination::StyleSheet) {
            styles_.SetNumber(t.param, TStyleKind::Paragraph);
        } else if (const TStyleSheet::TStyle* style = styles_.Find(t.param)) {
            const bool inTable = p.inTable;
            const int nest = p.nestLevel;
            const int link = g.chars.link;
            p = style->para;
            p.inTable = inTable;
            p.nestLevel = nest;
            g.chars = style->chars;
            g.chars.link = link;
        }
        break;
    case TWord::kPard:
        p = TParaProps();
        break;
    case TWord::kQl:
        p.align = TAlign::Left;
        break;
    case TWord::kQc:
        p.align = TAlign::Center;
        break;
    case TWord::kQr:
        p.align = TAlign::Right;
        break;
    case TWord::kQj:
    case TWord::kQd:
        p.align = TAlign::Justify;
        break;
    case TWord::kLi:
    case TWord::kLin:
        p.left = twips;
        break;
    case TWord::kRi:
    case TWord::kRin:
        p.right = twips;
        break;
    case TWord::kFi:
        p.first = twips;
        break;
    case TWord::kSb:
        p.before = std::max(twips, 0);
        break;
    case TWord::kSa:
        p.after = std::max(twips, 0);
        break;
    case TWord::kSl:
        p.lineSpacing = twips;
        break;
    case TWord::kSlmult:
        p.lineMultiple = On(t);
        break;
    case TWord::kIntbl:
        p.inTable = true;
        break;
    case TWord::kItap:
        p.nestLevel = std::max(t.param, 0);
        p.inTable = t.param > 0;
        break;
    case TWord::kPagebb:
        p.pageBreakBefore = On(t);
        break;
    case TWord::kRtlpar:
        p.rightToLeft = true;
        break;
    case TWord::kLtrpar:
        p.rightToLeft = false;
        break;
    case TWord::kOutlinelevel: // 0 to 8; 9 is body text
        p.outline = t.param >= 0 && t.param <= 8 ? t.param + 1 : 0;
        break;
    case TWord::kTqr:
        pendingTabKind_ = TTabKind::Right;
        break;
    case TWord::kTqc:
        pendingTabKind_ = TTabKind::Center;
        break;
    case TWord::kTqdec:
        pendingTabKind_ = TTabKind::Decimal;
        break;
    case TWord::kTb: // a bar tab draws a line, it does not stop the text
        pendingTabKind_ = TTabKind::Left;
        pendingLeader_ = ' ';
        break;
    case TWord::kTldot:
        pendingLeader_ = '.';
        break;
    case TWord::kTlhyph:
        pendingLeader_ = '-';
        break;
    case TWord::kTlul:
        pendingLeader_ = '_';
        break;
    case TWord::kTlth:
        pendingLeader_ = 'T';
        break;
    case TWord::kTleq:
        pendingLeader_ = '=';
        break;
    case TWord::kTx:
        if (p.tabCount < kMaxTabs && twips >= 0)
            p.tabs[static_cast<size_t>(p.tabCount++)] =
                TTabStop{twips, pendingTabKind_, pendingLeader_};
        pendingTabKind_ = TTabKind::Left;
        pendingLeader_ = ' ';
        break;
    default:
        break;
    }
}

void TRtfParser::HandleSpecialWord(TWord w) {
    TGroupState& g = Top();
    const bool body = g.dest == TDestination::Body;
    switch (w) {
    case TWord::kPar:
    case TWord::kColumn:
        if (!body) break;
        NumberParagraph();
        builder_.EndParagraph(g.para, g.chars);
        break;
    case TWord::kLine:
        EmitText(QString(QChar(QChar::LineSeparator)));
        break;
    case TWord::kTab:
        EmitText(QStringLiteral("\t"));
        break;
    case TWord::kPage:
    case TWord::kSect:
        if (!body) break;
        if (builder_.ParagraphHasContent()) NumberParagraph();
        builder_.PageBreak(g.para, g.chars, w == TWord::kSect);
        break;
    case TWord::kSbknone:
    case TWord::kSbkcol:
        builder_.CancelSectionBreak();
        break;
    case TWord::kCell:
        if (!body) break;
        NumberParagraph();
        builder_.EndCell(g.para, g.chars);
        break;
    case TWord::kRow:
        if (body) builder_.EndRow(rowDef_.Def(), g.para, g.chars);
        break;
    case TWord::kNestcell:
        if (body) builder_.EndNestedCell();
        break;
    case TWord::kNestrow:
        if (body) builder_.EndNestedRow(g.para, g.chars);
        break;
    case TWord::kChpgn:
        if (body) WriteComputedField(TFieldKind::PageNumber, g.chars, 0);
        break;
    case TWord::kChdate:
        if (body)
            builder_.AppendText(
                DateTimeFieldText(TFieldKind::Date, {}, QDateTime::currentDateTime()), g.chars);
        break;
    case TWord::kChtime:
        if (body)
            builder_.AppendText(
                DateTimeFieldText(TFieldKind::Time, {}, QDateTime::currentDateTime()), g.chars);
        break;
    case TWord::kEmdash:
        EmitText(QString(QChar(0x2014)));
        break;
    case TWord::kEndash:
        EmitText(QString(QChar(0x2013)));
        break;
    case TWord::kBullet:
        EmitText(QString(QChar(0x2022)));
        break;
    case TWord::kLquote:
        EmitText(QString(QChar(0x2018)));
        break;
    case TWord::kRquote:
        EmitText(QString(QChar(0x2019)));
        break;
    case TWord::kLdblquote:
        EmitText(QString(QChar(0x201C)));
        break;
    case TWord::kRdblquote:
        EmitText(QString(QChar(0x201D)));
        break;
    case TWord::kEmspace:
        EmitText(QString(QChar(0x2003)));
        break;
    case TWord::kEnspace:
        EmitText(QString(QChar(0x2002)));
        break;
    case TWord::kQmspace:
        EmitText(QString(QChar(0x2005)));
        break;
    case TWord::kZwj:
        EmitText(QString(QChar(0x200D)));
        break;
    case TWord::kZwnj:
        EmitText(QString(QChar(0x200C)));
        break;
    case TWord::kLtrmark:
        EmitText(QString(QChar(0x200E)));
        break;
    case TWord::kRtlmark:
        EmitText(QString(QChar(0x200F)));
        break;
    case TWord::kSectd:
        if (body) builder_.ResetSection();
        break;
    default:
        break; // \sbkpage, \sbkeven, \sbkodd, \lbr
    }
}

void TRtfParser::HandleTableWord(TWord w, const TToken& t) {
    const int twips = Clamp(t.param, -kMaxTwips, 2 * kMaxTwips);
    switch (w) {
    case TWord::kTrowd:
        rowDef_.Reset();
        break;
    case TWord::kCellx:
        rowDef_.EndCellDef(twips);
        break;
    case TWord::kTrleft:
        rowDef_.SetLeft(twips);
        break;
    case TWord::kTrgaph:
        rowDef_.SetGap(twips);
        break;
    case TWord::kTrql:
        rowDef_.SetAlign(TAlign::Left);
        break;
    case TWord::kTrqc:
        rowDef_.SetAlign(TAlign::Center);
        break;
    case TWord::kTrqr:
        rowDef_.SetAlign(TAlign::Right);
        break;
    case TWord::kClbrdrt:
        rowDef_.TargetCellSide(kTop);
        break;
    case TWord::kClbrdrl:
        rowDef_.TargetCellSide(kLeft);
        break;
    case TWord::kClbrdrb:
        rowDef_.TargetCellSide(kBottom);
        break;
    case TWord::kClbrdrr:
        rowDef_.TargetCellSide(kRight);
        break;
    case TWord::kTrbrdrt:
        rowDef_.TargetRowSide(kTop);
        break;
    case TWord::kTrbrdrl:
        rowDef_.TargetRowSide(kLeft);
        break;
    case TWord::kTrbrdrb:
        rowDef_.TargetRowSide(kBottom);
        break;
    case TWord::kTrbrdrr:
        rowDef_.TargetRowSide(kRight);
        break;
    case TWord::kTrbrdrh:
        rowDef_.TargetRowSide(kInsideH);
        break;
    case TWord::kTrbrdrv:
        rowDef_.TargetRowSide(kInsideV);
        break;
    case TWord::kBrdrt:
    case TWord::kBrdrb:
    case TWord::kBrdrl:
    case TWord::kBrdrr:
    case TWord::kBox:
        rowDef_.TargetNone();
        break;
    case TWord::kBrdrs:
    case TWord::kBrdrth:
    case TWord::kBrdrsh:
    case TWord::kBrdrhair:
        rowDef_.SetBorderStyle(TBorderStyle::Solid);
        break;
    case TWord::kBrdrdb:
        rowDef_.SetBorderStyle(TBorderStyle::Double);
        break;
    case TWord::kBrdrdot:
        rowDef_.SetBorderStyle(TBorderStyle::Dotted);
        break;
    case TWord::kBrdrdash:
    case TWord::kBrdrdashsm:
    case TWord::kBrdrdashd:
        rowDef_.SetBorderStyle(TBorderStyle::Dashed);
        break;
    case TWord::kBrdrnone:
    case TWord::kBrdrnil:
    case TWord::kBrdrtbl:
        rowDef_.SetBorderStyle(TBorderStyle::None);
        break;
    case TWord::kBrdrw:
        rowDef_.SetBorderWidth(t.param);
        break;
    case TWord::kBrdrcf:
        rowDef_.SetBorderColor(std::max(t.param, 0));
        break;
    case TWord::kClcbpat:
        rowDef_.SetCellBackground(std::max(t.param, 0));
        break;
    case TWord::kClcfpat:
        rowDef_.SetCellPattern(std::max(t.param, 0));
        break;
    case TWord::kClshdng:
        rowDef_.SetCellShading(Clamp(t.param, 0, 10000));
        break;
    // Writers of the format put a cell's top padding in \clpadl and its left one in \clpadt.
    case TWord::kClpadl:
        rowDef_.SetCellPadding(kTop, t.param);
        break;
    case TWord::kClpadt:
        rowDef_.SetCellPadding(kLeft, t.param);
        break;
    case TWord::kClpadr:
        rowDef_.SetCellPadding(kRight, t.param);
        break;
    case TWord::kClpadb:
        rowDef_.SetCellPadding(kBottom, t.param);
        break;
    case TWord::kClpadfl:
        rowDef_.SetCellPaddingUnit(kTop, t.param);
        break;
    case TWord::kClpadft:
        rowDef_.SetCellPaddingUnit(kLeft, t.param);
        break;
    case TWord::kClpadfr:
        rowDef_.SetCellPaddingUnit(kRight, t.param);
        break;
    case TWord::kClpadfb:
        rowDef_.SetCellPaddingUnit(kBottom, t.param);
        break;
    case TWord::kTrpaddl:
        rowDef_.SetRowPadding(kLeft, t.param);
        break;
    case TWord::kTrpaddt:
        rowDef_.SetRowPadding(kTop, t.param);
        break;
    case TWord::kTrpaddr:
        rowDef_.SetRowPadding(kRight, t.param);
        break;
    case TWord::kTrpaddb:
        rowDef_.SetRowPadding(kBottom, t.param);
        break;
    case TWord::kTrpaddfl:
        rowDef_.SetRowPaddingUnit(kLeft, t.param);
        break;
    case TWord::kTrpaddft:
        rowDef_.SetRowPaddingUnit(kTop, t.param);
        break;
    case TWord::kTrpaddfr:
        rowDef_.SetRowPaddingUnit(kRight, t.param);
        break;
    case TWord::kTrpaddfb:
        rowDef_.SetRowPaddingUnit(kBottom, t.param);
        break;
    case TWord::kClvertalt:
        rowDef_.SetCellAlign(TCellAlign::Top);
        break;
    case TWord::kClvertalc:
        rowDef_.SetCellAlign(TCellAlign::Center);
        break;
    case TWord::kClvertalb:
        rowDef_.SetCellAlign(TCellAlign::Bottom);
        break;
    default:
        break;
    }
}

void TRtfParser::HandlePictureWord(TWord w, const TToken& t) {
    const int v = Clamp(t.param, 0, kMaxPageTwips);
    switch (w) {
    case TWord::kPngblip:
        picture_.SetKind(TPictureKind::Png);
        break;
    case TWord::kJpegblip:
        picture_.SetKind(TPictureKind::Jpeg);
        break;
    case TWord::kDibitmap:
        picture_.SetKind(TPictureKind::Dib);
        break;
    case TWord::kWbitmap:
        picture_.SetKind(TPictureKind::DeviceBitmap);
        break;
    case TWord::kWmetafile:
    case TWord::kEmfblip:
    case TWord::kMacpict:
    case TWord::kPmmetafile:
        picture_.SetKind(TPictureKind::Metafile);
        break;
    case TWord::kPicw:
        picture_.SetWidth(v);
        break;
    case TWord::kPich:
        picture_.SetHeight(v);
        break;
    case TWord::kPicwgoal:
        picture_.SetGoalWidth(v);
        break;
    case TWord::kPichgoal:
        picture_.SetGoalHeight(v);
        break;
    case TWord::kPicscalex:
        picture_.SetScaleX(v);
        break;
    case TWord::kPicscaley:
        picture_.SetScaleY(v);
        break;
    default:
        break;
    }
}

void TRtfParser::HandleSymbol(char c) {
    if (c == 0) return; // a malformed \'hh
    if (skip_ > 0) {
        --skip_;
        return;
    }
    if (c == '*') {
        starPending_ = true;
        return;
    }
    starPending_ = false;
    TGroupState& g = Top();
    switch (c) {
    case '\\':
    case '{':
    case '}':
        if (g.dest != TDestination::Picture) bytes_.push_back(c);
        break;
    case '~':
        EmitText(QString(QChar(0x00A0)));
        break;
    case '-':
        EmitText(QString(QChar(0x00AD)));
        break;
    case '_':
        EmitText(QString(QChar(0x2011)));
        break;
    case '\n':
        if (g.dest != TDestination::Body) break;
        NumberParagraph();
        builder_.EndParagraph(g.para, g.chars);
        break;
    default:
        break;
    }
}

void TRtfParser::AppendUnicode(int value) {
    if (value < 0) value += 65536;
    char16_t c = (value < 0 || value > 0xFFFF) ? kReplacement : static_cast<char16_t>(value);
    if (QChar::isLowSurrogate(c) && pendingHigh_ == 0) c = kReplacement;
    EmitText(QString(QChar(c)));
    skip_ = Top().unicodeSkip;
}

int TRtfParser::CurrentCodePage() {
    const TGroupState& g = Top();
    if (g.dest == TDestination::FontTable) return fonts_.PendingCodePage(documentCodePage_);
    return fonts_.CodePage(g.chars.font >= 0 ? g.chars.font : defaultFont_, documentCodePage_);
}

void TRtfParser::FlushBytes() {
    if (bytes_.empty()) return;
    const TGroupState& g = Top();
    const bool shown = g.dest == TDestination::Body || g.dest == TDestination::OldNumberBefore ||
                       g.dest == TDestination::OldNumberAfter;
    const TSymbolFont symbol =
        shown ? fonts_.Symbol(g.chars.font >= 0 ? g.chars.font : defaultFont_) : TSymbolFont::None;
    const QString text = symbol == TSymbolFont::None ? decoder_.Decode(CurrentCodePage(), bytes_)
                                                     : DecodeSymbolBytes(symbol, bytes_);
    bytes_.clear();
    EmitText(text);
}

void TRtfParser::FlushHighSurrogate() {
    if (pendingHigh_ == 0) return;
    pendingHigh_ = 0;
    Dispatch(QString(QChar(kReplacement)));
}

// Pairs a high surrogate from \uN with the low one that follows; a lone half reads as U+FFFD.
void TRtfParser::EmitText(const QString& text) {
    if (text.isEmpty()) return;
    QString out;
    if (pendingHigh_ != 0) {
        out += QChar(text.front().isLowSurrogate() ? pendingHigh_ : kReplacement);
        pendingHigh_ = 0;
    }
    out += text;
    if (out.back().isHighSurrogate()) {
        pendingHigh_ = out.back().unicode();
        out.chop(1);
    }
    if (!out.isEmpty()) Dispatch(out);
}

void TRtfParser::Dispatch(const QString& text) {
    TGroupState& g = Top();
    switch (g.dest) {
    case TDestination::Body:
        if (g.fieldResult && !fields_.Empty()) {
            // A computed field's stored result only says how much room its value takes.
            const TFieldKind kind = fields_.Kind();
            if (kind != TFieldKind::Stored) {
                if (fields_.TakePlacement()) WriteComputedField(kind, g.chars, text.size());
                break;
            }
        }
        builder_.AppendText(text, g.chars);
        skipNextNonShppict_ = false;
        break;
    case TDestination::FontTable:
        fonts_.AppendNameText(text);
        break;
    case TDestination::ColorTable:
        for (QChar c : text)
            if (c == QLatin1Char(';')) colors_.Commit();
        break;
    case TDestination::StyleSheet:
        for (QChar c : text) {
            if (c == QLatin1Char(';'))
                styles_.Commit(g.chars, g.para);
            else
                styles_.AppendName(c);
        }
        break;
    case TDestination::FieldInstruction:
        fields_.AppendInstruction(text);
        break;
    case TDestination::ShapeName:
        if (shapeName_.size() < 64) shapeName_ += text.trimmed();
        break;
    case TDestination::OldNumberBefore:
        numbering_.AppendBefore(text);
        break;
    case TDestination::OldNumberAfter:
        numbering_.AppendAfter(text);
        break;
    case TDestination::Math:
        if (mathOther_.size() < kMaxMathText) mathOther_ += text;
        break;
    case TDestination::MathRun:
        if (mathRuns_.size() < kMaxMathText) mathRuns_ += text;
        break;
    default:
        break;
    }
}

void TRtfParser::WriteComputedField(TFieldKind kind, const TCharProps& chars,
                                    qsizetype storedLength) {
    if (kind == TFieldKind::Date || kind == TFieldKind::Time) {
        builder_.AppendText(DateTimeFieldText(kind,
                                              fields_.Empty() ? QString() : fields_.Instruction(),
                                              QDateTime::currentDateTime()),
                            chars);
        return;
    }
    // Figure spaces are as wide as digits: the layout draws the number over them.
    constexpr qsizetype kDefaultDigits = 2, kMaxDigits = 4;
    const qsizetype digits = storedLength > 0 ? std::min(storedLength, kMaxDigits) : kDefaultDigits;
    TCharProps marked = chars;
    marked.pageField = static_cast<uint8_t>(
        kind == TFieldKind::PageNumber ? TKpPageField::PageNumber : TKpPageField::PageCount);
    builder_.AppendText(QString(digits, QChar(0x2007)), marked);
}

void TRtfParser::HandleOldNumberWord(const TToken& t) {
    TGroupState& g = Top();
    if (t.word == "pntxtb") {
        g.dest = TDestination::OldNumberBefore;
    } else if (t.word == "pntxta") {
        g.dest = TDestination::OldNumberAfter;
    } else if (t.word == "u") {
        if (t.hasParam) AppendUnicode(t.param);
    } else if (t.word == "uc") {
        g.unicodeSkip = t.hasParam ? Clamp(t.param, 0, 255) : 1;
    } else {
        // The number's font also decides how the bytes of its texts read.
        if (t.word == "pnf" && t.hasParam) g.chars.font = t.param;
        numbering_.HandleWord(t.word, t.hasParam, t.param);
    }
}

void TRtfParser::NumberParagraph() {
    TGroupState& g = Top();
    const int index = g.dest == TDestination::Body ? g.para.oldNumber : -1;
    const QString number = numbering_.Next(index, numberRendered_);
    numberRendered_ = false;
    const TOldNumberDef* def = numbering_.Find(index);
    if (number.isEmpty() || !def) return;
    TCharProps chars = g.chars;
    chars.hidden = false;
    chars.link = -1;
    chars.pageField = 0;
    if (def->font >= 0) chars.font = def->font;
    if (def->halfPoints > 0) chars.halfPoints = def->halfPoints;
    if (def->bold >= 0) chars.bold = def->bold != 0;
    if (def->italic >= 0) chars.italic = def->italic != 0;
    builder_.PrependText(number, chars);
}

void TRtfParser::BeginMath() {
    mathRuns_.clear();
    mathOther_.clear();
    mathShownAsPicture_ = false;
}

// Inside a formula only the runs' text, the operator characters and a picture of the formula
// matter; the structure around them is dropped.
void TRtfParser::HandleMathWord(const TToken& t) {
    TGroupState& g = Top();
    const std::string_view w = t.word;
    if (w == "u") {
        if (t.hasParam) AppendUnicode(t.param);
    } else if (w == "uc") {
        g.unicodeSkip = t.hasParam ? Clamp(t.param, 0, 255) : 1;
    } else if (w == "f") {
        g.chars.font = t.param; // how its bytes read
    } else if (w == "mr" || w == "mchr" || w == "mbegChr" || w == "mendChr" || w == "msepChr") {
        g.dest = TDestination::MathRun;
    } else if (w == "mmathPict") {
        // The writer's picture of the formula stands in for it unless its text came first.
        if (!mathRuns_.isEmpty()) {
            g.dest = TDestination::Skip;
            return;
        }
        g.dest = TDestination::Body;
        mathShownAsPicture_ = true;
    }
}

void TRtfParser::EndMath() {
    const QString text = mathShownAsPicture_   ? QString()
                         : mathRuns_.isEmpty() ? mathOther_.simplified()
                                               : mathRuns_;
    BeginMath();
    if (Top().dest == TDestination::Body) EmitText(text);
}

QStringList TRtfParser::Warnings() const {
    const std::array<int, 10> n = FaultCounts();
    const QString texts[10] = {
        QStringLiteral("Groups nested deeper than %1 levels were skipped.").arg(kMaxGroupDepth),
        QStringLiteral("%1 stray '}' ignored.").arg(n[1]),
        QStringLiteral("%1 group(s) still open at the end of the file were closed.").arg(n[2]),
        QStringLiteral("%1 control word(s) longer than %2 letters were ignored.")
            .arg(n[3])
            .arg(kMaxWordLetters),
        QStringLiteral("%1 numeric parameter(s) beyond 32 bits were clamped.").arg(n[4]),
        QStringLiteral("Binary data (\\bin) ran past the end of the file."),
        QStringLiteral("%1 bad hex digit(s) were skipped.").arg(n[6]),
        QStringLiteral("%1 picture(s) too large to decode were shown as a box.").arg(n[7]),
        QStringLiteral("%1 picture(s) could not be decoded and were shown as a box.").arg(n[8]),
        QStringLiteral("%1 metafile picture(s) were shown as a box: only enhanced and 16-bit "
                       "metafiles (\\emfblip, \\wmetafile) are drawn, and this one is of "
                       "another kind or damaged.")
            .arg(n[9])};
    QStringList w;
    for (std::size_t i = 0; i < n.size(); ++i) {
        if (n[i] <= 0) continue;
        QString text = texts[i];
        if (firstAt_[i] >= 0)
            text.insert(text.size() - 1, QStringLiteral(" (first at byte %1)").arg(firstAt_[i]));
        w << text;
    }
    const char* what[kSkippedKinds] = {
        "header or footer group(s) were not shown", "footnote(s) or endnote(s) were not shown",
        "office math group(s) were shown as plain text", "comment(s) were not shown",
        "section(s) with several columns were laid out in one"};
    for (std::size_t i = 0; i < skipped_.size(); ++i) {
        if (skipped_[i] <= 0) continue;
        w << QStringLiteral("%1 %2 (first at byte %3).")
                 .arg(skipped_[i])
                 .arg(QLatin1String(what[i]))
                 .arg(skippedAt_[i]);
    }
    return w;
}

TKpRtfPageGeometry TRtfParser::Geometry() const {
    return geometry_;
}

} // namespace rtf

} // namespace kp
