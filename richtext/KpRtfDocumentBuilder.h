#pragma once
// Builds the QTextDocument: paragraphs are collected run by run and written when they end,
// to the document body or, inside a table, to the row being read; a run of table rows with
// the same number of cells is written as one QTextTable when the run ends.
#include <memory>
#include <vector>

#include <QHash>
#include <QPointer>
#include <QSize>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextOption>
#include <QTextTable>

#include "richtext/KpPageStories.h"
#include "richtext/KpRtfState.h"
#include "richtext/KpRtfTable.h"

class QTextDocument;
class QTextBlockFormat;

namespace kp {

namespace rtf {

class TFontTable;
class TColorTable;
struct TPicture;

class TDocumentBuilder {
public:
    TDocumentBuilder(QTextDocument& doc, const TFontTable& fonts, const TColorTable& colors,
                     const QStringList& links);
    ~TDocumentBuilder();
    TDocumentBuilder(const TDocumentBuilder&) = delete;
    TDocumentBuilder& operator=(const TDocumentBuilder&) = delete;

    void SetDefaultFont(int font) { defaultFont_ = font; }
    void SetDefaultTab(int twips) { defaultTab_ = twips > 0 ? twips : kDefaultTab; } // \deftab
    void AppendText(const QString& text, const TCharProps& chars);
    void AppendPicture(const TPicture& picture, const TCharProps& chars);
    // Puts text in front of the paragraph being read (a paragraph number).
    void PrependText(const QString& text, const TCharProps& chars);

    void EndParagraph(const TParaProps& para, const TCharProps& mark);               // \par
    void EndCell(const TParaProps& para, const TCharProps& mark);                    // \cell
    void EndRow(const TRowDef& def, const TParaProps& para, const TCharProps& mark); // \row
    void EndNestedCell() { // \nestcell: the next nested cell follows a tab
        if (story_) return story_->EndNestedCell();
        ++nestedTabs_;
    }
    void EndNestedRow(const TParaProps& para, const TCharProps& mark); // \nestrow
    // \page, \sect: the next block starts a page. A section break may be withdrawn by a
    // following \sbknone.
    void PageBreak(const TParaProps& para, const TCharProps& mark, bool section);
    void CancelSectionBreak() {
        if (story_) return story_->CancelSectionBreak();
        if (breakFromSection_) pendingBreak_ = breakFromSection_ = false;
    }
    void Finish(const TParaProps& para, const TCharProps& mark);

    bool ParagraphHasContent() const {
        return story_ ? story_->ParagraphHasContent() : !paragraph_.runs.empty();
    }

    // Headers, footers and notes are written to documents of their own while their group is
    // open: every call above goes to the innermost open one. A note's number is known when
    // it closes (or when its own text asks for it), since only then is it known to be an
    // endnote.
    // Stories are documents of their own: a file holds at most kMaxStories, and the groups
    // after those are skipped like any other.
    static constexpr int kMaxStories = 4000;
    bool CanBeginStory() const { return storyCount_ < kMaxStories; }
    void BeginStory(TKpStoryKind kind);
    void EndStory(const TParaProps& para, const TCharProps& mark);
    void AppendNoteMark(const TCharProps& chars); // \chftn
    void SetEndnote();                            // \ftnalt in an open note
    // Section and note settings of the body (not of an open story).
    TKpSectionStories& Section() { return stories_->sections.back(); }
    void ResetSection(); // \sectd
    void SetFacingPages(bool on) { stories_->facing = on; }
    // The document's paper and margins, and whether a section has a page of its own.
    void SetPage(int paperWidth, int paperHeight, int left, int right, int top, int bottom) {
        stories_->paperWidth = paperWidth, stories_->paperHeight = paperHeight;
        stories_->marginLeft = left, stories_->marginRight = right;
        stories_->marginTop = top, stories_->marginBottom = bottom;
    }
    void NoteSectionPage() { hasStories_ = true; }
    struct TNoteNumbering {
        int start = 1;
        char style = '1'; // '1', 'a', 'A', 'i', 'I', '*'
    };
    TNoteNumbering& FootnoteNumbering() { return footnoteNumbering_; }
    TNoteNumbering& EndnoteNumbering() { return endnoteNumbering_; }
    void SetNotesAtEnd(bool on) { notesAtEnd_ = on; } // \enddoc, \endnotes, \fet1

private:
    TParagraph TakeParagraph(const TParaProps& para, const TCharProps& mark);
    void CloseRowIfOpen();
    void WriteParagraph(const TParagraph& p);
    void WriteTable();
    void WriteRuns(QTextCursor& cursor, const std::vector<TRun>& runs);
    void WriteCellParagraphs(QTextCursor& cursor, const std::vector<TParagraph>& paragraphs);
    QTextCharFormat CharFormat(const TCharProps& chars);
    // A block's format; `previousAfter` is the space after the paragraph above it in the same
    // flow, which the block's top margin takes over (the engine keeps only the larger of two
    // facing margins, the format adds them).
    QTextBlockFormat BlockFormat(const TParagraph& p, int previousAfter) const;
    double LinePitch(const TParagraph& p) const; // see KpRtfLinePitch.h
    // The stops, and in `leaders` each one's leader (see KpPageFields.h).
    QList<QTextOption::Tab> TabStops(const TParaProps& para, QString& leaders) const;
    static qreal Padding(const TRowDef& row, const TPadding* cell, TSide side);
    QColor CellFill(const TCellDef& cell) const;

