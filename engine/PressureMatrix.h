#pragma once

#include <array>

namespace psykrona {

// The saturation pressure of water vapour as a fixed table of 254 rows of
// (temperature °C, pressure kPa), over ice below 0 °C and over liquid water
// from 0 °C on. Both columns rise strictly. All moist-air results of the
// program follow from these exact rows, so they are tabulated, never computed.
class TSatPressure {
public:
    struct TRow {
        double Temp;     // °C
        double Pressure; // kPa
    };
    static constexpr int RowCount = 254;

    TSatPressure();

    std::array<TRow, RowCount> Rows;
};

} // namespace psykrona
