#pragma once
// The enumerations of the published properties as Qt sees them, so that Qt Designer and
// other property editors offer their values by name. The enumerations themselves stay where
// they are, unscoped with their stored ordinals; KpEnums only names them, and a
// property typed KpEnums::TKpPaperSize is the same C++ type as one typed TKpPaperSize.
// Qt's meta-object compiler reads the key lists below; it takes each key's value from the
// real enumeration, so a key that does not exist there fails the build.
#include <cstdint>

#include <QObject>

#include "paginor/KpExport.h"

namespace kp {

enum TKpPaperSize : uint8_t;
enum TKpOrientation : uint8_t;
enum TKpPagesPerSheet : uint8_t;
enum TKpZoomStyle : uint8_t;
enum TKpBorderStyle : uint8_t;
enum TKpThumbNailLayout : uint8_t;
enum TKpDitherType : uint8_t;
enum TKpDuplexType : uint8_t;
enum TKpPrintColor : uint8_t;
enum TKpPrintQuality : uint8_t;
enum class TLabelTemplate : uint8_t;

namespace KpEnums {
Q_NAMESPACE_EXPORT(PAGINOR_EXPORT)
#ifdef Q_MOC_RUN
enum class TKpPaperSize { A3, A4, A5, A6, B5, C5, Legal, Letter, Custom };
enum class TKpOrientation { kpPortrait, kpLandscape };
enum class TKpPagesPerSheet { kpOnePage, kpTwoPage, kpFourPage };
enum class TKpZoomStyle { kpFixedZoom, kpVariableZoom };
enum class TKpBorderStyle { bsNone, bsSingle };
enum class TKpThumbNailLayout { kpThumbHorz, kpThumbVert, kpThumbGrid };
enum class TKpDitherType { kpNone, kpCourse, kpFine, kpLineArt, kpGrayScale };
enum class TKpDuplexType { kpSimplex, kpHorzDuplex, kpVertDuplex };
enum class TKpPrintColor { kpColor, kpMonochrome };
enum class TKpPrintQuality { kpDraft, kpLow, kpMedium, kpHigh };
enum class TLabelTemplate {
    Custom,
    L7159_Address,
    L7160_Address,
    L7161_Address,
    L7162_Address,
    L7163_Address,
    L7164_Address,
    L7165_Parcel,
    L7166_Parcel,
    L7167_Shipping,
    L7168_Shipping,
    L7169_Parcel,
    L7170_Eurofolio,
    L7171_LeverArch,
    L7172_RingBinder,
    L7173_Shipping,
    L7263_Address,
    J8660_Diskette,
    CD1_CdLabels
};
#else
using TKpPaperSize = kp::TKpPaperSize;
using TKpOrientation = kp::TKpOrientation;
using TKpPagesPerSheet = kp::TKpPagesPerSheet;
using TKpZoomStyle = kp::TKpZoomStyle;
using TKpBorderStyle = kp::TKpBorderStyle;
using TKpThumbNailLayout = kp::TKpThumbNailLayout;
using TKpDitherType = kp::TKpDitherType;
using TKpDuplexType = kp::TKpDuplexType;
using TKpPrintColor = kp::TKpPrintColor;
using TKpPrintQuality = kp::TKpPrintQuality;
using TLabelTemplate = kp::TLabelTemplate;
#endif
Q_ENUM_NS(TKpPaperSize)
Q_ENUM_NS(TKpOrientation)
Q_ENUM_NS(TKpPagesPerSheet)
Q_ENUM_NS(TKpZoomStyle)
Q_ENUM_NS(TKpBorderStyle)
Q_ENUM_NS(TKpThumbNailLayout)
Q_ENUM_NS(TKpDitherType)
Q_ENUM_NS(TKpDuplexType)
Q_ENUM_NS(TKpPrintColor)
Q_ENUM_NS(TKpPrintQuality)
Q_ENUM_NS(TLabelTemplate)
} // namespace KpEnums

} // namespace kp
