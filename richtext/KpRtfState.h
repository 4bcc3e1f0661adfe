#pragma once
// The properties a group carries: character and paragraph formatting, the \uc fallback count
// and the destination its text goes to. Plain values, copied on every '{'.
#include <array>
#include <cstdint>

namespace kp {

namespace rtf {

enum class TDestination : uint8_t {
    Body,             // document text
    Skip,             // read and dropped
    FontTable,        // font names and charsets
    ColorTable,       // colour entries
    StyleSheet,       // style definitions
    Picture,          // hex or binary picture data
    FieldInstruction, // the instruction text of a field
    ShapeName,        // {\sn ...}
    NestTableProps,   // {\*\nesttableprops ...}: only \nestrow matters
    OldNumbering,     // {\pn ...}: a paragraph number's definition
    OldNumberBefore,  // {\pntxtb ...} inside it
    OldNumberAfter,   // {\pntxta ...} inside it
    Math,             // {\mmath ...}: markup dropped, text kept as a plain fallback
    MathRun,          // a math run's text, {\mr ...} and the operator characters
};

enum class TUnderline : uint8_t { None, Single, Dash, Dot, Wave, Double };
enum class TVertical : uint8_t { Normal, Super, Sub };
enum class TCaps : uint8_t { None, All, Small };
enum class TAlign : uint8_t { Left, Center, Right, Justify };
enum class TTabKind : uint8_t { Left, Center, Right, Decimal };

constexpr int kDefaultHalfPoints = 24; // 12 pt
constexpr int kMaxTabs = 32;

struct TCharProps {
    int font = -1;
    int halfPoints = kDefaultHalfPoints;
    bool bold = false, italic = false, strike = false, hidden = false;
    TUnderline underline = TUnderline::None;
    TVertical vertical = TVertical::Normal;
    TCaps caps = TCaps::None;
    int color = 0;         // colour table index; 0 is "auto"
    int background = 0;    // \cb, \chcbpat
    int highlight = 0;     // \highlight, wins over background
    int link = -1;         // index of a hyperlink target
    uint8_t pageField = 0; // a TKpPageField drawn by the layout over this text
    int note = 0;          // a footnote reference: the note's index + 1 (see KpPageStories.h)
    bool operator==(const TCharProps&) const = default;
};

struct TTabStop {
    int position = 0; // twips
    TTabKind kind = TTabKind::Left;
    char leader = ' '; // see KpPageFields.h
};

struct TParaProps {
    TAlign align = TAlign::Left;
    int left = 0, right = 0, first = 0; // twips
    int before = 0, after = 0;          // twips
    int lineSpacing = 0;                // \sl: twips, negative for exact
    bool lineMultiple = false;          // \slmult1: lineSpacing is in 240ths of a line
    bool inTable = false;
    int nestLevel = 1; // \itap
    bool pageBreakBefore = false;
    bool rightToLeft = false; // \rtlpar
    int oldNumber = -1;       // a {\pn} definition (see KpRtfOldNumbering.h); -1: none
    int outline = 0; // heading level from 1 (\outlinelevel, or a "heading N" style); 0: none
    int tabCount = 0;
    std::array<TTabStop, kMaxTabs> tabs{};
    bool keep = false;     // \keep: the paragraph's lines stay on one page
    bool keepNext = false; // \keepn: its last line stays with the next paragraph
};

struct TGroupState {
    TDestination dest = TDestination::Body;
    TCharProps chars;
    TParaProps para;
    int unicodeSkip = 1; // \ucN: fallback characters after each \uN
    // Bookkeeping for groups that end something when they close.
    bool opensPicture = false;
    bool opensField = false;
    bool opensShape = false;
    bool opensShapePicture = false; // {\*\shppict}
    bool opensFontEntry = false;
    bool opensOldNumber = false; // {\pn
    bool opensMath = false;      // {\mmath
    bool fontTable = false;      // the {\fonttbl} group itself: its child groups are entries
    bool fieldResult = false;    // inside the {\fldrslt} of the innermost field
    bool opensStory = false;     // a header, footer or note group: closing it ends the story
};

} // namespace rtf

} // namespace kp