    void AppendEndnotes();

    QTextDocument& doc_;
    const TFontTable& fonts_;
    const TColorTable& colors_;
    const QStringList& links_;
    QTextCursor cursor_;
    // One edit block around the whole build: outside one, every insertion lays out its
    // block again to place the cursor, which is quadratic in the block's length.
    struct TEditBlock {
        explicit TEditBlock(QTextCursor& c) : cursor(c) { cursor.beginEditBlock(); }
        ~TEditBlock() { cursor.endEditBlock(); }
        QTextCursor& cursor;
    };
    TEditBlock editBlock_{cursor_};
    bool blockAvailable_ = true; // the last block is empty and not written yet
    bool pendingBreak_ = false;
    bool breakFromSection_ = false;
    int defaultFont_ = -1;
    static constexpr int kDefaultTab = 720;
    int defaultTab_ = kDefaultTab;
    int previousAfter_ = 0; // \sa of the last body paragraph; 0 after a table
    // The last table, while nothing followed it: the next paragraph's space before becomes
    // its bottom margin, since the engine drops block margins that face a table.
    QPointer<QTextTable> lastTable_;
    int nestedTabs_ = 0;

    TParagraph paragraph_;
    TCell cell_;
    std::vector<TCell> rowCells_;
    std::vector<TRow> tableRows_;
    bool tableBreakBefore_ = false;

    struct TImage {
        QString name;
        QSize sizeTwips;
    };
    std::vector<TImage> images_;
    QHash<quint64, QString> placeholders_; // one resource per placeholder size

    struct TPitchCache {
        bool valid = false;
        int font = 0;
        bool bold = false, italic = false;
        double factor = 1;
    };
    mutable TPitchCache pitchCache_;
    // Stories: the one being written, what the body keeps of the finished ones, the endnotes
    // that follow the body, and the pending reference mark of the paragraph being read.
    std::unique_ptr<TDocumentBuilder> story_;
    std::shared_ptr<QTextDocument> storyDoc_;
    TKpStoryKind storyKind_ = TKpStoryKind::Header;
    std::shared_ptr<TKpPageStories> stories_ = std::make_shared<TKpPageStories>();
    std::vector<std::shared_ptr<QTextDocument>> endnotes_;
    bool hasStories_ = false;
    bool notesAtEnd_ = false;
    TNoteNumbering footnoteNumbering_;
    TNoteNumbering endnoteNumbering_{1, 'i'};
    int footnoteCount_ = 0, endnoteCount_ = 0; // notes numbered so far
    int pendingMark_ = -1; // the run of paragraph_ holding the last reference mark
    int storyCount_ = 0;
    QString imagePrefix_ = QStringLiteral("rtfpict:");
    // In a note's own builder: its number as a footnote and as an endnote, and which it is.
    QString noteMarks_[2];
    bool endnote_ = false;
    bool isStory_ = false;

    bool cachedValid_ = false;
    TCharProps cachedProps_;
    QTextCharFormat cachedFormat_;
};

} // namespace rtf

} // namespace kp
