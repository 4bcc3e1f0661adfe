#include "content/KpTextInput.h"

#include <QByteArrayList>
#include <QStringDecoder>
#include <QStringList>

namespace kp {

bool DecodeTextInput(const QByteArray& bytes, QString& text, QString& error) {
    QByteArrayView body(bytes);
    if (body.startsWith("\xEF\xBB\xBF")) body = body.sliced(3);
    if (body.trimmed().isEmpty()) {
        error = QStringLiteral("the file is empty");
        return false;
    }
    int line = 1;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const auto c = static_cast<unsigned char>(body[i]);
        if (c == '\n') {
            ++line;
        } else if (c < 0x20 && c != '\t' && c != '\r' && c != '\f') {
            error = QStringLiteral("line %1: not a text file (control byte 0x%2)")
                        .arg(line)
                        .arg(c, 2, 16, QLatin1Char('0'));
            return false;
        }
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = decoder.decode(body);
    if (decoder.hasError()) {
        // The first line holding a replacement character that the bytes did not spell.
        const QStringList lines = text.split(QLatin1Char('\n'));
        const QByteArrayList raw = body.toByteArray().split('\n');
        line = 1;
        for (qsizetype n = 0; n < lines.size() && n < raw.size(); ++n) {
            if (lines[n].count(QChar::ReplacementCharacter) > raw[n].count("\xEF\xBF\xBD")) {
                line = static_cast<int>(n) + 1;
                break;
            }
        }
        error = QStringLiteral("line %1: not a text file (not UTF-8)").arg(line);
        return false;
    }
    return true;
}

} // namespace kp
