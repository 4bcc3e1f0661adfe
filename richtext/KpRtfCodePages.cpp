#include "richtext/KpRtfCodePages.h"

namespace kp {

namespace rtf {
namespace {

const char* EncodingName(int codePage) {
    switch (codePage) {
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 874:
        return "windows-874";
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "EUC-KR";
    case 950:
        return "Big5";
    case 1250:
        return "windows-1250";
    case 1251:
        return "windows-1251";
    case 1252:
        return "windows-1252";
    case 1253:
        return "windows-1253";
    case 1254:
        return "windows-1254";
    case 1255:
        return "windows-1255";
    case 1256:
        return "windows-1256";
    case 1257:
        return "windows-1257";
    case 1258:
        return "windows-1258";
    case 10000:
        return "macintosh";
    case 65001:
        return "UTF-8";
    default:
        return nullptr;
    }
}

} // namespace

int CodePageForCharset(int charset, int documentCodePage) {
    switch (charset) {
    case 0:
        return 1252; // ANSI
    case 2:
        return 1252; // symbol fonts: their bytes are shown through the Latin table
    case 77:
        return 10000; // Mac Roman
    case 128:
        return 932; // Shift_JIS
    case 129:
        return 949; // Hangul
    case 134:
        return 936; // GB2312 / GBK
    case 136:
        return 950; // Big5
    case 161:
        return 1253; // Greek
    case 162:
        return 1254; // Turkish
    case 163:
        return 1258; // Vietnamese
    case 177:
        return 1255; // Hebrew
    case 178:
        return 1256; // Arabic
    case 186:
        return 1257; // Baltic
    case 204:
        return 1251; // Cyrillic
    case 222:
        return 874; // Thai
    case 238:
        return 1250; // Eastern European
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return documentCodePage; // 1 (default) and the rest
    }
}

QStringDecoder* TCodePageDecoder::DecoderFor(int codePage) {
    auto it = decoders_.find(codePage);
    if (it != decoders_.end()) return it->second.get();
    std::unique_ptr<QStringDecoder> decoder;
    if (const char* name = EncodingName(codePage)) {
        decoder = std::make_unique<QStringDecoder>(name, QStringConverter::Flag::Stateless);
        if (!decoder->isValid()) decoder.reset();
    }
    if (!decoder) { // an unknown code page reads as the ANSI one
        decoder = std::make_unique<QStringDecoder>(EncodingName(kAnsiCodePage),
                                                   QStringConverter::Flag::Stateless);
        if (!decoder->isValid()) decoder.reset();
    }
    QStringDecoder* result = decoder.get();
    decoders_.emplace(codePage, std::move(decoder));
    return result;
}

QString TCodePageDecoder::Decode(int codePage, std::string_view bytes) {
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    // Plain ASCII reads the same in every code page the reader knows but the double-byte ones,
    // where a byte below 0x80 may be a trail byte; those only follow a lead byte >= 0x80.
    if (ascii) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder* decoder = DecoderFor(codePage);
    if (!decoder) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString text =
        decoder->decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    decoder->resetState();
    return text;
}

} // namespace rtf

} // namespace kp
