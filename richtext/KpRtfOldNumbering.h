#pragma once
// Paragraph numbers and bullets of the older kind: a {\pn ...} group on the paragraph says the
// level, the number style, the start and the texts around the number; writers usually add the
// number as they showed it in a {\pntext ...} group too. That rendered text wins when present;
// otherwise the number is made here, counting along the run of numbered paragraphs.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include <QString>

#include "paginor/KpExport.h"

namespace kp {

namespace rtf {

enum class TNumberStyle : uint8_t {
    Decimal,
    UpperLetter,
    LowerLetter,
    UpperRoman,
    LowerRoman,
    Ordinal
};

// One {\pn ...} group as read.
struct TOldNumberDef {
    int level = 0; // 1..9 outline levels; kBodyLevel, kBulletLevel, kContinueLevel
    TNumberStyle style = TNumberStyle::Decimal;
    int start = 1;
    int font = -1;              // \pnf; -1: the paragraph's own
    int halfPoints = 0;         // \pnfs; 0: the paragraph's own
    int bold = -1, italic = -1; // \pnb, \pni; -1: the paragraph's own
    QString before, after;      // \pntxtb, \pntxta
    static constexpr int kBodyLevel = 10, kBulletLevel = 11, kContinueLevel = 12;
};

PAGINOR_INTERNAL_EXPORT QString FormatOldNumber(int value, TNumberStyle style);

class TOldNumbering {
public:
    // A {\pn group opens; its words and texts go to the definition being read.
    void Begin();
    void HandleWord(std::string_view word, bool hasParam, int param);
    void AppendBefore(const QString& text) { Cap(def_.before += text); }
    void AppendAfter(const QString& text) { Cap(def_.after += text); }
    // The group closes: the index of its definition, for the paragraph to keep.
    int Commit();
    const TOldNumberDef* Find(int index) const;

    // A paragraph ends that uses definition `index` (-1: none). The number text to put in
    // front of it, with its tab, or an empty string; `rendered` says the file gave the number
    // already, which then only advances the count.
    QString Next(int index, bool rendered);

private:
    static void Cap(QString& text);
    TOldNumberDef def_;
    std::vector<TOldNumberDef> defs_;
    std::array<int, 10> outline_{}; // the last number of levels 1..9; 0: not started
    int body_ = 0;                  // the last body number in the current run; 0: no run
};

} // namespace rtf

} // namespace kp
