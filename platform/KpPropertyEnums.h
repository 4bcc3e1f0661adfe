#pragma once
// The enumerations of the published properties, and the same as Qt sees them, so that Qt
// Designer and other property editors offer their values by name. The enumerations are at
// global scope with their stored ordinals, below every layer that publishes a property of
// theirs, so that one meta-object names them all; KpEnums only names them, and a
// property typed KpEnums::TKpPaperSize is the same C++ type as one typed TKpPaperSize.
// Qt's meta-object compiler reads the key lists below; it takes each key's value from the
// real enumeration, so a key that does not exist there fails the build.
#include <cstdint>

#include <QObject>

#include "paginor/KpExport.h"

#include "platform/KpPaperEnums.h"
#include "platform/KpPrintState.h"

namespace kp {

// How many logical pages a printed sheet carries, and how the preview zooms and is framed.
enum TKpPagesPerSheet : uint8_t { kpOnePage = 0, kpTwoPage = 1, kpFourPage = 2 };
enum TKpZoomStyle : uint8_t { kpFixedZoom = 0, kpVariableZoom = 1 };
enum TKpBorderStyle : uint8_t { bsNone = 0, bsSingle = 1 };
// How the thumbnails are laid out.
enum TKpThumbNailLayout : uint8_t { kpThumbHorz = 0, kpThumbVert = 1, kpThumbGrid = 2 };
// How many pages the preview shows at once: the current one, two-page spreads, or them all in
// one scrolled column.
enum TKpViewMode : uint8_t { vmSinglePage = 0, vmFacingPages = 1, vmContinuous = 2 };
// The printer's device-mode settings.
enum TKpDitherType : uint8_t {
    kpNone = 0,
    kpCourse = 1,
    kpFine = 2,
    kpLineArt = 3,
    kpGrayScale = 4
};
enum TKpDuplexType : uint8_t { kpSimplex = 0, kpHorzDuplex = 1, kpVertDuplex = 2 };
enum TKpPrintQuality : uint8_t { kpDraft = 0, kpLow = 1, kpMedium = 2, kpHigh = 3 };
// The label sheets a label printer knows.
enum class TLabelTemplate : uint8_t {
    Custom = 0,
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

namespace KpEnums {
Q_NAMESPACE_EXPORT(PAGINOR_EXPORT)
#ifdef Q_MOC_RUN
enum class TKpPaperSize { A3, A4, A5, A6, B5, C5, Legal, Letter, Custom };
enum class TKpOrientation { kpPortrait, kpLandscape };
enum class TKpPagesPerSheet { kpOnePage, kpTwoPage, kpFourPage };
enum class TKpZoomStyle { kpFixedZoom, kpVariableZoom };
enum class TKpBorderStyle { bsNone, bsSingle };
enum class TKpThumbNailLayout { kpThumbHorz, kpThumbVert, kpThumbGrid };
enum class TKpViewMode { vmSinglePage, vmFacingPages, vmContinuous };
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
using TKpViewMode = kp::TKpViewMode;
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
Q_ENUM_NS(TKpViewMode)
Q_ENUM_NS(TKpDitherType)
Q_ENUM_NS(TKpDuplexType)
Q_ENUM_NS(TKpPrintColor)
Q_ENUM_NS(TKpPrintQuality)
Q_ENUM_NS(TLabelTemplate)
} // namespace KpEnums

} // namespace kp
