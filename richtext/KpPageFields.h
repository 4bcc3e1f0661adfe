#pragma once
// Text whose value is known only when a page is drawn (the page's number, the page count),
// and tab stops whose gap is filled with a leader. The reader marks them with these
// properties; the print layout draws them (see KpPageDecorations.h).
#include <QTextFormat>

namespace kp {

enum class TKpPageField : int { None = 0, PageNumber = 1, PageCount = 2 };

// A character format's page field (an int of TKpPageField); the text under it is a
// placeholder of figure spaces the drawn value takes the place of.
constexpr int KpPageFieldProperty = QTextFormat::UserProperty + 0x4B70;
// A block format's leaders: one character per entry of its tab positions, ' ' for none,
// '.' dots, '-' hyphens, '_' a line, 'T' a thick line, '=' a double line.
constexpr int KpTabLeadersProperty = QTextFormat::UserProperty + 0x4B71;

} // namespace kp
