#pragma once
// Symbol fonts keep their own byte tables: their bytes are not text in the document's code
// page. The Greek and mathematical one is mapped to the characters its glyphs show; picture
// fonts (dingbats) keep each byte in the private-use block U+F020..U+F0FF, as other writers
// store them.
#include <string_view>

#include <QString>

#include "paginor/KpExport.h"

namespace kp {

namespace rtf {

enum class TSymbolFont { None, Greek, PrivateUse };

// How a font's bytes read, from its \fcharset and its name.
PAGINOR_INTERNAL_EXPORT TSymbolFont SymbolFontKind(int charset, const QString& name);

// The text of bytes written in a symbol font.
PAGINOR_INTERNAL_EXPORT QString DecodeSymbolBytes(TSymbolFont kind, std::string_view bytes);

} // namespace rtf

} // namespace kp
