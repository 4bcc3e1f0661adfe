#pragma once
// Texts in document files are 8-bit in the Western Windows code page (1252): Latin-1 with
// typographic marks, the euro sign and a few letters in 0x80-0x9F. Characters outside it
// are written as "?".
#include <QByteArray>
#include <QString>

namespace kp {

QString FromWindows1252(const char* bytes, qsizetype size);
inline QString FromWindows1252(const QByteArray& bytes) {
    return FromWindows1252(bytes.constData(), bytes.size());
}
QByteArray ToWindows1252(const QString& text);

} // namespace kp
