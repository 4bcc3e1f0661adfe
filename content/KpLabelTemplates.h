#pragma once
// The label sheet templates: A4 sheets of self-adhesive labels named by their product codes,
// with the page margins, label size, pitches and counts of each.
#include "paginor/KpExport.h"

#include <cstdint>

#include <QString>

#include "drawing/KpUnits.h"
#include "platform/KpPropertyEnums.h"

namespace kp {

constexpr int KpLabelTemplateCount = 18;

// Outline shapes.
enum TKpLabelShape : uint8_t { kpLabelRectangle = 0, kpLabelRoundRect = 1, kpLabelEllipse = 2 };

// One template; lengths in KpUnits.
struct PAGINOR_EXPORT TLabelTemplateRec {
    TLabelTemplate Template = TLabelTemplate::Custom;
    uint8_t LabelShape = kpLabelRoundRect;
    TKpPaperSize PaperSize = A4; // every sheet is A4; not applied
    TKpOrientation Orientation = kpPortrait;
    int32_t LeftMargin = 0;
    int32_t TopMargin = 0;
    int32_t RightMargin = 0;
    int32_t BottomMargin = 0;
    int32_t LabelWidth = 0;
    int32_t LabelHeight = 0;
    int32_t HorzPitch = 0;
    int32_t VertPitch = 0;
    int32_t Columns = 0;
    int32_t Rows = 0;
    bool operator==(const TLabelTemplateRec&) const = default;
};

// A record as the table builder makes it: a pitch given as 0 becomes the label's own size.
PAGINOR_EXPORT TLabelTemplateRec MakeLabelTemplate(TLabelTemplate t, uint8_t shape,
                                                   TKpOrientation orientation, int32_t left,
                                                   int32_t top, int32_t right, int32_t bottom,
                                                   int32_t width, int32_t height, int32_t horzPitch,
                                                   int32_t vertPitch, int32_t columns,
                                                   int32_t rows);

// The record of template position 1..18 (the template's ordinal).
PAGINOR_EXPORT const TLabelTemplateRec& LabelTemplateRecord(int index);
// "L7161_Address", "Custom".
PAGINOR_EXPORT QString LabelTemplateName(TLabelTemplate t);
// By full name or product code ("L7161"), ignoring case; false when none matches.
PAGINOR_EXPORT bool LabelTemplateFromName(const QString& name, TLabelTemplate& result);

} // namespace kp
