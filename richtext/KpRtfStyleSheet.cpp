#include "richtext/KpRtfStyleSheet.h"

namespace kp {

namespace rtf {

int TStyleSheet::HeadingLevel(const QString& name) {
    const QString n = name.simplified();
    if (n.size() != 9 || !n.startsWith(QLatin1String("heading "), Qt::CaseInsensitive)) return 0;
    const int level = n.back().digitValue();
    return level >= 1 && level <= 9 ? level : 0;
}

void TStyleSheet::ApplyCharacterStyle(int number, TCharProps& chars) const {
    auto it = characterStyles_.constFind(number);
    if (it == characterStyles_.constEnd()) return;
    // A style entry starts from plain properties: what differs from them, it states.
    const TCharProps& s = *it;
    const TCharProps plain;
    if (s.font != plain.font) chars.font = s.font;
    if (s.halfPoints != plain.halfPoints) chars.halfPoints = s.halfPoints;
    if (s.bold) chars.bold = true;
    if (s.italic) chars.italic = true;
    if (s.strike) chars.strike = true;
    if (s.hidden) chars.hidden = true;
    if (s.underline != plain.underline) chars.underline = s.underline;
    if (s.vertical != plain.vertical) chars.vertical = s.vertical;
    if (s.caps != plain.caps) chars.caps = s.caps;
    if (s.color != plain.color) chars.color = s.color;
    if (s.background != plain.background) chars.background = s.background;
    if (s.highlight != plain.highlight) chars.highlight = s.highlight;
}

} // namespace rtf

} // namespace kp
