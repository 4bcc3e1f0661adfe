#include "richtext/KpRtfFontTable.h"

#include "richtext/KpRtfCodePages.h"

namespace kp {

namespace rtf {

void TFontTable::Begin(int number) {
    Commit();
    pendingNumber_ = number;
    pending_ = TFont();
}

void TFontTable::AppendNameText(const QString& text) {
    qsizetype start = 0;
    for (;;) {
        const qsizetype semi = text.indexOf(QLatin1Char(';'), start);
        if (semi < 0) {
            if (pendingNumber_ >= 0) pending_.name += QStringView(text).mid(start);
            return;
        }
        if (pendingNumber_ >= 0) pending_.name += QStringView(text).mid(start, semi - start);
        Commit();
        start = semi + 1;
    }
}

void TFontTable::Commit() {
    if (pendingNumber_ < 0) return;
    pending_.name = pending_.name.trimmed();
    pending_.symbol = SymbolFontKind(pending_.charset, pending_.name);
    fonts_.insert(pendingNumber_, pending_);
    pendingNumber_ = -1;
    pending_ = TFont();
}

int TFontTable::CodePageOf(const TFont& font, int documentCodePage) {
    if (font.codePage > 0) return font.codePage;
    return CodePageForCharset(font.charset, documentCodePage);
}

int TFontTable::PendingCodePage(int documentCodePage) const {
    return CodePageOf(pending_, documentCodePage);
}

QString TFontTable::Name(int number) const {
    auto it = fonts_.constFind(number);
    return it == fonts_.constEnd() ? QString() : it->name;
}

int TFontTable::CodePage(int number, int documentCodePage) const {
    auto it = fonts_.constFind(number);
    return it == fonts_.constEnd() ? documentCodePage : CodePageOf(*it, documentCodePage);
}

TSymbolFont TFontTable::Symbol(int number) const {
    auto it = fonts_.constFind(number);
    return it == fonts_.constEnd() ? TSymbolFont::None : it->symbol;
}

} // namespace rtf

} // namespace kp
