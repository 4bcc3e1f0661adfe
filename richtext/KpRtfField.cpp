#include "richtext/KpRtfField.h"

#include <QLocale>

namespace kp {

namespace rtf {
namespace {

// Splits an instruction into words; a quoted word keeps its spaces.
QStringList InstructionWords(const QString& instruction) {
    QStringList words;
    const qsizetype n = instruction.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && instruction[i].isSpace())
            ++i;
        if (i >= n) break;
        QString word;
        if (instruction[i] == QLatin1Char('"')) {
            ++i;
            while (i < n && instruction[i] != QLatin1Char('"'))
                word += instruction[i++];
            ++i; // the closing quote, if any
        } else {
            while (i < n && !instruction[i].isSpace())
                word += instruction[i++];
        }
        words << word;
    }
    return words;
}

} // namespace

QString HyperlinkTarget(const QString& instruction) {
    const QStringList words = InstructionWords(instruction);
    if (words.isEmpty() || words.front().compare(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return {};
    QString url, anchor;
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString& w = words[i];
        if (w.startsWith(QLatin1Char('\\'))) {
            // \l "anchor"; \o "tip" and \t "frame" take an argument; \m \n \h do not.
            const QString sw = w.mid(1).toLower();
            const bool takesArgument =
                sw == QLatin1String("l") || sw == QLatin1String("o") || sw == QLatin1String("t");
            if (takesArgument && i + 1 < words.size()) {
                if (sw == QLatin1String("l")) anchor = words[i + 1];
                ++i;
            }
        } else if (url.isEmpty()) {
            url = w;
        }
    }
    if (!anchor.isEmpty()) url += QLatin1Char('#') + anchor;
    return url;
}

TFieldKind FieldKind(const QString& instruction) {
    const QStringList words = InstructionWords(instruction);
    if (words.isEmpty()) return TFieldKind::Stored;
    const QString name = words.front().toUpper();
    if (name == QLatin1String("PAGE")) return TFieldKind::PageNumber;
    if (name == QLatin1String("NUMPAGES")) return TFieldKind::PageCount;
    if (name == QLatin1String("DATE")) return TFieldKind::Date;
    if (name == QLatin1String("TIME")) return TFieldKind::Time;
    return TFieldKind::Stored;
}

QString DateTimeFieldText(TFieldKind kind, const QString& instruction, const QDateTime& now) {
    const QStringList words = InstructionWords(instruction);
    QString picture;
    for (qsizetype i = 1; i + 1 < words.size(); ++i)
        if (words[i] == QLatin1String("\\@")) picture = words[i + 1];
    if (picture.isEmpty()) {
        const QLocale locale;
        return kind == TFieldKind::Time ? locale.toString(now.time(), QLocale::ShortFormat)
                                        : locale.toString(now.date(), QLocale::ShortFormat);
    }
    // The picture letters are the engine's own but for the half-day marker.
    picture.replace(QLatin1String("AM/PM"), QLatin1String("AP"));
    picture.replace(QLatin1String("am/pm"), QLatin1String("ap"));
    return now.toString(picture);
}

TFieldKind TFieldStack::Kind() {
    if (fields_.empty()) return TFieldKind::Stored;
    TField& f = fields_.back();
    if (f.kind < 0) f.kind = static_cast<int>(FieldKind(f.instruction));
    return static_cast<TFieldKind>(f.kind);
}

int TFieldStack::ResultLink() {
    if (fields_.empty()) return -1;
    TField& f = fields_.back();
    if (f.link == -2) {
        const QString target = HyperlinkTarget(f.instruction);
        if (target.isEmpty()) {
            f.link = -1;
        } else {
            f.link = static_cast<int>(links_.size());
            links_ << target;
        }
    }
    return f.link;
}

} // namespace rtf

} // namespace kp
