#pragma once
// Code pages of the font table's charsets, and the decoding of code-page bytes to text.
#include <map>
#include <memory>
#include <string_view>

#include <QString>
#include <QStringDecoder>

#include "paginor/KpExport.h"

namespace kp {

namespace rtf {

constexpr int kAnsiCodePage = 1252;

// The code page of a \fcharset value; the document's code page for "default" and unknown values.
PAGINOR_INTERNAL_EXPORT int CodePageForCharset(int charset, int documentCodePage);

// Decodes byte runs through cached decoders, one per code page. Double-byte code pages pair a
// lead byte with the byte after it; a lead byte left alone at the end of a run is dropped.
class TCodePageDecoder {
public:
    QString Decode(int codePage, std::string_view bytes);

private:
    QStringDecoder* DecoderFor(int codePage);
    std::map<int, std::unique_ptr<QStringDecoder>> decoders_;
};

} // namespace rtf

} // namespace kp
