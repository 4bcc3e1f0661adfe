#pragma once
// Finding text on a document's pages: what to look for and how, and where it was found.
#include "paginor/KpExport.h"

#include <QRect>

namespace kp {

struct PAGINOR_EXPORT TKpFindOptions {
    // Upper and lower case must agree.
    bool MatchCase = false;
    // A match neither starts nor ends inside a word.
    bool WholeWords = false;
    // The page the search starts on (from 1; outside the document: the first, or the last
    // when searching backwards).
    int FromPage = 0;
    // From FromPage towards page 1, the matches of each page last to first.
    bool Backwards = false;
};

struct PAGINOR_EXPORT TKpFindMatch {
    int Page = 0;
    // Where the text stands on its page, in hundredths of a millimetre from the page corner
    // (the upright box around turned text).
    QRect Rect;
    bool operator==(const TKpFindMatch&) const = default;
};

} // namespace kp
