#pragma once
// What Qt's PDF writer cannot write itself, appended to a finished PDF as an incremental
// update: the document information (title, author, subject), link annotations and an outline.
// The original bytes stay as they are; the update adds new versions of the objects it changes,
// its own cross-reference section and a trailer pointing back at the old one.
#include "paginor/KpExport.h"

#include <vector>

#include <QRectF>
#include <QString>

namespace kp {

// Positions are in points from the top-left corner of the sheet, y growing downwards.
struct PAGINOR_INTERNAL_EXPORT TKpPdfLink {
    int Sheet = 0; // from 0, in the file's page order
    QRectF Rect;
    QString Url;
};

struct PAGINOR_INTERNAL_EXPORT TKpPdfOutlineEntry {
    QString Title;
    int Level = 1; // nests under the last entry before it of a lower level
    int Sheet = 0;
    double Top = 0;
};

struct PAGINOR_INTERNAL_EXPORT TKpPdfUpdate {
    // Empty ones are left as the file has them.
    QString Title, Author, Subject;
    std::vector<TKpPdfLink> Links;
    std::vector<TKpPdfOutlineEntry> Outline;
    bool Empty() const {
        return Title.isEmpty() && Author.isEmpty() && Subject.isEmpty() && Links.empty() &&
               Outline.empty();
    }
};

// Appends the update to fileName through a temporary file renamed over it. False, with the
// reason in *error, when the file is not one this understands or cannot be written: the file
// is then left exactly as it was. Entries naming sheets the file lacks are left out.
PAGINOR_INTERNAL_EXPORT bool AppendPdfUpdate(const QString& fileName, const TKpPdfUpdate& update,
                                             QString* error = nullptr);

} // namespace kp
