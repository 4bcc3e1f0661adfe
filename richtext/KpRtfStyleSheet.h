#pragma once
// Styles: the character and paragraph properties each paragraph style (\sN) stands for, and
// the character properties of each character style (\csN). Section and table styles are read
// and dropped.
#include <QHash>
#include <QString>

#include "richtext/KpRtfState.h"

namespace kp {

namespace rtf {

enum class TStyleKind : uint8_t { Paragraph, Character, Other };

class TStyleSheet {
public:
    struct TStyle {
        TCharProps chars;
        TParaProps para;
    };
    void BeginEntry() {
        number_ = 0;
        kind_ = TStyleKind::Paragraph;
        name_.clear();
    }
    void AppendName(QChar c) {
        if (name_.size() < 64) name_ += c;
    }
    void SetNumber(int number, TStyleKind kind) {
        number_ = number;
        kind_ = kind;
    }
    // At the ';' ending an entry: the group's properties are the style's.
    void Commit(const TCharProps& chars, TParaProps para) {
        if (para.outline == 0) para.outline = HeadingLevel(name_);
        if (kind_ == TStyleKind::Paragraph) styles_.insert(number_, TStyle{chars, para});
        if (kind_ == TStyleKind::Character) characterStyles_.insert(number_, chars);
        name_.clear();
    }
    // The level of a style named "heading 1" to "heading 9" (any case); 0 for other names.
    static int HeadingLevel(const QString& name);
    const TStyle* Find(int number) const {
        auto it = styles_.constFind(number);
        return it == styles_.constEnd() ? nullptr : &*it;
    }
    // A character style adds the properties it states to the text's own.
    void ApplyCharacterStyle(int number, TCharProps& chars) const;

private:
    QHash<int, TStyle> styles_;
    QHash<int, TCharProps> characterStyles_;
    int number_ = 0;
    QString name_;
    TStyleKind kind_ = TStyleKind::Paragraph;
};

} // namespace rtf

} // namespace kp
