#pragma once
// Reads the token stream with a stack of group states and hands text, pictures, paragraphs
// and table rows to the document builder. The stack is capped: deeper groups are skipped
// whole, so memory stays bounded and nothing recurses.
#include <array>
#include <string>
#include <vector>

#include <QByteArray>
#include <QStringList>

#include "richtext/KpRtfCodePages.h"
#include "richtext/KpRtfColorTable.h"
#include "richtext/KpRtfControlWords.h"
#include "richtext/KpRtfDocumentBuilder.h"
#include "richtext/KpRtfField.h"
#include "richtext/KpRtfFontTable.h"
#include "richtext/KpRtfOldNumbering.h"
#include "richtext/KpRtfPicture.h"
#include "richtext/KpRtfReader.h"
#include "richtext/KpRtfState.h"
#include "richtext/KpRtfStyleSheet.h"
#include "richtext/KpRtfTable.h"
#include "richtext/KpRtfTokenizer.h"

class QTextDocument;

namespace kp {

namespace rtf {

constexpr int kMaxGroupDepth = 128;

class TRtfParser {
public:
    // start is the offset of the opening "{\rtf".
    TRtfParser(const QByteArray& data, qsizetype start, QTextDocument& doc);
    void Run();
    // One line per kind of fault met, with the byte offset of the token where it was first
    // seen.
    QStringList Warnings() const;
    TKpRtfPageGeometry Geometry() const;

private:
    TGroupState& Top() { return stack_.back(); }
    void OpenGroup();
    void CloseGroup();
    void FinishPicture();
    void HandleWord(const TToken& t);
    void HandleSymbol(char c);
    void HandleDocumentWord(TWord w, const TToken& t);
    void BeginDestination(TWord w);
    void HandleCharacterWord(TWord w, const TToken& t);
    void HandleParagraphWord(TWord w, const TToken& t);
    void HandleSpecialWord(TWord w);
    void HandleTableWord(TWord w, const TToken& t);
    void HandlePictureWord(TWord w, const TToken& t);
    // Paragraph numbers of the older kind, and office math shown as its plain text.
    void HandleOldNumberWord(const TToken& t);
    void HandleMathWord(const TToken& t);
    void BeginMath();
    void EndMath();
    void NumberParagraph();
    void AppendUnicode(int value);
    void FlushBytes();
    void FlushHighSurrogate();
    void EmitText(const QString& text);
    void Dispatch(const QString& text);
    void WriteComputedField(TFieldKind kind, const TCharProps& chars, qsizetype storedLength);
    int CurrentCodePage();
    std::array<int, 10> FaultCounts() const;
    void NoteFaults(qsizetype at);
    void NoteSkipped(TWord w);
    // Page furniture (KpRtfPageWords.cpp): a header, footer or note group starts its story;
    // words the main table does not know may be page words.
    bool BeginStoryGroup(TWord w);
    void HandlePageWord(const TToken& t);

    TRtfTokenizer tokenizer_;
    std::vector<TGroupState> stack_;
    TFontTable fonts_;
    TColorTable colors_;
    TStyleSheet styles_;
    TFieldStack fields_;
    TPictureReader picture_;
    TRowDefReader rowDef_;
    TCodePageDecoder decoder_;
    TDocumentBuilder builder_;
    TOldNumbering numbering_;
    bool numberRendered_ = false;  // the paragraph being read had its number in {\pntext}
    QString mathRuns_, mathOther_; // a math group's run texts, and any other text in it
    bool mathShownAsPicture_ = false;

    std::string bytes_; // code-page bytes not decoded yet
    int skip_ = 0;      // \uN fallback characters still to skip
    char16_t pendingHigh_ = 0;
    bool starPending_ = false;
    qint64 overflow_ = 0; // depth inside a group past the cap
    int documentCodePage_ = kAnsiCodePage;
    int defaultFont_ = -1;
    TTabKind pendingTabKind_ = TTabKind::Left;
    char pendingLeader_ = ' ';
    QString shapeName_;
    int shppictOpen_ = 0, shapeOpen_ = 0;
    bool shppictGotPicture_ = false, shapeGotPicture_ = false, skipNextNonShppict_ = false;

    TKpRtfPageGeometry geometry_;
    bool rootClosed_ = false;
    int deepGroups_ = 0, strayCloses_ = 0, unclosed_ = 0;
    int picturesTooLarge_ = 0, picturesUndecodable_ = 0, metafilesShownAsBox_ = 0;
    // Features shown as nothing yet, by kind: how often, and where each was first met.
    enum { kHeaderFooter, kFootnote, kMath, kComment, kColumns, kSkippedKinds };
    std::array<int, kSkippedKinds> skipped_{};
    std::array<qsizetype, kSkippedKinds> skippedAt_{};
    qsizetype tokenAt_ = 0; // byte offset of the token being handled
    // Where each kind of fault (in FaultCounts order) was first met; -1 while it was not.
    std::array<qsizetype, 10> firstAt_;
};

} // namespace rtf

} // namespace kp
