#include "content/KpCsv.h"

#include <QFile>

#include "content/KpTextInput.h"

namespace kp {

bool TKpCsvReader::ReadFile(const QString& fileName) {
    QFile file(fileName);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        records_.clear();
        lines_.clear();
        error_ = fileName + QStringLiteral(": ") + file.errorString();
        return false;
    }
    return Read(bytes);
}

bool TKpCsvReader::fail(int line, const QString& message) {
    records_.clear();
    lines_.clear();
    error_ = QStringLiteral("line %1: %2").arg(line).arg(message);
    return false;
}

bool TKpCsvReader::Read(const QByteArray& bytes) {
    records_.clear();
    lines_.clear();
    error_.clear();
    QString text;
    if (!DecodeTextInput(bytes, text, error_)) return false;

    const qsizetype n = text.size();
    int line = 1;
    QStringList record;
    QString field;
    int recordLine = 1;
    qsizetype i = 0;
    auto endOfLine = [&](qsizetype at) {
        // CRLF, LF or a lone CR; returns the length of the break at `at` (0 when none).
        if (at >= n) return 0;
        if (text[at] == QLatin1Char('\r'))
            return at + 1 < n && text[at + 1] == QLatin1Char('\n') ? 2 : 1;
        return text[at] == QLatin1Char('\n') ? 1 : 0;
    };
    auto endRecord = [&] {
        record << field;
        field.clear();
        // A record that is one empty field is a blank line, not a record.
        if (!(record.size() == 1 && record.first().isEmpty())) {
            records_.push_back(record);
            lines_.push_back(recordLine);
        }
        record.clear();
    };
    while (i < n) {
        if (text[i] == QLatin1Char('"')) {
            // A quoted field: up to the closing quote, "" standing for one quote.
            const int openLine = line;
            ++i;
            for (;;) {
                if (i >= n) return fail(openLine, QStringLiteral("unterminated quoted field"));
                const QChar c = text[i];
                if (c == QLatin1Char('"')) {
                    if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                        field += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (const int br = endOfLine(i)) {
                    field += QLatin1Char('\n');
                    i += br;
                    ++line;
                    continue;
                }
                field += c;
                ++i;
            }
            // After the closing quote only a separator or the end of the record may follow.
            if (i < n && text[i] != QLatin1Char(',') && !endOfLine(i))
                return fail(line, QStringLiteral("text after a closing quote"));
        } else {
            // An unquoted field: up to the next comma or line break; no quotes inside.
            while (i < n && text[i] != QLatin1Char(',') && !endOfLine(i)) {
                if (text[i] == QLatin1Char('"'))
                    return fail(line, QStringLiteral("quote inside an unquoted field"));
                field += text[i++];
            }
        }
        if (i >= n) break;
        if (text[i] == QLatin1Char(',')) {
            record << field;
            field.clear();
            ++i;
            if (i >= n) break; // a trailing comma ends with an empty field
            continue;
        }
        const int br = endOfLine(i);
        i += br;
        endRecord();
        ++line;
        recordLine = line;
    }
    if (!field.isEmpty() || !record.isEmpty()) endRecord();
    if (records_.empty()) return fail(1, QStringLiteral("no records"));
    return true;
}

} // namespace kp
