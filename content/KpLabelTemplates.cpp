#include "content/KpLabelTemplates.h"

#include <array>

namespace kp {

TLabelTemplateRec MakeLabelTemplate(TLabelTemplate t, uint8_t shape, TKpOrientation orientation,
                                    int32_t left, int32_t top, int32_t right, int32_t bottom,
                                    int32_t width, int32_t height, int32_t horzPitch,
                                    int32_t vertPitch, int32_t columns, int32_t rows) {
    TLabelTemplateRec r;
    r.Template = t;
    r.LabelShape = shape;
    r.PaperSize = A4;
    r.Orientation = orientation;
    r.LeftMargin = left;
    r.TopMargin = top;
    r.RightMargin = right;
    r.BottomMargin = bottom;
    r.LabelWidth = width;
    r.LabelHeight = height;
    r.HorzPitch = horzPitch == 0 ? width : horzPitch;
    r.VertPitch = vertPitch == 0 ? height : vertPitch;
    r.Columns = columns;
    r.Rows = rows;
    return r;
}

namespace {

using T = TLabelTemplate;
constexpr TKpOrientation P = kpPortrait;
constexpr TKpOrientation L = kpLandscape;
constexpr uint8_t R = kpLabelRoundRect;
constexpr uint8_t E = kpLabelEllipse;

const std::array<TLabelTemplateRec, KpLabelTemplateCount>& table() {
    static const std::array<TLabelTemplateRec, KpLabelTemplateCount> records = {
        MakeLabelTemplate(T::L7159_Address, R, P, 630, 1037, 630, 500, 6400, 3390, 6670, 3390, 3,
                          8),
        MakeLabelTemplate(T::L7160_Address, R, P, 720, 1590, 720, 500, 6350, 3810, 6600, 3810, 3,
                          7),
        MakeLabelTemplate(T::L7161_Address, R, P, 720, 950, 720, 500, 6350, 4660, 6600, 4660, 3, 6),
        MakeLabelTemplate(T::L7162_Address, R, P, 470, 1370, 470, 500, 9900, 3390, 10160, 3390, 2,
                          8),
        MakeLabelTemplate(T::L7163_Address, R, P, 470, 1590, 470, 500, 9900, 3810, 10160, 3810, 2,
                          7),
        MakeLabelTemplate(T::L7164_Address, R, P, 720, 530, 720, 500, 6350, 7200, 6600, 7200, 3, 4),
        MakeLabelTemplate(T::L7165_Parcel, R, P, 470, 1380, 470, 500, 9900, 6770, 10160, 6770, 2,
                          4),
        MakeLabelTemplate(T::L7166_Parcel, R, P, 470, 950, 470, 500, 9900, 9310, 10160, 9310, 2, 3),
        MakeLabelTemplate(T::L7167_Shipping, R, P, 470, 520, 470, 500, 19960, 28900, 0, 0, 1, 1),
        MakeLabelTemplate(T::L7168_Shipping, R, P, 470, 570, 470, 500, 19960, 14350, 0, 14350, 1,
                          2),
        MakeLabelTemplate(T::L7169_Parcel, R, L, 1020, 470, 1020, 500, 13900, 9910, 13900, 10170, 2,
                          2),
        MakeLabelTemplate(T::L7170_Eurofolio, R, P, 3800, 1720, 3800, 500, 13400, 1100, 0, 1100, 1,
                          24),
        MakeLabelTemplate(T::L7171_LeverArch, R, L, 2920, 500, 2920, 500, 6000, 20000, 6000, 0, 4,
                          1),
        MakeLabelTemplate(T::L7172_RingBinder, R, P, 370, 1420, 370, 500, 10000, 3000, 10250, 3000,
                          2, 9),
        MakeLabelTemplate(T::L7173_Shipping, R, P, 470, 670, 470, 500, 9900, 5700, 10160, 5700, 2,
                          5),
        MakeLabelTemplate(T::L7263_Address, R, P, 470, 1590, 470, 500, 9900, 3810, 10160, 3810, 2,
                          7),
        MakeLabelTemplate(T::J8660_Diskette, R, P, 2330, 1920, 2330, 500, 7000, 5200, 9310, 5200, 2,
                          5),
        MakeLabelTemplate(T::CD1_CdLabels, E, P, 4600, 2200, 4600, 2200, 11800, 11800, 0, 13500, 1,
                          2),
    };
    return records;
}

constexpr const char* kNames[KpLabelTemplateCount + 1] = {
    "Custom",         "L7159_Address", "L7160_Address",   "L7161_Address",   "L7162_Address",
    "L7163_Address",  "L7164_Address", "L7165_Parcel",    "L7166_Parcel",    "L7167_Shipping",
    "L7168_Shipping", "L7169_Parcel",  "L7170_Eurofolio", "L7171_LeverArch", "L7172_RingBinder",
    "L7173_Shipping", "L7263_Address", "J8660_Diskette",  "CD1_CdLabels"};

} // namespace

const TLabelTemplateRec& LabelTemplateRecord(int index) {
    return table().at(static_cast<size_t>(index - 1));
}

QString LabelTemplateName(TLabelTemplate t) {
    const int i = static_cast<int>(t);
    return i <= KpLabelTemplateCount ? QString::fromLatin1(kNames[i]) : QString();
}

bool LabelTemplateFromName(const QString& name, TLabelTemplate& result) {
    for (int i = 0; i <= KpLabelTemplateCount; ++i) {
        const QString full = QString::fromLatin1(kNames[i]);
        const QString code = full.section(QLatin1Char('_'), 0, 0);
        if (name.compare(full, Qt::CaseInsensitive) == 0 ||
            (i > 0 && name.compare(code, Qt::CaseInsensitive) == 0)) {
            result = static_cast<TLabelTemplate>(i);
            return true;
        }
    }
    return false;
}

} // namespace kp
