#pragma once
// Measurement values: KpUnits (hundredths of a millimetre), unit conversion, the length
// value object, its rectangle, and the paper table.
#include "paginor/KpExport.h"

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/KpMath.h"
#include "platform/KpPaperEnums.h"
#include "platform/KpScreen.h"

namespace kp {

enum TKpUnit : uint8_t {
    kpUnits = 0,
    kpPixels = 1,
    kpMillimeters = 2,
    kpCentimeters = 3,
    kpInches = 4
};

// Converts x between units in extended precision; no rounding (callers round).
PAGINOR_EXPORT Extended ConvertUnits(TKpUnit from, TKpUnit to, Extended x);

class PAGINOR_EXPORT TKpValue {
public:
    using ChangeEvent = std::function<void(TKpValue* sender)>;

    TKpValue() = default;
    explicit TKpValue(int32_t v) : value(v) {}

    // The raw length; writing it directly does not notify.
    int32_t value = 0;
    ChangeEvent OnChange;

    // std::invalid_argument for a resolution below 1 pixel per inch.
    void SetPixels(int ppi, int pixels);
    void SetMillimeters(Extended mm);
    void SetInches(Extended inches);
    int AsPixels(int ppi) const;
    Extended AsMillimeters() const { return static_cast<Extended>(value) / 100; }
    Extended AsInches() const { return static_cast<Extended>(value) / 100 / 25.4L; }
    // The same lengths as double, for Qt calls that have no long double overload
    // (QString::number, QPointF, QSpinBox...): Millimeters() == double(AsMillimeters()).
    double Millimeters() const { return static_cast<double>(AsMillimeters()); }
    double Centimeters() const { return static_cast<double>(AsMillimeters() / 10); }
    double Inches() const { return static_cast<double>(AsInches()); }

private:
    void changed() {
        if (OnChange) OnChange(this);
    }
};

// Four owned values in the order Left, Top, Right, Bottom.
class PAGINOR_EXPORT TKpValueRect {
public:
    TKpValueRect();
    TKpValue& Left() { return *left_; }
    TKpValue& Top() { return *top_; }
    TKpValue& Right() { return *right_; }
    TKpValue& Bottom() { return *bottom_; }
    const TKpValue& Left() const { return *left_; }
    const TKpValue& Top() const { return *top_; }
    const TKpValue& Right() const { return *right_; }
    const TKpValue& Bottom() const { return *bottom_; }

private:
    std::unique_ptr<TKpValue> left_, top_, right_, bottom_;
};

// Standard sizes ordered by orientation; any other size orders the incoming pair.
PAGINOR_EXPORT void PaperDimensions(TKpPaperSize size, bool landscape, int& width, int& height);

// Splits a comma-separated zero-terminated text in place (see the printer settings).
PAGINOR_EXPORT char* NextToken(char*& cursor);

} // namespace kp
