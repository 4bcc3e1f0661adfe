#pragma once
// Paragraph styles: the character and paragraph properties each \sN stands for.
#include <QHash>

#include "richtext/KpRtfState.h"

namespace kp::rtf {

class TStyleSheet {
public:
    struct TStyle {
        TCharProps chars;
        TParaProps para;
    };
    void BeginEntry() { number_ = 0; }
    void SetNumber(int number) { number_ = number; }
    // At the ';' ending an entry: the group's properties are the style's.
    void Commit(const TCharProps& chars, const TParaProps& para) {
        styles_.insert(number_, TStyle{chars, para});
    }
    const TStyle* Find(int number) const {
        auto it = styles_.constFind(number);
        return it == styles_.constEnd() ? nullptr : &*it;
    }

private:
    QHash<int, TStyle> styles_;
    int number_ = 0;
};

} // namespace kp::rtf
