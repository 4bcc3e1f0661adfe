#pragma once
// The font table: font numbers to family names and code pages.
#include <QHash>
#include <QString>

#include "richtext/KpRtfSymbolFonts.h"

namespace kp {

namespace rtf {

class TFontTable {
public:
    struct TFont {
        QString name;
        int charset = 1;  // "default"
        int codePage = 0; // \cpgN; 0 = from the charset
        TSymbolFont symbol = TSymbolFont::None;
    };

    // Entries are read as "\fN ... name;": Begin starts one, the text up to ';' names it.
    void Begin(int number);
    void SetCharset(int charset) { pending_.charset = charset; }
    void SetCodePage(int codePage) { pending_.codePage = codePage; }
    void AppendNameText(const QString& text);
    void Commit(); // ends an entry whose ';' was missing
    int PendingCodePage(int documentCodePage) const;

    QString Name(int number) const;
    int CodePage(int number, int documentCodePage) const;
    TSymbolFont Symbol(int number) const;

private:
    static int CodePageOf(const TFont& font, int documentCodePage);
    QHash<int, TFont> fonts_;
    TFont pending_;
    int pendingNumber_ = -1;
};

} // namespace rtf

} // namespace kp
