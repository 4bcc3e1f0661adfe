#include "richtext/KpRtfDocumentBuilder.h"

#include <algorithm>

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

#include "richtext/KpPageFields.h"
#include "richtext/KpRtfColorTable.h"
#include "richtext/KpRtfFontTable.h"
#include "richtext/KpRtfLinePitch.h"
#include "richtext/KpRtfPicture.h"

namespace kp {

namespace rtf {
namespace {

// Qt takes these lengths in 1/96 inch and scales them to the 1,440-dpi layout device.
qreal DeviceIndependent(int twips) {
    return twips / 15.0;
}

// A note's number as the document's numbering style writes it.
QString NoteNumberText(int n, char style) {
    n = std::max(n, 1);
    switch (style) {
    case 'a':
    case 'A': {
        // a .. z, then aa .. zz, as writers count on.
        const QChar letter(char16_t(style + (n - 1) % 26));
        return QString((n - 1) / 26 + 1, letter);
    }
    case 'i':
    case 'I': {
        static const struct {
            int value;
            const char* text;
        } kRoman[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"},
                      {90, "xc"},  {50, "l"},   {40, "xl"}, {10, "x"},   {9, "ix"},
                      {5, "v"},    {4, "iv"},   {1, "i"}};
        QString out;
        int v = std::min(n, 3999);
        for (const auto& r : kRoman)
            for (; v >= r.value; v -= r.value)
                out += QLatin1String(r.text);
        return style == 'I' ? out.toUpper() : out;
    }
    case '*': {
        static const char16_t kSigns[] = {u'*', u'\u2020', u'\u2021', u'\u00A7'};
        return QString((n - 1) / 4 + 1, QChar(kSigns[(n - 1) % 4]));
    }
    default:
        return QString::number(n);
    }
}

constexpr int kTabReach = 2 * 31680; // default tab stops end past the widest column

QTextFrameFormat::BorderStyle QtBorderStyle(TBorderStyle style) {
    switch (style) {
    case TBorderStyle::Double:
        return QTextFrameFormat::BorderStyle_Double;
    case TBorderStyle::Dotted:
        return QTextFrameFormat::BorderStyle_Dotted;
    case TBorderStyle::Dashed:
        return QTextFrameFormat::BorderStyle_Dashed;
    case TBorderStyle::None:
        return QTextFrameFormat::BorderStyle_None;
    default:
        return QTextFrameFormat::BorderStyle_Solid;
    }
}

Qt::Alignment QtAlignment(TAlign align) {
    switch (align) {
    case TAlign::Center:
        return Qt::AlignHCenter;
    case TAlign::Right:
        return Qt::AlignRight;
    case TAlign::Justify:
        return Qt::AlignJustify;
    default:
        return Qt::AlignLeft;
    }
}

} // namespace

TDocumentBuilder::TDocumentBuilder(QTextDocument& doc, const TFontTable& fonts,
                                   const TColorTable& colors, const QStringList& links)
    : doc_(doc), fonts_(fonts), colors_(colors), links_(links), cursor_(&doc) {
    stories_->sections.emplace_back();
}

TDocumentBuilder::~TDocumentBuilder() = default;

void TDocumentBuilder::BeginStory(TKpStoryKind kind) {
    if (story_) return story_->BeginStory(kind);
    storyDoc_ = std::make_shared<QTextDocument>();
    storyDoc_->setUndoRedoEnabled(false);
    story_ = std::make_unique<TDocumentBuilder>(*storyDoc_, fonts_, colors_, links_);
    story_->isStory_ = true;
    story_->defaultFont_ = defaultFont_;
    story_->defaultTab_ = defaultTab_;
    story_->imagePrefix_ = QStringLiteral("%1s%2:").arg(imagePrefix_).arg(++storyCount_);
    story_->noteMarks_[0] =
        NoteNumberText(footnoteNumbering_.start + footnoteCount_, footnoteNumbering_.style);
    story_->noteMarks_[1] =
        NoteNumberText(endnoteNumbering_.start + endnoteCount_, endnoteNumbering_.style);
    storyKind_ = kind;
}

void TDocumentBuilder::SetEndnote() {
    if (story_) return story_->SetEndnote();
    endnote_ = true;
}

void TDocumentBuilder::AppendNoteMark(const TCharProps& chars) {
    if (story_) return story_->AppendNoteMark(chars);
    if (isStory_ && !noteMarks_[0].isEmpty()) { // a note's own mark
        AppendText(noteMarks_[endnote_ ? 1 : 0], chars);
        return;
    }
    // A reference: most likely to the next footnote; the note corrects it when it closes.
    TCharProps marked = chars;
    marked.note = -1; // keeps the mark a run of its own
    if (chars.hidden) return;
    paragraph_.runs.push_back(
        TRun{NoteNumberText(footnoteNumbering_.start + footnoteCount_, footnoteNumbering_.style),
             marked, -1});
    pendingMark_ = static_cast<int>(paragraph_.runs.size()) - 1;
}

void TDocumentBuilder::EndStory(const TParaProps& para, const TCharProps& mark) {
    if (!story_) return;
    if (story_->story_) return story_->EndStory(para, mark);
    story_->Finish(para, mark);
    std::unique_ptr<TDocumentBuilder> story = std::move(story_);
    std::shared_ptr<QTextDocument> doc = std::move(storyDoc_);
    if (storyKind_ != TKpStoryKind::Footnote) {
        Section().bands[static_cast<std::size_t>(storyKind_)] = doc;
        hasStories_ = true;
        return;
    }
    const bool endnote = story->endnote_;
    const QString number = story->noteMarks_[endnote ? 1 : 0];
    (endnote ? endnoteCount_ : footnoteCount_)++;
    int note = 0;
    if (endnote || notesAtEnd_) {
        // Its pictures go with it into the body.
        for (const TImage& image : story->images_)
            doc_.addResource(QTextDocument::ImageResource, QUrl(image.name),
                             doc->resource(QTextDocument::ImageResource, QUrl(image.name)));
        endnotes_.push_back(doc);
    } else {
        stories_->footnotes.push_back(doc);
        note = static_cast<int>(stories_->footnotes.size());
        hasStories_ = true;
    }
    auto& runs = paragraph_.runs;
    if (pendingMark_ >= 0 && pendingMark_ < static_cast<int>(runs.size())) {
        runs[static_cast<std::size_t>(pendingMark_)].text = number;
        runs[static_cast<std::size_t>(pendingMark_)].chars.note = note;
    } else if (note > 0 && !runs.empty() && runs.back().image < 0) {
        // A mark of the writer's own making: the text before the note refers to it.
        runs.back().chars.note = note;
    }
    pendingMark_ = -1;
}

void TDocumentBuilder::ResetSection() {
    if (isStory_) return;
    TKpSectionStories& s = Section();
    s.titlePage = false;
    s.headerY = s.footerY = 720;
    s.paperWidth = s.paperHeight = 0;
    s.landscape = false;
    s.marginLeft = s.marginRight = s.marginTop = s.marginBottom = -1;
    s.columns = 1;
    s.columnGap = 720;
}

// Endnotes, and footnotes the document collects at its end, follow the body.
void TDocumentBuilder::AppendEndnotes() {
    for (const auto& note : endnotes_) {
        QTextCursor end(&doc_);
        end.movePosition(QTextCursor::End);
        QTextBlockFormat f;
        f.setTopMargin(DeviceIndependent(120));
        if (!blockAvailable_) end.insertBlock(f);
        blockAvailable_ = false;
        end.setBlockFormat(f);
        end.insertFragment(QTextDocumentFragment(note.get()));
    }
}

void TDocumentBuilder::AppendText(const QString& text, const TCharProps& chars) {
    if (story_) return story_->AppendText(text, chars);
    if (chars.hidden || text.isEmpty()) return;
    QString piece;
    if (nestedTabs_ > 0) { // the cells of a flattened nested row are separated by tabs
        piece = QString(nestedTabs_, QLatin1Char('\t')) + text;
        nestedTabs_ = 0;
    }
    const QString& add = piece.isEmpty() ? text : piece;
    auto& runs = paragraph_.runs;
    if (!runs.empty() && runs.back().image < 0 && runs.back().chars == chars) {
        runs.back().text += add;
    } else {
        runs.push_back(TRun{add, chars, -1});
    }
}

void TDocumentBuilder::AppendPicture(const TPicture& picture, const TCharProps& chars) {
    if (story_) return story_->AppendPicture(picture, chars);
    if (picture.image.isNull()) return;
    QString name;
    const quint64 key =
        (quint64(quint32(picture.image.width())) << 32) | quint32(picture.image.height());
    if (picture.placeholder) name = placeholders_.value(key);
    if (name.isEmpty()) {
        name = imagePrefix_ + QString::number(images_.size());
        doc_.addResource(QTextDocument::ImageResource, QUrl(name), picture.image);
        if (picture.placeholder) placeholders_.insert(key, name);
    }
    images_.push_back(TImage{name, picture.sizeTwips});
    paragraph_.runs.push_back(TRun{QString(), chars, static_cast<int>(images_.size() - 1)});
}

void TDocumentBuilder::PrependText(const QString& text, const TCharProps& chars) {
    if (text.isEmpty()) return;
    auto& runs = paragraph_.runs;
    runs.insert(runs.begin(), TRun{text, chars, -1});
}

TParagraph TDocumentBuilder::TakeParagraph(const TParaProps& para, const TCharProps& mark) {
    TParagraph p = std::move(paragraph_);
    paragraph_ = TParagraph();
    p.para = para;
    p.mark = mark;
    nestedTabs_ = 0;
    pendingMark_ = -1;
    return p;
}

void TDocumentBuilder::EndParagraph(const TParaProps& para, const TCharProps& mark) {
    if (story_) return story_->EndParagraph(para, mark);
    TParagraph p = TakeParagraph(para, mark);
    if (para.inTable) {
        cell_.paragraphs.push_back(std::move(p));
        return;
    }
    CloseRowIfOpen();
    WriteTable();
    WriteParagraph(p);
}

void TDocumentBuilder::EndCell(const TParaProps& para, const TCharProps& mark) {
    if (story_) return story_->EndCell(para, mark);
    cell_.paragraphs.push_back(TakeParagraph(para, mark));
    rowCells_.push_back(std::move(cell_));
    cell_ = TCell();
}

void TDocumentBuilder::EndNestedRow(const TParaProps& para, const TCharProps& mark) {
    if (story_) return story_->EndNestedRow(para, mark);
    if (!paragraph_.Empty()) cell_.paragraphs.push_back(TakeParagraph(para, mark));
    nestedTabs_ = 0;
}

void TDocumentBuilder::EndRow(const TRowDef& def, const TParaProps& para, const TCharProps& mark) {
    if (story_) return story_->EndRow(def, para, mark);
    if (!paragraph_.Empty()) cell_.paragraphs.push_back(TakeParagraph(para, mark));
    if (!cell_.paragraphs.empty()) {
        rowCells_.push_back(std::move(cell_));
        cell_ = TCell();
    }
    nestedTabs_ = 0;
    if (rowCells_.empty()) return;
    // Cells past the column cap join the last cell, in their order.
    if (rowCells_.size() > static_cast<size_t>(kMaxColumns)) {
        auto& last = rowCells_[kMaxColumns - 1].paragraphs;
        for (size_t i = kMaxColumns; i < rowCells_.size(); ++i) {
            auto& extra = rowCells_[i].paragraphs;
            last.insert(last.end(), std::make_move_iterator(extra.begin()),
                        std::make_move_iterator(extra.end()));
        }
        rowCells_.resize(kMaxColumns);
    }
    TRow row{def, std::move(rowCells_)};
    rowCells_.clear();
    if (!tableRows_.empty() && tableRows_.front().cells.size() != row.cells.size()) WriteTable();
    if (tableRows_.empty()) {
        tableBreakBefore_ = pendingBreak_;
        pendingBreak_ = breakFromSection_ = false;
    }
    tableRows_.push_back(std::move(row));
}

void TDocumentBuilder::CloseRowIfOpen() {
    if (cell_.paragraphs.empty() && rowCells_.empty()) return;
    EndRow(TRowDef(), TParaProps(), TCharProps());
}

void TDocumentBuilder::PageBreak(const TParaProps& para, const TCharProps& mark, bool section) {
    if (story_) return story_->PageBreak(para, mark, section);
    if (para.inTable) return; // a table row cannot hold a page break
    if (!paragraph_.Empty()) {
        EndParagraph(para, mark);
    } else {
        CloseRowIfOpen();
        WriteTable();
    }
    pendingBreak_ = true;
    breakFromSection_ = section;
    if (section && !isStory_) {
        // The next section starts with a paragraph of its own (before a table, the empty one
        // in front of it); it keeps the bands of the one before until it states its own.
        if (!blockAvailable_) {
            cursor_.insertBlock();
            blockAvailable_ = true;
        } else if (lastTable_) {
            // After a table, a paragraph of no height ends the section, so that each section
            // can be laid out on its own as whole paragraphs.
            QTextBlockFormat gap;
            gap.setLineHeight(0, QTextBlockFormat::FixedHeight);
            cursor_.setBlockFormat(gap);
            QTextCharFormat tiny;
            tiny.setFontPointSize(1);
            cursor_.setBlockCharFormat(tiny);
            cursor_.insertBlock(QTextBlockFormat(), QTextCharFormat());
            lastTable_ = nullptr;
            previousAfter_ = 0;
        }
        TKpSectionStories next = stories_->sections.back();
        next.start = cursor_.block().position();
        stories_->sections.push_back(std::move(next));
    }
}

void TDocumentBuilder::Finish(const TParaProps& para, const TCharProps& mark) {
    while (story_) // a story left open by a truncated file ends with it
        EndStory(para, mark);
    if (!paragraph_.Empty()) EndParagraph(para, mark);
    CloseRowIfOpen();
    WriteTable();
    if (isStory_) return;
    // A section break that ends the body leaves no paragraph behind.
    if (pendingBreak_ && breakFromSection_ && blockAvailable_ && cursor_.block().length() == 1 &&
        stories_->sections.size() > 1 && stories_->sections.back().start == cursor_.position()) {
        const QTextBlock before = cursor_.block().previous();
        if (before.isValid() && !QTextCursor(before).currentTable()) {
            cursor_.deletePreviousChar();
            blockAvailable_ = false;
            stories_->sections.pop_back();
        }
    }
    AppendEndnotes();
    if (hasStories_) SetPageStories(doc_, stories_);
}

QTextBlockFormat TDocumentBuilder::BlockFormat(const TParagraph& p, int previousAfter) const {
    const TParaProps& para = p.para;
    QTextBlockFormat f;
    f.setAlignment(QtAlignment(para.align));
    if (para.rightToLeft) {
        // Left and right stay where they are on the page; only the reading order turns.
        f.setLayoutDirection(Qt::RightToLeft);
        if (para.align == TAlign::Left || para.align == TAlign::Right)
            f.setAlignment(QtAlignment(para.align) | Qt::AlignAbsolute);
    }
    // All lengths in 1/96 inch, as on the screen; the print layout scales the indents, which
    // the engine does not scale to its device (see KpRichTextLayout.cpp).
    f.setLeftMargin(DeviceIndependent(para.left));
    f.setRightMargin(DeviceIndependent(para.right));
    f.setTextIndent(DeviceIndependent(para.first));
    f.setTopMargin(DeviceIndependent(previousAfter + para.before));
    f.setBottomMargin(DeviceIndependent(para.after));
    if (para.outline > 0) f.setHeadingLevel(para.outline);
    // Single lines and multiples of them are as tall as other writers make them.
    const double pitch = LinePitch(p);
    if (para.lineSpacing == 0 && std::abs(pitch - 1) > 0.002) {
        f.setLineHeight(100 * pitch, QTextBlockFormat::ProportionalHeight);
    } else if (para.lineSpacing != 0) {
        if (para.lineMultiple) {
            f.setLineHeight(std::abs(para.lineSpacing) * 100.0 / 240.0 * pitch,
                            QTextBlockFormat::ProportionalHeight);
        } else if (para.lineSpacing > 0) {
            f.setLineHeight(DeviceIndependent(para.lineSpacing), QTextBlockFormat::MinimumHeight);
        } else {
            f.setLineHeight(DeviceIndependent(-para.lineSpacing), QTextBlockFormat::FixedHeight);
        }
    }
    const bool hasTab = std::any_of(p.runs.begin(), p.runs.end(), [](const TRun& r) {
        return r.text.contains(QLatin1Char('\t'));
    });
    const int keep = (para.keep ? KpKeepTogether : 0) | (para.keepNext ? KpKeepWithNext : 0);
    if (keep != 0) f.setProperty(KpKeepProperty, keep);
    if (hasTab) {
        QString leaders;
        f.setTabPositions(TabStops(para, leaders));
        if (leaders.trimmed().size() > 0) f.setProperty(KpTabLeadersProperty, leaders);
    }
    return f;
}

// The line pitch factor of the font of the paragraph's largest text, or of its mark when it
// has none. Paragraphs in a row mostly share it: the last one is kept.
double TDocumentBuilder::LinePitch(const TParagraph& p) const {
    const TCharProps* top = &p.mark;
    bool text = false;
    for (const TRun& r : p.runs) {
        if (r.image >= 0) continue;
        if (!text || r.chars.halfPoints > top->halfPoints) top = &r.chars;
        text = true;
    }
    const int number = top->font >= 0 ? top->font : defaultFont_;
    if (pitchCache_.valid && pitchCache_.font == number && pitchCache_.bold == top->bold &&
        pitchCache_.italic == top->italic)
        return pitchCache_.factor;
    QFont font;
    const QString family = fonts_.Name(number);
    if (!family.isEmpty() && fonts_.Symbol(number) != TSymbolFont::Greek) // as CharFormat draws it
        font.setFamilies(QStringList{family});
    font.setBold(top->bold);
    font.setItalic(top->italic);
    pitchCache_ = {true, number, top->bold, top->italic, LinePitchFactor(font)};
    return pitchCache_.factor;
}

// The file measures tab stops from the column's left edge; the engine from where the line
// starts, so stops are taken relative to the first line's start. A hanging indent is a stop of
// its own, and past the last stop come the default ones, every \deftab from the edge.
QList<QTextOption::Tab> TDocumentBuilder::TabStops(const TParaProps& para, QString& leaders) const {
    struct TStop {
        int position;
        TTabKind kind;
        char leader = ' ';
    };
    std::vector<TStop> stops;
    for (int i = 0; i < para.tabCount; ++i) {
        const TTabStop& t = para.tabs[static_cast<size_t>(i)];
        stops.push_back({t.position, t.kind, t.leader});
    }
    if (para.first < 0) stops.push_back({para.left, TTabKind::Left});
    std::stable_sort(stops.begin(), stops.end(),
                     [](const TStop& a, const TStop& b) { return a.position < b.position; });
    const int origin = para.left + para.first;
    int last = origin;
    for (const TStop& s : stops)
        last = std::max(last, s.position);
    constexpr int kMaxDefaultStops = 64;
    for (int k = last / defaultTab_ + 1, n = 0; n < kMaxDefaultStops; ++k, ++n) {
        const qint64 position = qint64(k) * defaultTab_;
        if (position > kTabReach) break;
        stops.push_back({static_cast<int>(position), TTabKind::Left});
    }
    QList<QTextOption::Tab> tabs;
    int previous = origin;
    for (const TStop& s : stops) {
        if (s.position <= previous) continue; // behind the line's start, or a repeat
        previous = s.position;
        const QTextOption::TabType type = s.kind == TTabKind::Center    ? QTextOption::CenterTab
                                          : s.kind == TTabKind::Right   ? QTextOption::RightTab
                                          : s.kind == TTabKind::Decimal ? QTextOption::DelimiterTab
                                                                        : QTextOption::LeftTab;
        tabs << QTextOption::Tab(DeviceIndependent(s.position - origin), type,
                                 type == QTextOption::DelimiterTab ? QLatin1Char('.') : QChar());
        leaders += QLatin1Char(s.leader);
    }
    return tabs;
}

QTextCharFormat TDocumentBuilder::CharFormat(const TCharProps& chars) {
    if (cachedValid_ && chars == cachedProps_) return cachedFormat_;
    QTextCharFormat f;
    const int font = chars.font >= 0 ? chars.font : defaultFont_;
    const QString family = fonts_.Name(font);
    // The Greek and mathematical symbol font's bytes were read as the characters they show.
    // Drawn in that font, whose character map is a symbol one, they would leave no text in
    // PDF output; in the document's font (with the platform's fallback) they do.
    if (!family.isEmpty() && fonts_.Symbol(font) != TSymbolFont::Greek)
        f.setFontFamilies(QStringList{family});
    f.setFontPointSize(chars.halfPoints / 2.0);
    if (chars.pageField != 0) f.setProperty(KpPageFieldProperty, int(chars.pageField));
    if (chars.note > 0) f.setProperty(KpNoteProperty, chars.note);
    f.setFontWeight(chars.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(chars.italic);
    f.setFontStrikeOut(chars.strike);
    switch (chars.underline) {
    case TUnderline::None:
        break;
    case TUnderline::Dash:
        f.setUnderlineStyle(QTextCharFormat::DashUnderline);
        break;
    case TUnderline::Dot:
        f.setUnderlineStyle(QTextCharFormat::DotLine);
        break;
    case TUnderline::Wave:
        f.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        break;
    default:
        f.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        break;
    }
    if (chars.vertical == TVertical::Super)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (chars.vertical == TVertical::Sub)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (chars.caps == TCaps::All) f.setFontCapitalization(QFont::AllUppercase);
    if (chars.caps == TCaps::Small) f.setFontCapitalization(QFont::SmallCaps);
    const QColor fg = colors_.At(chars.color);
    if (fg.isValid()) f.setForeground(fg);
    const QColor bg = colors_.At(chars.highlight != 0 ? chars.highlight : chars.background);
    if (bg.isValid()) f.setBackground(bg);
    if (chars.link >= 0 && chars.link < links_.size()) {
        f.setAnchor(true);
        f.setAnchorHref(links_[chars.link]);
        if (!fg.isValid()) f.setForeground(QColor(0, 0, 255));
        if (chars.underline == TUnderline::None)
            f.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    }
    cachedValid_ = true;
    cachedProps_ = chars;
    cachedFormat_ = f;
    return f;
}

void TDocumentBuilder::WriteRuns(QTextCursor& cursor, const std::vector<TRun>& runs) {
    for (const TRun& run : runs) {
        if (run.image < 0) {
            cursor.insertText(run.text, CharFormat(run.chars));
            continue;
        }
        const TImage& image = images_[static_cast<size_t>(run.image)];
        QTextImageFormat f;
        f.merge(CharFormat(run.chars));
        f.setName(image.name);
        f.setWidth(DeviceIndependent(image.sizeTwips.width()));
        f.setHeight(DeviceIndependent(image.sizeTwips.height()));
        cursor.insertImage(f);
    }
}

void TDocumentBuilder::WriteParagraph(const TParagraph& p) {
    QTextBlockFormat f = BlockFormat(p, previousAfter_);
    previousAfter_ = p.para.after;
    if (lastTable_) {
        QTextTableFormat tf = lastTable_->format();
        tf.setBottomMargin(DeviceIndependent(p.para.before));
        lastTable_->setFormat(tf);
        lastTable_ = nullptr;
    }
    if (pendingBreak_ || p.para.pageBreakBefore)
        f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    pendingBreak_ = breakFromSection_ = false;
    const QTextCharFormat mark = CharFormat(p.mark);
    if (blockAvailable_) {
        cursor_.setBlockFormat(f);
        cursor_.setBlockCharFormat(mark);
        blockAvailable_ = false;
    } else {
        cursor_.insertBlock(f, mark);
    }
    WriteRuns(cursor_, p.runs);
}

void TDocumentBuilder::WriteCellParagraphs(QTextCursor& cursor,
                                           const std::vector<TParagraph>& paragraphs) {
    bool first = true;
    int previousAfter = 0;
    for (const TParagraph& p : paragraphs) {
        const QTextBlockFormat f = BlockFormat(p, previousAfter);
        previousAfter = p.para.after;
        const QTextCharFormat mark = CharFormat(p.mark);
        if (first) {
            cursor.setBlockFormat(f);
            cursor.setBlockCharFormat(mark);
            first = false;
        } else {
            cursor.insertBlock(f, mark);
        }
        WriteRuns(cursor, p.runs);
    }
}

// A cell's own padding wins over its row's; left and right fall back to the gap, top and
// bottom to none.
qreal TDocumentBuilder::Padding(const TRowDef& row, const TPadding* cell, TSide side) {
    if (cell && cell[side].Counts()) return DeviceIndependent(cell[side].twips);
    if (row.padding[side].Counts()) return DeviceIndependent(row.padding[side].twips);
    const bool sideways = side == kLeft || side == kRight;
    return sideways ? DeviceIndependent(std::clamp(row.gap, 0, 1440)) : 0;
}

// The background colour, with the shading's share of the pattern colour mixed in.
QColor TDocumentBuilder::CellFill(const TCellDef& cell) const {
    const QColor back = colors_.At(cell.background);
    if (cell.shading <= 0) return back;
    const QColor base = back.isValid() ? back : QColor(Qt::white);
    const QColor pattern = colors_.At(cell.pattern);
    const QColor ink = pattern.isValid() ? pattern : QColor(Qt::black);
    const double share = cell.shading / 10000.0;
    auto mix = [share](int a, int b) { return qRound(a + (b - a) * share); };
    return QColor(mix(base.red(), ink.red()), mix(base.green(), ink.green()),
                  mix(base.blue(), ink.blue()));
}

void TDocumentBuilder::WriteTable() {
    if (tableRows_.empty()) return;
    const int rows = static_cast<int>(tableRows_.size());
    const int cols = static_cast<int>(tableRows_.front().cells.size());
    const TRowDef& def = tableRows_.front().def;

    QTextTableFormat tf;
    tf.setBorderCollapse(true);
    tf.setBorder(0);
    tf.setCellSpacing(0);
    tf.setCellPadding(0); // each cell has its own
    tf.setTopMargin(DeviceIndependent(previousAfter_));
    QList<QTextLength> widths;
    int edge = def.left;
    for (int c = 0; c < cols; ++c) {
        if (c < static_cast<int>(def.cells.size())) {
            const int right = def.cells[static_cast<size_t>(c)].right;
            widths << QTextLength(QTextLength::FixedLength,
                                  DeviceIndependent(std::clamp(right - edge, 0, kMaxPictureTwips)));
            edge = right;
        } else {
            widths << QTextLength(QTextLength::VariableLength, 0);
        }
    }
    tf.setColumnWidthConstraints(widths);
    tf.setAlignment(QtAlignment(def.align));
    // A negative left edge moves the table out into the page's margin.
    if (def.left != 0)
        tf.setLeftMargin(
            DeviceIndependent(std::clamp(def.left, -kMaxPictureTwips, kMaxPictureTwips)));
    if (tableBreakBefore_) tf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);

    if (blockAvailable_) {
        // The empty block in front of the table cannot go; it takes no height.
        QTextBlockFormat gap;
        gap.setLineHeight(0, QTextBlockFormat::FixedHeight);
        cursor_.setBlockFormat(gap);
        QTextCharFormat tiny;
        tiny.setFontPointSize(1);
        cursor_.setBlockCharFormat(tiny);
    }
    QTextTable* table = cursor_.insertTable(rows, cols, tf);
    for (int r = 0; r < rows; ++r) {
        const TRow& row = tableRows_[static_cast<size_t>(r)];
        for (int c = 0; c < cols; ++c) {
            QTextTableCell cell = table->cellAt(r, c);
            const TCellDef* cd = c < static_cast<int>(row.def.cells.size())
                                     ? &row.def.cells[static_cast<size_t>(c)]
                                     : nullptr;
            // The cell's format is the block character format of its first block: write the
            // content first, then the cell's own properties over it.
            QTextCursor cc = cell.firstCursorPosition();
            WriteCellParagraphs(cc, row.cells[static_cast<size_t>(c)].paragraphs);
            QTextTableCellFormat cf = cell.format().toTableCellFormat();
            auto border = [&](TSide s, bool outer) {
                if (cd && cd->borders[s].stated) return cd->borders[s];
                const TBorder& rim = row.def.borders[s];
                const TBorder& inner =
                    row.def.borders[(s == kTop || s == kBottom) ? kInsideH : kInsideV];
                if (outer) return rim.stated ? rim : inner;
                return inner.stated ? inner : rim;
            };
            const TBorder sides[4] = {border(kTop, r == 0), border(kLeft, c == 0),
                                      border(kBottom, r == rows - 1),
                                      border(kRight, c == cols - 1)};
            qreal widthsPx[4];
            QBrush brushes[4];
            QTextFrameFormat::BorderStyle styles[4];
            for (int s = 0; s < 4; ++s) {
                const TBorder& b = sides[s];
                const bool shown = b.style != TBorderStyle::None;
                widthsPx[s] = shown ? DeviceIndependent(std::max(b.width, 15)) : 0;
                const QColor color = colors_.At(b.color);
                brushes[s] = QBrush(color.isValid() ? color : QColor(Qt::black));
                styles[s] = QtBorderStyle(b.style);
            }
            cf.setTopBorder(widthsPx[0]);
            cf.setLeftBorder(widthsPx[1]);
            cf.setBottomBorder(widthsPx[2]);
            cf.setRightBorder(widthsPx[3]);
            cf.setTopBorderBrush(brushes[0]);
            cf.setLeftBorderBrush(brushes[1]);
            cf.setBottomBorderBrush(brushes[2]);
            cf.setRightBorderBrush(brushes[3]);
            cf.setTopBorderStyle(styles[0]);
            cf.setLeftBorderStyle(styles[1]);
            cf.setBottomBorderStyle(styles[2]);
            cf.setRightBorderStyle(styles[3]);
            const TPadding* own = cd ? cd->padding : nullptr;
            const qreal pads[4] = {Padding(row.def, own, kTop), Padding(row.def, own, kLeft),
                                   Padding(row.def, own, kBottom), Padding(row.def, own, kRight)};
            cf.setTopPadding(pads[0]);
            cf.setLeftPadding(pads[1]);
            cf.setBottomPadding(pads[2]);
            cf.setRightPadding(pads[3]);
            if (cd) {
                const QColor bg = CellFill(*cd);
                if (bg.isValid()) cf.setBackground(bg);
                if (cd->align == TCellAlign::Center)
                    cf.setVerticalAlignment(QTextCharFormat::AlignMiddle);
                if (cd->align == TCellAlign::Bottom)
                    cf.setVerticalAlignment(QTextCharFormat::AlignBottom);
            }
            cell.setFormat(cf);
        }
    }
    cursor_.movePosition(QTextCursor::End);
    blockAvailable_ = true;
    previousAfter_ = 0;
    lastTable_ = table;
    tableRows_.clear();
    tableBreakBefore_ = false;
}

} // namespace rtf

} // namespace kp
